// Safety copies, the list of a ledger's backups with their checks and
// previews, and restoring one, on real ledger files in a program folder of
// the test's own.
#include "base/app_paths.h"
#include "base/clock.h"
#include "base/status_line.h"
#include "host/error_report.h"
#include "item_fixtures.h"
#include "ledger/maintenance/backup.h"
#include "ledger/maintenance/password_change.h"
#include "ledger/maintenance/safety_copies.h"
#include "ledger/month_view.h"
#include "ledger/report/month_report.h"
#include "ledger/restore/backup_checks.h"
#include "ledger/restore/backup_list.h"
#include "ledger/restore/restore_ledger.h"
#include "qstring_printer.h"
#include "read_only_folder.h"
#include "store/ledger_schema.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

using namespace zambrel;
using namespace zambrel::ledger;
using testkit::kindOf;

namespace {

const QString kPassword = QStringLiteral("家 pw");
const QDateTime kNow(QDate(2026, 12, 7), QTime(9, 30, 12));

store::Item itemOf(const char *type, const char *name, double amount)
{
    return testkit::itemOf(QString::fromUtf8(type), QString::fromUtf8(name),
                           {amount, amount, 0, 0, amount, amount});
}

void setModified(const QString &path, const QDateTime &at)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.setFileTime(at, QFileDevice::FileModificationTime));
}

class RestoreLogic : public ::testing::Test {
protected:
    void SetUp() override
    {
        setTime(kNow);
        store::createLedger(path, kPassword);
        books = std::make_unique<store::Ledger>(path, kPassword);
        books->addItem(QStringLiteral("2026-11"), itemOf("工资", "薪水", 9000));
        books->addItem(QStringLiteral("2026-11"), itemOf("日常开销", "饭", 1500));
    }
    void TearDown() override { base::setClock({}); }

    static void setTime(const QDateTime &at)
    {
        base::setClock([at] { return at; });
    }
    void addDecember() { books->addItem(QStringLiteral("2026-12"), itemOf("工资", "十二月", 100)); }
    // The newest month of the ledger at `file`, under the ledger's password.
    static QString newestIn(const QString &file)
    {
        return store::Ledger(file, kPassword, store::Access::ReadOnly).latestMonth();
    }
    QString backups() const { return base::programFolder() + QStringLiteral("/backups"); }
    void expectStillHeld() const
    {
        EXPECT_EQ(testkit::secondProcessTries(path, kPassword), "error 账本正在使用中 The ledger is in use");
    }

    testkit::TempProgramFolder program;
    QString path = program.file(QStringLiteral("Zambrel.mdb"));
    std::unique_ptr<store::Ledger> books;
};

TEST_F(RestoreLogic, ASafetyCopyIsOwnerOnlyUnderThePasswordAndNeverReplacesAnEarlierOne)
{
    const QString first = takeSafetyCopy(*books, SafetyReason::CarryForward);
    EXPECT_EQ(first, backups() + QStringLiteral("/Zambrel_2026-12-07_0930_carry-forward.mdb"));
    addDecember();
    const QString second = takeSafetyCopy(*books, SafetyReason::CarryForward);
    EXPECT_EQ(second, backups() + QStringLiteral("/Zambrel_2026-12-07_0930_carry-forward-2.mdb"));
    EXPECT_EQ(QFileInfo(first).permissions() & 0x0077, 0) << "the copy is its owner's alone";
    EXPECT_EQ(newestIn(first), QStringLiteral("2026-11"));
    EXPECT_EQ(newestIn(second), QStringLiteral("2026-12"));
    EXPECT_EQ(safetyCopiesOf(path), (QStringList{second, first}));
    expectStillHeld();
}

TEST_F(RestoreLogic, TheNewestCopiesAreKeptPerLedgerAsManyAsTheSettingSays)
{
    // Another ledger's copy in the same folder is never counted or removed.
    const QString other = program.file(QStringLiteral("Other.mdb"));
    store::createLedger(other);
    const QString othersCopy = takeSafetyCopy(store::Ledger(other, {}), SafetyReason::Restore);

    QStringList taken;
    for (int minute = 0; minute < 12; ++minute) {
        setTime(kNow.addSecs(60 * minute));
        taken.prepend(
            takeSafetyCopy(*books, minute % 2 ? SafetyReason::Restore : SafetyReason::CarryForward));
    }
    EXPECT_EQ(safetyCopiesOf(path), taken.mid(0, 10));
    EXPECT_TRUE(QFile::exists(othersCopy));

    base::saveSetting(QStringLiteral("backups"), QStringLiteral("safetyCopies"), QStringLiteral("3"));
    setTime(kNow.addSecs(3600));
    const QString newest = takeSafetyCopy(*books, SafetyReason::PasswordChange, taken[5]);
    EXPECT_EQ(safetyCopiesOf(path), (QStringList{newest, taken[0], taken[1], taken[5]}))
        << "a copy about to be restored is spared";
    // Named through a link to the folder, or with the program folder given
    // relatively, it is still the same copy.
    const QString link = program.file(QStringLiteral("copies"));
    ASSERT_TRUE(QFile::link(backups(), link));
    base::saveSetting(QStringLiteral("backups"), QStringLiteral("safetyCopies"), QStringLiteral("1"));
    setTime(kNow.addSecs(7200));
    const QString throughLink =
        takeSafetyCopy(*books, SafetyReason::Restore, link + u'/' + QFileInfo(taken[5]).fileName());
    EXPECT_EQ(safetyCopiesOf(path), (QStringList{throughLink, taken[5]}));
    const QString folder = base::programFolder();
    base::setProgramFolder(QDir::current().relativeFilePath(folder));
    setTime(kNow.addSecs(10800));
    const QString relative = takeSafetyCopy(*books, SafetyReason::Restore, taken[5]);
    EXPECT_TRUE(QFile::exists(taken[5]));
    EXPECT_FALSE(QFile::exists(throughLink));
    base::setProgramFolder(folder);
    EXPECT_EQ(safetyCopiesOf(path), (QStringList{QFileInfo(relative).absoluteFilePath(), taken[5]}));
    for (const char *unusable : {"0", "many"}) {
        base::saveSetting(QStringLiteral("backups"), QStringLiteral("safetyCopies"),
                          QString::fromLatin1(unusable));
        EXPECT_EQ(safetyCopiesKept(), 10) << unusable;
    }
}

TEST_F(RestoreLogic, ALedgerOfTheSameNameInAnotherFolderKeepsItsCopiesApart)
{
    base::saveSetting(QStringLiteral("backups"), QStringLiteral("safetyCopies"), QStringLiteral("2"));
    QTemporaryDir stick;
    const QString elsewhere = stick.filePath(QStringLiteral("Zambrel.mdb"));
    store::createLedger(elsewhere, kPassword);
    store::Ledger away(elsewhere, kPassword);
    QStringList home, visiting;
    for (int minute = 0; minute < 3; ++minute) {
        setTime(kNow.addSecs(60 * minute));
        home.prepend(takeSafetyCopy(*books, SafetyReason::CarryForward));
        visiting.prepend(takeSafetyCopy(away, SafetyReason::CarryForward));
    }
    EXPECT_TRUE(QFileInfo(visiting[0]).fileName().startsWith(QStringLiteral("Zambrel~")));
    EXPECT_TRUE(
        QFileInfo(visiting[0]).fileName().endsWith(QStringLiteral("_2026-12-07_0932_carry-forward.mdb")));
    EXPECT_EQ(safetyCopiesOf(path), home.mid(0, 2)) << "the program folder's ledger keeps its plain names";
    EXPECT_EQ(safetyCopiesOf(elsewhere), visiting.mid(0, 2));
    for (const QString &copy : home.mid(0, 2) + visiting.mid(0, 2))
        EXPECT_TRUE(QFile::exists(copy)) << "removed by the other ledger: " << copy.toStdString();

    // The same folder named another way is the same ledger.
    EXPECT_EQ(safetyCopiesOf(stick.path() + QStringLiteral("/./Zambrel.mdb")), visiting.mid(0, 2));
}

TEST_F(RestoreLogic, TheListShowsEveryBackupNewestFirstWithItsCheck)
{
    setTime(QDateTime(QDate(2026, 11, 30), QTime(20, 0)));
    const QString dated = backUpLedger(*books).path;
    setModified(dated, QDateTime(QDate(2026, 11, 30), QTime(20, 0)));
    addDecember();
    setTime(kNow);
    const QString safety = takeSafetyCopy(*books, SafetyReason::CarryForward);
    setModified(safety, kNow);

    const QString foreign = program.file(QStringLiteral("foreign.mdb"));
    store::createLedger(foreign, QStringLiteral("另一个"));
    setModified(foreign, kNow.addDays(-40));
    const QString damaged = program.file(QStringLiteral("damaged.mdb"));
    ASSERT_TRUE(QFile::copy(dated, damaged));
    testkit::damageTablePages(damaged, kPassword, QStringLiteral("Asset"));
    setModified(damaged, kNow.addDays(-50));
    const QString newer = program.file(QStringLiteral("newer.mdb"));
    ASSERT_TRUE(QFile::copy(dated, newer));
    store::Connection(newer, kPassword)
        .execute(QStringLiteral("PRAGMA user_version = %1").arg(store::kLedgerVersion + 1));
    setModified(newer, kNow.addDays(-60));

    const std::vector<BackupEntry> list = listBackups(*books, {foreign, damaged, dated, newer});
    ASSERT_EQ(list.size(), 5u) << "a file named twice is listed once";
    const struct {
        QString path;
        BackupOrigin origin;
        const char *month;
        int items;
        const char *check;
    } expected[] = {
        {safety, BackupOrigin::Safety, "2026-12", 1, "可用 OK"},
        {dated, BackupOrigin::Dated, "2026-11", 2, "可用 OK"},
        {foreign, BackupOrigin::Added, "", 0, "密码不同 Other password"},
        {damaged, BackupOrigin::Added, "", 0, "已损坏 Damaged"},
        {newer, BackupOrigin::Added, "2026-11", 2, "版本较新 Newer version"},
    };
    for (std::size_t at = 0; at < std::size(expected); ++at) {
        EXPECT_EQ(list[at].path, expected[at].path);
        EXPECT_EQ(list[at].origin, expected[at].origin) << at;
        EXPECT_EQ(list[at].newestMonth, QString::fromLatin1(expected[at].month)) << at;
        EXPECT_EQ(list[at].newestMonthItems, expected[at].items) << at;
        EXPECT_EQ(backupCheckText(list[at].check), QString::fromUtf8(expected[at].check)) << at;
    }
    EXPECT_EQ(list[0].modified, kNow);
    // The ledger itself, under any name, is no backup and never opened a second time.
    const QString link = program.file(QStringLiteral("link.mdb"));
    ASSERT_TRUE(QFile::link(path, link));
    for (const QString &itself : {path, link}) {
        BackupEntry entry = backupFile(itself, BackupOrigin::Added);
        examineBackup(*books->copyOpener(), entry);
        EXPECT_EQ(entry.check, BackupCheck::Damaged);
        EXPECT_TRUE(entry.problem.contains(QStringLiteral("ledger itself"))) << qPrintable(entry.problem);
    }
    expectStillHeld();
}

// The restore window examines backups on threads of its own while the
// ledger goes on: its checks take what they read when they begin.
TEST_F(RestoreLogic, ChecksBegunBeforeAPasswordChangeOrTheLedgersCloseStillOpenItsBackups)
{
    const QString dated = backUpLedger(*books).path;
    const QString foreign = program.file(QStringLiteral("foreign.mdb"));
    store::createLedger(foreign, QStringLiteral("另一个"));
    setModified(foreign, kNow.addDays(-1));
    std::vector<BackupEntry> entries = findBackups(*books, {foreign});
    ASSERT_EQ(entries.size(), 2u);
    for (const BackupEntry &entry : entries)
        EXPECT_EQ(backupCheckText(entry.check), QStringLiteral("检查中 Checking…"));

    const std::shared_ptr<const store::CopyOpener> opener = books->copyOpener();
    std::vector<std::size_t> heard;
    std::mutex hearing;
    const auto examined = [&](std::size_t at) {
        const std::lock_guard lock(hearing);
        heard.push_back(at);
    };
    ChecksStop stopped;
    stopped.stop();
    examineBackups(*opener, entries, {}, examined, &stopped);
    EXPECT_TRUE(heard.empty()) << "nothing is begun once stopped";
    EXPECT_EQ(entries[0].check, BackupCheck::Checking);

    books->changePassword(kPassword, QStringLiteral("新的"));
    books.reset();
    examineBackups(*opener, entries, {{foreign, QStringLiteral("另一个")}}, examined);
    std::sort(heard.begin(), heard.end());
    EXPECT_EQ(heard, (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(entries[0].path, dated);
    EXPECT_EQ(backupCheckText(entries[0].check), QStringLiteral("可用 OK")) << qPrintable(entries[0].problem);
    EXPECT_EQ(entries[0].newestMonth, QStringLiteral("2026-11"));
    EXPECT_EQ(backupCheckText(entries[1].check), QStringLiteral("可用 OK")) << "opened with its own password";
    books = std::make_unique<store::Ledger>(path, QStringLiteral("新的"));
}

// Listing again before the first listing's results were told: only the
// newest listing's are told, each once, and it finishes once. A late result
// told would show one backup's check on another's row.
TEST_F(RestoreLogic, ChecksStartedAgainTellOnlyTheNewestListing)
{
    const QString dated = backUpLedger(*books).path;
    const QString foreign = program.file(QStringLiteral("foreign.mdb"));
    store::createLedger(foreign, QStringLiteral("另一个"));
    setModified(foreign, kNow.addDays(-1));
    const std::vector<BackupEntry> first = findBackups(*books, {foreign});
    const std::vector<BackupEntry> second = findBackups(*books, {});
    ASSERT_EQ(first.size(), 2u);
    ASSERT_EQ(second.size(), 1u);

    BackupChecks checks;
    QStringList told;
    int finished = 0;
    QObject::connect(&checks, &BackupChecks::examined, [&](std::size_t at, const BackupEntry &entry) {
        told << QStringLiteral("%1 %2 %3")
                    .arg(at)
                    .arg(QFileInfo(entry.path).fileName(), backupCheckText(entry.check));
    });
    QObject::connect(&checks, &BackupChecks::finished, [&] { ++finished; });
    checks.start(books->copyOpener(), first, {});
    checks.waitForChecks(); // its results wait in the event queue
    checks.start(books->copyOpener(), second, {});
    EXPECT_TRUE(checks.running());
    checks.waitForChecks();
    QCoreApplication::processEvents();
    EXPECT_EQ(told, QStringList{QStringLiteral("0 %1 可用 OK").arg(QFileInfo(dated).fileName())});
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(checks.running());

    // Nothing to check: finished at once.
    checks.start(books->copyOpener(), {}, {});
    EXPECT_EQ(finished, 2);
    EXPECT_FALSE(checks.running());
}

// A check stopped while it reads is interrupted, and what it had found is
// not its finding: never "damaged" for a sound backup.
TEST_F(RestoreLogic, AStoppedCheckIsInterruptedAndLeftChecking)
{
    books.reset();
    const std::vector<store::Item> day(200, itemOf("日常开销", "饭", 12.5));
    for (int month = 1; month <= 12; ++month)
        testkit::writeItems(path, QStringLiteral("2025-%1").arg(month, 2, 10, QLatin1Char('0')), day,
                            kPassword);
    books = std::make_unique<store::Ledger>(path, kPassword);
    const QString dated = backUpLedger(*books).path;
    const std::shared_ptr<const store::CopyOpener> opener = books->copyOpener();
    // A round counts when the stop came while the backup was open for its
    // check; one that finished first says nothing.
    int stoppedWhileOpen = 0;
    for (int round = 0; round < 20 && stoppedWhileOpen < 3; ++round) {
        BackupEntry entry = backupFile(dated, BackupOrigin::Dated);
        ChecksStop stop;
        std::atomic<bool> done{false};
        std::thread check([&] {
            examineBackup(*opener, entry, std::nullopt, &stop);
            done = true;
        });
        while (stop.underWay() == 0 && !done)
            std::this_thread::yield();
        const bool open = stop.underWay() > 0;
        stop.stop();
        check.join();
        if (!open)
            continue;
        ++stoppedWhileOpen;
        EXPECT_EQ(backupCheckText(entry.check), QStringLiteral("检查中 Checking…"))
            << qPrintable(entry.problem);
        EXPECT_EQ(stop.underWay(), 0);
    }
    EXPECT_GT(stoppedWhileOpen, 0);
    // The same backup checked to its end is sound.
    BackupEntry whole = backupFile(dated, BackupOrigin::Dated);
    examineBackup(*opener, whole);
    EXPECT_EQ(whole.check, BackupCheck::Ok) << qPrintable(whole.problem);
}

// (A backup that cannot be restored leaves the books alone: the store's
// and the command line's tests.)

// A carry-forward and a password change keep a copy of the books first,
// and do nothing without it.
TEST_F(RestoreLogic, ACarryForwardAndAPasswordChangeKeepACopyFirst)
{
    QString status;
    base::setStatusWriter(this, [&status](const QString &text, int) { status = text; });
    setTime(QDateTime(QDate(2026, 12, 7), QTime(8, 5)));
    MonthView view(*books);
    const std::optional<MonthView::CarryForward> due = view.dueCarryForward();
    ASSERT_TRUE(due);
    view.carryForward(*due);
    view.reload();
    const QString carried = backups() + QStringLiteral("/Zambrel_2026-12-07_0805_carry-forward.mdb");
    EXPECT_EQ(newestIn(carried), QStringLiteral("2026-11"));
    EXPECT_TRUE(status.startsWith(QStringLiteral("已保存安全副本 Safety copy saved"))) << qPrintable(status);
    EXPECT_TRUE(status.contains(carried)) << qPrintable(status);
    view.reload();
    EXPECT_FALSE(status.contains(carried)) << "said once";

    EXPECT_EQ(kindOf([&] {
                  changeLedgerPassword(*books, {"wrong", "n", "n"});
              }),
              store::ErrorKind::WrongPassword);
    EXPECT_EQ(safetyCopiesOf(path).size(), 1u) << "no copy for a wrong old password";
    const PasswordChange changed =
        changeLedgerPassword(*books, {kPassword, QStringLiteral("新"), QStringLiteral("新")});
    EXPECT_EQ(changed.result, PasswordChangeResult::Changed);
    EXPECT_EQ(changed.safetyCopy, backups() + QStringLiteral("/Zambrel_2026-12-07_0805_password-change.mdb"));
    EXPECT_EQ(newestIn(changed.safetyCopy), QStringLiteral("2026-12"))
        << "the copy opens with the old password";
    base::releaseStatusWriter(this);
}

// Without its safety copy no restore, carry-forward or password change
// takes place.
TEST_F(RestoreLogic, WithoutItsSafetyCopyNothingChanges)
{
    const QString dated = backUpLedger(*books).path;
    testkit::ReadOnlyFolder folder(backups());
    if (!folder.isReady())
        GTEST_SKIP() << qPrintable(folder.reason());
    ASSERT_TRUE(folder.makeReadOnly()) << qPrintable(folder.reason());
    MonthView view(*books);
    const std::optional<MonthView::CarryForward> due = view.dueCarryForward();
    ASSERT_TRUE(due);
    try {
        view.carryForward(*due);
        ADD_FAILURE() << "carried forward without a copy";
    } catch (const host::RoutedError &error) {
        EXPECT_EQ(error.road(), host::ErrorRoad::MenuCommand);
        EXPECT_TRUE(QString::fromUtf8(error.what()).contains(backups())) << error.what();
    }
    EXPECT_THROW(changeLedgerPassword(*books, {kPassword, QStringLiteral("n"), QStringLiteral("n")}),
                 store::DbError);
    EXPECT_TRUE(books->opensWith(kPassword));
    EXPECT_EQ(books->latestMonth(), QStringLiteral("2026-11")) << "nothing carried forward";
    addDecember();
    const store::ErrorKind refused = kindOf([&] { restoreLedger(*books, dated); });
    EXPECT_TRUE(refused == store::ErrorKind::InputOutput || refused == store::ErrorKind::ReadOnly)
        << int(refused);
    EXPECT_EQ(books->latestMonth(), QStringLiteral("2026-12")) << "the books were not touched";
    EXPECT_EQ(kindOf([&] { takeSafetyCopy(*books, SafetyReason::CarryForward); }), refused);
}

} // namespace
