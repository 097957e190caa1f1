// The trend graph's drawing for four series of 24 months: the layout alone,
// and layout plus painting into a window-sized image (at 1x and 2x pixels),
// as the window does on every opening.
#include "reports/graph/trend_painter.h"

#include <QDate>
#include <QGuiApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

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
