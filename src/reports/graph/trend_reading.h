#pragma once

#include "reports/graph/trend_geometry.h"
#include "store/db_error.h"

#include <vector>

namespace zambrel::store {
class Ledger;
}

namespace zambrel::graph {

/// A series whose query failed, and why.
struct SeriesFailure {
    SeriesKind kind = SeriesKind::Income;
    store::DbError error;
};

/// The four series as far as they could be read.
struct TrendReading {
    TrendSeries series;                  ///< a failed series is empty
    std::vector<SeriesFailure> failures; ///< in reading order

    /// The failures as one error, to be told once for the whole reading:
    /// the first one's number, each distinct description once. Only when
    /// there are failures.
    store::DbError failure() const;
};

/// Reads the four series through the ledger, in the order income,
/// expenditure, assets, debt. A series whose query throws DbError is left
/// empty and its failure kept, as a value; the others are read all the
/// same. Any other exception escapes.
TrendReading readTrendSeries(const store::Ledger &ledger);

} // namespace zambrel::graph
