#pragma once

#include <QString>
#include <QStringList>

namespace zambrel::input {

/// What Enter in an amount field does to it.
struct CalcResult {
    /// The field's text afterwards: the value in "#0.00" form when the
    /// arithmetic parser understood the formula; otherwise the own
    /// evaluator's value as plain text (up to 15 significant digits, "0"
    /// after a reported error); or the typed text unchanged when that
    /// evaluator failed too.
    QString text;
    /// Messages to show, in order, each with the information icon, an OK
    /// button and the program's name as title.
    QStringList messages;
    /// False only when both roads failed and `text` is the typed text.
    bool evaluated = true;
};

/// The one calculation behind Enter in the amount fields; shows nothing and
/// has no side effects. First the normalised text goes to the safe
/// arithmetic parser; whatever it rejects (including division by zero and
/// overflow) goes to the own evaluator on the unchanged text; when that
/// fails as well the message is "表达式：<typed> 错误。 <description>".
/// Never yields inf or nan.
CalcResult evaluateAmountField(const QString &typed);

/// The Enter handler's body: evaluateAmountField(), with each message shown
/// through the message routine. Returns the text to put into the field.
QString enterAmountField(const QString &typed);

} // namespace zambrel::input
