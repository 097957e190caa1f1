#include "graph_fixtures.h"

#include "reports/graph/trend_geometry.h"

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

std::vector<double> xs(const SeriesLine &line)
{
    std::vector<double> result;
    for (const SeriesPoint &point : line.points)
        result.push_back(point.at.x());
    return result;
}

void expectNear(const std::vector<double> &actual, const std::vector<double> &expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-12) << i;
}

} // namespace

// Months along x: step 0.8 from 18 months, 1.25 up to 17; for 17 months and
// fewer the labels sit as for 17; the horizontal grid ends one step after the
// last month.
TEST(TrendGeometry, MonthStepLabelsAndLineEnd)
{
    struct Case {
        int months;
        double step, firstLabelX, lastLabelX, lastPointX, gridEndX;
    };
    const Case cases[] = {{24, 0.8, 1.333333, 19.733333, 19.4, 20.2},
                          {18, 0.8, 0.777778, 14.377778, 14.6, 15.4},
                          {17, 1.25, 0.647059, 20.647059, 21, 22.25},
                          {5, 1.25, 0.647059, 5.647059, 6, 7.25},
                          {1, 1.25, 0.647059, 0.647059, 1, 2.25}};
    for (const Case &c : cases) {
        TrendSeries series;
        series.income = monthly("2024-12", std::vector<double>(std::size_t(c.months), 100));
        const TrendGeometry g = layoutTrendGraph(series);
        SCOPED_TRACE(c.months);
        EXPECT_DOUBLE_EQ(g.monthStep, c.step);
        ASSERT_EQ(g.months.size(), std::size_t(c.months));
        EXPECT_EQ(g.monthGrid.size(), std::size_t(c.months));
        EXPECT_NEAR(g.months.front().label.at.x(), c.firstLabelX, 1e-6);
        EXPECT_NEAR(g.months.back().label.at.x(), c.lastLabelX, 1e-6);
        const SeriesLine &income = lineOf(g, SeriesKind::Income);
        for (std::size_t i = 0; i < g.months.size(); ++i)
            EXPECT_NEAR(income.points[i].at.x(), g.months[i].gridX, 1e-12) << i;
        EXPECT_NEAR(income.points.back().at.x(), c.lastPointX, 1e-12);
        EXPECT_NEAR(g.gridEndX, c.gridEndX, 1e-12);
    }
}

// y = v * 10 / maximum at 2 decimals; the amount labels "#,###" of
// maximum / 10 * j at (-1.3, j + 0.1) for j = -1..10, the j = -1 one
// negative; dotted lines at j = -1, 1..11 from 0 to the line end.
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
    EXPECT_DOUBLE_EQ(lineOf(g, SeriesKind::Debt).points.front().at.y(), 0.05);

    ASSERT_EQ(g.amountLabels.size(), 12u);
    const char *texts[] = {"-300",  "",      "300",   "600",   "900",   "1,200",
                           "1,500", "1,800", "2,100", "2,400", "2,700", "3,000"};
    for (int j = -1; j <= 10; ++j) {
        const GraphText &label = g.amountLabels[std::size_t(j + 1)];
        EXPECT_EQ(label.text, QString::fromLatin1(texts[j + 1])) << j;
        EXPECT_EQ(label.at, QPointF(-1.3, j + 0.1)) << j;
    }
    ASSERT_EQ(g.amountGrid.size(), 12u);
    EXPECT_EQ(g.amountGrid.front().from, QPointF(0, -1));
    EXPECT_EQ(g.amountGrid[1].from, QPointF(0, 1));
    EXPECT_EQ(g.amountGrid.back().to, QPointF(g.gridEndX, 11));

    // The end amount is the last (oldest) point's, at the line's end.
    EXPECT_EQ(income.endLabel.text, QStringLiteral("-450"));
    EXPECT_EQ(income.endLabel.at, income.points.back().at);
}

// Nothing above 0: empty amount labels, series drawn against a maximum of 1.
TEST(TrendGeometry, AllZero)
{
    TrendSeries zero;
    zero.income = monthly("2024-05", {0, 0});
    zero.assets = monthly("2024-05", {-0.5});
    const TrendGeometry z = layoutTrendGraph(zero);
    EXPECT_EQ(z.commonMaximum, 0);
    EXPECT_EQ(z.scaleMaximum, 1);
    for (const GraphText &label : z.amountLabels)
        EXPECT_TRUE(label.text.isEmpty()) << label.at.y();
    EXPECT_DOUBLE_EQ(lineOf(z, SeriesKind::Assets).points.front().at.y(), -5);

    const TrendGeometry empty = layoutTrendGraph({});
    EXPECT_TRUE(empty.months.empty());
    EXPECT_EQ(empty.gridEndX, 1);
    EXPECT_EQ(empty.amountGrid.front().to, QPointF(1, -1));
}

// The newest month of each year shows "yyyy-mm" at y -0.2, the others "mm"
// 0.25 lower.
TEST(TrendGeometry, YearLabelsAndLoweredMonths)
{
    TrendSeries series;
    for (const char *month : {"2024-02", "2024-01", "2023-12", "2023-11", "2023-10", "2021-06"})
        series.income.push_back({QString::fromLatin1(month), 10});
    const TrendGeometry g = layoutTrendGraph(series);
    struct Expected {
        const char *text;
        double y;
    };
    const Expected expected[] = {{"2024-02", -0.2}, {"01", -0.45}, {"2023-12", -0.2},
                                 {"11", -0.45},     {"10", -0.45}, {"2021-06", -0.2}};
    ASSERT_EQ(g.months.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(g.months[i].label.text, QString::fromLatin1(expected[i].text)) << i;
        EXPECT_DOUBLE_EQ(g.months[i].label.at.y(), expected[i].y) << i;
        EXPECT_EQ(g.months[i].lowered, expected[i].y < -0.2) << i;
    }
}

// While every series' months are among the income months, the income months
// are the axis and each point sits at its own month: a shorter series is not
// stretched, a gap in it is not closed up.
TEST(TrendGeometry, SeriesWithinTheIncomeMonthsFollowThem)
{
    TrendSeries series;
    series.income = monthly("2024-12", std::vector<double>(24, 100));
    series.debt = monthly("2024-12", {1, 2, 3, 4, 5});
    series.expenditure = {{QStringLiteral("2024-10"), 7}, {QStringLiteral("2023-01"), 8}};
    const TrendGeometry g = layoutTrendGraph(series);
    EXPECT_EQ(g.months.size(), 24u);
    EXPECT_EQ(g.months.front().label.text, QStringLiteral("2024-12"));
    expectNear(xs(lineOf(g, SeriesKind::Debt)), {1, 1.8, 2.6, 3.4, 4.2});
    // 2024-10 is the third month, 2023-01 the last of the 24.
    expectNear(xs(lineOf(g, SeriesKind::Expenditure)), {2.6, 19.4});
}

// A series with months income lacks: the axis is the newest 24 months of
// all series together, every point at its month, and the scale from the
// points that are drawn.
TEST(TrendGeometry, MonthsOutsideIncomeWidenTheAxis)
{
    struct Expected {
        SeriesKind kind;
        std::vector<double> x;
    };
    struct Case {
        const char *what;
        TrendSeries series;
        std::vector<const char *> labels; // newest first
        double step;
        std::vector<Expected> lines;
        double maximum;
        double gridEndX;
    };
    std::vector<Case> cases;
    {
        // Three income months and a year of assets: 12 months, all assets drawn.
        Case c{"assets over a year", {}, {}, 1.25, {}, 1200, 16};
        c.series.income = monthly("2024-12", {10, 20, 30});
        c.series.assets = monthly("2024-12", {1200, 1100, 1000, 900, 800, 700, 600, 500, 400, 300, 200, 100});
        c.labels = {"2024-12", "11", "10", "09", "08", "07", "06", "05", "04", "03", "02", "01"};
        c.lines = {{SeriesKind::Income, {1, 2.25, 3.5}},
                   {SeriesKind::Assets, {1, 2.25, 3.5, 4.75, 6, 7.25, 8.5, 9.75, 11, 12.25, 13.5, 14.75}}};
        cases.push_back(c);
    }
    {
        // Expenditure newer and between the income months.
        Case c{"newer and between", {}, {}, 1.25, {}, 40, 6};
        c.series.income = {{QStringLiteral("2024-05"), 10}, {QStringLiteral("2024-01"), 20}};
        c.series.expenditure = {{QStringLiteral("2024-06"), 30}, {QStringLiteral("2024-03"), 40}};
        c.labels = {"2024-06", "05", "03", "01"};
        c.lines = {{SeriesKind::Income, {2.25, 4.75}}, {SeriesKind::Expenditure, {1, 3.5}}};
        cases.push_back(c);
    }
    {
        // No income at all: the other series still share one month axis.
        Case c{"no income", {}, {}, 0.8, {}, 300, 19.4};
        c.series.expenditure = monthly("2024-05", {100, 200, 300});
        c.series.debt = monthly("2023-01", std::vector<double>(20, 50));
        c.labels = {"2024-05", "04", "03", "2023-01", "2022-12", "11", "10", "09", "08", "07", "06", "05",
                    "04",      "03", "02", "01",      "2021-12", "11", "10", "09", "08", "07", "06"};
        c.lines = {{SeriesKind::Income, {}}, {SeriesKind::Expenditure, {1, 1.8, 2.6}}};
        cases.push_back(c);
    }
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const TrendGeometry g = layoutTrendGraph(c.series);
        EXPECT_DOUBLE_EQ(g.monthStep, c.step);
        ASSERT_EQ(g.months.size(), c.labels.size());
        for (std::size_t i = 0; i < c.labels.size(); ++i)
            EXPECT_EQ(g.months[i].label.text, QString::fromLatin1(c.labels[i])) << i;
        EXPECT_NEAR(g.gridEndX, c.gridEndX, 1e-12);
        for (const Expected &line : c.lines) {
            SCOPED_TRACE(int(line.kind));
            expectNear(xs(lineOf(g, line.kind)), line.x);
        }
        EXPECT_EQ(g.commonMaximum, c.maximum);
    }
}

// 26 months together: the two oldest are not drawn and do not set the scale
// (the debt of 9,999 in 2022-11); the line's end amount is the oldest drawn.
TEST(TrendGeometry, PointsOutsideTheAxisAreNotDrawn)
{
    TrendSeries series;
    series.income = monthly("2024-12", {500, 400});
    series.debt = monthly("2024-10", std::vector<double>(22, 100));
    series.debt.push_back({QStringLiteral("2022-11"), 9999});
    series.debt.push_back({QStringLiteral("2022-10"), 9999});
    const TrendGeometry g = layoutTrendGraph(series);
    EXPECT_EQ(g.months.size(), 24u);
    EXPECT_EQ(g.months.back().label.text, QStringLiteral("01"));
    EXPECT_NEAR(g.gridEndX, 20.2, 1e-12);
    const SeriesLine &debt = lineOf(g, SeriesKind::Debt);
    ASSERT_EQ(debt.points.size(), 22u);
    EXPECT_NEAR(debt.points.front().at.x(), 2.6, 1e-12);
    EXPECT_NEAR(debt.points.back().at.x(), 19.4, 1e-12);
    for (const SeriesPoint &point : debt.points)
        EXPECT_DOUBLE_EQ(point.at.y(), 2);
    EXPECT_EQ(debt.points.back().month, QStringLiteral("2023-01"));
    EXPECT_EQ(debt.endLabel.text, QStringLiteral("100"));
    EXPECT_EQ(lineOf(g, SeriesKind::Income).points.front().at, QPointF(1, 10));
    EXPECT_EQ(g.amountLabels.back().text, QStringLiteral("500"));
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
    EXPECT_EQ(plain.lines.size(), 4u);
    EXPECT_EQ(plain.legend.size(), 4u);
    const TrendGeometry g = layoutTrendGraph(series, true);
    ASSERT_EQ(g.lines.size(), 5u);
    const SeriesLine &net = g.lines.back();
    EXPECT_EQ(net.kind, SeriesKind::NetWorth);
    EXPECT_TRUE(net.dashed);
    ASSERT_EQ(net.points.size(), 2u);
    EXPECT_EQ(net.points[0].amount, 700);
    EXPECT_EQ(net.points[1].amount, -700);
    EXPECT_EQ(net.points[1].at, QPointF(3.5, -4.67)); // against the debt maximum 1,500
    EXPECT_EQ(g.commonMaximum, plain.commonMaximum);
    EXPECT_EQ(g.legend.back().label.text, QStringLiteral("净资产Net--"));
}

// Pixels and graph coordinates; the tip finds the nearest point within the
// radius, the line drawn last winning a tie.
TEST(TrendGeometry, HitTestAndTip)
{
    const QSizeF size(810, 600);
    EXPECT_EQ(toPixels(QPointF(-2, 11), size), QPointF(0, 0));
    EXPECT_EQ(toPixels(QPointF(25, -1), size), QPointF(810, 600));
    EXPECT_EQ(toGraph(QPointF(90, 50), size), QPointF(1, 10));

    TrendSeries series;
    series.income = monthly("2024-05", {1234.5, 100});
    series.expenditure = monthly("2024-05", {1234.5});
    series.assets = monthly("2024-05", {0, 617.25});
    const TrendGeometry g = layoutTrendGraph(series);
    // Income and expenditure share the first point: expenditure is on top.
    std::optional<PointHit> hit = hitTest(g, size, QPointF(92, 52));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->kind, SeriesKind::Expenditure);
    EXPECT_EQ(tipText(*hit), QStringLiteral("支出 Expenditure\n2024-05: 1,234.50"));
    hit = hitTest(g, size, toPixels(QPointF(2.25, 5), size) + QPointF(0, 5));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->month, QStringLiteral("2024-04"));
    EXPECT_EQ(hit->amount, 617.25);
    EXPECT_FALSE(hitTest(g, size, QPointF(92, 60)));
}
