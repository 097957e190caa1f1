// Undo, redo and the history on a generated encrypted ledger of 24,000
// items (10 years of 200 a month): an item added with the history kept and
// with none kept (limit 0, in the same run, so the ratio holds on a busy
// machine), an item step undone and redone with the month view reloaded as
// the window does, a carry-forward of 200 rows undone and redone, and the
// bytes the history adds to the file per step.
#include "bench_ledger.h"
#include "ledger/month_view.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

using namespace zambrel;
using namespace zambrel::store;

namespace {

const QString kPassword = QStringLiteral("bench password");
constexpr int kMonths = 120;
constexpr int kItemsPerMonth = 200;

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

/// A fresh copy of the 24,000-item ledger for each name, written once.
std::unique_ptr<Ledger> openCopy(const QString &name)
{
    static const QString original = [] {
        const QString path = folder().filePath(QStringLiteral("original.mdb"));
        createLedger(path, kPassword);
        writeBenchItems(path, kPassword, kMonths, kItemsPerMonth);
        return path;
    }();
    const QString path = folder().filePath(name + QStringLiteral(".mdb"));
    QFile::remove(path);
    QFile::copy(original, path);
    return std::make_unique<Ledger>(path, kPassword);
}

Item benchItem(int n)
{
    Item item;
    item.type = QStringLiteral("房贷");
    item.name = QStringLiteral("房贷月供还贷 %1").arg(n);
    item.memo = QStringLiteral("备注");
    item.plannedSpending = 3200;
    item.actualSpending = 3200 + n % 7;
    return item;
}

/// state.range(0): 1 keeps the history (the default 1,000 steps), 0 none.
void BM_AddItem(benchmark::State &state)
{
    const std::unique_ptr<Ledger> books = openCopy(QStringLiteral("add%1").arg(state.range(0)));
    books->setHistoryLimit(state.range(0) ? kDefaultHistoryLimit : 0);
    const QString month = lastBenchMonth(kMonths);
    int n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(books->addItem(month, benchItem(++n)));
}
BENCHMARK(BM_AddItem)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

/// One item step undone, then redone, each followed by the month view's
/// reload of the step's month, as the window does after it.
void BM_UndoRedoItemWithViewReload(benchmark::State &state)
{
    const std::unique_ptr<Ledger> books = openCopy(QStringLiteral("undo"));
    const QString month = lastBenchMonth(kMonths);
    ledger::MonthView view(*books);
    view.setCurrentMonth(month);
    view.reload();
    books->deleteItem(books->monthItems(month).front().code);
    bool undoing = true;
    for (auto _ : state) {
        const std::optional<HistoryStep> step = undoing ? books->undo() : books->redo();
        view.booksReplaced();
        view.setCurrentMonth(step->month);
        benchmark::DoNotOptimize(view.reload());
        undoing = !undoing;
    }
}
BENCHMARK(BM_UndoRedoItemWithViewReload)->Unit(benchmark::kMillisecond);

/// A carry-forward of the latest month's 200 rows: undone (timed), redone
/// (arg 1 times the redo instead).
void BM_CarryForwardOf200Rows(benchmark::State &state)
{
    const std::unique_ptr<Ledger> books = openCopy(QStringLiteral("carry"));
    books->carryForward(lastBenchMonth(kMonths), lastBenchMonth(kMonths + 1));
    const bool timeRedo = state.range(0) == 1;
    for (auto _ : state) {
        if (timeRedo)
            state.PauseTiming();
        books->undo();
        if (timeRedo)
            state.ResumeTiming();
        else
            state.PauseTiming();
        books->redo();
        if (!timeRedo)
            state.ResumeTiming();
    }
}
BENCHMARK(BM_CarryForwardOf200Rows)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

/// The bytes a step adds to the file: 1,000 item adds, changes or 20
/// carry-forwards of 200 rows, with the history kept and with none, told
/// apart by the file's size (a page is 4 KiB).
void BM_HistoryBytesPerStep(benchmark::State &state)
{
    const int kind = int(state.range(0)); // 0 add, 1 change, 2 carry-forward
    const int steps = kind == 2 ? 20 : 1000;
    for (auto _ : state) {
        qint64 sizes[2] = {};
        for (int kept = 0; kept < 2; ++kept) {
            const QString name = QStringLiteral("size%1%2").arg(kind).arg(kept);
            qint64 before = 0;
            {
                const std::unique_ptr<Ledger> books = openCopy(name);
                books->setHistoryLimit(kept ? kDefaultHistoryLimit : 0);
                before = QFileInfo(books->path()).size();
                const QString month = lastBenchMonth(kMonths);
                const std::vector<Item> items = books->monthItems(month);
                for (int n = 0; n < steps; ++n) {
                    if (kind == 0) {
                        books->addItem(month, benchItem(n));
                    } else if (kind == 1) {
                        Item item = items[std::size_t(n) % items.size()];
                        item.memo = QStringLiteral("改 %1").arg(n);
                        books->changeItem(item);
                    } else {
                        books->carryForward(month, lastBenchMonth(kMonths + 1 + n));
                    }
                }
            }
            sizes[kept] = QFileInfo(folder().filePath(name + QStringLiteral(".mdb"))).size() - before;
        }
        state.counters["bytes_per_step"] = double(sizes[1] - sizes[0]) / steps;
    }
}
BENCHMARK(BM_HistoryBytesPerStep)->Arg(0)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
