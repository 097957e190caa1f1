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

} // namespace

// Months along x: step 0.8 from 18 months, 1.25 up to 17; labels shifted by
// 2 - 40/n from their grid lines (as for 17 months when there are fewer);
// the horizontal grid ends one step after the last month.
TEST(TrendGeometry, MonthStepLabelsAndLineEnd)
{
    struct Case {
        int months;
        double step, firstLabelX, lastPointX, gridEndX;
    };
    const Case cases[] = {{24, 0.8, 1 + 2 - 40.0 / 24, 19.4, 20.2},
                          {18, 0.8, 1 + 2 - 40.0 / 18, 14.6, 15.4},
                          {17, 1.25, 1 + 2 - 40.0 / 17, 21, 22.25},
                          {5, 1.25, 1 + 2 - 40.0 / 17, 6, 7.25},
                          {1, 1.25, 1 + 2 - 40.0 / 17, 1, 2.25}};
    for (const Case &c : cases) {
        TrendSeries series;
        series.income = monthly("2024-12", std::vector<double>(std::size_t(c.months), 100));
        const TrendGeometry g = layoutTrendGraph(series);
        SCOPED_TRACE(c.months);
        EXPECT_DOUBLE_EQ(g.monthStep, c.step);
        ASSERT_EQ(g.months.size(), std::size_t(c.months));
        EXPECT_NEAR(g.months.front().label.at.x(), c.firstLabelX, 1e-12);
        for (std::size_t i = 0; i < g.months.size(); ++i) {
            EXPECT_NEAR(g.months[i].gridX, 1 + double(i) * c.step, 1e-12);
            EXPECT_NEAR(g.months[i].label.at.x() - g.months[i].gridX, c.firstLabelX - 1, 1e-12);
            EXPECT_NEAR(lineOf(g, SeriesKind::Income).points[i].at.x(), g.months[i].gridX, 1e-12);
        }
        EXPECT_NEAR(lineOf(g, SeriesKind::Income).points.back().at.x(), c.lastPointX, 1e-12);
        EXPECT_NEAR(g.gridEndX, c.gridEndX, 1e-12);
        EXPECT_EQ(g.monthGrid.size(), std::size_t(c.months));
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
// Without income: no months, horizontal lines from 0 to 1, the other series
// drawn each with its own step from x = 1.
TEST(TrendGeometry, AllZeroAndNoIncome)
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

    TrendSeries noIncome;
    noIncome.expenditure = monthly("2024-05", {100, 200, 300});
    noIncome.debt = monthly("2023-01", std::vector<double>(20, 50));
    const TrendGeometry g = layoutTrendGraph(noIncome);
    EXPECT_TRUE(g.months.empty());
    EXPECT_TRUE(g.monthGrid.empty());
    EXPECT_EQ(g.gridEndX, 1);
    EXPECT_EQ(g.amountGrid.front().to, QPointF(1, -1));
    EXPECT_EQ(xs(lineOf(g, SeriesKind::Expenditure)), (std::vector<double>{1, 2.25, 3.5}));
    EXPECT_NEAR(xs(lineOf(g, SeriesKind::Debt)).back(), 1 + 19 * 0.8, 1e-12);
    EXPECT_TRUE(lineOf(g, SeriesKind::Income).points.empty());
    EXPECT_TRUE(lineOf(g, SeriesKind::Income).endLabel.text.isEmpty());
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

// Points go to their own month on the income months: a shorter series is
// not stretched, a month between two axis months sits between them by
// calendar month, months outside the axis are left out.
TEST(TrendGeometry, SeriesFollowTheMonthAxis)
{
    TrendSeries series;
    series.income = monthly("2024-12", std::vector<double>(24, 100));
    series.debt = monthly("2024-12", {1, 2, 3, 4, 5});
    TrendGeometry g = layoutTrendGraph(series);
    const std::vector<double> debtX = xs(lineOf(g, SeriesKind::Debt));
    ASSERT_EQ(debtX.size(), 5u);
    for (std::size_t i = 0; i < debtX.size(); ++i)
        EXPECT_NEAR(debtX[i], 1 + 0.8 * double(i), 1e-12);

    series = {};
    for (const char *month : {"2024-05", "2024-04", "2024-01"})
        series.income.push_back({QString::fromLatin1(month), 10});
    for (const char *month : {"2024-06", "2024-04", "2024-03", "2024-02", "2023-12"})
        series.expenditure.push_back({QString::fromLatin1(month), 10});
    g = layoutTrendGraph(series);
    const SeriesLine &expenditure = lineOf(g, SeriesKind::Expenditure);
    ASSERT_EQ(expenditure.points.size(), 3u);
    EXPECT_EQ(expenditure.points[0].month, QStringLiteral("2024-04"));
    EXPECT_NEAR(expenditure.points[1].at.x(), 2.25 + 1.25 / 3, 1e-12);
    EXPECT_NEAR(expenditure.points[2].at.x(), 2.25 + 2 * 1.25 / 3, 1e-12);
    EXPECT_EQ(expenditure.endLabel.at, expenditure.points[2].at);
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
