// A failing query reported once while the other series are kept. (Reading
// the four series of a real ledger is the graph window's own test.)
#include "graph_ledger.h"

#include "reports/graph/trend_reading.h"
#include "test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zambrel;
using namespace zambrel::graph;

// One query fails: that series is empty, the others are read. When all four
// fail alike, the failures come back as one error to tell.
TEST(TrendReading, AFailedSeriesIsEmptyAndToldAsOneError)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("books.mdb"));
    graph::testing::writeSampleLedger(path, "2026-01", 30);
    graph::testing::makeLoanSumsOverflow(path);
    {
        const TrendReading reading = readTrendSeries(store::Ledger(path, {}));
        ASSERT_EQ(reading.failures.size(), 1u);
        EXPECT_EQ(reading.failures.front().kind, SeriesKind::Debt);
        EXPECT_TRUE(reading.series.debt.empty());
        for (const auto *series :
             {&reading.series.income, &reading.series.expenditure, &reading.series.assets})
            EXPECT_EQ(series->size(), 24u) << "the newest 24 months";
    }
    testkit::damageTablePages(path, {}, QStringLiteral("AssetType"));
    const TrendReading reading = readTrendSeries(store::Ledger(path, {}));
    EXPECT_EQ(reading.failures.size(), 4u);
    EXPECT_EQ(reading.failure().description(), reading.failures.front().error.description());
}
