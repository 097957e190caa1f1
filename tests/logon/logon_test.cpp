#include "test_support.h"

#include "base/app_paths.h"
#include "logon/logon_steps.h"
#include "logon/logon_window.h"
#include "panel/ui/open_file_dialog.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include "skin/flat_button.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace zambrel;

namespace {

QString storedLedger()
{
    return base::settingsValue(QStringLiteral("DB"), QStringLiteral("DB"));
}

// Answers the open-file dialog with `next` whenever it is asked (empty:
// cancelled), for as long as it lives.
class FileDialogAnswer {
public:
    FileDialogAnswer()
        : m_previous(store::setOpenFileResponder(
              [this](QWidget *, const QString &, const QString &) { return next; }))
    {
    }
    ~FileDialogAnswer() { store::setOpenFileResponder(std::move(m_previous)); }
    FileDialogAnswer(const FileDialogAnswer &) = delete;
    FileDialogAnswer &operator=(const FileDialogAnswer &) = delete;

    QString next;

private:
    store::OpenFileResponder m_previous;
};

// The ledger opens on a worker thread: waits until the window says so.
void waitForOpening(const store::LogonWindow &logon)
{
    EXPECT_TRUE(QTest::qWaitFor([&logon] { return !logon.isOpening(); }, 20000));
}

// Keeps the ledger a logon hands over.
struct OpenedLedger {
    explicit OpenedLedger(store::LogonWindow &logon)
    {
        QObject::connect(&logon, &store::LogonWindow::loggedOn, &logon,
                         [this](std::shared_ptr<store::Ledger> opened) {
                             ledger = std::move(opened);
                             ++count;
                         });
    }
    std::shared_ptr<store::Ledger> ledger;
    int count = 0;
};

} // namespace

TEST(Logon, FirstStartShowsTheNewDefaultLedgerAndOpensItWithoutPassword)
{
    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder responder;
    store::LogonWindow logon;
    logon.load();
    EXPECT_TRUE(base::fileExists(base::defaultLedgerPath()));
    EXPECT_EQ(logon.ledgerBox->text(), base::defaultLedgerPath());
    EXPECT_EQ(base::currentSkinPath(), base::defaultSkinPath());
    EXPECT_TRUE(storedLedger().isEmpty());

    OpenedLedger opened(logon);
    Q_EMIT logon.passwordBox->returnPressed(); // Enter in the password box
    waitForOpening(logon);
    ASSERT_EQ(opened.count, 1);
    ASSERT_TRUE(opened.ledger);
    EXPECT_EQ(opened.ledger->path(), base::defaultLedgerPath());
    EXPECT_TRUE(responder.shown().empty());
}

TEST(Logon, WrongPasswordKeepsTheWindowAndTheSettingsThenTheRightOneOpens)
{
    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder responder;
    const QString locked = folder.file(QStringLiteral("locked.mdb"));
    store::createLedger(locked, QStringLiteral("pa;ss\"word"));
    base::saveSetting(QStringLiteral("DB"), QStringLiteral("DB"), locked);

    store::LogonWindow logon;
    logon.load();
    EXPECT_EQ(logon.ledgerPath(), locked);
    OpenedLedger opened(logon);
    logon.passwordBox->setText(QStringLiteral("wrong"));
    logon.okButton->setFocus();
    logon.okButton->click();
    waitForOpening(logon);
    EXPECT_EQ(opened.count, 0);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_TRUE(responder.shown()[0].text.startsWith(QStringLiteral("Zambrel 登录 Zambrel Logon\n")))
        << "the caption and the text are kept apart";
    EXPECT_GT(responder.shown()[0].text.size(), QStringLiteral("Zambrel 登录 Zambrel Logon\n").size());
    EXPECT_EQ(responder.shown()[0].icon, base::MessageIcon::Information);
    EXPECT_EQ(logon.focusWidget(), logon.passwordBox);
    EXPECT_NO_THROW(store::Ledger(locked, QStringLiteral("pa;ss\"word"))) << "a failed logon holds no lock";

    // Another user of the settings sees no change until a logon succeeds.
    base::saveSetting(QStringLiteral("DB"), QStringLiteral("DB"), QStringLiteral("/elsewhere.mdb"));
    logon.passwordBox->setText(QStringLiteral("pa;ss\"word"));
    logon.okButton->click();
    waitForOpening(logon);
    ASSERT_EQ(opened.count, 1);
    EXPECT_EQ(opened.ledger->path(), locked);
    EXPECT_EQ(storedLedger(), locked);
}

// The windows write the books: a ledger the user cannot write is refused
// by name before anything is shown, not opened to fail at the first change.
TEST(Logon, ALedgerThatCannotBeWrittenIsRefusedByName)
{
    testkit::TempProgramFolder folder;
    testkit::SmallDisk disk("1m");
    if (!disk.mounted())
        GTEST_SKIP() << qPrintable(disk.why());
    testkit::ScriptedResponder responder;
    const QString path = disk.file(QStringLiteral("books.mdb"));
    store::createLedger(path, QStringLiteral("pw"));
    ASSERT_TRUE(disk.makeReadOnly());
    base::saveSetting(QStringLiteral("DB"), QStringLiteral("DB"), path);

    store::LogonWindow logon;
    logon.load();
    OpenedLedger opened(logon);
    logon.passwordBox->setText(QStringLiteral("pw"));
    logon.okButton->click();
    waitForOpening(logon);
    EXPECT_EQ(opened.count, 0);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].text,
              QStringLiteral("Zambrel 登录 Zambrel Logon\n账本是只读的 The ledger is read-only: ") + path);
}

TEST(Logon, MissingStoredLedgerIsNamedBeforeTheDefaultIsOfferedAndStaysStoredUntilALogon)
{
    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder responder;
    const QString gone = folder.file(QStringLiteral("unmounted/books.mdb"));
    base::saveSetting(QStringLiteral("DB"), QStringLiteral("DB"), gone);
    base::saveSetting(QStringLiteral("skin"), QStringLiteral("skin"),
                      folder.file(QStringLiteral("gone.jss")));
    store::LogonWindow logon;
    logon.load();
    EXPECT_EQ(logon.ledgerBox->text(), base::defaultLedgerPath());
    EXPECT_EQ(base::currentSkinPath(), base::defaultSkinPath());
    EXPECT_FALSE(logon.hintLabel->isHidden());
    EXPECT_TRUE(logon.hintLabel->text().contains(gone)) << qPrintable(logon.hintLabel->text());
    EXPECT_LT(logon.hintLabel->text().indexOf(gone),
              logon.hintLabel->text().indexOf(QStringLiteral("默认账本")));
    EXPECT_EQ(logon.ledgerBox->accessibleDescription(), logon.hintLabel->text()) << "read out with the box";
    EXPECT_EQ(storedLedger(), gone) << "showing the default ledger stores nothing";

    // A failed logon on the default ledger keeps the stored path too.
    logon.passwordBox->setText(QStringLiteral("wrong"));
    logon.okButton->click();
    waitForOpening(logon);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(storedLedger(), gone);

    OpenedLedger opened(logon);
    logon.passwordBox->clear();
    logon.okButton->click();
    waitForOpening(logon);
    ASSERT_EQ(opened.count, 1);
    EXPECT_EQ(storedLedger(), base::defaultLedgerPath()) << "changed by the logon to another ledger";

    // A ledger handed in from outside wins, and nothing is said about the old one.
    base::saveSetting(QStringLiteral("DB"), QStringLiteral("DB"), gone);
    store::LogonWindow handedIn;
    handedIn.setOtherLedger(folder.file(QStringLiteral("other.mdb")));
    handedIn.load();
    EXPECT_EQ(handedIn.ledgerPath(), handedIn.otherLedger());
    EXPECT_TRUE(handedIn.hintLabel->isHidden());

    // With the stored ledger in place there is no hint.
    base::saveSetting(QStringLiteral("DB"), QStringLiteral("DB"), base::defaultLedgerPath());
    store::LogonWindow usual;
    usual.load();
    EXPECT_TRUE(usual.hintLabel->isHidden());
    EXPECT_TRUE(usual.hintLabel->text().isEmpty());
}

// The data folder is a file: the default ledger cannot be made, and both the
// hint line and OK say why in the system's words, not "file not found".
TEST(Logon, ADefaultLedgerThatCannotBeMadeSaysWhy)
{
    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder responder;
    const QString notAFolder = folder.file(QStringLiteral("data"));
    QFile(notAFolder).open(QIODevice::WriteOnly);
    base::setProgramFolder(notAFolder);
    store::LogonWindow logon;
    logon.load();
    EXPECT_EQ(logon.ledgerPath(), notAFolder + QStringLiteral("/Zambrel.mdb"));
    const QString reason = QString::fromLocal8Bit(std::strerror(ENOTDIR));
    EXPECT_TRUE(
        logon.hintLabel->text().contains(QStringLiteral("无法读写文件 Cannot read or write the file: ") +
                                         notAFolder + QStringLiteral("/Zambrel.mdb")))
        << qPrintable(logon.hintLabel->text());
    EXPECT_TRUE(logon.hintLabel->text().contains(reason)) << qPrintable(logon.hintLabel->text());

    logon.okButton->click();
    waitForOpening(logon);
    ASSERT_EQ(responder.shown().size(), 1u);
    const QString text = responder.shown()[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Zambrel 登录 Zambrel Logon\n")))
        << "a line break after the caption";
    EXPECT_TRUE(text.contains(reason)) << qPrintable(text);
    EXPECT_FALSE(text.contains(QStringLiteral("找不到"))) << qPrintable(text);
    EXPECT_TRUE(storedLedger().isEmpty());
}

TEST(Logon, OtherLedgerIsOpenedOnlyWhenItIsAnotherFile)
{
    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder responder;
    store::LogonWindow logon;
    logon.load();
    const QString shown = logon.ledgerBox->text();
    FileDialogAnswer dialog;

    // The ledger already shown changes nothing.
    dialog.next = shown;
    logon.chooseOtherLedger();
    EXPECT_TRUE(logon.otherLedger().isEmpty());

    dialog.next = QString();
    logon.chooseOtherLedger();
    EXPECT_TRUE(logon.otherLedger().isEmpty());

    const QString second = folder.file(QStringLiteral("second.mdb"));
    store::createLedger(second);
    dialog.next = second;
    logon.chooseOtherLedger();
    EXPECT_EQ(logon.otherLedger(), second);
    EXPECT_EQ(logon.ledgerBox->text(), second) << "the box names the ledger that OK opens";

    // Back to the first ledger, then to the second once more: each choice counts.
    dialog.next = shown;
    logon.chooseOtherLedger();
    EXPECT_EQ(logon.ledgerBox->text(), shown);
    dialog.next = second;
    logon.chooseOtherLedger();
    EXPECT_EQ(logon.ledgerBox->text(), second);

    OpenedLedger opened(logon);
    logon.okButton->click();
    waitForOpening(logon);
    ASSERT_EQ(opened.count, 1);
    EXPECT_EQ(opened.ledger->path(), QFileInfo(second).absoluteFilePath());
    EXPECT_EQ(storedLedger(), second);
}

// Every way of leaving the logon without logging on ends the program: the
// caption bar's close button once left a process running with no window.
TEST(Logon, LeavingWithoutLogonCountsAsCancelOnceAndALogonNever)
{
    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder responder;
    for (const bool byCancelButton : {true, false}) {
        store::LogonWindow logon;
        logon.load();
        logon.show();
        QSignalSpy cancelled(&logon, &store::LogonWindow::cancelled);
        if (byCancelButton)
            logon.cancelButton->click();
        else
            logon.close(); // what the caption bar's close button and the system do
        EXPECT_FALSE(logon.isVisible());
        EXPECT_EQ(cancelled.count(), 1) << (byCancelButton ? "Cancel" : "close");
    }

    store::LogonWindow logon;
    logon.load();
    logon.show();
    QSignalSpy cancelled(&logon, &store::LogonWindow::cancelled);
    OpenedLedger opened(logon);
    logon.okButton->click();
    waitForOpening(logon);
    EXPECT_EQ(opened.count, 1);
    EXPECT_EQ(cancelled.count(), 0);
}

// Another ledger is another file: names that differ only in letter case are
// two files here, while a link or a ".." path to the same file is that file.
// (The logon window's choice goes through this comparison.)
TEST(Logon, OtherLedgerComparesTheFilesThePathsName)
{
    testkit::TempProgramFolder folder;
    const QString upper = folder.file(QStringLiteral("Ledger.mdb"));
    const QString lower = folder.file(QStringLiteral("ledger.mdb"));
    store::createLedger(upper);
    store::createLedger(lower);
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("sub")));
    ASSERT_TRUE(QFile::link(upper, folder.file(QStringLiteral("link.mdb"))));
    struct Case {
        const char *chosen;
        const char *current;
        bool other;
    };
    const Case cases[] = {
        {"ledger.mdb", "Ledger.mdb", true},
        {"Ledger.mdb", "Ledger.mdb", false},
        {"sub/../Ledger.mdb", "Ledger.mdb", false},
        {"link.mdb", "Ledger.mdb", false},
        {"link.mdb", "ledger.mdb", true},
        {"./sub/../new.mdb", "new.mdb", false}, // files not there yet: their clean paths
        {"New.mdb", "new.mdb", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.chosen) + " / " + c.current);
        EXPECT_EQ(store::isOtherLedger(folder.file(QString::fromLatin1(c.chosen)),
                                       folder.file(QString::fromLatin1(c.current))),
                  c.other);
    }
    EXPECT_FALSE(store::isOtherLedger({}, upper));
}

// The key is derived on a worker thread: meanwhile the window paints, shows
// a busy pointer and takes no second OK, which would open the ledger twice
// and find it in use.
TEST(Logon, TheWindowStaysResponsiveWhileTheKeyIsDerivedAndTakesOneOK)
{
    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder responder;
    const QString path = folder.file(QStringLiteral("keyed.mdb"));
    store::createLedger(path, QStringLiteral("secret"));
    base::saveSetting(QStringLiteral("DB"), QStringLiteral("DB"), path);
    store::LogonWindow logon;
    logon.load();
    logon.show();
    OpenedLedger opened(logon);
    logon.passwordBox->setText(QStringLiteral("secret"));
    Q_EMIT logon.passwordBox->returnPressed();
    ASSERT_TRUE(logon.isOpening());
    EXPECT_EQ(logon.cursor().shape(), Qt::BusyCursor);
    EXPECT_FALSE(logon.okButton->isEnabled());
    EXPECT_FALSE(logon.passwordBox->isEnabled());
    Q_EMIT logon.passwordBox->returnPressed();
    logon.okButton->click();
    waitForOpening(logon);
    EXPECT_EQ(opened.count, 1);
    EXPECT_TRUE(responder.shown().empty()) << "no second opening found the ledger in use";
    EXPECT_EQ(storedLedger(), path);
}
