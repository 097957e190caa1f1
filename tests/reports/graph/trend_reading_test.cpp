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
// at most 24 months; nothing is reported.
TEST(TrendReading, ReadsTheFourSeriesInTheirOrder)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("books.mdb"));
    graph::testing::writeSampleLedger(path, "2026-01", 30);
    const store::Ledger ledger(path, {});
    testkit::ScriptedResponder responder;

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

    reportReadFailures(reading);
    EXPECT_TRUE(responder.shown().empty());
}

// One query fails: that series is empty, the others are read, and the user
// hears of it once. When all four fail alike, still one message.
TEST(TrendReading, AFailedSeriesIsEmptyAndReportedOnce)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("books.mdb"));
    graph::testing::writeSampleLedger(path, "2026-01", 6);
    graph::testing::makeLoanSumsOverflow(path);
    testkit::ScriptedResponder responder;
    {
        const store::Ledger ledger(path, {});
        const TrendReading reading = readTrendSeries(ledger);
        ASSERT_EQ(reading.failures.size(), 1u);
        EXPECT_EQ(reading.failures.front().kind, SeriesKind::Debt);
        EXPECT_TRUE(reading.series.debt.empty());
        EXPECT_EQ(reading.series.income.size(), 6u);
        EXPECT_EQ(reading.series.expenditure.size(), 6u);
        EXPECT_EQ(reading.series.assets.size(), 6u);

        reportReadFailures(reading);
        ASSERT_EQ(responder.shown().size(), 1u);
        EXPECT_TRUE(responder.shown()[0].text.startsWith(reading.failures.front().error.description()));
        EXPECT_TRUE(responder.shown()[0].text.endsWith(QStringLiteral("无法查询。")));
    }

    testkit::damageTablePages(path, {}, QStringLiteral("AssetType"));
    responder.clear();
    const store::Ledger ledger(path, {});
    const TrendReading reading = readTrendSeries(ledger);
    EXPECT_EQ(reading.failures.size(), 4u);
    reportReadFailures(reading);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].text.count(reading.failures.front().error.description()), 1);
}
