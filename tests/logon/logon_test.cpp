// The logon window, and the whole start of the program through it.
#include "sample_ledger.h"
#include "test_support.h"

#include "app/program.h"
#include "base/app_paths.h"
#include "base/clock.h"
#include "ledger/ui/main_window.h"
#include "logon/logon_steps.h"
#include "logon/logon_window.h"
#include "panel/ui/open_file_dialog.h"
#include "store/db_error.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include "skin/flat_button.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/stat.h>

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
    /// OK with `password` typed, then the wait for the worker thread.
    void logOn(const QString &password)
    {
        logon->passwordBox->setText(password);
        clickOK();
    }
    /// OK; the ledger opens on a worker thread, and this waits for the end.
    void clickOK()
    {
        logon->okButton->click();
        EXPECT_TRUE(QTest::qWaitFor([this] { return !logon->isOpening(); }, 20000));
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
    logOn(QStringLiteral("wrong"));
    EXPECT_EQ(logons, 0);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_TRUE(responder.shown()[0].text.startsWith(kCaption)) << "caption and text kept apart";
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
    EXPECT_TRUE(hint.contains(gone) && hint.indexOf(gone) < hint.indexOf(QStringLiteral("默认账本")))
        << qPrintable(hint);
    EXPECT_EQ(logon->ledgerBox->accessibleDescription(), hint) << "read out with the box";
    EXPECT_EQ(storedLedger(), gone) << "showing the default ledger stores nothing";

    logOn({});
    ASSERT_EQ(logons, 1);
    EXPECT_EQ(storedLedger(), base::defaultLedgerPath()) << "changed by the logon to another ledger";
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
    const QString reason = QString::fromLocal8Bit(std::strerror(ENOTDIR));
    const QString hint = logon->hintLabel->text();
    EXPECT_TRUE(hint.contains(ledger) && hint.contains(reason)) << qPrintable(hint);

    clickOK();
    ASSERT_EQ(responder.shown().size(), 1u);
    const QString text = responder.shown()[0].text;
    EXPECT_TRUE(text.contains(reason) && !text.contains(QStringLiteral("找不到"))) << qPrintable(text);
    EXPECT_TRUE(storedLedger().isEmpty());
}

// A data folder given relatively (--data-dir data) is taken from where the
// program started: the ledger it stores for the next start is the same file
// from any folder, not whatever "data/Zambrel.mdb" means there.
TEST_F(Logon, ARelativeDataFolderStoresTheLedgerByItsWholePath)
{
    QTemporaryDir started;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(started.path()));
    base::setProgramFolder(QStringLiteral("data"));
    EXPECT_EQ(base::programFolder(), started.filePath(QStringLiteral("data")));
    store::createLedger(base::defaultLedgerPath());
    load();
    logOn({});
    ASSERT_EQ(logons, 1);
    EXPECT_EQ(storedLedger(), started.filePath(QStringLiteral("data/Zambrel.mdb")));
    opened.reset();
    store::rememberLedger(QStringLiteral("other.mdb"));
    EXPECT_EQ(storedLedger(), started.filePath(QStringLiteral("other.mdb")));
    QDir::setCurrent(before);
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
    const std::pair<QString, QString> choices[] = {{shown, shown}, {QString(), shown}, {second, second}};
    for (std::size_t index = 0; index < std::size(choices); ++index) {
        next = choices[index].first;
        logon->chooseOtherLedger();
        EXPECT_EQ(logon->ledgerBox->text(), choices[index].second) << "the box names the ledger OK opens";
    }
    store::setOpenFileResponder(std::move(previous));
    clickOK();
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
            clickOK();
        EXPECT_TRUE(way == 2 || !logon->isVisible()) << way;
        EXPECT_EQ(cancelled.count(), way == 2 ? 0 : 1) << way;
    }
    EXPECT_EQ(logons, 1);
}

// The key is derived on a worker thread: meanwhile the window paints, shows
// a busy pointer and takes no second OK, which would open the ledger twice
// and find it in use.
TEST_F(Logon, TheWindowStaysResponsiveWhileTheKeyIsDerivedAndTakesOneOK)
{
    const QString path = folder.file(QStringLiteral("keyed.mdb"));
    store::createLedger(path, QStringLiteral("secret"));
    storeLedger(path);
    load().show();
    logon->passwordBox->setText(QStringLiteral("secret"));
    Q_EMIT logon->passwordBox->returnPressed();
    ASSERT_TRUE(logon->isOpening());
    EXPECT_EQ(logon->cursor().shape(), Qt::BusyCursor);
    EXPECT_FALSE(logon->okButton->isEnabled());
    EXPECT_FALSE(logon->passwordBox->isEnabled());
    Q_EMIT logon->passwordBox->returnPressed();
    clickOK();
    EXPECT_EQ(logons, 1);
    EXPECT_TRUE(responder.shown().empty()) << "no second opening found the ledger in use";
    EXPECT_EQ(storedLedger(), path);
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
        {"sub/../Ledger.mdb", "Ledger.mdb", false},
        {"link.mdb", "Ledger.mdb", false},
        {"./sub/../new.mdb", "new.mdb", false}, // files not there yet: their clean paths
    };
    for (const auto &c : cases) {
        EXPECT_EQ(store::isOtherLedger(folder.file(QString::fromLatin1(c.chosen)),
                                       folder.file(QString::fromLatin1(c.current))),
                  c.other)
            << c.chosen << " / " << c.current;
    }
}

} // namespace

// The whole start as a person does it: the logon window appears, Enter in the password box opens the ledger
// and shows the main window.
TEST(StartRoutine, EnterInThePasswordBoxOpensTheMainWindow)
{
    testkit::TempProgramFolder folder;
    testkit::ScriptedResponder responder(base::MessageAnswer::Yes);
    base::setClock([] { return QDateTime(QDate(2026, 5, 15), QTime(9, 30)); });

    QPointer<store::LogonWindow> logon = app::startProgram(*qApp);
    ASSERT_TRUE(logon);
    EXPECT_TRUE(logon->isVisible());

    const auto mainWindow = [] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *window = qobject_cast<ledger::MainWindow *>(widget))
                return window;
        }
        return static_cast<ledger::MainWindow *>(nullptr);
    };
    // Built behind the logon while the password is typed, and shown after it.
    QTRY_VERIFY(mainWindow() != nullptr);
    const QPointer<ledger::MainWindow> prepared = mainWindow();
    EXPECT_FALSE(prepared->isVisible());

    QTest::keyClick(logon->passwordBox, Qt::Key_Return);
    QTRY_VERIFY(prepared && prepared->isVisible());
    ledger::MainWindow *window = prepared;
    QTRY_VERIFY(logon.isNull());
    EXPECT_EQ(window->ledger().path(), base::defaultLedgerPath());
    EXPECT_THROW(store::Ledger(base::defaultLedgerPath(), {}), store::DbError)
        << "the window holds the ledger";
    EXPECT_TRUE(window->command(QStringLiteral("add"))->isEnabled()) << "the item commands are registered";

    window->setSwitchingLedger(true);
    window->close();
    base::setClock({});
}

// Preparing the main window never runs the event loop: a logon finished
// meanwhile would open a second main window while the first is half built.
TEST(StartRoutine, PreparingTheMainWindowLetsNothingElseRun)
{
    testkit::TempProgramFolder folder;
    bool preparing = true;
    std::optional<bool> ranWhilePreparing;
    QObject context;
    QTimer::singleShot(0, &context, [&] { ranWhilePreparing = preparing; });
    const std::unique_ptr<ledger::MainWindow> window(ledger::prepareMainWindow());
    preparing = false;
    QTRY_VERIFY(ranWhilePreparing.has_value());
    EXPECT_FALSE(*ranWhilePreparing);
}

// The main window's first frame is laid out as any later layout lays it out:
// nothing moves when the window is next laid out (here by a resize event, as
// the first resize by the person would). The toolbar was two pixels short.
TEST(StartRoutine, TheFirstFrameIsLaidOutAsALaterLayoutWould)
{
    testkit::TempProgramFolder folder;
    base::setClock([] { return QDateTime(QDate(2026, 5, 15), QTime(9, 30)); });
    testkit::writeSampleMonth(QStringLiteral("2026-05"));
    ledger::MainWindow *window =
        ledger::openMainWindow(testkit::openDefaultLedger(), ledger::prepareMainWindow());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const QImage first = window->grab().toImage();
    const int toolbarHeight = window->toolbar->height();

    QResizeEvent again(window->size(), window->size());
    QCoreApplication::sendEvent(window, &again);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->toolbar->height(), toolbarHeight);
    EXPECT_EQ(window->grab().toImage(), first);

    window->setSwitchingLedger(true);
    window->close();
    base::setClock({});
}

// Leaving the logon takes the main window prepared behind it along.
TEST(StartRoutine, CancelAtTheLogonLeavesNoWindowBehind)
{
    testkit::TempProgramFolder folder;
    QPointer<store::LogonWindow> logon = app::startProgram(*qApp);
    QPointer<QWidget> prepared;
    const auto findPrepared = [&prepared] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<ledger::MainWindow *>(widget))
                prepared = widget;
        }
        return !prepared.isNull();
    };
    QTRY_VERIFY(findPrepared());
    logon->cancelButton->click();
    QTRY_VERIFY(prepared.isNull());
}

// Qt's file dialogs write the folders last visited (where the ledgers and
// exports lie) into a settings file of their own: it is owner-only from the
// start, whatever was there and whatever the umask.
TEST(StartRoutine, TheFileDialogsHistoryIsOwnerOnly)
{
    testkit::TempProgramFolder folder;
    const QString history = base::fileDialogHistoryFile();
    ASSERT_TRUE(history.contains(QStringLiteral(".qttest")))
        << "not the user's own file: " << history.toStdString();
    const QByteArray name = QFile::encodeName(history);
    const auto modeOf = [&name] {
        struct stat info {};
        return ::stat(name.constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
    };
    const mode_t umaskBefore = ::umask(0);

    QFile::remove(history);
    delete app::startProgram(*qApp);
    EXPECT_EQ(modeOf(), 0600) << "made owner-only when missing";
    ASSERT_EQ(::chmod(name.constData(), 0666), 0);
    delete app::startProgram(*qApp);
    EXPECT_EQ(modeOf(), 0600) << "an earlier file loses the others' access";
    ::umask(umaskBefore);
}

// A start removes what a killed earlier run left in the program's folders
// and beside the ledger, and nothing of the run now going.
TEST(StartRoutine, LeftoversOfAKilledRunGo)
{
    testkit::TempProgramFolder folder;
    const QDateTime earlier = QDateTime::currentDateTimeUtc().addSecs(-3600);
    const QString settings = base::settingsFilePath();
    const QStringList stale{base::defaultLedgerPath() + QStringLiteral(".rekey-77"),
                            settings + QStringLiteral(".Qx3b9Z")};
    const QString fresh = base::defaultLedgerPath() + QStringLiteral(".tmp-5");
    for (const QString &path : stale + QStringList{fresh}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
        ASSERT_TRUE(file.setFileTime(path == fresh ? earlier.addSecs(7200) : earlier,
                                     QFileDevice::FileModificationTime));
    }
    // Beside a ledger in a folder of the user's, and in the folder of the
    // file dialogs' history, only the program's own leftovers go.
    QTemporaryDir documents;
    const QString ledger = documents.filePath(QStringLiteral("家.mdb"));
    const QString history = QFileInfo(base::fileDialogHistoryFile()).absolutePath();
    QDir().mkpath(history);
    const QStringList ours{ledger + QStringLiteral(".rekey-1"),
                           documents.filePath(QStringLiteral("家_2026-05-15_bak.mdb.tmp-2"))};
    const QStringList theirs{documents.filePath(QStringLiteral("budget.ods.old-1")),
                             documents.filePath(QStringLiteral("notes.txt.tmp-2")),
                             documents.filePath(QStringLiteral("draft.new-a")),
                             history + QStringLiteral("/otherapp.conf.new-1"),
                             base::fileDialogHistoryFile() + QStringLiteral(".backup")};
    for (const QString &path :
         ours + theirs + QStringList{documents.filePath(QStringLiteral("budget.ods"))}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
        ASSERT_TRUE(file.setFileTime(earlier, QFileDevice::FileModificationTime));
    }
    delete app::startProgram(*qApp, ledger);
    for (const QString &path : stale + ours)
        EXPECT_FALSE(QFile::exists(path)) << qPrintable(path);
    for (const QString &path : theirs)
        EXPECT_TRUE(QFile::exists(path)) << "not the program's: " << qPrintable(path);
    EXPECT_TRUE(QFile::exists(fresh)) << "made after this run began";
    for (const QString &path : theirs)
        QFile::remove(path);
}

// --version names the skins in use and marks a default skin it cannot read,
// so a broken installation shows itself.
TEST(VersionReport, NamesTheSkinsAndMarksAnUnreadableDefaultSkin)
{
    const QString version = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion(QStringLiteral("1.2.3"));
    const QString shipped = base::skinsFolder();
    EXPECT_EQ(app::versionReport(), QCoreApplication::applicationName() + QStringLiteral(" 1.2.3\nSkins: ") +
                                        shipped + QStringLiteral("\nDefault skin: ") +
                                        base::defaultSkinPath() + QStringLiteral("\n"));

    QTemporaryDir empty;
    base::setSkinsFolder(empty.path());
    EXPECT_TRUE(app::versionReport().endsWith(QStringLiteral("金色水晶.jss (missing or unreadable)\n")));

    base::setSkinsFolder({});
    QCoreApplication::setApplicationVersion(version);
}

// The window icon comes from the user's icon folders before the system's,
// at every size found there, and is null where the program is not installed.
TEST(ProgramIcon, ComesFromTheFirstDataFolderThatHoldsIt)
{
    const QByteArray dataDirs = qgetenv("XDG_DATA_DIRS");
    QTemporaryDir system;
    const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const auto install = [](const QString &data, int size) {
        const QString folder = data + QStringLiteral("/icons/hicolor/%1x%1/apps").arg(size);
        QDir().mkpath(folder);
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::darkGreen);
        ASSERT_TRUE(image.save(folder + QStringLiteral("/" ZAMBREL_APP_ID ".png")));
    };
    qputenv("XDG_DATA_DIRS", system.path().toLocal8Bit());
    EXPECT_TRUE(app::programIcon().isNull());

    install(system.path(), 32);
    install(system.path(), 128);
    QList<QSize> sizes = app::programIcon().availableSizes();
    std::sort(sizes.begin(), sizes.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
    EXPECT_EQ(sizes, (QList<QSize>{QSize(32, 32), QSize(128, 128)}));

    install(user, 16);
    EXPECT_EQ(app::programIcon().availableSizes(), QList<QSize>{QSize(16, 16)});

    QDir(user + QStringLiteral("/icons/hicolor/16x16")).removeRecursively();
    if (dataDirs.isNull())
        qunsetenv("XDG_DATA_DIRS");
    else
        qputenv("XDG_DATA_DIRS", dataDirs);
}
