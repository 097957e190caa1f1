#pragma once

#include "reports/stock/currency.h"

#include <QString>

#include <array>
#include <optional>

namespace zambrel::stock {

/// One row of the target table: its caption, the factor f applied to the
/// range, and whether the row is bold. `multiple` is 1 or 2 for the rows
/// whose price is an exact multiple of the range (no rounding at all), 0
/// for the others.
struct TargetRow {
    QString text;
    double factor = 0;
    int multiple = 0;
    bool bold = false;
};

inline constexpr int kTargetRowCount = 9;

/// The nine rows in table order ("第1目标0.382" ... "第7目标3.618"); rows 3
/// and 5 (indexes 2 and 4) are bold.
const std::array<TargetRow, kTargetRowCount> &targetRows();

/// Which way the targets run from the reference points: up from the low
/// (rise), or down from the high (fall, and also when neither is chosen).
enum class Direction { Rise, Fall, Neither };

/// The computed table: the range H − L and one price per row.
struct TargetPrices {
    Currency range;
    std::array<Currency, kTargetRowCount> prices;

    /// What the range box shows.
    QString rangeText() const { return range.toText(); }
    QString priceText(int row) const { return prices.at(static_cast<std::size_t>(row)).toText(); }
};

/// The target prices for the texts of the low and the high reference point.
///
/// L and H are read as currency (four decimals, halves to even); D = H − L.
/// Rise: price = L + f × D; otherwise H − f × D. f × D is reckoned in double
/// precision and rounded to currency before it is added or subtracted; the
/// exact-multiple rows use D and 2 × D themselves. L > H simply gives a
/// negative range.
///
/// std::nullopt, meaning "leave the table as it is", when either text is no
/// number, or when a value falls outside the currency range; a table is
/// never half updated.
std::optional<TargetPrices> targetPrices(const QString &lowText, const QString &highText,
                                         Direction direction);

} // namespace zambrel::stock
