// The journal window on an encrypted ledger of 10 years of daily pages
// (3,650): opening it, a year's and a month's first click, and searches.
#include "bench_ledger.h"

#include "base/clock.h"
#include "base/message.h"
#include "journal/ui/journal_window.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace zambrel;

namespace {

const QString kPassword = QStringLiteral("bench password");
constexpr int kDays = 3650;

struct JournalLedger {
    JournalLedger()
    {
        path = dir.filePath(QStringLiteral("Zambrel.mdb"));
        store::createLedger(path, kPassword);
        writeBenchJournal(path, kPassword, kDays);
        ledger = std::make_unique<store::Ledger>(path, kPassword);
    }
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<store::Ledger> ledger;
};

store::Ledger &benchLedger()
{
    static JournalLedger instance;
    return *instance.ledger;
}

// Made, its years read, shown and painted once.
void BM_OpenJournalWindow(benchmark::State &state)
{
    store::Ledger &ledger = benchLedger();
    for (auto _ : state) {
        auto window = std::make_unique<journal::JournalWindow>(ledger);
        window->show();
        QApplication::processEvents();
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenJournalWindow)->Unit(benchmark::kMillisecond);

// The first click on a year (12 months) or on a month (30 days) of a freshly
// read tree, with the tree shown.
void BM_FirstClick(benchmark::State &state, bool month)
{
    journal::JournalWindow window(benchLedger());
    window.show();
    QApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        window.book().load();
        if (month)
            window.book().clickNode(QStringLiteral("T2020"));
        QApplication::processEvents();
        state.ResumeTiming();
        window.book().clickNode(month ? QStringLiteral("T2020-06") : QStringLiteral("T2020"));
        QApplication::processEvents();
    }
}
BENCHMARK_CAPTURE(BM_FirstClick, year, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstClick, month, true)->Unit(benchmark::kMillisecond);

// A search listed in the window: one that finds every 30th day, one that
// finds nothing (every field of every page is looked at).
void BM_Search(benchmark::State &state, const char *text)
{
    journal::JournalWindow window(benchLedger());
    window.show();
    QApplication::processEvents();
    const QString wanted = QString::fromUtf8(text);
    for (auto _ : state) {
        window.book().search(wanted);
        QApplication::processEvents();
    }
    state.counters["found"] = double(window.book().searchResults().size());
}
BENCHMARK_CAPTURE(BM_Search, some_days, "marathon")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, no_day, "没有这个词")->Unit(benchmark::kMillisecond);

// The first search after the ledger was opened: every page of the journal is
// read from the file and decrypted (later searches find them in memory).
void BM_FirstSearchAfterOpening(benchmark::State &state)
{
    static JournalLedger cold;
    for (auto _ : state) {
        state.PauseTiming();
        cold.ledger.reset();
        cold.ledger = std::make_unique<store::Ledger>(cold.path, kPassword);
        state.ResumeTiming();
        benchmark::DoNotOptimize(cold.ledger->searchJournal(QStringLiteral("marathon")));
    }
}
BENCHMARK(BM_FirstSearchAfterOpening)->Unit(benchmark::kMillisecond)->Iterations(10);

// Opening a page whose first field holds one line of state.range(0) letters
// and digits without any place to break (a pasted key or hash): the page
// read, its boxes filled, laid out and painted.
void BM_OpenPageWithAnUnbrokenLine(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.mdb"));
    store::createLedger(path);
    store::Ledger ledger(path, {});
    QByteArray noise(qsizetype(state.range(0)) / 2, Qt::Uninitialized);
    for (qsizetype at = 0; at < noise.size(); ++at)
        noise[at] = char(at * 7919 % 251);
    store::JournalPage page;
    page.date = QStringLiteral("2025-06-01");
    page.fields[0] = QString::fromLatin1(noise.toHex());
    ledger.saveJournalPage(page);

    journal::JournalWindow window(ledger);
    window.show();
    window.book().clickNode(QStringLiteral("T2025"));
    window.book().clickNode(QStringLiteral("T2025-06"));
    QApplication::processEvents();
    for (auto _ : state) {
        window.book().clickNode(QStringLiteral("T2025-06-01"));
        window.repaint();
        QApplication::processEvents();
        state.PauseTiming();
        window.book().load();
        window.book().clickNode(QStringLiteral("T2025"));
        window.book().clickNode(QStringLiteral("T2025-06"));
        window.repaint();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenPageWithAnUnbrokenLine)
    ->Arg(100'000)
    ->Arg(400'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    base::setClock([] { return QDateTime(QDate(2025, 12, 31), QTime(9, 0)); });
    base::setMessageResponder([](const base::MessageRequest &) { return base::MessageAnswer::No; });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
