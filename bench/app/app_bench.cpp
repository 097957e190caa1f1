// Start-up of the program on an encrypted ledger of 10 years x 200 items a
// month, beside a bare Qt window's start; refresh() on a month of 2,000
// items; and the main window opened on an empty month and on 5,000 items.
#include "bench_ledger.h"

#include "base/app_paths.h"
#include "base/clock.h"
#include "base/message.h"
#include "input/month_picker/ui/month_picker_window.h"
#include "ledger/ui/main_window.h"
#include "logon/logon_steps.h"
#include "store/connection.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <chrono>

#include <benchmark/benchmark.h>

using namespace zambrel;

namespace {

const QString kPassword = QStringLiteral("bench password");

QString probePath(const QString &name)
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
}

struct StartLedger {
    StartLedger()
    {
        const QString path = dir.filePath(QStringLiteral("Zambrel.mdb"));
        store::createLedger(path, kPassword);
        writeBenchItems(path, kPassword, 120, 200);
    }
    QTemporaryDir dir;
};

// One start per iteration, timed from the launch to the window's first
// paint as the probe reports it: the way out of the process is not counted.
void runProbe(benchmark::State &state, const QString &probe, const QStringList &arguments = {})
{
    for (auto _ : state) {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // The build tree's data folder first, as an installed program's: the
        // windows then carry the program's icon, read at every start.
        environment.insert(QStringLiteral("XDG_DATA_DIRS"),
                           QStringLiteral(ZAMBREL_BUILD_DATA_DIR ":") +
                               environment.value(QStringLiteral("XDG_DATA_DIRS"),
                                                 QStringLiteral("/usr/local/share:/usr/share")));
        environment.insert(QStringLiteral("ZAMBREL_PROBE_LAUNCHED"),
                           QString::number(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                               std::chrono::system_clock::now().time_since_epoch())
                                               .count()));
        process.setProcessEnvironment(environment);
        process.start(probePath(probe), arguments);
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            state.SkipWithError("the probe did not start cleanly");
            return;
        }
        const QList<QByteArray> words = process.readAllStandardOutput().split(' ');
        if (words.size() < 3 || words.at(0) != "first") {
            state.SkipWithError("the probe did not report its first paint");
            return;
        }
        state.SetIterationTime(words.at(2).toDouble() / 1000.0);
    }
}

void BM_StartBareWindow(benchmark::State &state)
{
    runProbe(state, QStringLiteral("bare_window"));
}
BENCHMARK(BM_StartBareWindow)->Unit(benchmark::kMillisecond)->Iterations(10)->UseManualTime();

void BM_StartToMainWindow(benchmark::State &state)
{
    static StartLedger ledger;
    runProbe(state, QStringLiteral("start_probe"), {ledger.dir.path(), kPassword});
}
BENCHMARK(BM_StartToMainWindow)->Unit(benchmark::kMillisecond)->Iterations(10)->UseManualTime();

// The password given at once: the main window is prepared while the key is
// derived.
void BM_StartToMainWindowPasswordAtOnce(benchmark::State &state)
{
    static StartLedger ledger;
    runProbe(state, QStringLiteral("start_probe"),
             {ledger.dir.path(), kPassword, QStringLiteral("--at-once")});
}
BENCHMARK(BM_StartToMainWindowPasswordAtOnce)->Unit(benchmark::kMillisecond)->Iterations(10)->UseManualTime();

// A program folder of its own holding a ledger of one month of `items`
// items, open, on 20 January 2021; the clock goes back when it goes.
struct MonthLedger {
    explicit MonthLedger(int items, int months = 1)
    {
        base::setProgramFolder(dir.path());
        base::setSettingsFile(dir.filePath(QStringLiteral("settings.ini")));
        base::setClock([] { return QDateTime(QDate(2021, 1, 20), QTime(9, 0)); });
        base::setMessageResponder([](const base::MessageRequest &) { return base::MessageAnswer::No; });
        const QString path = base::defaultLedgerPath();
        store::createLedger(path, kPassword);
        writeBenchItems(path, kPassword, months, items);
        books = store::openLedger(path, kPassword);
    }
    ~MonthLedger() { base::setClock({}); }
    QTemporaryDir dir;
    std::shared_ptr<store::Ledger> books;
};

// The same month through the month logic alone, without any window: what
// the window adds is the difference.
void BM_Refresh2000Items(benchmark::State &state, bool withWindow)
{
    MonthLedger month(2000);
    std::shared_ptr<store::Ledger> books = month.books;
    if (withWindow) {
        ledger::MainWindow window(books);
        window.load();
        window.show();
        for (auto _ : state)
            window.refresh();
        window.setSwitchingLedger(true);
        window.close();
    } else {
        ledger::MonthView view(*books);
        view.reload();
        for (auto _ : state)
            view.reload();
    }
}
BENCHMARK_CAPTURE(BM_Refresh2000Items, main_window, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Refresh2000Items, month_logic_only, false)->Unit(benchmark::kMillisecond);

// The main window opened on a month of N items as a logon opens it, from
// construction to the first picture: what a big month adds to the start
// beside an empty one.
void BM_OpenMainWindowOnMonth(benchmark::State &state)
{
    MonthLedger month(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ledger::MainWindow *window = ledger::openMainWindow(month.books);
        window->grab(); // lays out and paints, as the first frame on screen does
        // Its closing is no part of the start.
        state.PauseTiming();
        window->setSwitchingLedger(true);
        delete window;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenMainWindowOnMonth)->Arg(0)->Arg(5000)->Unit(benchmark::kMillisecond);

// The month picker filled beside the shown main window, whose status bar
// tells the fill's progress: 600 months.
void BM_MonthPickerBesideTheMainWindow(benchmark::State &state)
{
    MonthLedger month(1, 600);
    ledger::MainWindow *window = ledger::openMainWindow(month.books);
    QCoreApplication::processEvents();
    {
        input::MonthPickerWindow picker(window);
        for (auto _ : state)
            picker.loadMonths([&month] { return month.books->allMonthsTable(); });
        if (picker.monthList->topLevelItemCount() != 600)
            state.SkipWithError("the picker does not list 600 months");
    }
    window->setSwitchingLedger(true);
    delete window;
}
BENCHMARK(BM_MonthPickerBesideTheMainWindow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
