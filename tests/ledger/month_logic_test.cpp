#include "item_fixtures.h"
#include "ledger/assessment.h"
#include "ledger/month_panels.h"
#include "ledger/month_summary.h"
#include "qstring_printer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace {

using namespace zambrel::ledger;
using zambrel::panel::CategoryRows;
namespace store = zambrel::store;

// Item rows of a panel as "name=amount" (four columns) or
// "name=amount/amount1" (five columns), group rows left out.
QStringList items(const CategoryRows &rows)
{
    QStringList out;
    for (int i = 0; i < rows.rowCount(); ++i) {
        const auto &row = rows.row(i);
        if (row.text(0).isEmpty()) {
            QString text = row.text(1) + u'=' + row.text(2);
            if (rows.columnCount() == 5)
                text += u'/' + row.text(3);
            out << text + u'#' + row.key;
        }
    }
    return out;
}

struct PlacementCase {
    const char *kind;
    double debet;
    double debetPerMonth;
    QStringList income, payout, asset, debt;
};

class Placement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(Placement, ItemLandsInThePanelsItsMaskNames)
{
    const PlacementCase &c = GetParam();
    MonthPanels panels;
    resetPanels(panels);
    addGroupRows(panels, QString::fromLatin1(c.kind), QStringLiteral("T"));
    store::Item item = zambrel::testkit::itemOf(QStringLiteral("T"), QStringLiteral("n"),
                                                {1, 2, 3, 4, 5, c.debet, c.debetPerMonth});
    item.code = 9;
    placeItem(panels, QString::fromLatin1(c.kind), item);
    EXPECT_EQ(items(panels.income), c.income);
    EXPECT_EQ(items(panels.expenditure), c.payout);
    EXPECT_EQ(items(panels.assets), c.asset);
    EXPECT_EQ(items(panels.liabilities), c.debt);

    removeItem(panels, QStringLiteral("K9"));
    for (const CategoryRows *rows :
         {&panels.income, &panels.expenditure, &panels.assets, &panels.liabilities})
        EXPECT_TRUE(items(*rows).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    EveryMask, Placement,
    ::testing::Values(PlacementCase{"1000", 6, 7, {"n=1#K9"}, {}, {}, {}},
                      PlacementCase{"0100", 0, 0, {}, {"n=3/2#K9"}, {}, {}},
                      // The repayment row replaces the item's own expenditure row;
                      // without a liabilities group the loan shows nowhere.
                      PlacementCase{"0100", 6, 7, {}, {"n还贷=7/2#K9"}, {}, {}},
                      PlacementCase{"0101", 6, 0, {}, {"n=3/2#K9"}, {}, {"n=6#K9"}},
                      PlacementCase{"0011", 6, 7, {}, {}, {"n=4/5#K9"}, {"n=6#K9"}},
                      PlacementCase{"0001", 6, 7, {}, {}, {}, {"n=6#K9"}},
                      PlacementCase{"0001", 0, 7, {}, {}, {}, {}},
                      PlacementCase{"1111", 6, 7, {"n=1#K9"}, {"n还贷=7/2#K9"}, {"n=4/5#K9"}, {"n=6#K9"}},
                      PlacementCase{"    ", 6, 7, {}, {}, {}, {}}));

// The month summary must give the totals the panels show, for any mix of
// types, masks and amounts (negative ones, loans on expenditure types,
// types missing from the list, duplicate type rows).
TEST(MonthSummary, EqualsThePanelsTotalsOnRandomMonths)
{
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> coin(0, 1);
    std::uniform_int_distribution<int> pick(0, 15);
    // Now and then an amount another program left as no number: the panels
    // show it as a mistake and neither they nor the summary count it.
    const double odd[] = {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                          std::numeric_limits<double>::quiet_NaN()};
    const auto amount = [&random, &odd] {
        std::uniform_int_distribution<int> cents(-50000, 5000000);
        const double value = cents(random) / 100.0;
        const int roll = std::uniform_int_distribution<int>(0, 59)(random);
        return roll < 15 ? 0.0 : roll < 18 ? odd[roll - 15] : value;
    };
    for (int month = 0; month < 300; ++month) {
        std::vector<store::ItemType> types;
        for (int t = 0; t < 6; ++t) {
            QString kind;
            for (int position = 0; position < 4; ++position)
                kind += coin(random) ? u'1' : u'0';
            types.push_back({QStringLiteral("T%1").arg(t), kind, t + 1});
        }
        types.push_back({QStringLiteral("T0"), QStringLiteral("1111"), 7}); // the first row of a type wins
        types.push_back({QStringLiteral("工资"), QStringLiteral("1000"), 8});
        const auto kinds = typeKinds(types);

        std::vector<store::Item> items;
        const int count = std::uniform_int_distribution<int>(0, 40)(random);
        for (int index = 0; index < count; ++index) {
            const int which = pick(random);
            std::vector<double> amounts(7);
            std::generate(amounts.begin(), amounts.end(), amount);
            items.push_back(zambrel::testkit::itemOf(which < 6    ? QStringLiteral("T%1").arg(which)
                                                     : which < 12 ? QStringLiteral("工资")
                                                                  : QStringLiteral("gone"),
                                                     QStringLiteral("i%1").arg(index), amounts));
            items.back().code = index + 1;
        }

        MonthPanels panels;
        resetPanels(panels);
        panels.beginUpdate();
        for (const store::ItemType &type : types)
            addGroupRows(panels, type.kind, type.name);
        for (const store::Item &item : items)
            placeItem(panels, kinds.value(item.type), item);
        panels.endUpdate();

        const MonthSummary summary = summariseMonth(items, types);
        SCOPED_TRACE(month);
        EXPECT_DOUBLE_EQ(summary.income, panels.income.total());
        EXPECT_DOUBLE_EQ(summary.expenditure, panels.expenditure.total());
        EXPECT_DOUBLE_EQ(summary.assets, panels.assets.total());
        EXPECT_DOUBLE_EQ(summary.liabilities, panels.liabilities.total());
        double salary = 0;
        for (const store::Item &item : items)
            salary += item.type == QStringLiteral("工资") && std::isfinite(item.income) ? item.income : 0;
        EXPECT_DOUBLE_EQ(summary.salary, salary);
    }
}

struct AssessmentCase {
    const char *what;
    AssessmentFigures figures;
    const char *status;
    const char *advice;
};

class Assess : public ::testing::TestWithParam<AssessmentCase> {};

TEST_P(Assess, StatusLineAndAdvice)
{
    const AssessmentCase &c = GetParam();
    const Assessment verdict = assessMonth(c.figures);
    EXPECT_EQ(verdict.statusLine, QString::fromUtf8(c.status)) << c.what;
    EXPECT_EQ(verdict.advice, QString::fromUtf8(c.advice)) << c.what;
}

// Figures: income, expenditure, assets, debts, salary, previous assets.
INSTANTIATE_TEST_SUITE_P(
    WorkedFigures, Assess,
    ::testing::Values(
        AssessmentCase{"income equals expenditure",
                       {5000, 5000, 0, 0, 5000, 0},
                       "月现金收支为：.00 元。支出/收入：100.0% 月资产增长：00.00元 ",
                       "被动收入: 00.00 元 ，有机会就增加工资外的收入。\r\n"
                       "你的支出比为：100% 也太多了，不会要做月关族吧？^_^"},
        AssessmentCase{"passive income below salary",
                       {10000, 5000, 0, 0, 6000, 0},
                       "月现金收支为：5,000.00 元。支出/收入：50.0% 月资产增长：00.00元 ",
                       "被动收入: 4,000.00 元 ，有机会就增加工资外的收入。\r\n"},
        AssessmentCase{"overspending",
                       {1000, 1500, 0, 0, 200, 0},
                       "月现金收支为：-500.00 元。支出/收入：150.0% 月资产增长：00.00元 ",
                       "你的支出太大了，省着点。\r\n你的支出比为：150% 也太多了，不会要做月关族吧？^_^"},
        AssessmentCase{"ratio exactly 0.3",
                       {10000, 3000, 0, 0, 4000, 0},
                       "月现金收支为：7,000.00 元。支出/收入：30.0% 月资产增长：00.00元 ",
                       "很好！你做的很好，财务情况很健康，保持住进入快车道！"},
        AssessmentCase{"high ratio, halves to even",
                       {8, 7, 0, 0, 0, 0},
                       "月现金收支为：1.00 元。支出/收入：87.5% 月资产增长：00.00元 ",
                       "你的支出比为：88% 也太多了，不会要做月关族吧？^_^"},
        AssessmentCase{"no income, no salary",
                       {0, 0, 0, 0, 0, 0},
                       "月现金收支为：.00 元。月资产增长：00.00元 ",
                       "你没有工资收入！无法评估你的财务情况，一般负债率在60％以下是可以接受！"},
        AssessmentCase{"debt ratio exactly 0.6",
                       {10000, 5000, 100000, 60000, 4000, 100000},
                       "月现金收支为：5,000.00 元。支出/收入：50.0% 月资产增长：00.00元 资产增长率：00.0 % "
                       "资产负债率为60%",
                       "很好！你做的很好，财务情况很健康，保持住进入快车道！"},
        AssessmentCase{"shrinking assets and heavy debt",
                       {10000, 5000, 100, 70, 4000, 150},
                       "月现金收支为：5,000.00 元。支出/收入：50.0% 月资产增长：-50.00元 资产增长率：-50.0 % "
                       "资产负债率为70%",
                       " 资产为负增长，小心啊！！负债率：70% 太多了，会很吃力的。\r\n"},
        // A loan far larger than the assets: the ratio is shown, not an error.
        AssessmentCase{"debt ratio beyond 32767 %",
                       {10000, 5000, 1, 1000, 4000, 1},
                       "月现金收支为：5,000.00 元。支出/收入：50.0% 月资产增长：00.00元 资产增长率：00.0 % "
                       "资产负债率为100000%",
                       "负债率：100000% 太多了，会很吃力的。\r\n"},
        // Amounts that are no number (from another program) were left out:
        // the figures without them are no verdict, and the month is never
        // called healthy.
        AssessmentCase{
            "amounts left out",
            {20000, 10000, 0, 0, 10000, 0, 2},
            "2 个金额有错误，未计入合计。月现金收支为：10,000.00 元。支出/收入：50.0% 月资产增长：00.00元 ",
            "有 2 个金额不是有效的数字（显示为 #错误），没有计入合计，请改正后再看评估。\r\n"},
        AssessmentCase{
            "previous assets no number",
            {10000, 5000, 100, 0, 4000, std::numeric_limits<double>::infinity()},
            "1 个金额有错误，未计入合计。月现金收支为：5,000.00 元。支出/收入：50.0% 月资产增长：#错误元 "
            "资产增长率：#错误 % 资产负债率为0%",
            "有 1 个金额不是有效的数字（显示为 #错误），没有计入合计，请改正后再看评估。\r\n"}));

} // namespace
