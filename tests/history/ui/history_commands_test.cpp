// Undo, redo and the history window as the program offers them: registered
// with the other features on a real main window and ledger, the commands
// name the step they would act on and follow every change, the month view
// shows the step's month with its totals, status line and assessment, the
// keys reach the books but never a text box's own undo, and the window
// undoes every step after the chosen one.
#include "item_fixtures.h"
#include "main_window_fixture.h"
#include "widget_helpers.h"

#include "app/feature_list.h"
#include "base/app_paths.h"
#include "history/ui/history_window.h"
#include "input/ui/entry_dialog.h"
#include "journal/ui/journal_window.h"
#include "ledger/month_view.h"
#include "ledger/report/month_report.h"
#include "skin/flat_button.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QTimer>

using namespace zambrel;
using testkit::shownWindow;

namespace {

store::Item itemNamed(const QString &name)
{
    return testkit::itemOf(QStringLiteral("房贷"), name, {0, 3200, 3200});
}

class HistoryCommands : public ::testing::Test, public testkit::WindowFixture {
protected:
    void SetUp() override
    {
        testkit::writeSampleMonth(QStringLiteral("2026-04"));
        testkit::writeSampleMonth(QStringLiteral("2026-05"), 1.1);
    }
    void open()
    {
        WindowFixture::open(app::registerFeatures);
        undo = window->command(QStringLiteral("undo"));
        redo = window->command(QStringLiteral("redo"));
        ASSERT_TRUE(undo && redo);
    }
    void showActive()
    {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    bool shows(qint64 code) const { return window->monthView()->item(code) != nullptr; }
    /// The month the window shows agrees with a report of it, made anew.
    void expectWindowShowsItsMonth()
    {
        const ledger::MonthReport report = ledger::monthReport(window->ledger(), window->currentMonth());
        EXPECT_EQ(window->statusPanelText(1), report.statusLine);
        EXPECT_EQ(window->adviceLabel->text(), report.advice.join(u'\n'));
        EXPECT_EQ(window->monthView()->summary().expenditure, report.summary.expenditure);
    }

    QAction *undo = nullptr;
    QAction *redo = nullptr;
};

TEST_F(HistoryCommands, NameTheStepFollowTheBooksAndShowTheStepsMonth)
{
    open();
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    store::Ledger &books = window->ledger();
    const qint64 code = books.addItem(QStringLiteral("2026-04"), itemNamed(QStringLiteral("房贷月供还贷")));
    books.deleteItem(code);
    EXPECT_EQ(undo->text(), QStringLiteral("撤销 删除「房贷月供还贷」 Undo delete"));
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    // Told under the caption it shows.
    QAccessibleInterface *menuTold = QAccessible::queryAccessibleInterface(window->monthMenu());
    ASSERT_TRUE(menuTold);
    ASSERT_GT(menuTold->childCount(), 1);
    EXPECT_EQ(menuTold->child(0)->text(QAccessible::Name),
              QStringLiteral("撤销 删除「房贷月供还贷」 Undo delete"));

    ASSERT_EQ(window->currentMonth(), QStringLiteral("2026-05"));
    const QString mayStatus = window->statusPanelText(1);
    undo->trigger();
    EXPECT_EQ(window->currentMonth(), QStringLiteral("2026-04")) << "the step's month is shown";
    EXPECT_TRUE(shows(code));
    expectWindowShowsItsMonth();
    EXPECT_NE(window->statusPanelText(1), mayStatus);
    EXPECT_EQ(redo->text(), QStringLiteral("重做 删除「房贷月供还贷」 Redo delete"));
    EXPECT_EQ(undo->text(), QStringLiteral("撤销 添加「房贷月供还贷」 Undo add"));

    // The keys, from the books.
    showActive();
    QTest::keyClick(window.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_FALSE(shows(code));
    expectWindowShowsItsMonth();
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(shows(code));

    // An "&" in a name is shown and told, not taken for a mnemonic.
    books.addItem(QStringLiteral("2026-04"), itemNamed(QStringLiteral("水&电")));
    EXPECT_EQ(menuTold->child(0)->text(QAccessible::Name), QStringLiteral("撤销 添加「水&电」 Undo add"));
    EXPECT_TRUE(responder.shown().empty()) << "nothing to report";
}

// The journal window is kept hidden between uses: a page whose save was
// undone meanwhile is gone from it when it opens again.
// An undone carry-forward took the month's books away but left the month in
// the month menu; the redo brings it back: the menu lists what the books hold.
TEST_F(HistoryCommands, TheMonthMenuFollowsAnUndoneCarryForward)
{
    base::setClock([] { return QDateTime(QDate(2026, 6, 15), QTime(10, 0)); });
    responder.answer(base::MessageAnswer::Yes);
    open();
    const auto listed = [this] {
        QStringList months;
        for (const QAction *action : window->monthMenu()->actions()) {
            if (action->data().isValid())
                months << action->text();
        }
        return months;
    };
    ASSERT_EQ(window->currentMonth(), QStringLiteral("2026-06")) << "carried forward at the start";
    undo->trigger();
    EXPECT_EQ(listed(), (QStringList{QStringLiteral("2026-05"), QStringLiteral("2026-04")}));
    redo->trigger();
    EXPECT_EQ(listed(),
              (QStringList{QStringLiteral("2026-06"), QStringLiteral("2026-05"), QStringLiteral("2026-04")}));
}

TEST_F(HistoryCommands, TheJournalWindowOpensOnThePagesAsUndone)
{
    open();
    store::JournalPage page;
    page.date = QStringLiteral("2024-03-01");
    page.fields[0] = QStringLiteral("买菜");
    ASSERT_TRUE(window->ledger().saveJournalPage(page));
    const auto openJournal = [this] {
        QPointer<journal::JournalWindow> seen;
        QTimer::singleShot(0, [&seen] {
            seen = shownWindow<journal::JournalWindow>();
            if (seen)
                seen->hide();
        });
        window->command(QStringLiteral("log"))->trigger();
        return seen;
    };
    QPointer<journal::JournalWindow> journal = openJournal();
    ASSERT_TRUE(journal);
    EXPECT_TRUE(journal->book().hasNode(QStringLiteral("T2024")));
    undo->trigger();
    ASSERT_TRUE(window->ledger().journalYears().empty()) << "the save undone";
    ASSERT_EQ(openJournal(), journal) << "the same window, kept";
    EXPECT_FALSE(journal->book().hasNode(QStringLiteral("T2024"))) << "read again after the undo";
}

TEST_F(HistoryCommands, TheEntryWindowsTextBoxesKeepTheirOwnUndo)
{
    open();
    window->ledger().addItem(QStringLiteral("2026-05"), itemNamed(QStringLiteral("留着")));
    const std::size_t steps = window->ledger().historySteps().size();
    showActive();
    bool checked = false;
    QTimer::singleShot(0, window.get(), [&] {
        auto *dialog = shownWindow<input::EntryDialog>();
        ASSERT_TRUE(dialog);
        dialog->nameBox->setFocus();
        QTest::keyClicks(dialog->nameBox, QStringLiteral("abc"));
        QTest::keyClick(dialog->nameBox, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(dialog->nameBox->text(), QString()) << "Ctrl+Z undid the typing";
        QTest::keyClick(dialog->nameBox, Qt::Key_Y, Qt::ControlModifier);
        EXPECT_EQ(dialog->nameBox->text(), QStringLiteral("abc")) << "Ctrl+Y typed it again";
        checked = true;
        QTest::mouseClick(dialog->cancelButton, Qt::LeftButton);
    });
    window->command(QStringLiteral("add"))->trigger();
    EXPECT_TRUE(checked);
    EXPECT_EQ(window->ledger().historySteps().size(), steps);
    EXPECT_FALSE(window->ledger().historySteps().front().undone) << "the books were not touched";
    EXPECT_TRUE(undo->isEnabled());
}

TEST_F(HistoryCommands, TheWindowListsTheStepsAndUndoesToTheChosenOne)
{
    base::saveSetting(QStringLiteral("history"), QStringLiteral("steps"), QStringLiteral("50"));
    open();
    EXPECT_EQ(window->ledger().historyLimit(), 50);
    store::Ledger &books = window->ledger();
    books.addItem(QStringLiteral("2026-03"), itemNamed(QStringLiteral("A")));
    books.addItem(QStringLiteral("2026-04"), itemNamed(QStringLiteral("B")));
    books.addItem(QStringLiteral("2026-05"), itemNamed(QStringLiteral("C")));

    QAction *list = window->command(QStringLiteral("history"));
    list->trigger();
    QPointer<history::HistoryWindow> history = shownWindow<history::HistoryWindow>();
    ASSERT_TRUE(history);
    QTreeWidget *rows = history->stepList;
    EXPECT_EQ(testkit::columnTexts(rows, 1),
              (QStringList{"添加「C」 add", "添加「B」 add", "添加「A」 add"}));
    rows->setCurrentItem(rows->topLevelItem(0));
    EXPECT_FALSE(history->undoToButton->isEnabled()) << "nothing after the newest step";

    rows->setCurrentItem(rows->topLevelItem(2));
    ASSERT_TRUE(history->undoToButton->isEnabled());
    QTest::mouseClick(history->undoToButton, Qt::LeftButton);
    EXPECT_EQ(window->currentMonth(), QStringLiteral("2026-04")) << "the month of the last step undone";
    expectWindowShowsItsMonth();
    EXPECT_EQ(testkit::columnTexts(rows, 3), (QStringList{"已撤销 undone", "已撤销 undone", ""}));
    EXPECT_EQ(history->chosenStep(), books.historySteps().back().id) << "the chosen step stays chosen";
    EXPECT_EQ(redo->text(), QStringLiteral("重做 添加「B」 Redo add"));

    books.addItem(QStringLiteral("2026-05"), itemNamed(QStringLiteral("D")));
    EXPECT_EQ(rows->topLevelItemCount(), 2) << "the undone steps went with the new one";
    ASSERT_TRUE(QTest::qWaitForWindowActive(history.data())) << "Escape is the window's own shortcut";
    QTest::keyClick(rows, Qt::Key_Escape);
    EXPECT_FALSE(history->isVisible());
    list->trigger();
    EXPECT_EQ(shownWindow<history::HistoryWindow>(), history.data()) << "the same window again";
}

} // namespace
