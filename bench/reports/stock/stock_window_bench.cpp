// Opening the stock check on an encrypted ledger of 10 years x 200 items a
// month: the window created, skinned, its holdings read and listed, the
// targets computed and the window shown; then the same for a window that
// was only hidden, and the parts alone.
#include "base/app_paths.h"
#include "bench_ledger.h"
#include "reports/stock/price_targets.h"
#include "reports/stock/ui/stock_window.h"
#include "skin/apply_skin.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

using namespace zambrel;

namespace {

const QString kPassword = QStringLiteral("bench password");
constexpr int kMonths = 120;

struct BenchBooks {
    BenchBooks()
    {
        base::setProgramFolder(dir.path());
        base::setSettingsFile(dir.filePath(QStringLiteral("settings.ini")));
        const QString path = dir.filePath(QStringLiteral("bench.mdb"));
        store::createLedger(path, kPassword);
        writeBenchItems(path, kPassword, kMonths, 200);
        ledger = std::make_unique<store::Ledger>(path, kPassword);
    }

    QTemporaryDir dir;
    std::unique_ptr<store::Ledger> ledger;
    QString month = lastBenchMonth(kMonths);
};

BenchBooks &books()
{
    static BenchBooks instance;
    return instance;
}

void openWindow(stock::StockWindow &window)
{
    window.setMonth(books().month);
    window.displayStock();
    window.riseOption->click();
    window.show();
    QApplication::processEvents();
}

void BM_OpenNewWindow(benchmark::State &state)
{
    BenchBooks &b = books();
    for (auto _ : state) {
        auto window = std::make_unique<stock::StockWindow>(*b.ledger);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        skin::applySkin(window.get(), base::defaultSkinPath());
        openWindow(*window);
        benchmark::DoNotOptimize(window->holdingsList->topLevelItemCount());
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenNewWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReopenHiddenWindow(benchmark::State &state)
{
    BenchBooks &b = books();
    stock::StockWindow window(*b.ledger);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    skin::applySkin(&window, base::defaultSkinPath());
    for (auto _ : state) {
        openWindow(window);
        benchmark::DoNotOptimize(window.holdingsList->topLevelItemCount());
        state.PauseTiming();
        window.hide();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReopenHiddenWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HoldingsRead(benchmark::State &state)
{
    BenchBooks &b = books();
    for (auto _ : state)
        benchmark::DoNotOptimize(b.ledger->holdings(b.month).rows.size());
}
BENCHMARK(BM_HoldingsRead)->Unit(benchmark::kMillisecond);

void BM_TargetPrices(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(
            stock::targetPrices(QStringLiteral("10"), QStringLiteral("20"), stock::Direction::Rise));
}
BENCHMARK(BM_TargetPrices)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    // The very first opening in a process also pays for the first use of
    // the fonts and the skin file; the benchmarks below run after it.
    books();
    QElapsedTimer first;
    first.start();
    {
        stock::StockWindow window(*books().ledger);
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        skin::applySkin(&window, base::defaultSkinPath());
        openWindow(window);
        std::fprintf(stderr, "first opening in this process: %.1f ms\n", double(first.nsecsElapsed()) / 1e6);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
