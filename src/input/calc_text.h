#pragma once

#include <QString>

namespace zambrel::input {

/// Turns the operator characters a Chinese input method produces into ASCII
/// ones: ＋ － × 、 ÷ 。 （ ） ＊ ／ become + - * / / . ( ) * /; and an "x" or
/// "X" between two numbers or parenthesised groups (blanks allowed around
/// it) becomes "*", so that 3x4 is 12. Nothing else changes: full-width
/// digits and blanks stay as typed, and the length stays the same.
QString normaliseFormula(const QString &text);

/// True when the character at `at` is a comma grouping the digits of a
/// whole number in threes: 1,200 and 12,345,678, not 12,5 nor 1,2345 nor a
/// comma among the digits after a point. Digits may be ASCII or full-width.
bool isDigitGroupComma(const QString &text, qsizetype at);

/// A finite double as plain text with at most 15 significant digits, no
/// grouping and never an exponent ("0.333333333333333", "-3", "1e20" as
/// "100000000000000000000"). The calculator re-reads this text as part of a
/// formula, so an exponent would be read as a letter and an operator.
/// -0 gives "0". The result is undefined for inf and nan; callers reject them.
QString plainNumberText(double value);

/// A finite double in the amount fields' "#0.00" form: at least one digit
/// before the point, exactly two after, rounded half away from zero on the
/// value's 15-significant-digit decimal form (1.005 gives "1.01", -3 gives
/// "-3.00"); a value that rounds to zero gives "0.00".
QString twoDecimalText(double value);

/// The value rounded to 15 significant digits, as plainNumberText() would
/// write and a reader would read it back.
double roundToDisplayedDigits(double value);

} // namespace zambrel::input
