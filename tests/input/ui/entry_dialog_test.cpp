// The entry window driven as a person would: keys into its controls, clicks
// on its buttons. The form's own rules are tested without a window; here the
// point is that every control reaches the form and shows what it decides.
#include "widget_helpers.h"
#include "input/ui/entry_dialog.h"
#include "skin/flat_button.h"
#include "test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMap>

#include <gtest/gtest.h>

#include <memory>

using namespace zambrel;
using input::EntryDialog;
using input::EntryField;
using F = input::EntryField;

namespace {

const QMap<QString, QString> kTypes{
    {QStringLiteral("全部"), QStringLiteral("1111")},
    {QStringLiteral("工资"), QStringLiteral("1000")},
    {QStringLiteral("房产"), QStringLiteral("0011")},
};

class EntryWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog = std::make_unique<EntryDialog>();
        dialog->setTypeLookup([](const QString &name) { return kTypes.value(name); });
        dialog->setTypeList(kTypes.keys());
        dialog->show();
    }

    QLineEdit *edit(EntryField field) const { return qobject_cast<QLineEdit *>(dialog->control(field)); }

    // Replaces a field's text by keys, as a person would.
    void type(EntryField field, const QString &text)
    {
        testkit::retypeInto(field == F::Type ? dialog->typeBox->lineEdit() : edit(field), text);
    }

    void fillValid()
    {
        type(F::Type, QStringLiteral("全部"));
        const std::pair<F, const char *> values[] = {
            {F::Name, "房子"},         {F::Income, "100"},          {F::PlannedSpending, "60"},
            {F::ActualSpending, "50"}, {F::DownPayment, "200"},     {F::TotalCost, "1000"},
            {F::LoanTotal, "800"},     {F::MonthlyRepayment, "10"},
        };
        for (const auto &[field, text] : values)
            type(field, QString::fromUtf8(text));
    }

    void pressOK() { QTest::mouseClick(dialog->okButton, Qt::LeftButton); }

    testkit::ScriptedResponder responder{base::MessageAnswer::No};
    std::unique_ptr<EntryDialog> dialog;
};

} // namespace

TEST_F(EntryWindow, EachCheckNamesItsFieldInTheHintLine)
{
    struct Case {
        const char *what;
        std::vector<std::pair<F, const char *>> change;
        F focus;
        const char *hint;
        int messages;
    };
    const Case cases[] = {
        {"1 type empty", {{F::Type, ""}}, F::Type, "请选择项目类型", 0},
        {"3 loan rule refused", {{F::LoanTotal, "700"}}, F::LoanTotal, "请输入贷款总额", 1},
        {"5 no repayment", {{F::MonthlyRepayment, "0"}}, F::MonthlyRepayment, "请输入每月还贷额", 1},
        {"7 income empty", {{F::Income, ""}}, F::Income, "请输入每月收入数", 0},
        {"8 name empty", {{F::Name, ""}}, F::Name, "请输入活动描述", 0},
        {"first failure wins", {{F::TotalCost, ""}, {F::Name, ""}}, F::Name, "请输入活动描述", 0},
        {"repayment no number", {{F::MonthlyRepayment, "abc"}}, F::MonthlyRepayment, "请输入每月还贷额", 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        fillValid();
        for (const auto &[field, text] : c.change)
            type(field, QString::fromUtf8(text));
        responder.clear();
        pressOK();
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_FALSE(dialog->form().isConfirmed());
        EXPECT_EQ(dialog->hintLabel->text(), QString::fromUtf8(c.hint));
        QWidget *expected = dialog->control(c.focus);
        QWidget *focus = dialog->focusWidget();
        EXPECT_TRUE(focus == expected || (focus && focus->parentWidget() == expected))
            << (focus ? focus->objectName().toStdString() : "none");
        EXPECT_EQ(int(responder.shown().size()), c.messages);
    }
    // The planned expenditure is never checked.
    fillValid();
    type(F::PlannedSpending, QString());
    pressOK();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(dialog->form().isConfirmed());
}

TEST_F(EntryWindow, LoanQuestionYesAdjustsTheLoanNoStops)
{
    fillValid();
    type(F::LoanTotal, QStringLiteral("700"));
    responder.answer(base::MessageAnswer::No);
    pressOK();
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].text,
              QStringLiteral("审核不通过：\r\n贷款总额 700  应该 等于（总成本 1000-首付200），"
                             "\r\n是否自动调整贷款金额？"));
    EXPECT_EQ(dialog->loanTotalBox->text(), QStringLiteral("700"));
    EXPECT_TRUE(dialog->isVisible());

    // Yes writes the difference; the repayment check may then still stop.
    responder.clear();
    type(F::MonthlyRepayment, QStringLiteral("0"));
    responder.answer(base::MessageAnswer::Yes);
    pressOK();
    EXPECT_EQ(dialog->loanTotalBox->text(), QStringLiteral("800"));
    ASSERT_EQ(responder.shown().size(), 2u);
    EXPECT_EQ(responder.shown()[1].text, QStringLiteral("你有贷款总额，请输入每月还贷"));
    EXPECT_EQ(dialog->hintLabel->text(), QStringLiteral("请输入每月还贷额"));
}

// The form decides what a type's mask enables; here typing, picking and a
// tick by keyboard reach it and the window follows.
TEST_F(EntryWindow, TypesAndTicksShowTheirMask)
{
    type(F::Type, QStringLiteral("房产"));
    EXPECT_FALSE(dialog->categoryFrame->isEnabled());
    EXPECT_TRUE(dialog->categoryBoxes[2]->isChecked() && dialog->categoryBoxes[3]->isChecked());
    EXPECT_FALSE(dialog->incomeBox->isEnabled());
    EXPECT_TRUE(dialog->repaymentBox->isEnabled());
    dialog->typeBox->setCurrentIndex(dialog->typeBox->findText(QStringLiteral("工资")));
    EXPECT_TRUE(dialog->incomeBox->isEnabled());
    EXPECT_FALSE(dialog->categoryBoxes[2]->isChecked());

    type(F::Type, QStringLiteral("宠物"));
    EXPECT_TRUE(dialog->categoryFrame->isEnabled());
    dialog->categoryBoxes[0]->setFocus();
    QTest::keyClick(dialog->categoryBoxes[0], Qt::Key_Space);
    dialog->categoryBoxes[1]->setFocus();
    QTest::keyClick(dialog->categoryBoxes[1], Qt::Key_Space);
    EXPECT_FALSE(dialog->incomeBox->isEnabled());
    EXPECT_TRUE(dialog->actualExpenditureBox->isEnabled());
    type(F::Name, QStringLiteral("猫粮"));
    type(F::ActualSpending, QStringLiteral("5"));
    pressOK();
    EXPECT_EQ(dialog->form().newKind(), QStringLiteral("0100"));
}
