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
};

/// Reads the four series through the ledger, in the order income,
/// expenditure, assets, debt. A series whose query throws DbError is left
/// empty and its failure kept; the others are read all the same. Any other
/// exception escapes.
TrendReading readTrendSeries(const store::Ledger &ledger);

/// Tells the user, once for the whole reading, that series could not be read:
/// one message on the query road, with each distinct description once.
/// Shows nothing when every series was read. Never throws.
void reportReadFailures(const TrendReading &reading) noexcept;

} // namespace zambrel::graph
