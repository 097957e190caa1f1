// Kills a process that is writing a ledger (SIGKILL, at random moments) and
// checks what is left: the ledger opens, the engine finds it sound, and it
// holds each write whole or not at all. The writer is tests/store/crash_child.
#include "store/connection.h"
#include "store/db_error.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"
#include "store/record_set.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

#include <signal.h>

using namespace zambrel::store;

namespace {

constexpr int kKillsPerWrite = 15;
constexpr int kMonthRows = 15000;
const QString kPassword = QStringLiteral("pw");

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void copyFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    ASSERT_TRUE(QFile::copy(from, to)) << qPrintable(to);
}

/// A ledger whose month 2024-01 holds `rows` items of several kinds, written
/// in one batch.
void writeMonth(const QString &path, const QString &password, int rows)
{
    createLedger(path, password);
    Connection connection;
    connection.open(ledgerConnectionString(path, password));
    RecordSet items;
    items.setLockType(adLockBatchOptimistic);
    items.open(QStringLiteral("select * from asset where 1=2"), connection);
    const QString types[] = {QStringLiteral("工资"), QStringLiteral("日常开销"), QStringLiteral("房产")};
    for (int i = 0; i < rows; ++i) {
        items.addNew();
        items.setValue(QStringLiteral("months"), QStringLiteral("2024-01"));
        items.setValue(QStringLiteral("types"), types[i % 3]);
        items.setValue(QStringLiteral("name"), QStringLiteral("项目 %1").arg(i));
        items.setValue(QStringLiteral("memo"), QStringLiteral("备注 %1").arg(i));
        items.setValue(QStringLiteral("InComePerMonth"), 100.0 + i);
        items.setValue(QStringLiteral("PayPerMonth"), 50.0 + i);
        items.setValue(QStringLiteral("TotalCost"), 1000.0 * i);
    }
    items.updateBatch();
}

/// True when a kill left a journal that the next open must play back: the
/// write was under way inside its transaction.
bool leftJournalToRollBack(const QString &ledger)
{
    const QByteArray head = bytesOf(ledger + QStringLiteral("-journal")).left(8);
    return head.size() == 8 && head != QByteArray(8, '\0');
}

/// One run of the child: what it printed, and whether it finished before
/// the kill.
struct ChildRun {
    QByteArray output;
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

    static QString file(const QTemporaryDir &dir, const char *name)
    {
        return dir.filePath(QLatin1String(name));
    }

    /// Starts the child and returns once it has said "ready" (or failed).
    static bool start(QProcess &child, const QStringList &args, QByteArray &output)
    {
        child.start(QStringLiteral(ZAMBREL_CRASH_CHILD), args);
        while (!output.contains("ready\n")) {
            if (!child.waitForReadyRead(30000))
                return false;
            output += child.readAllStandardOutput();
        }
        return true;
    }

    /// Returns once the child's transaction on `ledger` has begun (its
    /// journal holds a header), or the child has ended. Polls the file.
    static void waitForTransaction(QProcess &child, const QString &ledger)
    {
        QElapsedTimer clock;
        clock.start();
        while (!leftJournalToRollBack(ledger) && child.state() == QProcess::Running &&
               clock.elapsed() < 60000)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
    }

    /// Runs the write to its end and returns how long it took after "ready",
    /// or, given `inside`, after its transaction on that ledger began.
    std::chrono::microseconds timeOf(const QStringList &args, const QString &inside = {})
    {
        QProcess child;
        QByteArray output;
        EXPECT_TRUE(start(child, args, output)) << output.constData();
        if (!inside.isEmpty())
            waitForTransaction(child, inside);
        QElapsedTimer clock;
        clock.start();
        while (!output.contains("done\n") && child.waitForReadyRead(60000))
            output += child.readAllStandardOutput();
        const auto took = std::chrono::microseconds(clock.nsecsElapsed() / 1000);
        child.waitForFinished(60000);
        EXPECT_TRUE(output.contains("done\n")) << output.constData();
        return took;
    }

    /// Starts the child, lets it write for a random part of `duration`
    /// (a little beyond it now and then), and kills it. Given `inside`, the
    /// time counts from the moment its transaction on that ledger began.
    ChildRun runAndKill(const QStringList &args, std::chrono::microseconds duration,
                        const QString &inside = {})
    {
        ChildRun run;
        QProcess child;
        if (!start(child, args, run.output)) {
            ADD_FAILURE() << "the child did not start: " << run.output.constData();
            return run;
        }
        if (!inside.isEmpty())
            waitForTransaction(child, inside);
        // The moment of the kill is what the test varies: a random wait, not
        // a wait for something to happen.
        std::uniform_int_distribution<long long> when(0, duration.count() * 11 / 10);
        std::this_thread::sleep_for(std::chrono::microseconds(when(m_random)));
        ::kill(pid_t(child.processId()), SIGKILL);
        child.waitForFinished(30000);
        run.output += child.readAllStandardOutput();
        run.finished = run.output.contains("done\n");
        ++m_kills;
        if (!run.finished)
            ++m_during;
        return run;
    }

    void report(const char *write, const QString &outcomes)
    {
        std::printf("%s: %d kills, %d during the write; %s\n", write, m_kills, m_during,
                    qPrintable(outcomes));
        EXPECT_EQ(m_kills, kKillsPerWrite);
        // Most kills must land inside the write, or the test proves little.
        EXPECT_GE(m_during * 3, m_kills) << write;
    }

    std::mt19937 m_random;
    int m_kills = 0;
    int m_during = 0;
};

} // namespace

TEST_F(CrashSafety, CarryForwardOfALargeMonthLeavesAllRowsOrNone)
{
    QTemporaryDir dir;
    const QString original = file(dir, "original.mdb");
    const QString ledger = file(dir, "books.mdb");
    writeMonth(original, kPassword, kMonthRows);
    const QStringList args{QStringLiteral("carry"), ledger, kPassword, QStringLiteral("2024-01"),
                           QStringLiteral("2024-02")};
    copyFile(original, ledger);
    const auto duration = timeOf(args);
    copyFile(original, ledger);
    QFile::remove(ledger + QStringLiteral("-journal"));
    const auto writing = timeOf(args, ledger);

    int whole = 0;
    int none = 0;
    int rolledBack = 0;
    for (int kill = 0; kill < kKillsPerWrite; ++kill) {
        copyFile(original, ledger);
        QFile::remove(ledger + QStringLiteral("-journal"));
        // Half the kills anywhere in the run, half while the rows are written.
        const bool whileWriting = kill % 2 == 1;
        const ChildRun run = whileWriting ? runAndKill(args, writing, ledger) : runAndKill(args, duration);
        rolledBack += leftJournalToRollBack(ledger) ? 1 : 0;
        Ledger books(ledger, kPassword);
        EXPECT_EQ(books.integrityProblems(), QStringList());
        EXPECT_EQ(books.monthItems(QStringLiteral("2024-01")).size(), std::size_t(kMonthRows));
        const std::size_t carried = books.monthItems(QStringLiteral("2024-02")).size();
        EXPECT_TRUE(carried == 0 || carried == std::size_t(kMonthRows)) << carried << " rows";
        if (run.finished) {
            EXPECT_EQ(carried, std::size_t(kMonthRows)) << "reported done, so it must be there";
        }
        (carried == 0 ? none : whole) += 1;
    }
    report("carry-forward", QStringLiteral("%1 with every row, %2 with none, %3 of them rolled back from the "
                                           "journal")
                                .arg(whole)
                                .arg(none)
                                .arg(rolledBack));
}

TEST_F(CrashSafety, ALoopOfAddsKeepsEveryItemItReportedAndNoHalfItem)
{
    QTemporaryDir dir;
    const QString ledger = file(dir, "books.mdb");
    createLedger(ledger, kPassword);
    constexpr int kAdds = 300;
    const auto duration = timeOf(
        {QStringLiteral("adds"), ledger, kPassword, QStringLiteral("2023-12"), QString::number(kAdds)});

    std::vector<std::size_t> kept;
    int extra = 0;
    for (int kill = 0; kill < kKillsPerWrite; ++kill) {
        const QString month = QStringLiteral("2025-%1").arg(kill + 1, 2, 10, QLatin1Char('0'));
        const ChildRun run =
            runAndKill({QStringLiteral("adds"), ledger, kPassword, month, QString::number(kAdds)}, duration);
        int acknowledged = 0;
        for (const QByteArray &line : run.output.split('\n')) {
            if (line.startsWith("added "))
                acknowledged = line.mid(6).toInt();
        }
        Ledger books(ledger, kPassword);
        EXPECT_EQ(books.integrityProblems(), QStringList());
        const std::vector<Item> items = books.monthItems(month);
        // Every add it reported is there; at most the one under way besides.
        EXPECT_GE(items.size(), std::size_t(acknowledged));
        EXPECT_LE(items.size(), std::size_t(acknowledged) + 1);
        extra += int(items.size()) - acknowledged;
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
    report("item adds", QStringLiteral("%1 adds under way were kept whole").arg(extra));
}

TEST_F(CrashSafety, APasswordChangeLeavesTheOldPasswordOrTheNew)
{
    QTemporaryDir dir;
    const QString original = file(dir, "original.mdb");
    const QString ledger = file(dir, "books.mdb");
    const QString oldPassword = QStringLiteral("old");
    const QString newPassword = QStringLiteral("new");
    writeMonth(original, oldPassword, kMonthRows / 3);
    const QStringList args{QStringLiteral("rekey"), ledger, oldPassword, newPassword};
    copyFile(original, ledger);
    const auto duration = timeOf(args);

    int withOld = 0;
    int withNew = 0;
    for (int kill = 0; kill < kKillsPerWrite; ++kill) {
        copyFile(original, ledger);
        const ChildRun run = runAndKill(args, duration);
        std::unique_ptr<Ledger> books;
        for (const QString &password : {oldPassword, newPassword}) {
            try {
                books = std::make_unique<Ledger>(ledger, password);
                (password == oldPassword ? withOld : withNew) += 1;
                break;
            } catch (const DbError &) {
            }
        }
        ASSERT_TRUE(books) << "opens with neither password";
        EXPECT_EQ(books->integrityProblems(), QStringList());
        EXPECT_EQ(books->monthItems(QStringLiteral("2024-01")).size(), std::size_t(kMonthRows / 3));
        if (run.finished) {
            EXPECT_THROW(Ledger(ledger, oldPassword), DbError) << "reported done, so the new one holds";
        }
        books.reset();
        // A temporary copy may be left beside it; the ledger is never touched by it.
        for (const QString &left : QDir(dir.path()).entryList({QStringLiteral("books.mdb.rekey-*")}))
            QFile::remove(dir.filePath(left));
    }
    report("password change",
           QStringLiteral("%1 open with the old password, %2 with the new").arg(withOld).arg(withNew));
}

TEST_F(CrashSafety, ABackupLeavesNoFileTheEarlierOneOrACompleteCopy)
{
    QTemporaryDir dir;
    const QString ledger = file(dir, "books.mdb");
    const QString target = file(dir, "books_bak.mdb");
    const QString earlierLedger = file(dir, "earlier.mdb");
    writeMonth(ledger, kPassword, kMonthRows);
    writeMonth(earlierLedger, kPassword, 10);
    const QByteArray current = bytesOf(ledger);
    const QByteArray earlier = bytesOf(earlierLedger);
    const QStringList args{QStringLiteral("backup"), ledger, kPassword, target};
    const auto duration = timeOf(args);

    int absent = 0;
    int kept = 0;
    int complete = 0;
    for (int kill = 0; kill < kKillsPerWrite; ++kill) {
        // Every other run finds an earlier backup in the way.
        QFile::remove(target);
        if (kill % 2 == 0)
            copyFile(earlierLedger, target);
        const ChildRun run = runAndKill(args, duration);
        if (!QFile::exists(target)) {
            EXPECT_FALSE(run.finished);
            EXPECT_NE(kill % 2, 0) << "the earlier backup was lost";
            ++absent;
        } else if (bytesOf(target) == earlier) {
            EXPECT_FALSE(run.finished);
            ++kept;
        } else {
            EXPECT_EQ(bytesOf(target), current) << "neither the earlier backup nor a complete copy";
            Ledger copy(target, kPassword);
            EXPECT_EQ(copy.integrityProblems(), QStringList());
            EXPECT_EQ(copy.monthItems(QStringLiteral("2024-01")).size(), std::size_t(kMonthRows));
            ++complete;
        }
        EXPECT_EQ(bytesOf(ledger), current) << "a backup never changes the ledger";
        for (const QString &left : QDir(dir.path()).entryList({QStringLiteral("books_bak.mdb.tmp-*")}))
            QFile::remove(dir.filePath(left));
    }
    report("backup", QStringLiteral("%1 without a backup, %2 with the earlier one, %3 with a complete copy")
                         .arg(absent)
                         .arg(kept)
                         .arg(complete));
}
