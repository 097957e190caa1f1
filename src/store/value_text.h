#pragma once

#include <QString>

namespace zambrel::store {

/// The numeric value of a text when it reads as a number (blanks around it
/// allowed), otherwise 0.
double toNumber(const QString &text);
/// True when the text reads as a number for toNumber() (which cannot tell a
/// "0" from text that is no number).
bool isNumeric(const QString &text);
/// A numeric text round-tripped through a number ("12.50" -> "12.5"); "0"
/// for anything else.
QString numberText(const QString &text);
/// A double as the plain text the program writes amounts in (up to 15
/// significant digits, no grouping, no exponent for everyday amounts).
QString numberToText(double value);
/// numberToText() together with the number that text reads back as (what
/// toNumber() gives for it), for callers that keep both.
struct NumberWithText {
    double value = 0;
    QString text;
};
NumberWithText numberWithText(double value);
/// `value` rounded to 15 significant digits, as reading
/// QString::number(value, 'g', 15) back gives it (binary noise such as
/// 1.005 * 100 == 100.49999… taken out before rounding to a picture).
double throughFifteenDigits(double value);

} // namespace zambrel::store
