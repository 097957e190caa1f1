#include "graph_fixtures.h"
#include "graph_ledger.h"

#include "reports/graph/trend_geometry.h"
#include "reports/graph/trend_reading.h"
#include "test_support.h"

#include "qstring_printer.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zambrel;
using namespace zambrel::graph;
using graph::testing::monthly;

namespace {

const SeriesLine &lineOf(const TrendGeometry &geometry, SeriesKind kind)
{
    for (const SeriesLine &line : geometry.lines) {
        if (line.kind == kind)
            return line;
    }
    throw std::logic_error("no such line");
}

/// The month axis as shown, newest first: "yyyy-mm" at the newest month of
/// each year, "mm" for the others.
QString axisLabels(const TrendGeometry &geometry)
{
    QStringList labels;
    for (const MonthLabel &month : geometry.months)
        labels << month.label.text;
    return labels.join(u' ');
}

/// Every point drawn sits on the grid line of its own month, and the
/// months shown with only "mm" are set lower.
void expectPointsOnTheirMonths(const TrendGeometry &geometry)
{
    QStringList axis;
    QString year;
    for (const MonthLabel &month : geometry.months) {
        const bool full = month.label.text.size() == 7;
        year = full ? month.label.text.left(4) : year;
        axis << (full ? month.label.text : year + u'-' + month.label.text);
        EXPECT_EQ(month.lowered, !full) << month.label.text.toStdString();
    }
    for (const SeriesLine &line : geometry.lines) {
        for (const SeriesPoint &point : line.points) {
            const qsizetype at = axis.indexOf(point.month);
            ASSERT_GE(at, 0) << point.month.toStdString() << " is not on the axis";
            EXPECT_NEAR(point.at.x(), geometry.months[std::size_t(at)].gridX, 1e-12);
        }
    }
}

} // namespace

// The axis is the newest 24 months of all series together; each point sits
// at its own month (a shorter series is not stretched, a gap in it not
// closed up), and the scale comes from the points that are drawn.
TEST(TrendGeometry, MonthAxisOfAllSeriesAndPointsAtTheirMonths)
{
    struct Case {
        const char *what;
        TrendSeries series;
        const char *axis;
        std::size_t debtPoints;
        double maximum;
    };
    std::vector<Case> cases(3);
    cases[0] = {"gaps within the income months", {}, nullptr, 5, 100};
    cases[0].series.income = monthly("2024-12", std::vector<double>(24, 100));
    cases[0].series.debt = monthly("2024-12", {1, 2, 3, 4, 5});
    cases[0].series.expenditure = {{QStringLiteral("2024-10"), 7}, {QStringLiteral("2023-01"), 8}};
    // The newest month of each year carries the year, also after a gap.
    cases[1] = {"no income",
                {},
                "2024-05 04 03 2023-01 2022-12 11 10 09 08 07 06 05 04 03 02 01 2021-12 11 10 09 08 07 06",
                20,
                300};
    cases[1].series.expenditure = monthly("2024-05", {100, 200, 300});
    cases[1].series.debt = monthly("2023-01", std::vector<double>(20, 50));
    // 26 months together: the two oldest are not drawn and do not set the
    // scale; the line's end amount is the oldest drawn.
    cases[2] = {"beyond 24 months", {}, nullptr, 22, 500};
    cases[2].series.income = monthly("2024-12", {500, 400});
    cases[2].series.debt = monthly("2024-10", std::vector<double>(22, 100));
    cases[2].series.debt.push_back({QStringLiteral("2022-11"), 9999});
    cases[2].series.debt.push_back({QStringLiteral("2022-10"), 9999});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const TrendGeometry g = layoutTrendGraph(c.series);
        expectPointsOnTheirMonths(g);
        if (c.axis) {
            EXPECT_EQ(axisLabels(g), QString::fromLatin1(c.axis));
        }
        EXPECT_EQ(lineOf(g, SeriesKind::Debt).points.size(), c.debtPoints);
        EXPECT_EQ(g.commonMaximum, c.maximum);
    }
    const TrendGeometry beyond = layoutTrendGraph(cases[2].series);
    EXPECT_EQ(lineOf(beyond, SeriesKind::Debt).points.back().month, QStringLiteral("2023-01"));
    EXPECT_EQ(lineOf(beyond, SeriesKind::Debt).endLabel.text, QStringLiteral("100"));
}

// y = v * 10 / maximum at 2 decimals against the largest of all series; the
// amount labels "#,###" of maximum / 10 * j for j = -1..10.
TEST(TrendGeometry, AmountScaleAndLabels)
{
    TrendSeries series;
    series.income = monthly("2024-05", {1000, 2000, 3000, 37.5, 1, -450});
    series.debt = monthly("2024-05", {15});
    const TrendGeometry g = layoutTrendGraph(series);
    EXPECT_EQ(g.commonMaximum, 3000);
    const std::vector<double> expectedY = {3.33, 6.67, 10, 0.13, 0, -1.5};
    const SeriesLine &income = lineOf(g, SeriesKind::Income);
    ASSERT_EQ(income.points.size(), expectedY.size());
    for (std::size_t i = 0; i < expectedY.size(); ++i)
        EXPECT_DOUBLE_EQ(income.points[i].at.y(), expectedY[i]) << i;
    QStringList labels;
    for (const GraphText &label : g.amountLabels)
        labels << label.text;
    EXPECT_EQ(labels.join(u' '),
              QStringLiteral("-300  300 600 900 1,200 1,500 1,800 2,100 2,400 2,700 3,000"));
    // The end amount is the last (oldest) point's, at the line's end.
    EXPECT_EQ(income.endLabel.text, QStringLiteral("-450"));

    // Nothing above 0: empty amount labels, series drawn against a maximum of 1.
    TrendSeries zero;
    zero.income = monthly("2024-05", {0, 0});
    zero.assets = monthly("2024-05", {-0.5});
    const TrendGeometry z = layoutTrendGraph(zero);
    EXPECT_EQ(z.scaleMaximum, 1);
    EXPECT_TRUE(z.amountLabels.front().text.isEmpty());
    EXPECT_DOUBLE_EQ(lineOf(z, SeriesKind::Assets).points.front().at.y(), -5);
    EXPECT_TRUE(layoutTrendGraph({}).months.empty());
}

// Net worth: assets - debt for months in both, dashed, only when asked for;
// it leaves the rest of the picture as it is.
TEST(TrendGeometry, NetWorthLine)
{
    TrendSeries series;
    series.income = monthly("2024-05", {10, 10, 10});
    series.assets = monthly("2024-05", {1000, 900, 800});
    series.debt = {{QStringLiteral("2024-05"), 300}, {QStringLiteral("2024-03"), 1500}};
    const TrendGeometry plain = layoutTrendGraph(series);
    const TrendGeometry g = layoutTrendGraph(series, true);
    ASSERT_EQ(g.lines.size(), 5u);
    const SeriesLine &net = g.lines.back();
    EXPECT_TRUE(net.kind == SeriesKind::NetWorth && net.dashed);
    ASSERT_EQ(net.points.size(), 2u);
    EXPECT_EQ(net.points[0].amount, 700);
    EXPECT_EQ(net.points[1].amount, -700);
    EXPECT_DOUBLE_EQ(net.points[1].at.y(), -4.67); // against the debt maximum 1,500
    EXPECT_EQ(g.commonMaximum, plain.commonMaximum);
}

// The tip finds the nearest point within the radius, the line drawn last
// winning a tie. (Hovering the window's picture is the window's test.)
TEST(TrendGeometry, HitTestAndTip)
{
    const QSizeF size(810, 600);
    TrendSeries series;
    series.income = monthly("2024-05", {1234.5, 100});
    series.expenditure = monthly("2024-05", {1234.5});
    const TrendGeometry g = layoutTrendGraph(series);
    const QPointF first = toPixels(lineOf(g, SeriesKind::Income).points[0].at, size);
    const std::optional<PointHit> hit = hitTest(g, size, first + QPointF(2, 2));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->kind, SeriesKind::Expenditure);
    EXPECT_EQ(tipText(*hit), QStringLiteral("支出 Expenditure\n2024-05: 1,234.50"));
    EXPECT_FALSE(hitTest(g, size, first + QPointF(2, 10)));
}

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
