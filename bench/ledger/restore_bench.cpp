// Restoring on an encrypted ledger of 10 years x 200 items a month (24,000
// items): listing 20 backups with their checks (10 dated backups beside the
// ledger, 10 safety copies), in the restore window as well (and the window
// closed while it checks), previewing one, and restoring one (with and
// without its safety copy first).
#include "bench_ledger.h"

#include "base/app_paths.h"
#include "base/clock.h"
#include "ledger/maintenance/backup.h"
#include "ledger/maintenance/safety_copies.h"
#include "ledger/restore/backup_list.h"
#include "ledger/restore/restore_ledger.h"
#include "ledger/restore/ui/restore_window.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <memory>

using namespace zambrel;

namespace {

const QString kPassword = QStringLiteral("bench password");
const QDateTime kStart(QDate(2031, 1, 1), QTime(9, 0));

struct BenchBooks {
    BenchBooks()
    {
        base::setProgramFolder(dir.path());
        path = dir.filePath(QStringLiteral("Zambrel.mdb"));
        store::createLedger(path, kPassword);
        writeBenchItems(path, kPassword, 120, 200);
        books = std::make_unique<store::Ledger>(path, kPassword);
        for (int n = 0; n < 10; ++n) {
            const QDateTime at = kStart.addDays(n).addSecs(60 * n);
            base::setClock([at] { return at; });
            backups << ledger::backUpLedger(*books).path;
            ledger::takeSafetyCopy(*books, ledger::SafetyReason::CarryForward);
        }
        base::setClock([] { return kStart.addDays(20); });
    }
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<store::Ledger> books;
    QStringList backups;
};

BenchBooks &bench()
{
    static BenchBooks instance;
    return instance;
}

void BM_ListTwentyBackups(benchmark::State &state)
{
    const store::Ledger &books = *bench().books;
    std::size_t listed = 0;
    for (auto _ : state)
        listed = ledger::listBackups(books).size();
    if (listed != 20)
        state.SkipWithError("not 20 backups");
}
BENCHMARK(BM_ListTwentyBackups)->Unit(benchmark::kMillisecond)->UseRealTime();

void waitForChecks(const ledger::RestoreWindow &window)
{
    while (window.checking())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// The restore window listing the twenty: until its rows are shown, what the
// person waits before the window answers...
void BM_RestoreWindowListed(benchmark::State &state)
{
    ledger::RestoreWindow window(*bench().books, {});
    for (auto _ : state) {
        window.reload();
        state.PauseTiming();
        waitForChecks(window);
        state.ResumeTiming();
    }
    if (window.entries().size() != 20)
        state.SkipWithError("not 20 backups");
}
// Each round waits out its checks, untimed: a fixed count of rounds.
BENCHMARK(BM_RestoreWindowListed)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// ... and until every check has come in.
void BM_RestoreWindowChecked(benchmark::State &state)
{
    ledger::RestoreWindow window(*bench().books, {});
    for (auto _ : state) {
        window.reload();
        waitForChecks(window);
    }
}
BENCHMARK(BM_RestoreWindowChecked)->Unit(benchmark::kMillisecond)->UseRealTime();

// The window closed just after it listed: what closing waits for.
void BM_RestoreWindowClosedWhileChecking(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto window =
            std::make_unique<ledger::RestoreWindow>(*bench().books, ledger::RestoreWindow::Restored{});
        window->reload();
        QThread::msleep(5); // the checks under way
        state.ResumeTiming();
        window.reset();
    }
}
BENCHMARK(BM_RestoreWindowClosedWhileChecking)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

void BM_PreviewBackup(benchmark::State &state)
{
    const store::Ledger &books = *bench().books;
    for (auto _ : state)
        benchmark::DoNotOptimize(ledger::previewBackup(books, bench().backups.front()));
}
BENCHMARK(BM_PreviewBackup)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole restore: the backup opened, a safety copy, the rows replaced.
void BM_Restore(benchmark::State &state)
{
    store::Ledger &books = *bench().books;
    for (auto _ : state)
        ledger::restoreLedger(books, bench().backups.front());
}
BENCHMARK(BM_Restore)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// The rows alone (store::Ledger::restoreFrom): check and copy.
void BM_RestoreRowsOnly(benchmark::State &state)
{
    store::Ledger &books = *bench().books;
    for (auto _ : state)
        books.restoreFrom(bench().backups.front());
}
BENCHMARK(BM_RestoreRowsOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// For scale, in the same run: one backup of the same ledger.
void BM_BackupForScale(benchmark::State &state)
{
    const store::Ledger &books = *bench().books;
    const QString target = bench().dir.filePath(QStringLiteral("scale.mdb"));
    for (auto _ : state)
        books.backupTo(target);
}
BENCHMARK(BM_BackupForScale)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    base::setClock({});
    return 0;
}
