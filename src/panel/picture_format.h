#pragma once

#include <QString>
#include <QStringView>

namespace zambrel::panel {

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

} // namespace zambrel::panel
