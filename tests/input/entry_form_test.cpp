#include "base/number_format.h"
#include "input/entry_form.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <QMap>

#include <algorithm>

using namespace zambrel;
using namespace zambrel::input;
using F = EntryField;

namespace {

const QMap<QString, QString> kTypes{
    {QStringLiteral("全部"), QStringLiteral("1111")}, {QStringLiteral("工资"), QStringLiteral("1000")},
    {QStringLiteral("日常"), QStringLiteral("0100")}, {QStringLiteral("房产"), QStringLiteral("0010")},
    {QStringLiteral("借款"), QStringLiteral("0001")}, {QStringLiteral("无类"), QStringLiteral("0000")},
};

/// A form for a type using every field, filled so that all checks pass.
void fillValid(EntryForm &form)
{
    form.setTypeLookup([](const QString &name) { return kTypes.value(name); });
    form.setText(F::Type, QStringLiteral("全部"));
    const std::pair<F, const char *> values[] = {
        {F::Name, "房子"},         {F::Income, "100"},          {F::PlannedSpending, "60"},
        {F::ActualSpending, "50"}, {F::DownPayment, "200"},     {F::TotalCost, "1000"},
        {F::LoanTotal, "800"},     {F::MonthlyRepayment, "10"},
    };
    for (const auto &[field, text] : values)
        form.setText(field, QString::fromUtf8(text));
}

} // namespace

// Where the loan rule is skipped or met OK asks nothing; without a loan the
// repayment is reset.
TEST(EntryChecks, LoanRuleSkippedOrSatisfiedAsksNothing)
{
    const struct {
        std::vector<std::pair<F, const char *>> change;
        const char *repayment;
    } cases[] = {
        {{}, "10"},                                                   // 1000 - 200 = 800
        {{{F::LoanTotal, "0"}, {F::MonthlyRepayment, "25"}}, "0"},    // no loan
        {{{F::DownPayment, "200.1"}, {F::LoanTotal, "799.9"}}, "10"}, // equal to the digits shown
    };
    for (const auto &c : cases) {
        EntryForm form;
        fillValid(form);
        for (const auto &[field, text] : c.change)
            form.setText(field, QString::fromUtf8(text));
        const CheckResult checked = form.confirm();
        EXPECT_TRUE(checked.passed);
        EXPECT_FALSE(checked.question);
        EXPECT_TRUE(checked.messages.empty());
        EXPECT_EQ(form.text(F::MonthlyRepayment), QString::fromUtf8(c.repayment));
    }
}

TEST(EntryTypes, MaskEnablesItsAmountFields)
{
    struct Case {
        const char *type;
        std::vector<F> enabled;
    };
    const Case cases[] = {
        {"工资", {F::Income}},
        {"房产", {F::DownPayment, F::TotalCost, F::LoanTotal, F::MonthlyRepayment}},
        {"无类", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.type);
        EntryForm form;
        form.setTypeLookup([](const QString &name) { return kTypes.value(name); });
        form.setText(F::Type, QString::fromUtf8(c.type));
        EXPECT_FALSE(form.isNewType());
        EXPECT_FALSE(form.categoriesEnabled());
        const QString kind = kTypes.value(QString::fromUtf8(c.type));
        for (int box = 0; box < EntryForm::kCategoryCount; ++box)
            EXPECT_EQ(form.categoryChecked(box), kind[box] == u'1');
        for (const F field : EntryForm::kAmountFields)
            EXPECT_EQ(form.isEnabled(field), std::count(c.enabled.begin(), c.enabled.end(), field) == 1);

        // Checks of disabled fields are skipped; the name is always checked.
        for (const F field : EntryForm::kAmountFields)
            form.setText(field, !form.isEnabled(field)  ? QString()
                                : field == F::LoanTotal ? QStringLiteral("0")
                                                        : QStringLiteral("1"));
        form.setText(F::Name, {});
        EXPECT_EQ(form.confirm().focus, F::Name);
        form.setText(F::Name, QStringLiteral("x"));
        EXPECT_TRUE(form.confirm().passed);
    }
}

// The boxes keep the ticks of the type chosen before; the fields follow
// them, so that an amount saved under a ticked category can be seen and
// changed (it once stayed greyed while OK filed it under that category).
TEST(EntryTypes, ANewTypeAfterAKnownOneOffersTheFieldsOfTheBoxesStillTicked)
{
    EntryForm form;
    form.setTypeLookup([](const QString &name) { return kTypes.value(name); });
    form.setText(F::Type, QStringLiteral("工资"));
    form.setText(F::Income, QStringLiteral("17975"));

    form.setText(F::Type, QStringLiteral("宠物"));
    ASSERT_TRUE(form.isNewType());
    EXPECT_TRUE(form.categoryChecked(0));
    EXPECT_TRUE(form.isEnabled(F::Income));
    EXPECT_FALSE(form.isEnabled(F::ActualSpending));
    form.setText(F::Income, QString());
    form.setText(F::Name, QStringLiteral("猫粮"));
    const CheckResult missing = form.confirm();
    EXPECT_FALSE(missing.passed);
    EXPECT_EQ(missing.focus, F::Income);

    form.clickCategory(1, true);
    form.clickCategory(0, false);
    EXPECT_FALSE(form.isEnabled(F::Income));
    form.setText(F::ActualSpending, QStringLiteral("300"));

    // A new type in no category would file an item that no panel shows.
    form.clickCategory(1, false);
    const CheckResult nowhere = form.confirm();
    EXPECT_FALSE(nowhere.passed);
    EXPECT_EQ(nowhere.focus, F::Type);
    EXPECT_EQ(nowhere.hint, QStringLiteral("请为新类型选择类别 Choose a category for the new type"));
    form.clickCategory(1, true);
    ASSERT_TRUE(form.confirm().passed);
    EXPECT_EQ(form.newKind(), QStringLiteral("0100"));
}

// What a person types gives the same result whether Enter was pressed in the
// field or OK straight away: the amount, or, for a formula the calculator
// refuses, OK stops at the field with its hint and keeps the text instead of
// saving a number the text does not say.
TEST(EntryAmounts, ATypedFormulaGivesTheSameResultWithOrWithoutEnter)
{
    const struct {
        F field;
        const char *typed;
        double amount;
        int messages;
        const char *hint; // refused: the hint OK leaves
    } cases[] = {
        {F::Income, "1e5", 100000, 0, nullptr},          {F::Income, "（１２＋３）×４÷２", 30, 0, nullptr},
        {F::Income, "12,345.5", 12345.5, 0, nullptr},    {F::Income, "(1+2", 0, 1, nullptr}, // "括号不成对"
        {F::Income, "1200 3", 0, 1, "请输入每月收入数"}, {F::LoanTotal, "1,0000", 0, 1, "请输入贷款总额"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        for (const bool enter : {true, false}) {
            EntryForm form;
            fillValid(form);
            const QString typed = QString::fromUtf8(c.typed);
            form.setText(c.field, typed);
            const std::size_t onEnter = enter ? form.pressEnter(c.field).messages.size() : 0;
            const CheckResult result = form.confirm();
            EXPECT_EQ(result.passed, !c.hint) << enter;
            if (c.hint) {
                EXPECT_EQ(result.focus, c.field);
                EXPECT_EQ(result.hint, QString::fromUtf8(c.hint));
                EXPECT_EQ(form.text(c.field), typed);
                ASSERT_FALSE(result.messages.empty());
                EXPECT_TRUE(result.messages.back().text.startsWith(QStringLiteral("表达式：") + typed));
                continue;
            }
            EXPECT_DOUBLE_EQ(base::toNumber(form.text(c.field)), c.amount) << enter;
            EXPECT_EQ(onEnter + result.messages.size(), std::size_t(c.messages)) << enter;
        }
    }
}

// Enter leaves the planned expenditure as typed, but OK works out a formula
// there like anywhere else, or stops at it: never a silent 0.
TEST(EntryAmounts, ThePlannedExpenditureIsWorkedOutOnOK)
{
    EntryForm form;
    fillValid(form);
    form.setText(F::PlannedSpending, QStringLiteral("50+10"));
    EXPECT_TRUE(form.pressEnter(F::PlannedSpending).messages.empty());
    EXPECT_EQ(form.text(F::PlannedSpending), QStringLiteral("50+10"));
    ASSERT_TRUE(form.confirm().passed);
    EXPECT_DOUBLE_EQ(base::toNumber(form.text(F::PlannedSpending)), 60);

    EntryForm refused;
    fillValid(refused);
    refused.setText(F::PlannedSpending, QStringLiteral("abc"));
    const CheckResult result = refused.confirm();
    EXPECT_FALSE(result.passed);
    EXPECT_EQ(result.focus, F::PlannedSpending);
    EXPECT_EQ(refused.text(F::PlannedSpending), QStringLiteral("abc"));
}

// A field the chosen type does not use is cleared to "0" and written so: an
// earlier use's text (a salary's income typed, then cancelled) never lands
// in an item that cannot show it.
TEST(EntryFields, FieldsTheTypeDoesNotUseAreClearedAndWrittenAsZero)
{
    EntryForm form;
    form.setTypeLookup([](const QString &name) { return kTypes.value(name); });
    form.startAdd();
    form.setText(F::Type, QStringLiteral("工资"));
    form.setText(F::Income, QStringLiteral("3x4"));
    form.pressEnter(F::Income);
    EXPECT_EQ(form.text(F::Income), QStringLiteral("12.00"));
    form.cancel();
    EXPECT_EQ(form.text(F::Income), QStringLiteral("12.00")); // Cancel keeps what was shown

    form.startAdd();
    form.setText(F::Type, QStringLiteral("房产"));
    EXPECT_FALSE(form.isEnabled(F::Income));
    EXPECT_EQ(form.text(F::Income), QStringLiteral("0"));
    form.setText(F::Name, QStringLiteral("住宅"));
    form.setText(F::DownPayment, QStringLiteral("100"));
    form.setText(F::TotalCost, QStringLiteral("100"));
    form.setText(F::LoanTotal, QStringLiteral("0"));
    form.setText(F::MonthlyRepayment, QStringLiteral("0"));
    // Set behind the mask's back (a caller loading an item): still written as 0.
    form.setText(F::ActualSpending, QStringLiteral("55"));
    form.setText(F::PlannedSpending, QStringLiteral("66"));
    ASSERT_TRUE(form.confirm().passed);
    for (const F field : {F::Income, F::ActualSpending, F::PlannedSpending})
        EXPECT_EQ(form.text(field), QStringLiteral("0")) << EntryForm::controlName(field).toStdString();
    EXPECT_EQ(form.text(F::TotalCost), QStringLiteral("100"));
}
