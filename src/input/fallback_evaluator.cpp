#include "fallback_evaluator.h"

#include "arithmetic_parser.h"
#include "base/text.h"
#include "calc_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace zambrel::input {
namespace {

bool isDigitOrPoint(QChar c)
{
    return (c >= u'0' && c <= u'9') || c == u'.';
}

bool isOperator(QChar c)
{
    return c == u'+' || c == u'-' || c == u'*' || c == u'/';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\u3000';
}

/// The leading digits and at most one point, as a number; empty is 0.
/// Operand texts hold only digits and points. Infinity when out of range.
double leadingNumber(const QString &digits)
{
    std::string ascii;
    bool point = false;
    for (const QChar c : digits) {
        if (c == u'.') {
            if (point)
                break;
            point = true;
        }
        ascii.push_back(static_cast<char>(c.unicode()));
    }
    if (ascii.find_first_of("0123456789") == std::string::npos)
        return 0.0;
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(ascii.data(), ascii.data() + ascii.size(), value, std::chars_format::fixed);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // Too small for a double reads as 0; too large is an overflow.
        const auto firstNonZero = ascii.find_first_of("123456789");
        const auto pointAt = ascii.find('.');
        return (pointAt != std::string::npos && firstNonZero > pointAt) ? 0.0 : HUGE_VAL;
    }
    return value;
}

/// A step result as the flat evaluator keeps it: rounded to the digits its
/// text form holds. False when the result is out of range.
bool keep(double value, double &out)
{
    if (!std::isfinite(value))
        return false;
    out = roundToDisplayedDigits(value);
    return true;
}

} // namespace

QString unpairedParenthesesText()
{
    return QStringLiteral("括号不成对");
}

QString divisionByZeroText()
{
    return QStringLiteral("除数为零 Division by zero");
}

QString overflowText()
{
    return QStringLiteral("溢出 Overflow");
}

QString noRealValueText()
{
    return QStringLiteral("没有实数结果 No real result");
}

QString formulaTooLongText()
{
    return QStringLiteral("表达式太长 Formula too long");
}

QString unknownCharacterText(QChar character)
{
    return QStringLiteral("无法识别的字符“%1” Unknown character \"%1\"").arg(character);
}

QString blankInNumberText()
{
    return QStringLiteral("数字中间有空格 Blank inside a number");
}

QString twoPointsText()
{
    return QStringLiteral("数字有两个小数点 Two points in a number");
}

QString missingNumberText()
{
    return QStringLiteral("缺少数字 Number missing");
}

QString missingOperatorText()
{
    return QStringLiteral("括号旁缺少运算符 Operator missing beside a parenthesis");
}

QString unclearSignText()
{
    return QStringLiteral("正负号不明确 Unclear sign");
}

FallbackEvaluation evaluateFlat(const QString &input)
{
    FallbackEvaluation result;
    // The first reason to give up wins; the walk goes on so that the value
    // stays what it always was.
    auto giveUp = [&result](const QString &description) {
        if (result.escapedError.isEmpty())
            result.escapedError = description;
    };

    QString text = input;
    if (!text.isEmpty() && isOperator(text[0])) {
        // A leading sign is a sign; a leading * or / has nothing to work on.
        if (text[0] == u'*' || text[0] == u'/')
            giveUp(missingNumberText());
        text.prepend(u'0');
    }

    // Operands alternate with operators; a sign may be set on an operand
    // before the walk reaches it, so signs are kept apart from the texts.
    std::vector<QString> operands(1);
    std::vector<int> signs(1, 1);
    std::vector<QChar> operators;
    bool gap = false; // a blank after the current operand's digits
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (isDigitOrPoint(c)) {
            if (gap)
                giveUp(blankInNumberText());
            if (c == u'.' && operands.back().contains(u'.'))
                giveUp(twoPointsText());
            operands.back().append(c);
        } else if (c == u',' && isDigitGroupComma(text, i) && !operands.back().contains(u'.') && !gap) {
            // A thousands comma: the digits go on.
        } else if (isOperator(c)) {
            if (i + 1 < text.size() && text[i + 1] == u'-') {
                // The "-" negates the next operand; the walk then looks at the
                // same operator again, wherever trimming moved it.
                text.remove(i + 1, 1);
                qsizetype leading = 0;
                while (leading < text.size() && text[leading] == u' ')
                    ++leading;
                text = base::trimBlanks(text);
                i -= leading;
                if (signs.size() < operands.size() + 1)
                    signs.resize(operands.size() + 1, 1);
                if (signs[operands.size()] == -1)
                    giveUp(unclearSignText()); // a second minus would not undo the first
                signs[operands.size()] = -1;
                continue;
            }
            operators.push_back(c);
            operands.emplace_back();
            gap = false;
            if (signs.size() < operands.size())
                signs.resize(operands.size(), 1);
        } else if (!isBlank(c)) {
            giveUp(unknownCharacterText(c));
        } else if (!operands.back().isEmpty()) {
            gap = true;
        } else if (signs[operands.size() - 1] == -1) {
            // Between a negating minus and its digits the calculator once
            // let a blank cancel the minus.
            giveUp(unclearSignText());
        }
        ++i;
    }

    // An operand without a digit counts as 0: rightly so only for an empty
    // text and for a last operand after + or - ("5-" is 5).
    for (size_t k = 0; k < operands.size(); ++k) {
        if (std::any_of(operands[k].cbegin(), operands[k].cend(), [](QChar c) { return c != u'.'; }))
            continue;
        const bool empty = operands.size() == 1 && operands[k].isEmpty();
        const bool trailing = k + 1 == operands.size() && k > 0 && operands[k].isEmpty() &&
                              (operators[k - 1] == u'+' || operators[k - 1] == u'-');
        if (!empty && !trailing)
            giveUp(missingNumberText());
    }

    auto failWith = [&](const QString &description) {
        result.messages << QStringLiteral("表达式：") + text + QStringLiteral(" 错误。") + description;
        result.value = 0.0;
        return result;
    };
    auto overflow = [&] {
        giveUp(overflowText());
        result.value = 0.0;
        return result;
    };

    std::vector<double> values;
    values.reserve(operands.size());
    for (size_t k = 0; k < operands.size(); ++k) {
        double kept = 0.0;
        if (!keep(leadingNumber(operands[k]) * signs[k], kept))
            return overflow();
        values.push_back(kept);
    }
    if (operators.empty()) {
        result.value = values[0];
        return result;
    }

    // * and / left to right, each product kept as its text form; the sums
    // stay in order between them.
    std::vector<double> terms{values[0]};
    std::vector<QChar> additive;
    for (size_t k = 0; k < operators.size(); ++k) {
        const double right = values[k + 1];
        if (operators[k] == u'*' || operators[k] == u'/') {
            if (operators[k] == u'/' && right == 0.0) {
                // Said for itself only when nothing else made the formula unreadable.
                if (result.escaped()) {
                    result.value = 0.0;
                    return result;
                }
                return failWith(divisionByZeroText());
            }
            const double step = operators[k] == u'*' ? terms.back() * right : terms.back() / right;
            if (!keep(step, terms.back()))
                return overflow();
        } else {
            additive.push_back(operators[k]);
            terms.push_back(right);
        }
    }
    double total = terms[0];
    for (size_t k = 0; k < additive.size(); ++k) {
        total = additive[k] == u'-' ? total - terms[k + 1] : total + terms[k + 1];
        if (!std::isfinite(total))
            return overflow();
    }
    result.value = total;
    return result;
}

FallbackEvaluation evaluateFormula(const QString &input)
{
    FallbackEvaluation result;
    if (input.size() > kMaxFormulaLength) {
        result.escapedError = formulaTooLongText();
        return result;
    }
    QString text = normaliseFormula(base::trimBlanks(input));

    int depth = 0;
    for (const QChar c : text) {
        if (c == u'(')
            ++depth;
        else if (c == u')')
            --depth;
        if (depth < 0)
            break;
    }
    if (depth != 0) {
        result.messages << unpairedParenthesesText();
        return result;
    }

    // A parenthesis stands where a number could: its value replaces it, and
    // a digit beside it would be joined to that value ("2(3)" read as 23).
    auto nextNonBlank = [&text](qsizetype from, int step) {
        while (from >= 0 && from < text.size() && isBlank(text[from]))
            from += step;
        return from >= 0 && from < text.size() ? text[from] : QChar();
    };
    for (qsizetype k = 0; k < text.size(); ++k) {
        if (text[k] != u'(' && text[k] != u')')
            continue;
        const bool opening = text[k] == u'(';
        const QChar outside = nextNonBlank(opening ? k - 1 : k + 1, opening ? -1 : 1);
        if (!outside.isNull() && outside != text[k] && !isOperator(outside)) {
            result.escapedError = missingOperatorText();
            return result;
        }
        if (opening && nextNonBlank(k + 1, 1) == u')') {
            result.escapedError = missingNumberText();
            return result;
        }
    }

    // Innermost, leftmost "(" first: it holds no other parenthesis, so the
    // first ")" after it closes it. Each pass removes one pair.
    for (;;) {
        qsizetype open = -1;
        int level = 1;
        int deepest = 0;
        for (qsizetype k = 0; k < text.size(); ++k) {
            if (text[k] == u'(') {
                if (level > deepest) {
                    deepest = level;
                    open = k;
                }
                ++level;
            } else if (text[k] == u')') {
                --level;
            }
        }
        if (open < 0)
            break;
        const qsizetype close = text.indexOf(u')', open);
        if (close < 0)
            return result;
        FallbackEvaluation inner = evaluateFlat(text.mid(open + 1, close - open - 1));
        result.messages << inner.messages;
        if (inner.escaped()) {
            result.escapedError = inner.escapedError;
            return result;
        }
        text.replace(open, close - open + 1, plainNumberText(inner.value));
    }
    FallbackEvaluation flat = evaluateFlat(text);
    result.messages << flat.messages;
    result.value = flat.value;
    result.escapedError = flat.escapedError;
    return result;
}

} // namespace zambrel::input
