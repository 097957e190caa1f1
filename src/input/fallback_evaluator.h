#pragma once

#include <QString>
#include <QStringList>

namespace zambrel::input {

/// What the calculator's own evaluator produced: a finite value, the
/// messages it would show the user in order (each already worded), and
/// whether an error escaped it (then `value` is meaningless and
/// `escapedError` holds the description).
struct FallbackEvaluation {
    double value = 0.0;
    QStringList messages;
    QString escapedError;
    bool escaped() const { return !escapedError.isEmpty(); }
};

/// Message texts the evaluator uses.
QString unpairedParenthesesText(); ///< "括号不成对"
QString divisionByZeroText();
QString overflowText();
QString formulaTooLongText();

/// The flat evaluator: a formula without parentheses, evaluated the simple
/// way the calculator always has: a leading operator gets a "0" in front,
/// digits and points make operands, an operator followed by "-" negates the
/// next operand, any other character is skipped and cancels that negation,
/// * and / go first, operands and products are kept to 15 significant
/// digits. So "1 2" gives 12, "3*- 2" gives 6, "5-" gives 5. Division by
/// zero and overflow add the message "表达式：<text> 错误。<description>" and
/// give 0. Never escapes.
FallbackEvaluation evaluateFlat(const QString &text);

/// The formula evaluator: trims blanks, normalises, checks that parentheses
/// pair (else the message "括号不成对" and 0), then replaces the innermost
/// leftmost parenthesis by its flat value, pass after pass, and evaluates
/// what is left flat. A formula longer than kMaxFormulaLength escapes with
/// formulaTooLongText(); nothing else escapes. Runs in bounded time.
FallbackEvaluation evaluateFormula(const QString &text);

} // namespace zambrel::input
