#pragma once

#include <QString>
#include <QStringList>

namespace zambrel::input {

/// What Enter in an amount field does to it.
struct CalcResult {
    /// The field's text afterwards: the value in "#0.00" form when the
    /// arithmetic parser understood the formula; otherwise the own
    /// evaluator's value as plain text (up to 15 significant digits, "0"
    /// after a reported division by zero or unpaired parentheses); or the
    /// typed text unchanged when the formula cannot be evaluated truly.
    QString text;
    /// Messages to show, in order, each with the information icon, an OK
    /// button and the program's name as title.
    QStringList messages;
    /// False when `text` is the typed text, kept because no true value
    /// could be had; the last message then says why.
    bool evaluated = true;
};

/// The one calculation behind Enter in the amount fields; shows nothing and
/// has no side effects. First the normalised text goes to the safe
/// arithmetic parser. A result that overflows or has no real value is
/// refused. Whatever else it rejects goes to the own evaluator on the
/// unchanged text, which keeps its division by zero and unpaired
/// parentheses (a message, and 0). When the own evaluator could only read
/// the formula by dropping or reinterpreting a character, or it overflows,
/// the formula is refused: the text stays as typed and the message is
/// "表达式：<typed> 错误。 <description>". Never yields inf or nan.
CalcResult evaluateAmountField(const QString &typed);

} // namespace zambrel::input
