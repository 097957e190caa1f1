// The trend graph's drawing for four series of 24 months: the layout alone,
// and layout plus painting into a window-sized image (at 1x and 2x pixels),
// as the window does on every opening. Then the whole graph as an opening
// makes it: the four series read from an encrypted ledger of 10 years x 200
// items a month, laid out and painted.
#include "bench_ledger.h"
#include "reports/graph/trend_painter.h"
#include "reports/graph/trend_reading.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QDate>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace zambrel;
using namespace zambrel::graph;

TrendSeries fourSeries()
{
    TrendSeries series;
    const QDate newest(2024, 12, 1);
    for (int i = 0; i < 24; ++i) {
        const QString month = newest.addMonths(-i).toString(QStringLiteral("yyyy-MM"));
        series.income.push_back({month, 8200.0 + 900 * ((i * 7) % 5)});
        series.expenditure.push_back({month, 5100.0 + 650 * ((i * 3) % 4)});
        series.assets.push_back({month, 210000.0 - 3100 * i});
        series.debt.push_back({month, 90000.0 + 400 * i});
    }
    return series;
}

void BM_Layout(benchmark::State &state)
{
    const TrendSeries series = fourSeries();
    for (auto _ : state)
        benchmark::DoNotOptimize(layoutTrendGraph(series));
}
BENCHMARK(BM_Layout)->Unit(benchmark::kMicrosecond);

// Layout and painting into a 900 x 600 picture; the argument is the device
// pixel ratio.
void BM_LayoutAndPaint(benchmark::State &state)
{
    const TrendSeries series = fourSeries();
    GraphColours colours;
    colours.line = skin::fromRgb(0x20, 0x40, 0x80);
    const qreal ratio = qreal(state.range(0));
    QImage image(QSize(900, 600) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    for (auto _ : state) {
        const TrendGeometry geometry = layoutTrendGraph(series, state.range(1) != 0);
        QPainter painter(&image);
        paintTrendGraph(painter, QRectF(0, 0, 900, 600), geometry, colours);
    }
}
BENCHMARK(BM_LayoutAndPaint)
    ->ArgNames({"ratio", "net_worth"})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

const QString kPassword = QStringLiteral("bench password");

// Made once for every benchmark that reads it.
struct EncryptedLedger {
    EncryptedLedger()
    {
        const QString path = dir.filePath(QStringLiteral("bench.mdb"));
        store::createLedger(path, kPassword);
        writeBenchItems(path, kPassword, 120, 200);
        ledger = std::make_unique<store::Ledger>(path, kPassword);
    }

    QTemporaryDir dir;
    std::unique_ptr<store::Ledger> ledger;
};

const store::Ledger &benchLedger()
{
    static EncryptedLedger instance;
    return *instance.ledger;
}

// The four series queries alone.
void BM_ReadSeries(benchmark::State &state)
{
    const store::Ledger &ledger = benchLedger();
    for (auto _ : state)
        benchmark::DoNotOptimize(readTrendSeries(ledger));
}
BENCHMARK(BM_ReadSeries)->Unit(benchmark::kMillisecond);

// Read, lay out and paint into a 900 x 600 picture at the given device pixel
// ratio: what the window does when it is opened.
void BM_WholeGraph(benchmark::State &state)
{
    const store::Ledger &ledger = benchLedger();
    GraphColours colours;
    colours.line = skin::fromRgb(0x20, 0x40, 0x80);
    const qreal ratio = qreal(state.range(0));
    QImage image(QSize(900, 600) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    for (auto _ : state) {
        const TrendReading reading = readTrendSeries(ledger);
        const TrendGeometry geometry = layoutTrendGraph(reading.series);
        QPainter painter(&image);
        paintTrendGraph(painter, QRectF(0, 0, 900, 600), geometry, colours);
    }
}
BENCHMARK(BM_WholeGraph)->ArgName("ratio")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
