#include "calc_text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace zambrel::input {
namespace {

/// A finite nonzero double as 15 significant decimal digits d1d2...d15 and
/// the power of ten of d1, with trailing zero digits dropped.
struct DecimalDigits {
    bool negative = false;
    std::string digits; // empty for zero
    int exponent = 0;   // value = 0.d1d2... * 10^(exponent + 1)
};

DecimalDigits decimalDigits(double value)
{
    DecimalDigits result;
    if (value == 0.0 || !std::isfinite(value))
        return result;
    // "-d.dddddddddddddde+XXX": 15 significant digits, correctly rounded,
    // independent of the process locale.
    char buffer[40];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const char *p = buffer;
    if (*p == '-') {
        result.negative = true;
        ++p;
    }
    for (; p < written.ptr && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            result.digits.push_back(*p);
    }
    if (p < written.ptr && *p == 'e') {
        ++p;
        const bool negativeExponent = *p == '-';
        if (*p == '-' || *p == '+')
            ++p;
        std::from_chars(p, written.ptr, result.exponent);
        if (negativeExponent)
            result.exponent = -result.exponent;
    }
    while (!result.digits.empty() && result.digits.back() == '0')
        result.digits.pop_back();
    return result;
}

/// Integer and fraction digits of the decimal form, without a sign.
void splitDigits(const DecimalDigits &d, std::string &integerPart, std::string &fractionPart)
{
    const int integerCount = d.exponent + 1;
    if (integerCount <= 0) {
        integerPart = "0";
        fractionPart = std::string(static_cast<size_t>(-integerCount), '0') + d.digits;
        return;
    }
    const auto count = static_cast<size_t>(integerCount);
    if (d.digits.size() <= count) {
        integerPart = d.digits + std::string(count - d.digits.size(), '0');
        fractionPart.clear();
    } else {
        integerPart = d.digits.substr(0, count);
        fractionPart = d.digits.substr(count);
    }
}

bool isDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'\uFF10' && c <= u'\uFF19');
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\u3000';
}

// What may end or begin a number or a group on either side of a times sign.
bool endsOperand(QChar c)
{
    return isDigit(c) || c == u'.' || c == u'\uFF0E' || c == u')';
}

bool beginsOperand(QChar c)
{
    return isDigit(c) || c == u'.' || c == u'\uFF0E' || c == u'(';
}

} // namespace

QString normaliseFormula(const QString &text)
{
    // The order matters only for readability; no replacement produces a
    // character that a later one replaces.
    static const struct {
        char16_t from;
        char16_t to;
    } replacements[] = {
        {u'\uFF0B', u'+'}, {u'\uFF0D', u'-'}, {u'\u00D7', u'*'}, {u'\u3001', u'/'}, {u'\u00F7', u'/'},
        {u'\u3002', u'.'}, {u'\uFF08', u'('}, {u'\uFF09', u')'}, {u'\uFF0A', u'*'}, {u'\uFF0F', u'/'},
    };
    QString result = text;
    for (const auto &r : replacements)
        result.replace(QChar(r.from), QChar(r.to));

    for (qsizetype at = 0; at < result.size(); ++at) {
        if (result[at] != u'x' && result[at] != u'X')
            continue;
        qsizetype before = at - 1;
        while (before >= 0 && isBlank(result[before]))
            --before;
        qsizetype after = at + 1;
        while (after < result.size() && isBlank(result[after]))
            ++after;
        if (before >= 0 && after < result.size() && endsOperand(result[before]) &&
            beginsOperand(result[after]))
            result[at] = u'*';
    }
    return result;
}

bool isDigitGroupComma(const QString &text, qsizetype at)
{
    if (at < 0 || at >= text.size() || text[at] != u',')
        return false;
    // Exactly three digits after it.
    for (qsizetype k = at + 1; k <= at + 3; ++k) {
        if (k >= text.size() || !isDigit(text[k]))
            return false;
    }
    if (at + 4 < text.size() && isDigit(text[at + 4]))
        return false;
    // Before it: groups of three back to a first group of one to three
    // digits, which is not the fraction of a number.
    qsizetype end = at;
    for (;;) {
        qsizetype start = end;
        while (start > 0 && isDigit(text[start - 1]))
            --start;
        const qsizetype digits = end - start;
        if (start > 0 && text[start - 1] == u',') {
            if (digits != 3)
                return false;
            end = start - 1;
            continue;
        }
        if (start > 0 && (text[start - 1] == u'.' || text[start - 1] == u'\uFF0E'))
            return false;
        return digits >= 1 && digits <= 3;
    }
}

QString plainNumberText(double value)
{
    const DecimalDigits d = decimalDigits(value);
    if (d.digits.empty())
        return QStringLiteral("0");
    std::string integerPart;
    std::string fractionPart;
    splitDigits(d, integerPart, fractionPart);
    std::string text = d.negative ? "-" : "";
    text += integerPart;
    if (!fractionPart.empty())
        text += "." + fractionPart;
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString twoDecimalText(double value)
{
    const DecimalDigits d = decimalDigits(value);
    std::string integerPart;
    std::string fractionPart;
    if (d.digits.empty()) {
        integerPart = "0";
    } else {
        splitDigits(d, integerPart, fractionPart);
    }
    const bool roundUp = fractionPart.size() > 2 && fractionPart[2] >= '5';
    fractionPart.resize(2, '0');
    std::string digits = integerPart + fractionPart;
    if (roundUp) {
        int i = static_cast<int>(digits.size()) - 1;
        while (i >= 0 && digits[static_cast<size_t>(i)] == '9') {
            digits[static_cast<size_t>(i)] = '0';
            --i;
        }
        if (i < 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[static_cast<size_t>(i)];
    }
    const bool isZero = digits.find_first_not_of('0') == std::string::npos;
    std::string text = (d.negative && !isZero) ? "-" : "";
    text += digits.substr(0, digits.size() - 2) + "." + digits.substr(digits.size() - 2);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

double roundToDisplayedDigits(double value)
{
    if (!std::isfinite(value))
        return value;
    char buffer[40];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    double rounded = value;
    std::from_chars(buffer, written.ptr, rounded);
    return rounded;
}

} // namespace zambrel::input
