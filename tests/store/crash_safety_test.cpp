// Kills a process that is writing a ledger (SIGKILL) and checks what is left:
// the ledger opens, the engine finds it sound, and it holds each write whole
// or not at all. The writer, tests/store/crash_child, pauses at a chosen
// moment (before its N-th disk write, or at a named step of a backup or
// re-key) and says so; only then is it killed, so every kill lands where it
// was aimed however fast the machine is.
#include "ledger_fixture.h"

#include "store/stale_files.h"

#include <QDir>
#include <QProcess>

#include <cstdio>
#include <random>

#include <signal.h>

using namespace zambrel;
using namespace zambrel::store;

namespace {

constexpr int kKillsPerWrite = 15;
constexpr int kMonthRows = 15000;
const QString kPassword = QStringLiteral("pw");

void copyFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    QFile::remove(to + QStringLiteral("-journal"));
    ASSERT_TRUE(QFile::copy(from, to)) << qPrintable(to);
}

/// A ledger whose month 2024-01 holds `rows` items of several kinds.
void writeMonth(const QString &path, const QString &password, int rows)
{
    createLedger(path, password);
    const QString types[] = {QStringLiteral("工资"), QStringLiteral("日常开销"), QStringLiteral("房产")};
    std::vector<Item> items;
    for (int i = 0; i < rows; ++i) {
        Item item = testkit::item(types[i % 3], QStringLiteral("项目 %1").arg(i), 100.0 + i, 50.0 + i);
        item.memo = QStringLiteral("备注 %1").arg(i);
        item.totalCost = 1000.0 * i;
        items.push_back(item);
    }
    testkit::writeItems(path, QStringLiteral("2024-01"), items, password);
    // As this version keeps it: the first writable open adds the history's
    // tables, so that a kill is aimed at the write under test alone.
    Ledger(path, password);
}

/// The last N the child reported in a line "`prefix`N".
int lastCount(const QByteArray &output, const QByteArray &prefix)
{
    int count = 0;
    for (const QByteArray &line : output.split('\n'))
        if (line.startsWith(prefix))
            count = line.mid(prefix.size()).toInt();
    return count;
}

/// Where the child is to stop: before its N-th disk write, or at a named
/// step of the store.
struct Moment {
    long write = 0;
    const char *step = nullptr;
};

struct ChildRun {
    QByteArray output;
    bool paused = false;
    bool finished = false;
};

class CrashSafety : public ::testing::Test {
protected:
    void SetUp() override
    {
        const unsigned seed = std::random_device{}();
        m_random.seed(seed);
        RecordProperty("seed", int(seed));
        std::printf("random seed %u\n", seed);
    }

    QString file(const char *name) const { return dir.filePath(QLatin1String(name)); }

    /// Copies `from` over `ledger` afresh and runs the child until it pauses at `moment`.
    static ChildRun killFresh(const QString &from, const QString &ledger, const QStringList &args,
                              const Moment &moment)
    {
        copyFile(from, ledger);
        ChildRun killed = run(args, moment);
        EXPECT_TRUE(killed.paused) << "write " << moment.write << ": " << killed.output.constData();
        return killed;
    }

    /// Runs the child until it pauses at `moment` (then kills it) or ends.
    static ChildRun run(const QStringList &args, const Moment &moment = {})
    {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (moment.write > 0)
            environment.insert(QStringLiteral("ZAMBREL_PAUSE_AT_WRITE"), QString::number(moment.write));
        if (moment.step)
            environment.insert(QStringLiteral("ZAMBREL_TEST_POINT"),
                               QStringLiteral("pause:") + QLatin1String(moment.step));
        child.setProcessEnvironment(environment);
        child.start(QStringLiteral(ZAMBREL_CRASH_CHILD), args);
        ChildRun result;
        while (!result.output.contains("paused ") && child.state() != QProcess::NotRunning) {
            child.waitForReadyRead(100);
            result.output += child.readAllStandardOutput();
        }
        if (result.output.contains("paused ")) {
            result.paused = true;
            ::kill(pid_t(child.processId()), SIGKILL);
        }
        child.waitForFinished(60000);
        result.output += child.readAllStandardOutput();
        result.finished = result.output.contains("done\n");
        return result;
    }

    /// Counts the disk writes of a whole run (on a fresh copy of `from` when
    /// one is given) and spreads kKillsPerWrite moments over them, each at a
    /// random place within its share.
    std::vector<Moment> aimed(const QStringList &args, const QString &from = {})
    {
        if (!from.isEmpty())
            copyFile(from, args[1]);
        const ChildRun whole = run(args);
        EXPECT_TRUE(whole.finished) << whole.output.constData();
        const qsizetype at = whole.output.indexOf("writes ");
        const long writes = at < 0 ? 0 : whole.output.mid(at + 7).trimmed().toLong();
        EXPECT_GT(writes, kKillsPerWrite);
        std::vector<Moment> moments;
        for (int k = 0; k < kKillsPerWrite; ++k) {
            const long first = 1 + writes * k / kKillsPerWrite;
            const long last = std::max(first, writes * (k + 1) / kKillsPerWrite);
            moments.push_back({std::uniform_int_distribution<long>(first, last)(m_random), nullptr});
        }
        return moments;
    }

    QTemporaryDir dir;
    // The ledger the child writes, and the copy of it each kill starts from.
    const QString ledger = file("books.mdb");
    const QString original = file("original.mdb");
    std::mt19937 m_random;
};

} // namespace

TEST_F(CrashSafety, CarryForwardOfALargeMonthLeavesAllRowsOrNone)
{
    writeMonth(original, kPassword, kMonthRows);
    const QStringList args{QStringLiteral("carry"), ledger, kPassword, QStringLiteral("2024-01"),
                           QStringLiteral("2024-02")};
    for (const Moment &moment : aimed(args, original)) {
        killFresh(original, ledger, args, moment);
        Ledger books(ledger, kPassword);
        EXPECT_EQ(books.integrityProblems(), QStringList());
        EXPECT_EQ(books.monthItems(QStringLiteral("2024-01")).size(), std::size_t(kMonthRows));
        const std::size_t carried = books.monthItems(QStringLiteral("2024-02")).size();
        EXPECT_TRUE(carried == 0 || carried == std::size_t(kMonthRows))
            << carried << " rows after a kill before write " << moment.write;
    }
}

TEST_F(CrashSafety, ALoopOfAddsKeepsEveryItemItReportedAndNoHalfItem)
{
    createLedger(ledger, kPassword);
    constexpr int kAdds = 100;
    std::vector<std::size_t> kept;
    int kill = 0;
    for (const Moment &moment : aimed({QStringLiteral("adds"), ledger, kPassword, QStringLiteral("2023-12"),
                                       QString::number(kAdds)})) {
        const QString month = QStringLiteral("2025-%1").arg(++kill, 2, 10, QLatin1Char('0'));
        const ChildRun killed =
            run({QStringLiteral("adds"), ledger, kPassword, month, QString::number(kAdds)}, moment);
        ASSERT_TRUE(killed.paused) << killed.output.constData();
        const int acknowledged = lastCount(killed.output, "added ");
        Ledger books(ledger, kPassword);
        EXPECT_EQ(books.integrityProblems(), QStringList());
        const std::vector<Item> items = books.monthItems(month);
        // Every add it reported is there; at most the one under way besides.
        EXPECT_GE(items.size(), std::size_t(acknowledged));
        EXPECT_LE(items.size(), std::size_t(acknowledged) + 1);
        for (const Item &item : items) {
            const int n = item.name.mid(5).toInt();
            EXPECT_EQ(item.name, QStringLiteral("item %1").arg(n));
            EXPECT_EQ(item.memo, QString(200, QLatin1Char('m')));
            EXPECT_EQ(item.income, n);
            EXPECT_EQ(item.totalCost, 2.0 * n);
        }
        kept.push_back(items.size());
        // The months of earlier kills are as they were left.
        for (std::size_t earlier = 0; earlier < kept.size(); ++earlier) {
            const QString earlierMonth = QStringLiteral("2025-%1").arg(earlier + 1, 2, 10, QLatin1Char('0'));
            EXPECT_EQ(books.monthItems(earlierMonth).size(), kept[earlier]) << qPrintable(earlierMonth);
        }
    }
}

TEST_F(CrashSafety, AStepAndItsHistoryAreWrittenTogetherOrNotAtAll)
{
    // An earlier version's ledger: the first open adds the history tables,
    // and a kill may land there too.
    createLedger(original, kPassword);
    std::vector<ItemType> starterTypes = Ledger(original, kPassword, Access::ReadOnly).itemTypes();
    constexpr int kSteps = 40;
    const QStringList args{QStringLiteral("steps"), ledger, kPassword, QStringLiteral("2026-01"),
                           QString::number(kSteps)};
    for (const Moment &moment : aimed(args, original)) {
        const int acknowledged = lastCount(killFresh(original, ledger, args, moment).output, "stepped ");
        Ledger books(ledger, kPassword);
        EXPECT_EQ(books.integrityProblems(), QStringList());
        const std::size_t steps = books.historySteps().size();
        EXPECT_GE(steps, std::size_t(acknowledged)) << "kill before write " << moment.write;
        EXPECT_LE(steps, std::size_t(acknowledged) + 1) << "kill before write " << moment.write;
        // Each change kept has its history: undoing every step finds the rows
        // each one left and ends at the books as they were.
        EXPECT_NO_THROW(books.undoTo(0)) << "kill before write " << moment.write;
        EXPECT_TRUE(books.monthItems(QStringLiteral("2026-01")).empty());
        EXPECT_TRUE(books.journalYears().empty());
        EXPECT_EQ(books.itemTypes().size(), starterTypes.size());
    }
}

TEST_F(CrashSafety, APasswordChangeLeavesExactlyOneOfTheTwoPasswordsAndEveryRow)
{
    const QString oldPassword = QStringLiteral("old");
    const QString newPassword = QStringLiteral("new");
    writeMonth(original, oldPassword, kMonthRows / 3);
    const QStringList args{QStringLiteral("rekey"), ledger, oldPassword, newPassword};
    std::vector<Moment> moments = aimed(args, original);
    for (const char *step : {"rekey-copied", "rekey-linked", "rekey-renamed", "rekey-reopened"})
        moments.push_back({0, step});

    int withOld = 0;
    int withNew = 0;
    for (const Moment &moment : moments) {
        killFresh(original, ledger, args, moment);
        std::vector<QString> opening;
        for (const QString &password : {oldPassword, newPassword}) {
            const auto refused = testkit::kindOf([&] {
                Ledger books(ledger, password);
                EXPECT_EQ(books.integrityProblems(), QStringList());
                EXPECT_EQ(books.monthItems(QStringLiteral("2024-01")).size(), std::size_t(kMonthRows / 3));
            });
            if (refused)
                EXPECT_EQ(refused, ErrorKind::WrongPassword);
            else
                opening.push_back(password);
        }
        ASSERT_EQ(opening.size(), 1u) << "after a kill at " << (moment.step ? moment.step : "a write");
        (opening.front() == oldPassword ? withOld : withNew) += 1;
        // What a kill leaves beside the ledger goes at the next start, and
        // nothing else does.
        const QStringList before = QDir(dir.path()).entryList(QDir::Files);
        removeStaleTemporaries(dir.path(), QDateTime::currentDateTimeUtc().addSecs(1));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
                  (QStringList{QStringLiteral("books.mdb"), QStringLiteral("original.mdb")}))
            << qPrintable(before.join(u' '));
        EXPECT_NO_THROW(Ledger(ledger, opening.front())) << "the clean-up left the books whole";
    }
    EXPECT_GT(withOld, 0);
    EXPECT_GT(withNew, 0);
}

TEST_F(CrashSafety, ABackupLeavesNoFileTheEarlierOneOrACompleteCopy)
{
    const QString target = file("books_bak.mdb");
    const QString earlierLedger = file("earlier.mdb");
    writeMonth(ledger, kPassword, kMonthRows);
    writeMonth(earlierLedger, kPassword, 10);
    const QByteArray current = testkit::bytesOf(ledger);
    const QStringList args{QStringLiteral("backup"), ledger, kPassword, target};
    // The copy is written in pieces of 1 MiB; kills after the first piece and
    // after the last, with and without an earlier backup in the way.
    const std::vector<Moment> moments = {
        {0, "backup-writing"}, {0, "backup-writing"}, {0, "backup-copied"}, {0, "backup-copied"}};

    int kill = 0;
    for (const Moment &moment : moments) {
        // Every other run finds an earlier backup in the way.
        QFile::remove(target);
        const bool earlier = kill++ % 2 == 0;
        if (earlier)
            copyFile(earlierLedger, target);
        const ChildRun killed = run(args, moment);
        ASSERT_TRUE(killed.paused) << killed.output.constData();
        if (!QFile::exists(target)) {
            EXPECT_FALSE(earlier) << "the earlier backup was lost";
        } else {
            EXPECT_TRUE(earlier) << "a backup appeared before it was complete";
            Ledger copy(target, kPassword);
            EXPECT_EQ(copy.monthItems(QStringLiteral("2024-01")).size(), 10u) << "the earlier backup, whole";
        }
        EXPECT_EQ(testkit::bytesOf(ledger), current) << "a backup never changes the ledger";
        removeStaleTemporaries(dir.path(), QDateTime::currentDateTimeUtc().addSecs(1));
        EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*.tmp-*")}).isEmpty())
            << "cleaned at the next start";
    }

    // Run to its end, the backup is a complete copy under the same password.
    ASSERT_TRUE(run(args).finished);
    Ledger copy(target, kPassword);
    EXPECT_EQ(copy.integrityProblems(), QStringList());
    EXPECT_EQ(copy.monthItems(QStringLiteral("2024-01")).size(), std::size_t(kMonthRows));
}

TEST_F(CrashSafety, ARestoreLeavesTheOldBooksOrTheBackupsWhole)
{
    const QString backup = file("backup.mdb");
    // The ledger holds one month, the backup another, of a different size.
    writeMonth(original, kPassword, kMonthRows / 3);
    createLedger(backup, kPassword);
    std::vector<Item> saved;
    for (int n = 0; n < kMonthRows / 5; ++n)
        saved.push_back(testkit::item(QStringLiteral("存款"), QStringLiteral("存 %1").arg(n), n));
    testkit::writeItems(backup, QStringLiteral("2023-06"), saved, kPassword);
    const QStringList args{QStringLiteral("restore"), ledger, kPassword, backup};
    std::vector<Moment> moments = aimed(args, original);
    for (const char *step : {"restore-begun", "restore-table", "restore-copied"})
        moments.push_back({0, step});

    int old = 0;
    for (const Moment &moment : moments) {
        killFresh(original, ledger, args, moment);
        Ledger books(ledger, kPassword);
        EXPECT_EQ(books.integrityProblems(), QStringList());
        const std::size_t before = books.monthItems(QStringLiteral("2024-01")).size();
        const std::size_t after = books.monthItems(QStringLiteral("2023-06")).size();
        const bool whole =
            (before == std::size_t(kMonthRows / 3) && after == 0) || (before == 0 && after == saved.size());
        EXPECT_TRUE(whole) << before << " old and " << after << " restored rows after a kill at "
                           << (moment.step ? moment.step : "write ") << moment.write;
        old += after == 0;
    }
    EXPECT_GT(old, 0);
    // Run to its end, the books are the backup's.
    copyFile(original, ledger);
    ASSERT_TRUE(run(args).finished);
    EXPECT_TRUE(Ledger(ledger, kPassword).monthItems(QStringLiteral("2024-01")).empty());
    EXPECT_EQ(Ledger(backup, kPassword).monthItems(QStringLiteral("2023-06")).size(), saved.size())
        << "the backup is only read";
}
