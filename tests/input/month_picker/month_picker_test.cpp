// The month picker: what each click, key and button makes of the choice
// (without a window), the window itself on a real ledger's months, and what
// the main window makes of the answer.
#include "item_fixtures.h"
#include "widget_helpers.h"
#include "base/clock.h"
#include "input/month_picker/look_back.h"
#include "input/month_picker/month_choice.h"
#include "input/month_picker/ui/month_picker_window.h"
#include "qstring_printer.h"
#include "skin/flat_button.h"
#include "store/ledger_schema.h"
#include "test_support.h"

#include <QTemporaryDir>

#include <memory>
#include <optional>

using namespace zambrel;
using input::MonthChoice;
using input::MonthPickerWindow;

namespace {

TEST(MonthChoice, ClicksButtonsDoubleClicksAndTheNullRow)
{
    MonthChoice choice;
    choice.clickRow(QStringLiteral("2025-03"));
    choice.cancel();
    EXPECT_FALSE(choice.isConfirmed());
    EXPECT_EQ(choice.month(), QStringLiteral("2025-03")) << "Cancel keeps the last click for the next use";
    EXPECT_FALSE(choice.doubleClick(std::nullopt)) << "nothing selected";

    choice.clickRow(QStringLiteral("NULL"));
    EXPECT_TRUE(choice.month().isEmpty());
    choice.clickRow(QStringLiteral("null")); // only the list's own null text stands for no month
    EXPECT_EQ(choice.month(), QStringLiteral("null"));
    EXPECT_TRUE(choice.doubleClick(QStringLiteral("2023-07")));
    EXPECT_TRUE(choice.isConfirmed());
    EXPECT_EQ(choice.month(), QStringLiteral("2023-07"));
}

// The picker over the months of a real ledger.
class PickerWindow : public ::testing::Test {
protected:
    void load(const QStringList &months = {})
    {
        const QString path = dir.filePath(QStringLiteral("books.mdb"));
        store::createLedger(path);
        store::Ledger ledger(path, QString());
        for (const QString &month : months)
            ledger.addItem(month, testkit::itemOf(QStringLiteral("工资"), month));
        window.loadMonths([&ledger] { return ledger.allMonthsTable(); });
        show();
    }
    void show()
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QStringList rows() const { return testkit::columnTexts(window.monthList); }
    QPoint rowCentre(int index) const
    {
        return window.monthList->visualItemRect(window.monthList->topLevelItem(index)).center();
    }
    // As the window system delivers it: a click, then the second press as a
    // double-click.
    void doubleClickAt(QPoint pos)
    {
        QTest::mouseClick(window.monthList->viewport(), Qt::LeftButton, {}, pos);
        QTest::mouseDClick(window.monthList->viewport(), Qt::LeftButton, {}, pos);
    }
    bool chose(const char *month) const
    {
        return !window.isVisible() && window.choice().isConfirmed() &&
               window.choice().month() == QLatin1String(month);
    }

    QTemporaryDir dir;
    MonthPickerWindow window;
    testkit::ScriptedResponder responder;
};

TEST_F(PickerWindow, KeysAndDoubleClicksChooseOrCancel)
{
    load({QStringLiteral("2026-01"), QStringLiteral("2026-02"), QStringLiteral("2026-03")});
    // Focus puts the list's cursor on the newest month without choosing it.
    window.monthList->setFocus();
    QTest::keyClick(window.monthList, Qt::Key_Down);
    QTest::keyClick(window.monthList, Qt::Key_Return);
    EXPECT_TRUE(chose("2026-02"));

    show();
    QTest::keyClick(window.monthList, Qt::Key_Up);
    QTest::keyClick(window.monthList, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.choice().isConfirmed());
    EXPECT_EQ(window.choice().month(), QStringLiteral("2026-03"));
    // A double-click chooses the row.
    show();
    doubleClickAt(rowCentre(1));
    EXPECT_TRUE(chose("2026-02"));
}

TEST_F(PickerWindow, AnEmptyLedgerOffersNoMonthAndOkAnswersNone)
{
    load();
    EXPECT_EQ(rows(), QStringList{QStringLiteral("没有记录。")});
    doubleClickAt(rowCentre(0));
    EXPECT_TRUE(window.isVisible()) << "the no-records row is no month to choose";
    EXPECT_TRUE(window.monthList->selectedItems().isEmpty());
    QTest::keyClick(window.monthList, Qt::Key_Return);
    EXPECT_TRUE(chose(""));
}

TEST(LookBack, WhatTheMainWindowMakesOfTheAnswer)
{
    base::setClock([] { return QDateTime(QDate(2026, 12, 5), QTime(8, 0)); });
    const struct {
        bool clicked;
        const char *row;
        bool confirmed;
        const char *current;
        std::optional<QString> shown;
    } cases[] = {
        {true, "2025-03", false, "2026-12", std::nullopt},             // Cancel
        {true, "2026-12", true, "2026-12", std::nullopt},              // the month shown: no refresh
        {true, "2025-03", true, "2026-12", QStringLiteral("2025-03")}, // another month
        {true, "NULL", true, "2025-03", QStringLiteral("2026-12")},    // the null row: today's month
        {true, "NULL", true, "2026-12", QStringLiteral("2026-12")},    // ... refreshed even when shown
        {false, "", true, "2025-03", QStringLiteral("2026-12")},       // OK with nothing chosen
        {false, "", false, "2025-03", std::nullopt},                   // closed at once
    };
    for (const auto &c : cases) {
        input::MonthChoice choice;
        if (c.clicked)
            choice.clickRow(QString::fromUtf8(c.row));
        if (c.confirmed)
            choice.confirm();
        EXPECT_EQ(ledger::lookBackMonth(choice, QString::fromUtf8(c.current)), c.shown)
            << c.row << " " << c.current;
    }
    base::setClock({});
}

} // namespace
