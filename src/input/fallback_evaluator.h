#pragma once

#include <QString>
#include <QStringList>

namespace zambrel::input {

/// What the calculator's own evaluator produced: a finite value, the
/// messages it would show the user in order (each already worded), and
/// whether it had to give up (then `value` is not the formula's value and
/// `escapedError` holds the description): a formula it could only read by
/// dropping or reinterpreting a character, a result that overflows, or a
/// formula too long to evaluate.
struct FallbackEvaluation {
    double value = 0.0;
    QStringList messages;
    QString escapedError;
    bool escaped() const { return !escapedError.isEmpty(); }
};

/// Message texts the calculator uses.
QString unpairedParenthesesText(); ///< "括号不成对"
QString divisionByZeroText();
QString overflowText();
QString noRealValueText();
QString formulaTooLongText();
QString unknownCharacterText(QChar character); ///< names the character
QString blankInNumberText();                   ///< "1200 3"
QString twoPointsText();                       ///< "1.2.3"
QString missingNumberText();                   ///< "2**3", "*3", "5*", "()"
QString missingOperatorText();                 ///< "2(3)", "(2)3"
QString unclearSignText();                     ///< "3*--2", "3*- 2"

/// The flat evaluator: a formula without parentheses, evaluated the simple
/// way the calculator always has: a leading sign gets a "0" in front, digits
/// and points make operands, an operator followed by "-" negates the next
/// operand, * and / go first, operands and products are kept to 15
/// significant digits; a missing last operand after + or - counts as 0
/// ("5-" gives 5). Commas that group digits in threes ("1,200") are read as
/// such. Division by zero adds the message "表达式：<text> 错误。<description>"
/// and gives 0. Gives up (escapedError) on anything it could only read by
/// guessing: a character that is no digit, point, operator or blank, a blank
/// between digits, a second point in a number, a missing operand elsewhere,
/// a second minus after an operator or a blank after it, and on overflow.
/// The value is finite in every case.
FallbackEvaluation evaluateFlat(const QString &text);

/// The formula evaluator: trims blanks, normalises, checks that parentheses
/// pair (else the message "括号不成对" and 0), then replaces the innermost
/// leftmost parenthesis by its flat value, pass after pass, and evaluates
/// what is left flat. A parenthesis must stand where a number could (no
/// "2(3)", no "()"). Gives up as soon as a flat evaluation gives up, and on
/// a formula longer than kMaxFormulaLength. Runs in bounded time.
FallbackEvaluation evaluateFormula(const QString &text);

} // namespace zambrel::input
