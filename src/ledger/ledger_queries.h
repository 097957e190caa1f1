#pragma once

#include <QString>

#include <memory>

namespace zambrel::store {
class RecordSet;
}

namespace zambrel::ledger {

/// Runs a select on the program-wide connection and returns its rows
/// (client-side, positioned on the first row). When that connection is
/// missing or closed the record-set routines re-create it first.
/// @throws store::DbError when the statement fails.
std::unique_ptr<store::RecordSet> readRows(const QString &sql);

/// The month's asset total: TotalCost summed over items whose type counts as
/// an asset. 0 for a month without asset items and on any error.
double AssetTotal(const QString &monthKey);

} // namespace zambrel::ledger
