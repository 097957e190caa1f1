#include "input/entry_form.h"
#include "store/clock.h"
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
    form.setText(F::Types, QStringLiteral("全部"));
    const std::pair<F, const char *> values[] = {
        {F::Name, "房子"},      {F::InComePerMonth, "100"}, {F::WillPayPerMonth, "60"},
        {F::PayPerMonth, "50"}, {F::FirstPay, "200"},       {F::Total, "1000"},
        {F::Debet, "800"},      {F::DebetPerMonth, "10"},
    };
    for (const auto &[field, text] : values)
        form.setText(field, QString::fromUtf8(text));
}

} // namespace

TEST(EntryChecks, EachCheckNamesItsFieldAndHint)
{
    struct Case {
        const char *what;
        std::vector<std::pair<F, const char *>> change;
        F focus;
        const char *hint;
    };
    const Case cases[] = {
        {"type empty, all else filled", {{F::Types, ""}}, F::Types, "请选择项目类型"},
        {"loan total empty", {{F::Debet, ""}}, F::Debet, "请输入贷款总额"},
        {"repayment empty", {{F::DebetPerMonth, ""}}, F::DebetPerMonth, "请输入每月还贷额"},
        {"repayment not a number", {{F::DebetPerMonth, "abc"}}, F::DebetPerMonth, "请输入每月还贷额"},
        {"down payment empty", {{F::FirstPay, ""}, {F::Debet, "1000"}}, F::FirstPay, "请输入首付数"},
        {"income empty", {{F::InComePerMonth, ""}}, F::InComePerMonth, "请输入每月收入数"},
        {"name empty", {{F::Name, ""}}, F::Name, "请输入活动描述"},
        {"actual expenditure empty", {{F::PayPerMonth, ""}}, F::PayPerMonth, "请输入实际支出数"},
        {"total empty", {{F::Total, ""}}, F::Total, "请输入总成本数"},
        {"first failure wins",
         {{F::Total, ""}, {F::Name, ""}, {F::PayPerMonth, ""}},
         F::Name,
         "请输入活动描述"},
        {"planned expenditure is never checked", {{F::WillPayPerMonth, ""}}, F::None, "提示：请根据类型输入"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        testkit::ScriptedResponder responder;
        EntryForm form;
        fillValid(form);
        for (const auto &[field, text] : c.change)
            form.setText(field, QString::fromUtf8(text));
        const CheckResult result = form.confirm();
        EXPECT_EQ(result.passed, c.focus == F::None);
        EXPECT_EQ(result.focus, c.focus);
        EXPECT_EQ(result.hint, QString::fromUtf8(c.hint));
        EXPECT_EQ(form.hint(), QString::fromUtf8(c.hint));
        EXPECT_EQ(form.isConfirmed(), result.passed);
    }
}

TEST(EntryChecks, LoanRuleQuestionAnsweredYesAndNo)
{
    const QString question =
        QStringLiteral("审核不通过：\r\n贷款总额 700  应该 等于（总成本 1000-首付200），\r\n"
                       "是否自动调整贷款金额？");
    {
        testkit::ScriptedResponder responder;
        responder.answer(store::vbNo);
        EntryForm form;
        fillValid(form);
        form.setText(F::Debet, QStringLiteral("700"));
        const CheckResult result = form.confirm();
        EXPECT_EQ(result.focus, F::Debet);
        EXPECT_EQ(result.hint, QStringLiteral("请输入贷款总额"));
        EXPECT_EQ(form.text(F::Debet), QStringLiteral("700"));
        ASSERT_EQ(responder.shown().size(), 1u);
        EXPECT_EQ(responder.shown()[0].text, question);
        EXPECT_EQ(responder.shown()[0].style, 68);
    }
    {
        // Yes adjusts the loan; the missing repayment is then asked for.
        testkit::ScriptedResponder responder;
        responder.answer(store::vbYes);
        EntryForm form;
        fillValid(form);
        form.setText(F::Debet, QStringLiteral("700"));
        form.setText(F::DebetPerMonth, QStringLiteral("0"));
        EXPECT_EQ(form.confirm().focus, F::DebetPerMonth);
        EXPECT_EQ(form.text(F::Debet), QStringLiteral("800"));
        ASSERT_EQ(responder.shown().size(), 2u);
        EXPECT_EQ(responder.shown()[1].text, QStringLiteral("你有贷款总额，请输入每月还贷"));
        EXPECT_EQ(responder.shown()[1].style, store::vbInformation);
        EXPECT_EQ(responder.shown()[1].title, store::productName());

        // The adjusted loan satisfies the rule: no second question.
        form.setText(F::DebetPerMonth, QStringLiteral("10"));
        EXPECT_TRUE(form.confirm().passed);
        EXPECT_EQ(responder.shown().size(), 2u);
    }
}

TEST(EntryChecks, LoanRuleSkippedOrSatisfiedAsksNothing)
{
    const std::vector<std::pair<F, const char *>> cases[] = {
        {},                                                                // 1000 - 200 = 800
        {{F::Total, "0"}, {F::Debet, "5"}},                                // no total
        {{F::Debet, "0"}},                                                 // no loan
        {{F::Total, "1000"}, {F::FirstPay, "200.1"}, {F::Debet, "799.9"}}, // equal to the digits shown
    };
    for (const auto &change : cases) {
        testkit::ScriptedResponder responder;
        EntryForm form;
        fillValid(form);
        for (const auto &[field, text] : change)
            form.setText(field, QString::fromUtf8(text));
        EXPECT_TRUE(form.confirm().passed);
        EXPECT_TRUE(responder.shown().empty());
    }
}

TEST(EntryChecks, RepaymentResetWhenThereIsNoLoan)
{
    for (const char *loan : {"0", "-5", "abc"}) {
        testkit::ScriptedResponder responder;
        EntryForm form;
        fillValid(form);
        form.setText(F::Debet, QString::fromUtf8(loan));
        form.setText(F::DebetPerMonth, QStringLiteral("25"));
        ASSERT_TRUE(form.confirm().passed) << loan;
        EXPECT_EQ(form.text(F::DebetPerMonth), QStringLiteral("0"));
    }
}

TEST(EntryTypes, MaskEnablesItsAmountFields)
{
    struct Case {
        const char *type;
        std::vector<F> enabled;
    };
    const Case cases[] = {
        {"工资", {F::InComePerMonth}},
        {"日常", {F::WillPayPerMonth, F::PayPerMonth}},
        {"房产", {F::FirstPay, F::Total, F::Debet, F::DebetPerMonth}},
        {"借款", {F::Debet, F::DebetPerMonth}},
        {"无类", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.type);
        EntryForm form;
        form.setTypeLookup([](const QString &name) { return kTypes.value(name); });
        form.setText(F::Types, QString::fromUtf8(c.type));
        EXPECT_FALSE(form.isNewType());
        EXPECT_FALSE(form.categoriesEnabled());
        const QString kind = kTypes.value(QString::fromUtf8(c.type));
        for (int box = 0; box < EntryForm::kCategoryCount; ++box)
            EXPECT_EQ(form.categoryChecked(box), kind[box] == u'1');
        for (const F field : EntryForm::kAmountFields)
            EXPECT_EQ(form.isEnabled(field), std::count(c.enabled.begin(), c.enabled.end(), field) == 1);
        EXPECT_TRUE(form.isEnabled(F::Name));
        EXPECT_TRUE(form.isEnabled(F::Memo));

        // Checks of disabled fields are skipped; the name is always checked.
        testkit::ScriptedResponder responder;
        for (const F field : EntryForm::kAmountFields)
            form.setText(field, !form.isEnabled(field) ? QString()
                                : field == F::Debet    ? QStringLiteral("0")
                                                       : QStringLiteral("1"));
        form.setText(F::Name, {});
        EXPECT_EQ(form.confirm().focus, F::Name);
        form.setText(F::Name, QStringLiteral("x"));
        EXPECT_TRUE(form.confirm().passed);
    }
}

TEST(EntryTypes, NewTypeTakesItsMaskFromTheBoxes)
{
    testkit::ScriptedResponder responder;
    EntryForm form;
    form.setTypeLookup([](const QString &name) { return kTypes.value(name); });
    form.setText(F::Types, QStringLiteral("宠物"));
    EXPECT_TRUE(form.isNewType());
    EXPECT_TRUE(form.categoriesEnabled());
    EXPECT_EQ(form.newTypeHint(), QStringLiteral("新项目，请勾选该项目类型，保存后会新增。"));
    for (const F field : EntryForm::kAmountFields)
        EXPECT_FALSE(form.isEnabled(field));
    form.setText(F::Name, QStringLiteral("猫粮"));
    ASSERT_TRUE(form.confirm().passed);
    EXPECT_EQ(form.newKind(), QStringLiteral("0000"));

    form.clickCategory(1, true);
    EXPECT_EQ(form.newKind(), QStringLiteral("0100"));
    EXPECT_TRUE(form.isEnabled(F::PayPerMonth));
    EXPECT_FALSE(form.isEnabled(F::Debet));
    form.clickCategory(3, true);
    EXPECT_EQ(form.newKind(), QStringLiteral("0101"));
    EXPECT_TRUE(form.isEnabled(F::Debet));

    form.setText(F::Types, QStringLiteral("工资"));
    EXPECT_FALSE(form.isNewType());
    EXPECT_TRUE(form.newTypeHint().isEmpty());
    EXPECT_FALSE(form.categoryChecked(1));
    form.clickCategory(0, false); // the boxes of a known type cannot be clicked
    EXPECT_TRUE(form.categoryChecked(0));
}

// The boxes keep the ticks of the type chosen before; the fields follow
// them, so that an amount saved under a ticked category can be seen and
// changed (it once stayed greyed while OK filed it under that category).
TEST(EntryTypes, ANewTypeAfterAKnownOneOffersTheFieldsOfTheBoxesStillTicked)
{
    testkit::ScriptedResponder responder;
    EntryForm form;
    form.setTypeLookup([](const QString &name) { return kTypes.value(name); });
    form.setText(F::Types, QStringLiteral("工资"));
    form.setText(F::InComePerMonth, QStringLiteral("17975"));

    form.setText(F::Types, QStringLiteral("宠物"));
    ASSERT_TRUE(form.isNewType());
    EXPECT_TRUE(form.categoryChecked(0));
    EXPECT_TRUE(form.isEnabled(F::InComePerMonth));
    EXPECT_FALSE(form.isEnabled(F::PayPerMonth));
    form.setText(F::InComePerMonth, QString());
    form.setText(F::Name, QStringLiteral("猫粮"));
    const CheckResult missing = form.confirm();
    EXPECT_FALSE(missing.passed);
    EXPECT_EQ(missing.focus, F::InComePerMonth);

    form.clickCategory(1, true);
    form.clickCategory(0, false);
    EXPECT_FALSE(form.isEnabled(F::InComePerMonth));
    form.setText(F::PayPerMonth, QStringLiteral("300"));
    ASSERT_TRUE(form.confirm().passed);
    EXPECT_EQ(form.newKind(), QStringLiteral("0100"));
}

TEST(EntryFields, EnterMemoStampAndUseToUse)
{
    testkit::ScriptedResponder responder;
    EntryForm form;
    EXPECT_EQ(form.text(F::Total), QStringLiteral("0"));
    EXPECT_TRUE(form.text(F::Name).isEmpty());

    form.setText(F::WillPayPerMonth, QStringLiteral("1+1"));
    EXPECT_FALSE(form.pressEnter(F::WillPayPerMonth));
    EXPECT_EQ(form.text(F::WillPayPerMonth), QStringLiteral("1+1"));
    for (const F field : EntryForm::kAmountFields) {
        if (field == F::WillPayPerMonth)
            continue;
        form.setText(field, QStringLiteral("300＋450.5"));
        EXPECT_TRUE(form.pressEnter(field));
        EXPECT_EQ(form.text(field), QStringLiteral("750.50"));
    }

    store::setClock([] { return QDateTime(QDate(2026, 12, 5), QTime(6, 10)); });
    form.setText(F::Memo, QStringLiteral("老账"));
    form.stampMemoDate();
    store::setClock({});
    EXPECT_EQ(form.text(F::Memo), QStringLiteral("老账\r\n2026年12月05日"));

    form.startChange(EntryMode::Update);
    form.loadField(F::FirstPay, QStringLiteral("1000"));
    EXPECT_EQ(form.tag(F::FirstPay), QStringLiteral("1000"));
    form.setText(F::Name, QStringLiteral("留着"));
    form.startAdd();
    EXPECT_TRUE(form.tag(F::FirstPay).isEmpty());
    EXPECT_TRUE(form.text(F::Memo).isEmpty());
    EXPECT_EQ(form.text(F::Name), QStringLiteral("留着"));
    EXPECT_EQ(form.text(F::FirstPay), QStringLiteral("1000"));
}
