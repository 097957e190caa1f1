// The restore command through the real main window: the window lists the
// ledger's backups, previews the chosen one, asks once, restores behind a
// safety copy and the main window shows the restored books.
#include "main_window_fixture.h"
#include "qstring_printer.h"

#include "app/feature_list.h"
#include "ledger/maintenance/backup.h"
#include "ledger/restore/ui/restore_window.h"
#include "panel/ui/open_file_dialog.h"
#include "skin/flat_button.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace zambrel;

namespace {

class RestoreCommand : public ::testing::Test, public testkit::WindowFixture {
protected:
    void SetUp() override
    {
        testkit::writeSampleMonth(QStringLiteral("2026-04"));
        testkit::writeSampleMonth(QStringLiteral("2026-05"), 1.1);
        open(app::registerFeatures, true);
    }
    ledger::RestoreWindow *openRestore()
    {
        window->command(QStringLiteral("restore"))->trigger();
        auto *restore = window->findChild<ledger::RestoreWindow *>();
        if (restore)
            checked(restore);
        return restore;
    }
    // The window's checks come through the event loop.
    static void checked(ledger::RestoreWindow *restore)
    {
        EXPECT_TRUE(QTest::qWaitFor([restore] { return !restore->checking(); }, 20000));
    }
    QString check(ledger::RestoreWindow *restore, int column = 4)
    {
        return restore->backupList->topLevelItem(0)->text(column);
    }
    // Every heading, the check and the file's path are shown whole (the
    // list scrolls to the path).
    static bool shownWhole(ledger::RestoreWindow *restore)
    {
        const QTreeWidget *list = restore->backupList;
        const auto fits = [list](int column) {
            return list->fontMetrics().horizontalAdvance(list->topLevelItem(0)->text(column)) <
                   list->columnWidth(column);
        };
        const QHeaderView *header = list->header();
        // The style's hint is the heading's text with its margins.
        for (int column = 0; column < list->columnCount(); ++column)
            if (header->sectionSizeHint(column) > list->columnWidth(column))
                return false;
        return fits(4) && fits(5);
    }
};

TEST_F(RestoreCommand, TheChosenBackupIsRestoredAndShownWithItsSafetyCopyNamed)
{
    store::Ledger &books = window->ledger();
    const QString aprilStatus = [&] {
        window->showMonth(QStringLiteral("2026-04"));
        return window->statusPanelText(1);
    }();
    const QString backup = ledger::backUpLedger(books).path;
    // After the backup: May goes, June comes.
    for (const store::Item &item : books.monthItems(QStringLiteral("2026-05")))
        books.deleteItem(item.code);
    books.addItem(QStringLiteral("2026-06"), testkit::sampleItems().front());
    window->showMonth(QStringLiteral("2026-06"));

    ledger::RestoreWindow *restore = openRestore();
    ASSERT_NE(restore, nullptr);
    ASSERT_EQ(restore->entries().size(), 1u);
    EXPECT_EQ(check(restore), QStringLiteral("可用 OK"));
    EXPECT_TRUE(restore->previewLabel->text().startsWith(QStringLiteral("2026-05\n")))
        << qPrintable(restore->previewLabel->text());

    // Declined: nothing changes.
    restore->restoreChosen();
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_TRUE(responder.shown()[0].text.contains(backup)) << qPrintable(responder.shown()[0].text);
    EXPECT_EQ(books.latestMonth(), QStringLiteral("2026-06"));

    responder.answer(base::MessageAnswer::Yes);
    restore->restoreChosen();
    checked(restore);
    EXPECT_EQ(books.latestMonth(), QStringLiteral("2026-05"));
    EXPECT_EQ(window->currentMonth(), QStringLiteral("2026-05")) << "June is gone: the newest month is shown";
    EXPECT_TRUE(window->statusPanelText(1).contains(QStringLiteral("已从备份恢复")))
        << qPrintable(window->statusPanelText(1));
    ASSERT_EQ(restore->entries().size(), 2u) << "the safety copy joins the list";
    const QString copy = restore->entries()[0].path;
    EXPECT_TRUE(copy.endsWith(QStringLiteral("_restore.mdb"))) << qPrintable(copy);

    window->showMonth(QStringLiteral("2026-04"));
    EXPECT_EQ(window->statusPanelText(1), aprilStatus) << "the restored books read as before";
    restore->close();
}

// The answer to the question is for the books the row and preview show: a
// backup of the day made again meanwhile is listed again, not restored.
TEST_F(RestoreCommand, ABackupWrittenAgainAfterItWasListedIsNotRestoredUnseen)
{
    store::Ledger &books = window->ledger();
    const QString backup = ledger::backUpLedger(books).path;
    ledger::RestoreWindow *restore = openRestore();
    ASSERT_NE(restore, nullptr);
    ASSERT_TRUE(restore->previewLabel->text().startsWith(QStringLiteral("2026-05\n")));

    books.addItem(QStringLiteral("2026-06"), testkit::sampleItems().front());
    ASSERT_EQ(ledger::backUpLedger(books).path, backup);
    responder.answer(base::MessageAnswer::Yes);
    restore->restoreChosen();
    ASSERT_EQ(responder.shown().size(), 2u);
    EXPECT_TRUE(responder.shown()[1].text.contains(QStringLiteral("written again after it was listed")))
        << qPrintable(responder.shown()[1].text);
    checked(restore);
    EXPECT_TRUE(restore->previewLabel->text().startsWith(QStringLiteral("2026-06\n")))
        << "listed again: " << qPrintable(restore->previewLabel->text());
    EXPECT_FALSE(books.monthItems(QStringLiteral("2026-06")).empty()) << "nothing was restored";
    restore->close();
}

// The main window lets go of the ledger (switching to another) while the
// checks run: hidden with it, the window drops them, and no late one
// previews a backup through the closed ledger.
TEST_F(RestoreCommand, ChecksStillRunningWhenTheLedgerIsLetGoAreDropped)
{
    ledger::backUpLedger(window->ledger());
    window->command(QStringLiteral("restore"))->trigger();
    const QPointer<ledger::RestoreWindow> restore = window->findChild<ledger::RestoreWindow *>();
    ASSERT_FALSE(restore.isNull());
    ASSERT_TRUE(restore->checking());
    window->setSwitchingLedger(true);
    window->close();
    EXPECT_FALSE(restore->checking());
    QTest::qWait(300);
    EXPECT_EQ(restore->previewLabel->text(), QStringLiteral("检查中 Checking…"));
}

TEST_F(RestoreCommand, BackupsAreListedAtOnceAndFillInAsTheirChecksCome)
{
    ledger::backUpLedger(window->ledger());
    window->command(QStringLiteral("restore"))->trigger();
    auto *restore = window->findChild<ledger::RestoreWindow *>();
    ASSERT_NE(restore, nullptr);
    ASSERT_EQ(restore->backupList->topLevelItemCount(), 1);
    EXPECT_EQ(check(restore), QStringLiteral("检查中 Checking…"));
    EXPECT_TRUE(shownWhole(restore));
    EXPECT_EQ(check(restore, 2), QString()) << "no newest month before the check";
    EXPECT_EQ(restore->previewLabel->text(), QStringLiteral("检查中 Checking…"));
    EXPECT_FALSE(restore->restoreButton->isEnabled());
    EXPECT_FALSE(restore->passwordBox->isEnabled());

    QSignalSpy done(restore, &ledger::RestoreWindow::checksDone);
    checked(restore);
    EXPECT_EQ(done.count(), 1);
    EXPECT_EQ(check(restore), QStringLiteral("可用 OK"));
    EXPECT_EQ(check(restore, 2), QStringLiteral("2026-05"));
    EXPECT_TRUE(restore->previewLabel->text().startsWith(QStringLiteral("2026-05\n")))
        << qPrintable(restore->previewLabel->text());
    EXPECT_TRUE(restore->restoreButton->isEnabled());

    // Listed again before the checks came: only the last listing's land.
    restore->reload();
    restore->reload();
    checked(restore);
    EXPECT_EQ(done.count(), 2);
    EXPECT_EQ(check(restore), QStringLiteral("可用 OK"));

    // Closed while its checks run.
    const QPointer<ledger::RestoreWindow> closing(restore);
    restore->reload();
    restore->close();
    EXPECT_TRUE(QTest::qWaitFor([&closing] { return closing.isNull(); }, 20000));
    EXPECT_EQ(window->ledger().latestMonth(), QStringLiteral("2026-05"));
}

TEST_F(RestoreCommand, ABackupUnderAnotherPasswordOpensWithTheOneTyped)
{
    const QString other = folder.file(QStringLiteral("other.mdb"));
    store::createLedger(other, QStringLiteral("另一个"));
    testkit::writeItems(other, QStringLiteral("2025-01"), testkit::sampleItems(), QStringLiteral("另一个"));
    const store::OpenFileResponder previous =
        store::setOpenFileResponder([other](QWidget *, const QString &, const QString &) { return other; });
    ledger::RestoreWindow *restore = openRestore();
    ASSERT_NE(restore, nullptr);
    restore->browse();
    store::setOpenFileResponder(previous);
    checked(restore);
    ASSERT_EQ(restore->entries().size(), 1u);
    EXPECT_EQ(check(restore), QStringLiteral("密码不同 Other password"));
    EXPECT_TRUE(shownWhole(restore));
    EXPECT_TRUE(restore->passwordBox->isEnabled());
    EXPECT_FALSE(restore->restoreButton->isEnabled());

    restore->passwordBox->setText(QStringLiteral("wrong"));
    restore->checkPassword();
    ASSERT_EQ(responder.shown().size(), 1u) << "a wrong password is said";
    restore->passwordBox->setText(QStringLiteral("另一个"));
    restore->checkPassword();
    checked(restore);
    EXPECT_EQ(restore->passwordBox->text(), QString()) << "the password does not stay in the box";
    EXPECT_EQ(check(restore), QStringLiteral("可用 OK"));

    responder.answer(base::MessageAnswer::Yes);
    restore->restoreChosen();
    EXPECT_EQ(window->ledger().latestMonth(), QStringLiteral("2025-01"));
    EXPECT_TRUE(window->ledger().opensWith(QString())) << "the ledger keeps its own password";
    restore->close();
}

} // namespace
