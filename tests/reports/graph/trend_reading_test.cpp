// The four series read from real ledger files, and a failing query reported
// once while the other series are kept.
#include "graph_ledger.h"

#include "reports/graph/trend_reading.h"
#include "test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zambrel;
using namespace zambrel::graph;

namespace {

bool sameSeries(const std::vector<store::MonthAmount> &read, const std::vector<store::MonthAmount> &expected)
{
    if (read.size() != expected.size())
        return false;
    for (std::size_t i = 0; i < read.size(); ++i) {
        if (read[i].month != expected[i].month || read[i].amount != expected[i].amount)
            return false;
    }
    return true;
}

} // namespace

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
    EXPECT_TRUE(sameSeries(reading.series.income, ledger.trendSeries(store::Category::Income)));
    EXPECT_TRUE(sameSeries(reading.series.expenditure, ledger.trendSeries(store::Category::Expenditure)));
    EXPECT_TRUE(sameSeries(reading.series.assets, ledger.trendSeries(store::Category::Assets)));
    EXPECT_TRUE(sameSeries(reading.series.debt, ledger.trendSeries(store::Category::Liabilities)));
    ASSERT_EQ(reading.series.income.size(), 24u);
    EXPECT_EQ(reading.series.income.front().month, QStringLiteral("2026-01"));
    EXPECT_DOUBLE_EQ(reading.series.income.front().amount, 12000);
    EXPECT_DOUBLE_EQ(reading.series.debt.back().amount, 9000 + 250 * 23);
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
