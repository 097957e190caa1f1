#include "test_support.h"

#include "base/app_paths.h"
#include "logon/logon_steps.h"
#include "logon/logon_window.h"
#include "panel/ui/open_file_dialog.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include "skin/flat_button.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace zambrel;

namespace {

const QString kCaption = QStringLiteral("Zambrel 登录 Zambrel Logon\n");

QString storedLedger()
{
    return base::settingsValue(QStringLiteral("DB"), QStringLiteral("DB"));
}

void storeLedger(const QString &path)
{
    base::saveSetting(QStringLiteral("DB"), QStringLiteral("DB"), path);
}

/// A program folder of its own, messages answered without a person, and
/// the logon window (made by load()) with the ledgers it hands over.
class Logon : public ::testing::Test {
protected:
    store::LogonWindow &load()
    {
        logon = std::make_unique<store::LogonWindow>();
        logon->load();
        QObject::connect(logon.get(), &store::LogonWindow::loggedOn, logon.get(),
                         [this](std::shared_ptr<store::Ledger> ledger) {
                             opened = std::move(ledger);
                             ++logons;
                         });
        return *logon;
    }
    /// OK with `password` typed.
    void logOn(const QString &password)
    {
        logon->passwordBox->setText(password);
        logon->okButton->click();
    }

    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder responder;
    std::unique_ptr<store::LogonWindow> logon;
    std::shared_ptr<store::Ledger> opened;
    int logons = 0;
};

TEST_F(Logon, WrongPasswordKeepsTheWindowAndTheSettingsThenTheRightOneOpens)
{
    const QString locked = folder.file(QStringLiteral("locked.mdb"));
    store::createLedger(locked, QStringLiteral("pa;ss\"word"));
    storeLedger(locked);
    load();
    EXPECT_EQ(logon->ledgerPath(), locked);
    logon->okButton->setFocus();
    logOn(QStringLiteral("wrong"));
    EXPECT_EQ(logons, 0);
    ASSERT_EQ(responder.shown().size(), 1u);
    const QString said = responder.shown()[0].text;
    EXPECT_TRUE(said.startsWith(kCaption) && said.size() > kCaption.size()) << "caption and text kept apart";
    EXPECT_EQ(responder.shown()[0].icon, base::MessageIcon::Information);
    EXPECT_EQ(logon->focusWidget(), logon->passwordBox);
    EXPECT_NO_THROW(store::Ledger(locked, QStringLiteral("pa;ss\"word"))) << "a failed logon holds no lock";

    // Another user of the settings sees no change until a logon succeeds.
    storeLedger(QStringLiteral("/elsewhere.mdb"));
    logOn(QStringLiteral("pa;ss\"word"));
    ASSERT_EQ(logons, 1);
    EXPECT_EQ(opened->path(), locked);
    EXPECT_EQ(storedLedger(), locked);
}

// The windows write the books: a ledger the user cannot write is refused
// by name before anything is shown, not opened to fail at the first change.
TEST_F(Logon, ALedgerThatCannotBeWrittenIsRefusedByName)
{
    testkit::SmallDisk disk("1m");
    if (!disk.mounted())
        GTEST_SKIP() << qPrintable(disk.why());
    const QString path = disk.file(QStringLiteral("books.mdb"));
    store::createLedger(path, QStringLiteral("pw"));
    ASSERT_TRUE(disk.makeReadOnly());
    storeLedger(path);
    load();
    logOn(QStringLiteral("pw"));
    EXPECT_EQ(logons, 0);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].text,
              kCaption + QStringLiteral("账本是只读的 The ledger is read-only: ") + path);
}

TEST_F(Logon, MissingStoredLedgerIsNamedBeforeTheDefaultIsOfferedAndStaysStoredUntilALogon)
{
    const QString gone = folder.file(QStringLiteral("unmounted/books.mdb"));
    storeLedger(gone);
    base::saveSetting(QStringLiteral("skin"), QStringLiteral("skin"),
                      folder.file(QStringLiteral("gone.jss")));
    load();
    EXPECT_EQ(logon->ledgerBox->text(), base::defaultLedgerPath());
    EXPECT_EQ(base::currentSkinPath(), base::defaultSkinPath());
    const QString hint = logon->hintLabel->text();
    EXPECT_FALSE(logon->hintLabel->isHidden());
    EXPECT_TRUE(hint.contains(gone)) << qPrintable(hint);
    EXPECT_LT(hint.indexOf(gone), hint.indexOf(QStringLiteral("默认账本")));
    EXPECT_EQ(logon->ledgerBox->accessibleDescription(), hint) << "read out with the box";
    EXPECT_EQ(storedLedger(), gone) << "showing the default ledger stores nothing";

    // A failed logon on the default ledger keeps the stored path too.
    logOn(QStringLiteral("wrong"));
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(storedLedger(), gone);
    logOn({});
    ASSERT_EQ(logons, 1);
    EXPECT_EQ(storedLedger(), base::defaultLedgerPath()) << "changed by the logon to another ledger";

    // A ledger handed in from outside wins, and nothing is said about the old one.
    storeLedger(gone);
    store::LogonWindow handedIn;
    handedIn.setOtherLedger(folder.file(QStringLiteral("other.mdb")));
    handedIn.load();
    EXPECT_EQ(handedIn.ledgerPath(), handedIn.otherLedger());
    EXPECT_TRUE(handedIn.hintLabel->isHidden());

    // With the stored ledger in place there is no hint.
    storeLedger(base::defaultLedgerPath());
    store::LogonWindow usual;
    usual.load();
    EXPECT_TRUE(usual.hintLabel->isHidden());
    EXPECT_TRUE(usual.hintLabel->text().isEmpty());
}

// The data folder is a file: the default ledger cannot be made, and both the
// hint line and OK say why in the system's words, not "file not found".
TEST_F(Logon, ADefaultLedgerThatCannotBeMadeSaysWhy)
{
    const QString notAFolder = folder.file(QStringLiteral("data"));
    QFile(notAFolder).open(QIODevice::WriteOnly);
    base::setProgramFolder(notAFolder);
    load();
    const QString ledger = notAFolder + QStringLiteral("/Zambrel.mdb");
    EXPECT_EQ(logon->ledgerPath(), ledger);
    const QString reason = QString::fromLocal8Bit(std::strerror(ENOTDIR));
    const QString hint = logon->hintLabel->text();
    EXPECT_TRUE(hint.contains(QStringLiteral("无法读写文件 Cannot read or write the file: ") + ledger))
        << qPrintable(hint);
    EXPECT_TRUE(hint.contains(reason)) << qPrintable(hint);

    logon->okButton->click();
    ASSERT_EQ(responder.shown().size(), 1u);
    const QString text = responder.shown()[0].text;
    EXPECT_TRUE(text.startsWith(kCaption)) << "a line break after the caption";
    EXPECT_TRUE(text.contains(reason)) << qPrintable(text);
    EXPECT_FALSE(text.contains(QStringLiteral("找不到"))) << qPrintable(text);
    EXPECT_TRUE(storedLedger().isEmpty());
}

TEST_F(Logon, OtherLedgerIsOpenedOnlyWhenItIsAnotherFile)
{
    load();
    const QString shown = logon->ledgerBox->text();
    const QString second = folder.file(QStringLiteral("second.mdb"));
    store::createLedger(second);
    QString next;
    store::OpenFileResponder previous =
        store::setOpenFileResponder([&next](QWidget *, const QString &, const QString &) { return next; });
    // The ledger already shown or a cancelled choice changes nothing; then
    // each choice counts, back to the first ledger and on to the second.
    const std::pair<QString, QString> choices[] = {
        {shown, shown}, {QString(), shown}, {second, second}, {shown, shown}, {second, second}};
    for (std::size_t index = 0; index < std::size(choices); ++index) {
        next = choices[index].first;
        logon->chooseOtherLedger();
        EXPECT_EQ(logon->ledgerBox->text(), choices[index].second) << "the box names the ledger OK opens";
        EXPECT_TRUE(index >= 2 || logon->otherLedger().isEmpty()) << index;
    }
    store::setOpenFileResponder(std::move(previous));
    logon->okButton->click();
    ASSERT_EQ(logons, 1);
    EXPECT_EQ(opened->path(), QFileInfo(second).absoluteFilePath());
    EXPECT_EQ(storedLedger(), second);
}

// Every way of leaving the logon without logging on ends the program: the
// caption bar's close button once left a process running with no window.
TEST_F(Logon, LeavingWithoutLogonCountsAsCancelOnceAndALogonNever)
{
    for (const int way : {0, 1, 2}) {
        load().show();
        QSignalSpy cancelled(logon.get(), &store::LogonWindow::cancelled);
        if (way == 0)
            logon->cancelButton->click();
        else if (way == 1)
            logon->close(); // what the caption bar's close button and the system do
        else
            logon->okButton->click();
        EXPECT_TRUE(way == 2 || !logon->isVisible()) << way;
        EXPECT_EQ(cancelled.count(), way == 2 ? 0 : 1) << way;
    }
    EXPECT_EQ(logons, 1);
}

// Another ledger is another file: names that differ only in letter case are
// two files here, while a link or a ".." path to the same file is that file.
// (The logon window's choice goes through this comparison.)
TEST_F(Logon, OtherLedgerComparesTheFilesThePathsName)
{
    const QString upper = folder.file(QStringLiteral("Ledger.mdb"));
    store::createLedger(upper);
    store::createLedger(folder.file(QStringLiteral("ledger.mdb")));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("sub")));
    ASSERT_TRUE(QFile::link(upper, folder.file(QStringLiteral("link.mdb"))));
    const struct {
        const char *chosen;
        const char *current;
        bool other;
    } cases[] = {
        {"ledger.mdb", "Ledger.mdb", true},
        {"Ledger.mdb", "Ledger.mdb", false},
        {"sub/../Ledger.mdb", "Ledger.mdb", false},
        {"link.mdb", "Ledger.mdb", false},
        {"link.mdb", "ledger.mdb", true},
        {"./sub/../new.mdb", "new.mdb", false}, // files not there yet: their clean paths
        {"New.mdb", "new.mdb", true},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(store::isOtherLedger(folder.file(QString::fromLatin1(c.chosen)),
                                       folder.file(QString::fromLatin1(c.current))),
                  c.other)
            << c.chosen << " / " << c.current;
    }
    EXPECT_FALSE(store::isOtherLedger({}, upper));
}

} // namespace
