#include "reports/graph/trend_reading.h"

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

store::DbError TrendReading::failure() const
{
    // One broken table usually fails all four queries alike: say it once.
    QStringList descriptions;
    for (const SeriesFailure &each : failures) {
        if (!descriptions.contains(each.error.description()))
            descriptions << each.error.description();
    }
    return store::DbError(store::ErrorKind::Other, descriptions.join(u'\n'));
}

} // namespace zambrel::graph
