// Feeds arbitrary formulas to the calculator: it must not crash or hang,
// every value it produces must be a finite number (or a reported error), and
// the own evaluator gives no value for a formula it did not read whole.

#include "input/amount_formula.h"
#include "input/arithmetic_parser.h"
#include "input/calc_text.h"
#include "input/fallback_evaluator.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>

using namespace zambrel::input;

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

/// Mostly formula-like text: each byte picks a character from what a user
/// (or an input method) is likely to type.
QString formulaFrom(const uint8_t *data, size_t size)
{
    static const QString alphabet =
        QStringLiteral("0123456789.+-*/() ＋－×、÷。（）＊／１a\teE^０５９．\u3000");
    QString text;
    for (size_t i = 0; i < size; ++i)
        text.append(alphabet[data[i] % alphabet.size()]);
    return text;
}

bool isNumberText(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && std::isfinite(value) && !text.contains(u'e') && !text.contains(u'E');
}

bool readsEveryCharacter(const QString &formula)
{
    static const QString known = QStringLiteral("0123456789.+-*/(), \t\u3000");
    for (const QChar c : formula) {
        if (!known.contains(c))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0 || size > 4 * kMaxFormulaLength)
        return 0;
    const QString text = (data[0] & 1) ? formulaFrom(data + 1, size - 1)
                                       : QString::fromUtf8(reinterpret_cast<const char *>(data + 1),
                                                           static_cast<qsizetype>(size - 1));

    const QString normal = normaliseFormula(text);
    require(normal.size() == text.size());

    const ArithmeticResult parsed = parseArithmetic(normal);
    if (parsed.ok()) {
        require(std::isfinite(parsed.value));
        require(isNumberText(twoDecimalText(parsed.value)));
    }

    const FallbackEvaluation flat = evaluateFlat(text);
    require(std::isfinite(flat.value));
    require(isNumberText(plainNumberText(flat.value)));

    const FallbackEvaluation formula = evaluateFormula(text);
    if (!formula.escaped()) {
        require(std::isfinite(formula.value));
        // A value it gives is read from every character: none was skipped.
        if (formula.messages.isEmpty())
            require(readsEveryCharacter(normal));
    }

    const CalcResult field = evaluateAmountField(text);
    if (field.evaluated)
        require(isNumberText(field.text));
    else
        require(field.text == text && !field.messages.isEmpty());
    return 0;
}
