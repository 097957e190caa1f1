#pragma once

#include "base/text_key.h"
#include "store/ledger_records.h"

#include <QHash>
#include <QString>

#include <vector>

namespace zambrel::ledger {

/// A month's totals as the four category panels show them, and the salary.
struct MonthSummary {
    double income = 0;      ///< income of income items
    double expenditure = 0; ///< actual spending of expenditure items
    double assets = 0;      ///< total cost of asset items
    double liabilities = 0; ///< loan totals of liability items
    double salary = 0;      ///< income of items of the type 工资, whatever its mask
    /// Amounts of the month's items that the panels or the salary would use
    /// but that are no finite number (an infinity or NaN written by another
    /// program): each is left out of every figure above.
    int unreadableAmounts = 0;
};

/// Type name -> category mask, the first row of a type winning.
QHash<base::TextKey, QString> typeKinds(const std::vector<store::ItemType> &types);

/// Computes a month's totals from its items and the type list without any
/// panel: each item counts where placing it shows it, by the mask of the
/// first row of its type. A loan counts once, and only where its type has a
/// liabilities group (some row of the type counts as a liability): an
/// expenditure type's loan shows nowhere. Amounts are taken at the 15
/// significant digits the panels show them with; one that is no finite
/// number is counted in unreadableAmounts instead.
MonthSummary summariseMonth(const std::vector<store::Item> &items, const std::vector<store::ItemType> &types);

} // namespace zambrel::ledger
