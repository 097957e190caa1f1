#pragma once

#include <QString>

namespace zambrel::stock {

/// The two chart pictures the site serves for a share.
enum class ChartKind { KLine, Trend };

/// The other kind: a click on the picture switches between the two.
constexpr ChartKind otherKind(ChartKind kind)
{
    return kind == ChartKind::KLine ? ChartKind::Trend : ChartKind::KLine;
}

/// The number a text begins with, as a numeric conversion that stops at the
/// first character that cannot continue a number: after trimming blanks, an
/// optional sign, digits and at most one decimal point ("600000 浦发银行" ->
/// 600000, "12.5x" -> 12.5). A blank ends the number, so "600000 1号" is
/// 600000, not 6000001. 0 when the text does not begin with a number.
double leadingNumber(const QString &text);

/// A number as a share code: rounded to a whole number (halves away from
/// zero) and written with at least six digits ("000000"): 1 -> "000001",
/// 600000 -> "600000".
QString shareCode(double number);

/// The code of the buttons, of a holding's share name and of a click on the
/// picture: shareCode(leadingNumber(text)). A name without leading digits
/// gives "000000".
QString leadingShareCode(const QString &text);

/// The code of Enter in the code box, which takes the typed text as it is:
/// a numeric text (as the store reads numbers: "1", " 12 ", "1e3") is
/// formatted as a number; any other text cannot be formatted as one and
/// would reach the site's path unchanged, so it falls back to its leading
/// number as the buttons read it ("600000 浦发银行" -> "600000").
QString typedShareCode(const QString &text);

} // namespace zambrel::stock
