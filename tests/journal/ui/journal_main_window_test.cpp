// The journal as the program offers it: the main window's journal command,
// registered with the other features, opens the journal window modally on
// the main window's ledger, in its skin, and it goes with the main window.
// (Kept between openings: the history commands' test; typing and saving:
// the journal window's.)
#include "ledger_fixture.h"
#include "sample_ledger.h"

#include "app/feature_list.h"
#include "base/clock.h"
#include "journal/ui/journal_window.h"
#include "ledger/ui/main_window.h"
#include "skin/caption_bar.h"
#include "skin/flat_button.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

using namespace zambrel;

namespace {

journal::JournalWindow *shownJournal()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *window = qobject_cast<journal::JournalWindow *>(widget);
        if (window && window->isVisible())
            return window;
    }
    return nullptr;
}

} // namespace

TEST(JournalCommand, OpensTheJournalOnTheMainWindowsLedgerAndKeepsIt)
{
    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder responder;
    base::setClock([] { return QDateTime(QDate(2026, 5, 15), QTime(22, 0)); });
    auto window = std::make_unique<ledger::MainWindow>(testkit::openDefaultLedger());
    window->load();
    app::registerFeatures(*window);
    window->ledger().saveJournalPage(
        testkit::page(QStringLiteral("2026-05-03"), QStringLiteral("earlier page")));

    QAction *journalAction = window->command(QStringLiteral("log"));
    ASSERT_TRUE(journalAction->isEnabled());

    QPointer<journal::JournalWindow> opened;
    QTimer::singleShot(0, window.get(), [&] {
        opened = shownJournal();
        ASSERT_TRUE(opened);
        EXPECT_TRUE(opened->isModal());
        EXPECT_EQ(opened->parentWidget(), window.get());
        EXPECT_EQ(opened->captionBar->skinPath(), window->captionBar->skinPath()) << "it wears the skin";
        EXPECT_NE(opened->nodeItem(QStringLiteral("T2026")), nullptr) << "on the main window's ledger";
        QTest::mouseClick(opened->closeButton, Qt::LeftButton);
    });
    journalAction->trigger();
    ASSERT_TRUE(opened);
    EXPECT_FALSE(opened->isVisible());

    window->setSwitchingLedger(true);
    window->close();
    window.reset();
    EXPECT_TRUE(opened.isNull()) << "the journal window goes with the main window";
    base::setClock({});
}
