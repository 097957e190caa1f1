// The four series read from real ledger files, and a failing query reported
// once while the other series are kept.
#include "graph_ledger.h"

#include "reports/graph/trend_reading.h"
#include "test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zambrel;
using namespace zambrel::graph;

// Each series is the ledger's series of its category, newest month first,
// at most 24 months.
TEST(TrendReading, ReadsTheFourSeriesInTheirOrder)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("books.mdb"));
    graph::testing::writeSampleLedger(path, "2026-01", 30);
    const store::Ledger ledger(path, {});

    const TrendReading reading = readTrendSeries(ledger);
    EXPECT_TRUE(reading.failures.empty());
    for (const auto *series : {&reading.series.income, &reading.series.expenditure, &reading.series.assets,
                               &reading.series.debt}) {
        ASSERT_EQ(series->size(), 24u);
        EXPECT_EQ(series->front().month, QStringLiteral("2026-01"));
        EXPECT_EQ(series->back().month, QStringLiteral("2024-02"));
    }
    EXPECT_DOUBLE_EQ(reading.series.income.front().amount, 12000);
    EXPECT_DOUBLE_EQ(reading.series.expenditure.front().amount, 6500);
    EXPECT_DOUBLE_EQ(reading.series.assets.back().amount, 12400);
    EXPECT_DOUBLE_EQ(reading.series.debt.back().amount, 14750);
}

// One query fails: that series is empty, the others are read, and the
// failures come back as one error to tell. When all four fail alike, it says
// so once.
TEST(TrendReading, AFailedSeriesIsEmptyAndToldAsOneError)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("books.mdb"));
    graph::testing::writeSampleLedger(path, "2026-01", 6);
    graph::testing::makeLoanSumsOverflow(path);
    {
        const store::Ledger ledger(path, {});
        const TrendReading reading = readTrendSeries(ledger);
        ASSERT_EQ(reading.failures.size(), 1u);
        EXPECT_EQ(reading.failures.front().kind, SeriesKind::Debt);
        EXPECT_TRUE(reading.series.debt.empty());
        EXPECT_EQ(reading.series.income.size(), 6u);
        EXPECT_EQ(reading.series.expenditure.size(), 6u);
        EXPECT_EQ(reading.series.assets.size(), 6u);

        EXPECT_EQ(reading.failure().description(), reading.failures.front().error.description());
    }

    testkit::damageTablePages(path, {}, QStringLiteral("AssetType"));
    const store::Ledger ledger(path, {});
    const TrendReading reading = readTrendSeries(ledger);
    EXPECT_EQ(reading.failures.size(), 4u);
    EXPECT_EQ(reading.failure().description(), reading.failures.front().error.description());
}
