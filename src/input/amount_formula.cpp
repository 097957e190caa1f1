#include "amount_formula.h"

#include "arithmetic_parser.h"
#include "base/message.h"
#include "calc_text.h"
#include "fallback_evaluator.h"

namespace zambrel::input {

CalcResult evaluateAmountField(const QString &typed)
{
    const ArithmeticResult parsed = parseArithmetic(normaliseFormula(typed));
    if (parsed.ok())
        return {twoDecimalText(parsed.value), {}, true};

    FallbackEvaluation own = evaluateFormula(typed);
    if (!own.escaped())
        return {plainNumberText(own.value), own.messages, true};

    own.messages << QStringLiteral("表达式：") + typed + QStringLiteral(" 错误。 ") + own.escapedError;
    return {typed, own.messages, false};
}

QString enterAmountField(const QString &typed)
{
    const CalcResult result = evaluateAmountField(typed);
    for (const QString &message : result.messages)
        base::showMessage(message, base::vbOKOnly | base::vbInformation);
    return result.text;
}

} // namespace zambrel::input
