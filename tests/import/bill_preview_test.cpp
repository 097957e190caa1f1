// The preview over a bill: duplicates within and across overlapping bills,
// rules placing rows and remembered from a correction, and the plan of what
// an import adds per month and item.
#include "import/bill_preview.h"
#include "import/transaction_identity.h"

#include <gtest/gtest.h>

using namespace zambrel::bills;

namespace {

BillTransaction row(const QDate &date, const char *counterparty, const char *description, double amount,
                    Direction direction, const char *number = "")
{
    BillTransaction t;
    t.date = date;
    t.counterparty = QString::fromUtf8(counterparty);
    t.description = QString::fromUtf8(description);
    t.amount = amount;
    t.direction = direction;
    t.transactionNumber = QString::fromUtf8(number);
    t.format = *number ? BillFormat::WeChatCsv : BillFormat::BankCsv;
    return t;
}

ImportRule rule(const char *text, RuleSide side, const char *type, const char *name,
                std::optional<double> maxAmount = std::nullopt)
{
    const ItemTarget item{QString::fromUtf8(type), QString::fromUtf8(name)};
    return {QString::fromUtf8(text), side, std::nullopt, maxAmount, item};
}

Bill billOf(std::vector<BillTransaction> transactions)
{
    Bill bill;
    bill.transactions = std::move(transactions);
    return bill;
}

std::vector<RowState> statesOf(const BillPreview &preview)
{
    std::vector<RowState> states;
    for (const PreviewRow &r : preview.rows())
        states.push_back(r.state());
    return states;
}

constexpr auto New = RowState::New;
constexpr auto Duplicate = RowState::Duplicate;
constexpr auto Skipped = RowState::Skipped;

// A bank statement of 1–10 March and one of 5–15 March; both hold the two
// identical coffees of 5 March.
std::vector<BillTransaction> earlyMarch()
{
    return {row(QDate(2024, 3, 1), "", "房租", 3000, Direction::Expense),
            row(QDate(2024, 3, 5), "咖啡店", "拿铁", 28, Direction::Expense),
            row(QDate(2024, 3, 5), "咖啡店", "拿铁", 28, Direction::Expense),
            row(QDate(2024, 3, 8), "", "利息", 1.25, Direction::Income)};
}

std::vector<BillTransaction> midMarch()
{
    return {row(QDate(2024, 3, 5), "咖啡店", "拿铁", 28, Direction::Expense),
            row(QDate(2024, 3, 5), "咖啡店", "拿铁", 28, Direction::Expense),
            row(QDate(2024, 3, 8), "", "利息", 1.25, Direction::Income),
            row(QDate(2024, 3, 12), "咖啡店", "拿铁", 28, Direction::Expense),
            row(QDate(2024, 3, 12), "咖啡店", "拿铁 ", 28, Direction::Expense)};
}

TEST(BillPreviewTest, IdenticalRowsBothCountAndOverlappingBillsAddNothingTwice)
{
    const BillPreview first(billOf(earlyMarch()), {}, {});
    EXPECT_EQ(statesOf(first), (std::vector<RowState>{New, New, New, New}));
    const ImportPlan once = first.plan({}, {});
    EXPECT_EQ(once.transactions, 4);
    EXPECT_DOUBLE_EQ(once.spending, 3056);
    const QSet<QString> imported(once.identities.begin(), once.identities.end());
    EXPECT_EQ(imported.size(), 4) << "the identical coffees are two";

    // The overlapping bill: what the first held is a duplicate, shown and
    // unticked; the new days, identical rows included, are new.
    BillPreview overlap(billOf(midMarch()), {}, imported);
    EXPECT_EQ(statesOf(overlap), (std::vector<RowState>{Duplicate, Duplicate, Duplicate, New, New}));
    EXPECT_FALSE(overlap.rows()[0].ticked);
    EXPECT_EQ(overlap.plan({}, {}).transactions, 2);
    // A duplicate can still be ticked by hand.
    EXPECT_TRUE(overlap.setTicked(0, true));
    EXPECT_EQ(overlap.plan({}, {}).transactions, 3);

    // Numbered rows are known by number; a number twice in one bill is a duplicate.
    const Bill numbered =
        billOf({row(QDate(2024, 3, 1), "早餐店", "豆浆", 5, Direction::Expense, "4200001"),
                row(QDate(2024, 3, 1), "早餐店", "豆浆", 5, Direction::Expense, "4200001"),
                row(QDate(2024, 3, 2), "早餐店", "豆浆", 5, Direction::Expense, "4200002")});
    EXPECT_EQ(transactionIdentities(numbered.transactions)[0], QStringLiteral("wechat:4200001"));
    BillTransaction fromBank = row(QDate(2024, 3, 5), "", "ATM", 28, Direction::Expense);
    fromBank.transactionNumber = QStringLiteral("R1");
    EXPECT_EQ(transactionIdentities({fromBank})[0], QStringLiteral("bank:2024-03-05:-2800:R1"));
    const BillPreview repeated(numbered, {}, {QStringLiteral("wechat:4200002")});
    EXPECT_EQ(statesOf(repeated), (std::vector<RowState>{New, Duplicate, Duplicate}));
    EXPECT_EQ(repeated.rows()[1].stateReason(), QStringLiteral("账单中重复 Repeated in this bill"));
}

TEST(BillPreviewTest, MarkedAgainAfterAnUndoneImportRowsKeepTheirItemsAndUnchangedTicks)
{
    BillPreview preview(billOf(midMarch()), {}, {});
    const QSet<QString> imported = {preview.rows()[0].identity, preview.rows()[2].identity};
    const ItemTarget coffee{QStringLiteral("日常开销"), QStringLiteral("咖啡")};
    preview.chooseItem(3, coffee);
    preview.setTicked(4, false);

    // The first and third were imported meanwhile (a redo): duplicates, unticked.
    EXPECT_TRUE(preview.markImported(imported));
    EXPECT_EQ(statesOf(preview), (std::vector<RowState>{Duplicate, New, Duplicate, New, New}));
    EXPECT_FALSE(preview.rows()[0].ticked);
    EXPECT_TRUE(preview.rows()[1].ticked);
    EXPECT_FALSE(preview.rows()[4].ticked) << "an unchanged row keeps the tick taken away by hand";
    EXPECT_EQ(preview.rows()[3].item, coffee);
    EXPECT_FALSE(preview.markImported(imported)) << "nothing changed";

    // Undone again: new and ticked as a new preview has them.
    EXPECT_TRUE(preview.markImported({}));
    EXPECT_EQ(statesOf(preview), (std::vector<RowState>{New, New, New, New, New}));
    EXPECT_TRUE(preview.rows()[0].ticked);
    EXPECT_EQ(preview.rows()[3].placement, Placement::Chosen);
}

TEST(BillPreviewTest, FirstMatchingRulePlacesARowAndARememberedCorrectionAppliesNextTime)
{
    const Bill bill =
        billOf({row(QDate(2024, 3, 2), "永辉超市", "日用品", 56, Direction::Expense),
                row(QDate(2024, 3, 3), "永辉超市", "年货", 880, Direction::Expense),
                row(QDate(2024, 3, 4), "ＳＴＡＲＢＵＣＫＳ 星巴克", "拿铁", 32, Direction::Expense),
                row(QDate(2024, 3, 5), "某公司", "三月工资", 9000, Direction::Income),
                row(QDate(2024, 3, 6), "某公司", "报销", 120, Direction::Expense),
                row(QDate(2024, 3, 7), "菜市场", "蔬菜", 18, Direction::Expense),
                row(QDate(2024, 3, 8), "菜市场", "水果", 25, Direction::Expense),
                row(QDate(2024, 3, 9), "余额宝", "转入", 500, Direction::Neutral)});
    const std::vector<ImportRule> rules{
        rule("超市", RuleSide::Any, "日用", "小额", 100.0),
        rule("超市", RuleSide::Any, "日用", "超市"),
        rule("starbucks", RuleSide::Spending, "餐饮", "咖啡"),
        rule("某公司", RuleSide::Income, "工资", "月薪"),
    };
    BillPreview preview(bill, rules, {});
    // Each row's item, and how it was placed: by a rule (r), by hand (h) or by none (-).
    const auto placed = [&preview] {
        QStringList all;
        for (const PreviewRow &r : preview.rows())
            all << r.item.type + u'/' + r.item.name + u' ' + QStringLiteral("-r?h").at(int(r.placement));
        return all;
    };
    const QString none = QStringLiteral("未归类/未归类支出 -");
    EXPECT_EQ(placed(), (QStringList{QStringLiteral("日用/小额 r"), QStringLiteral("日用/超市 r"),
                                     QStringLiteral("餐饮/咖啡 r"), QStringLiteral("工资/月薪 r"), none, none,
                                     none, none}));
    EXPECT_EQ(statesOf(preview), (std::vector<RowState>{New, New, New, New, New, New, New, Skipped}));
    // Neither income nor spending: nothing to import, so it cannot be ticked.
    EXPECT_FALSE(preview.setTicked(7, true));

    // A correction by hand, then remembered: the other market row follows,
    // the corrected row and rules before it stay as they were.
    preview.chooseItem(0, {QStringLiteral("日用"), QStringLiteral("家居")});
    preview.chooseItem(5, {QStringLiteral("餐饮"), QStringLiteral("买菜")});
    const ImportRule remembered = preview.rememberRule(5);
    EXPECT_EQ(remembered.text, QStringLiteral("菜市场"));
    EXPECT_EQ(remembered.side, RuleSide::Spending);
    EXPECT_EQ(preview.rules().front(), remembered);
    EXPECT_EQ(placed(), (QStringList{QStringLiteral("日用/家居 h"), QStringLiteral("日用/超市 r"),
                                     QStringLiteral("餐饮/咖啡 r"), QStringLiteral("工资/月薪 r"), none,
                                     QStringLiteral("餐饮/买菜 h"), QStringLiteral("餐饮/买菜 r"), none}));

    // Remembering the same text again replaces the rule (the kept rule on the
    // next import: the import window's test).
    std::vector<ImportRule> kept = preview.rules();
    addRule(kept, rememberRule(row(QDate(2024, 4, 1), "菜市场 ", "鸡蛋", 15, Direction::Expense),
                               Effect::AddSpending, {QStringLiteral("餐饮"), QStringLiteral("菜")}));
    EXPECT_EQ(kept.size(), rules.size() + 1);
    EXPECT_EQ(kept.front().item.name, QStringLiteral("菜"));
}

TEST(BillPreviewTest, PlanSumsPerMonthAndItemAndSaysWhatToCreate)
{
    Bill bill = billOf({
        row(QDate(2024, 3, 4), "某电商", "耳机", 199, Direction::Expense, "A1"),
        row(QDate(2024, 3, 9), "某电商", "退款-耳机", 99, Direction::Neutral, "A1_R1"),
        row(QDate(2024, 3, 15), "某公司", "工资", 9000, Direction::Income, "A2"),
        row(QDate(2024, 3, 20), "路边摊", "小吃", 0.1, Direction::Expense, "A3"),
        row(QDate(2024, 3, 21), "路边摊", "小吃", 0.2, Direction::Expense, "A4"),
        row(QDate(2024, 4, 1), "某电商", "充电器", 59.9, Direction::Expense, "A5"),
        row(QDate(2024, 4, 2), "阿强", "红包", 66, Direction::Income, "A6"),
    });
    bill.transactions[1].category = QStringLiteral("退款");
    const std::vector<ImportRule> rules{
        rule("某电商", RuleSide::Spending, "购物", "网购"),
        rule("某公司", RuleSide::Income, "工资", "月薪"),
    };
    BillPreview preview(bill, rules, {});
    // The refund is skipped by default; ticked, it takes from the item it refunds.
    EXPECT_EQ(preview.rows()[1].state(), Skipped);
    EXPECT_EQ(preview.rows()[1].placement, Placement::Refunded);
    EXPECT_TRUE(preview.setTicked(1, true));

    const std::vector<ExistingItem> existing{
        {QStringLiteral("2024-03"), QStringLiteral("购物"), QStringLiteral("网购"), 41},
        {QStringLiteral("2024-03"), QStringLiteral("工资"), QStringLiteral("月薪"), 42},
        {QStringLiteral("2024-03"), QStringLiteral("工资"), QStringLiteral("月薪"), 43}};
    const ImportPlan plan = preview.plan(existing, {QStringLiteral("购物"), QStringLiteral("工资")});

    // Month, item, to create or the existing code (the first of two), spending, income, transactions.
    QStringList lines;
    for (const PlanLine &line : plan.lines)
        lines << QStringLiteral("%1 %2/%3 %4 %5 %6 %7")
                     .arg(line.month, line.item.type, line.item.name,
                          line.create ? QStringLiteral("new") : QString::number(line.code))
                     .arg(line.spending)
                     .arg(line.income)
                     .arg(line.transactions);
    EXPECT_EQ(lines, (QStringList{QStringLiteral("2024-03 工资/月薪 42 0 9000 1"),
                                  QStringLiteral("2024-03 未归类/未归类支出 new 0.3 0 2"),
                                  QStringLiteral("2024-03 购物/网购 41 100 0 2"),
                                  QStringLiteral("2024-04 未归类/未归类收入 new 0 66 1"),
                                  QStringLiteral("2024-04 购物/网购 new 59.9 0 1")}));
    EXPECT_EQ(plan.lines[1].spending, 0.3) << "summed in cents: 0.1 + 0.2 is 0.3 exactly as written";
    EXPECT_EQ(plan.typesToCreate,
              (std::vector<TypeToCreate>{{QStringLiteral("未归类"), QStringLiteral("1100")}}));
    EXPECT_TRUE(plan.createsUnassignedType());
    EXPECT_EQ(plan.transactions, 7);
    EXPECT_EQ(plan.identities.size(), 7);
    EXPECT_DOUBLE_EQ(plan.spending, 160.2);
    EXPECT_DOUBLE_EQ(plan.income, 9066);

    // With the type in the books nothing is created but items; a type a
    // rule names and the books lack gets the positions of what it receives.
    const ImportPlan known = planImport(
        {{QDate(2024, 5, 1), 10, Effect::AddSpending, unassignedItem(Effect::AddSpending), {}},
         {QDate(2024, 5, 2), 20, Effect::AddIncome, {QStringLiteral("副业"), QStringLiteral("稿费")}, {}},
         {QDate(2024, 5, 3), 5, Effect::None, {QStringLiteral("转账"), QStringLiteral("余额宝")}, {}}},
        {}, {QStringLiteral("未归类")});
    EXPECT_FALSE(known.createsUnassignedType());
    EXPECT_EQ(known.typesToCreate,
              (std::vector<TypeToCreate>{{QStringLiteral("副业"), QStringLiteral("1000")}}));
    EXPECT_EQ(known.lines.size(), 2u);
    EXPECT_TRUE(known.identities.isEmpty());

    // A type the books spell with a blank at its end is that type: an item
    // created under it takes the books' spelling, or the month's totals,
    // which compare type names as written, would leave it out.
    const ImportPlan spelled = planImport(
        {{QDate(2024, 5, 1), 40, Effect::AddSpending, {QStringLiteral("宠物"), QStringLiteral("猫粮")}, {}}},
        {}, {QStringLiteral("宠物 ")});
    ASSERT_EQ(spelled.lines.size(), 1u);
    EXPECT_TRUE(spelled.lines[0].create);
    EXPECT_EQ(spelled.lines[0].item.type, QStringLiteral("宠物 "));
    EXPECT_TRUE(spelled.typesToCreate.empty());
}

} // namespace
