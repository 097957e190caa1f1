#pragma once

#include <QString>
#include <QStringView>

namespace zambrel::base {

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

/// Formats `value` with a numeric picture of the kind the program's texts
/// use: before the point "#" is an optional and "0" a required digit and a
/// "," anywhere asks for thousands grouping; after the point "0" is a
/// required and "#" an optional decimal. Halves are rounded away from zero on
/// the number's 15-digit decimal form, so 1.005 with two decimals gives 1.01.
/// Examples: ("#,###.00", 0) -> ".00"; ("#,#00.00", 4000) -> "4,000.00";
/// ("#00.0", 5.25) -> "05.3"; ("#,##0.00", -1234.5) -> "-1,234.50".
/// A value that is no finite number (infinite, NaN) gives errorMark().
QString formatPicture(double value, QStringView picture);

/// What is shown in place of an amount that is no finite number (an infinity
/// or NaN written into the ledger by another program): "#错误".
QString errorMark();

} // namespace zambrel::base
