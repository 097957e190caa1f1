// The ledger file commands on an encrypted ledger of 10 years x 200 items a
// month (24,000 items): a backup, filling the month picker with the 120
// months, and one password change (a full re-key).
#include "bench_ledger.h"

#include "base/clock.h"
#include "input/month_picker/ui/month_picker_window.h"
#include "ledger/maintenance/backup.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <memory>

using namespace zambrel;

namespace {

const QString kPassword = QStringLiteral("bench password");

struct BenchBooks {
    BenchBooks()
    {
        path = dir.filePath(QStringLiteral("Zambrel.mdb"));
        store::createLedger(path, kPassword);
        writeBenchItems(path, kPassword, 120, 200);
        books = std::make_unique<store::Ledger>(path, kPassword);
    }
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<store::Ledger> books;
};

BenchBooks &bench()
{
    static BenchBooks instance;
    return instance;
}

void BM_Backup(benchmark::State &state)
{
    store::Ledger &books = *bench().books;
    QString backup;
    for (auto _ : state)
        backup = ledger::backUpLedger(books).path; // the same day: each replaces the last
    state.counters["MB"] = double(QFileInfo(backup).size()) / (1 << 20);
}
BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond);

void BM_FillMonthPicker(benchmark::State &state)
{
    store::Ledger &books = *bench().books;
    input::MonthPickerWindow picker;
    for (auto _ : state)
        picker.loadMonths([&books] { return books.allMonthsTable(); });
    if (picker.monthList->topLevelItemCount() != 120)
        state.SkipWithError("the picker does not list 120 months");
}
BENCHMARK(BM_FillMonthPicker)->Unit(benchmark::kMillisecond);

// The picker's first use: the window made, then filled.
void BM_FirstMonthPicker(benchmark::State &state)
{
    store::Ledger &books = *bench().books;
    for (auto _ : state) {
        input::MonthPickerWindow picker;
        picker.loadMonths([&books] { return books.allMonthsTable(); });
    }
}
BENCHMARK(BM_FirstMonthPicker)->Unit(benchmark::kMillisecond);

void BM_ChangePassword(benchmark::State &state)
{
    store::Ledger &books = *bench().books;
    const QString other = QStringLiteral("another bench password");
    bool atFirst = true;
    for (auto _ : state) {
        books.changePassword(atFirst ? kPassword : other, atFirst ? other : kPassword);
        atFirst = !atFirst;
    }
    if (!atFirst)
        books.changePassword(other, kPassword);
}
BENCHMARK(BM_ChangePassword)->Unit(benchmark::kMillisecond)->Iterations(6);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    base::setClock([] { return QDateTime(QDate(2031, 1, 15), QTime(9, 0)); });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
