// The month picker: what each click, key and button makes of the choice
// (without a window), the window itself on a real ledger's months, and what
// the main window makes of the answer.
#include "base/clock.h"
#include "input/month_picker/look_back.h"
#include "input/month_picker/month_choice.h"
#include "input/month_picker/ui/month_picker_window.h"
#include "qstring_printer.h"
#include "skin/flat_button.h"
#include "store/db_error.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"
#include "test_support.h"

#include <QAccessible>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace zambrel;
using input::MonthChoice;
using input::MonthPickerWindow;

namespace {

TEST(MonthChoice, ClicksButtonsAndTheNullRow)
{
    MonthChoice choice;
    EXPECT_TRUE(choice.month().isEmpty());
    EXPECT_FALSE(choice.isConfirmed());
    choice.confirm(); // OK on first use, nothing clicked
    EXPECT_TRUE(choice.isConfirmed());
    EXPECT_TRUE(choice.month().isEmpty());

    choice.clickRow(QStringLiteral("2025-03"));
    choice.cancel();
    EXPECT_FALSE(choice.isConfirmed());
    EXPECT_EQ(choice.month(), QStringLiteral("2025-03")) << "Cancel keeps the last click for the next use";
    choice.confirm(); // OK without a click repeats the previous choice
    EXPECT_EQ(choice.month(), QStringLiteral("2025-03"));

    choice.clickRow(QStringLiteral("NULL"));
    EXPECT_TRUE(choice.month().isEmpty());
    choice.clickRow(QStringLiteral("null")); // only the list's own null text stands for no month
    EXPECT_EQ(choice.month(), QStringLiteral("null"));
}

TEST(MonthChoice, DoubleClickConfirmsTheSelectedRowOnly)
{
    MonthChoice choice;
    choice.clickRow(QStringLiteral("2024-01"));
    EXPECT_FALSE(choice.doubleClick(std::nullopt));
    EXPECT_FALSE(choice.isConfirmed());
    EXPECT_EQ(choice.month(), QStringLiteral("2024-01"));

    EXPECT_TRUE(choice.doubleClick(QStringLiteral("2023-07")));
    EXPECT_TRUE(choice.isConfirmed());
    EXPECT_EQ(choice.month(), QStringLiteral("2023-07"));
    EXPECT_TRUE(choice.doubleClick(QStringLiteral("NULL")));
    EXPECT_TRUE(choice.month().isEmpty());
}

// The picker over the months of a real ledger.
class PickerWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString path = dir.filePath(QStringLiteral("books.mdb"));
        store::createLedger(path);
        ledger = std::make_unique<store::Ledger>(path, QString());
        window = std::make_unique<MonthPickerWindow>();
    }

    void addMonths(const QStringList &months)
    {
        for (const QString &month : months) {
            store::Item item;
            item.type = QStringLiteral("工资");
            item.name = month;
            ledger->addItem(month, item);
        }
    }

    void load()
    {
        window->loadMonths([this] { return ledger->allMonthsTable(); });
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    QStringList rows() const
    {
        QStringList texts;
        for (int index = 0; index < window->monthList->topLevelItemCount(); ++index)
            texts << window->monthList->topLevelItem(index)->text(0);
        return texts;
    }

    void clickRow(int index)
    {
        QTreeWidget *list = window->monthList;
        const QRect place = list->visualItemRect(list->topLevelItem(index));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
    }

    // As the window system delivers it: a click, then the second press as a
    // double-click.
    void doubleClickAt(QPoint pos)
    {
        QTest::mouseClick(window->monthList->viewport(), Qt::LeftButton, {}, pos);
        QTest::mouseDClick(window->monthList->viewport(), Qt::LeftButton, {}, pos);
    }

    QTemporaryDir dir;
    std::unique_ptr<store::Ledger> ledger;
    std::unique_ptr<MonthPickerWindow> window;
    testkit::ScriptedResponder responder;
};

TEST_F(PickerWindow, ShowsEveryMonthNewestFirstAndTheListIsNamedByItsLabel)
{
    addMonths({QStringLiteral("2024-11"), QStringLiteral("2026-02"), QStringLiteral("2025-06"),
               QStringLiteral("2026-02")});
    load();
    EXPECT_EQ(rows(),
              (QStringList{QStringLiteral("2026-02"), QStringLiteral("2025-06"), QStringLiteral("2024-11")}));
    // The label names the list for assistive technology.
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(window->monthList);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->text(QAccessible::Name), QStringLiteral("选择月份"));
    EXPECT_TRUE(responder.shown().empty());
}

TEST_F(PickerWindow, ClickThenOkOrCancel)
{
    addMonths({QStringLiteral("2026-01"), QStringLiteral("2026-02"), QStringLiteral("2026-03")});
    load();
    clickRow(1);
    window->okButton->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->choice().isConfirmed());
    EXPECT_EQ(window->choice().month(), QStringLiteral("2026-02"));

    window->show();
    clickRow(2);
    window->cancelButton->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->choice().isConfirmed());
}

TEST_F(PickerWindow, KeyboardArrowsEnterAndEscape)
{
    addMonths({QStringLiteral("2026-01"), QStringLiteral("2026-02"), QStringLiteral("2026-03")});
    load();
    // Focus puts the list's cursor on the newest month without choosing it.
    window->monthList->setFocus();
    QTest::keyClick(window->monthList, Qt::Key_Down);
    QTest::keyClick(window->monthList, Qt::Key_Return);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->choice().isConfirmed());
    EXPECT_EQ(window->choice().month(), QStringLiteral("2026-02"));

    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window->monthList, Qt::Key_Up);
    QTest::keyClick(window->monthList, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->choice().isConfirmed());
    EXPECT_EQ(window->choice().month(), QStringLiteral("2026-03"));
}

TEST_F(PickerWindow, DoubleClickOnARowChoosesItAndOnEmptySpaceDoesNothing)
{
    addMonths({QStringLiteral("2026-01"), QStringLiteral("2026-02")});
    load();
    // Below the last row, nothing selected: the window stays.
    doubleClickAt(QPoint(20, window->monthList->viewport()->height() - 4));
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->choice().isConfirmed());

    QTreeWidget *list = window->monthList;
    doubleClickAt(list->visualItemRect(list->topLevelItem(1)).center());
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->choice().isConfirmed());
    EXPECT_EQ(window->choice().month(), QStringLiteral("2026-01"));
}

TEST_F(PickerWindow, AnEmptyLedgerOffersNoMonthAndOkAnswersNone)
{
    load();
    EXPECT_EQ(rows(), QStringList{QStringLiteral("没有记录。")});
    clickRow(0);
    doubleClickAt(window->monthList->visualItemRect(window->monthList->topLevelItem(0)).center());
    EXPECT_TRUE(window->isVisible()) << "the no-records row is no month to choose";
    EXPECT_TRUE(window->monthList->selectedItems().isEmpty());
    QTest::keyClick(window->monthList, Qt::Key_Return);
    EXPECT_TRUE(window->choice().isConfirmed());
    EXPECT_TRUE(window->choice().month().isEmpty());
}

TEST_F(PickerWindow, TheNullRowAnswersNoMonth)
{
    window->loadMonths([] {
        store::ResultTable table;
        table.columns << QStringLiteral("months");
        table.rows.push_back({QStringLiteral("2026-04")});
        table.rows.push_back({QVariant()});
        return table;
    });
    window->show();
    EXPECT_EQ(rows(), (QStringList{QStringLiteral("2026-04"), QStringLiteral("NULL")}));
    clickRow(0);
    clickRow(1);
    window->okButton->click();
    EXPECT_TRUE(window->choice().isConfirmed());
    EXPECT_TRUE(window->choice().month().isEmpty());
}

TEST_F(PickerWindow, KeptBetweenUsesWithItsFirstListAndClosingCancels)
{
    addMonths({QStringLiteral("2026-01")});
    load();
    addMonths({QStringLiteral("2026-05")});
    window->hide();
    // Shown again modally: the list is the one it was loaded with.
    QTimer::singleShot(0, window.get(), [this] {
        EXPECT_EQ(rows(), QStringList{QStringLiteral("2026-01")});
        window->close();
    });
    const MonthChoice &choice = window->choose();
    EXPECT_FALSE(choice.isConfirmed());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(PickerWindow, AFailedReadIsReportedAndLeavesNothingToChoose)
{
    window->loadMonths([]() -> store::ResultTable {
        throw store::DbError(store::ErrorKind::Other, QStringLiteral("gone"));
    });
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_TRUE(responder.shown()[0].text.contains(QStringLiteral("gone")));
    EXPECT_EQ(rows(), QStringList());
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
