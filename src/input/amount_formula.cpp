#include "amount_formula.h"

#include "arithmetic_parser.h"
#include "calc_text.h"
#include "fallback_evaluator.h"

namespace zambrel::input {

namespace {

CalcResult refused(const QString &typed, QStringList messages, const QString &description)
{
    messages << QStringLiteral("表达式：") + typed + QStringLiteral(" 错误。 ") + description;
    return {typed, messages, false};
}

} // namespace

CalcResult evaluateAmountField(const QString &typed)
{
    const ArithmeticResult parsed = parseArithmetic(normaliseFormula(typed));
    if (parsed.ok())
        return {twoDecimalText(parsed.value), {}, true};
    // Understood, but no amount: the own evaluator could only misread it.
    if (parsed.failure == ArithmeticFailure::Overflow)
        return refused(typed, {}, overflowText());
    if (parsed.failure == ArithmeticFailure::NoRealValue)
        return refused(typed, {}, noRealValueText());

    FallbackEvaluation own = evaluateFormula(typed);
    if (!own.escaped())
        return {plainNumberText(own.value), own.messages, true};
    // Where the parser got as far as a division by zero, that is the reason
    // the own evaluator cannot be trusted with.
    const QString description =
        parsed.failure == ArithmeticFailure::DivisionByZero ? divisionByZeroText() : own.escapedError;
    return refused(typed, own.messages, description);
}

} // namespace zambrel::input
