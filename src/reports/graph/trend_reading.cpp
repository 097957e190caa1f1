#include "reports/graph/trend_reading.h"

#include "host/error_report.h"
#include "store/ledger.h"

#include <QStringList>

namespace zambrel::graph {

TrendReading readTrendSeries(const store::Ledger &ledger)
{
    TrendReading reading;
    const std::pair<SeriesKind, store::Category> order[] = {
        {SeriesKind::Income, store::Category::Income},
        {SeriesKind::Expenditure, store::Category::Expenditure},
        {SeriesKind::Assets, store::Category::Assets},
        {SeriesKind::Debt, store::Category::Liabilities},
    };
    std::vector<store::MonthAmount> *targets[] = {&reading.series.income, &reading.series.expenditure,
                                                  &reading.series.assets, &reading.series.debt};
    for (std::size_t i = 0; i < std::size(order); ++i) {
        try {
            *targets[i] = ledger.trendSeries(order[i].second);
        } catch (const store::DbError &error) {
            reading.failures.push_back({order[i].first, error});
        }
    }
    return reading;
}

void reportReadFailures(const TrendReading &reading) noexcept
{
    if (reading.failures.empty())
        return;
    try {
        // One broken table usually fails all four queries alike: say it once.
        QStringList descriptions;
        for (const SeriesFailure &failure : reading.failures) {
            if (!descriptions.contains(failure.error.description()))
                descriptions << failure.error.description();
        }
        store::reportError(store::DbError(store::ErrorKind::Other, descriptions.join(u'\n')),
                           store::ErrorRoad::Query);
    } catch (...) {
    }
}

} // namespace zambrel::graph
