// One start of the program as a person makes it, on the program's own road
// (the start routine, the logon window, the main window prepared behind it,
// every feature), timed from the process's own start.
// start_probe DATA_DIR PASSWORD   -- the password typed as soon as the main
//                                   window is prepared
// start_probe DATA_DIR PASSWORD --at-once -- Enter pressed at once, before
//                                   the logon window has painted
// The main window's first frame ends the run, as first_paint.h tells; the
// bare window to compare with is bare_window, a program of its own.
// Like the program, it finds the shipped skins beside it (or in the installed
// tree) and its icon in the data folders: run from elsewhere, it wears the
// plain skin drawn in code and shows no icon, a start the installed program
// does not make. app_bench runs it from the build folder with the build
// tree's data folder first in XDG_DATA_DIRS.
// start_probe --create DATA_DIR PASSWORD [MONTHS ITEMS] -- writes that
// folder's ledger (by default 10 years x 200 items), for profiling single
// starts and commands
#include "bench_ledger.h"
#include "first_paint.h"

#include "app/after_first_paint.h"
#include "app/program.h"
#include "app/program_name.h"
#include "base/app_paths.h"
#include "base/message.h"
#include "ledger/ui/main_window.h"
#include "logon/logon_window.h"
#include "skin/interface_font.h"
#include "store/connection.h"
#include "store/ledger_schema.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

using namespace zambrel;

namespace {

/// Calls `shown` once, when the first main window is shown.
class MainWindowWatch : public QObject {
public:
    explicit MainWindowWatch(std::function<void(ledger::MainWindow *)> shown) : m_shown(std::move(shown))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto *window = qobject_cast<ledger::MainWindow *>(watched)) {
                qApp->removeEventFilter(this);
                m_shown(window);
            }
        }
        return false;
    }

private:
    std::function<void(ledger::MainWindow *)> m_shown;
};

} // namespace

int main(int argc, char **argv)
{
    QElapsedTimer clock;
    clock.start();
    // As the program starts.
    const std::jthread fontConfiguration = skin::readFontConfigurationAhead();
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    if (argc > 3 && std::strcmp(argv[1], "--create") == 0) {
        base::setProgramFolder(QString::fromLocal8Bit(argv[2]));
        const QString password = QString::fromLocal8Bit(argv[3]);
        store::createLedger(base::defaultLedgerPath(), password);
        const int months = argc > 5 ? std::atoi(argv[4]) : 120;
        const int items = argc > 5 ? std::atoi(argv[5]) : 200;
        writeBenchItems(base::defaultLedgerPath(), password, months, items);
        return 0;
    }
    const bool atOnce = argc > 3 && std::strcmp(argv[3], "--at-once") == 0;
    app::nameProgram();
    base::setProgramFolder(QString::fromLocal8Bit(argv[1]));
    // Settings of the folder's own: a ledger stored by another run would win.
    base::setSettingsFile(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/settings.ini"));
    app::setUpWindows();
    base::setMessageResponder([](const base::MessageRequest &) { return base::MessageAnswer::No; });
    // Where the time goes, on stderr: application, logon shown, Enter, main
    // window shown.
    const qint64 applicationReady = clock.elapsed();
    store::LogonWindow *logon = app::startProgram(app);
    const qint64 logonShown = clock.elapsed();
    int status = 1;
    qint64 enter = 0;
    FirstPaint firstPaint;
    MainWindowWatch watch([&](ledger::MainWindow *window) {
        const qint64 shown = clock.elapsed();
        firstPaint.watch(window, [&] {
            std::fprintf(stderr, "Enter to first frame %lld ms\n", clock.elapsed() - enter);
        });
        std::fprintf(stderr,
                     "application %lld ms, logon shown %lld ms, Enter %lld ms, main window %lld ms; "
                     "Enter to main window %lld ms\n",
                     applicationReady, logonShown, enter, shown, shown - enter);
        status = 0;
        window->setSwitchingLedger(true); // leave without the exit question
    });
    const auto enterPassword = [&] {
        logon->passwordBox->setText(QString::fromLocal8Bit(argv[2]));
        enter = clock.elapsed();
        logon->logOn();
    };
    if (atOnce) {
        QTimer::singleShot(0, logon, enterPassword);
    } else {
        // The password comes as soon as the main window is prepared, as if
        // typed: the logon window's first paint queues the preparation, and
        // Enter waits until nothing is left to do.
        new app::AfterFirstPaint(logon, [&] {
            QObject::connect(
                QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, logon,
                [&] { QTimer::singleShot(0, logon, enterPassword); }, Qt::SingleShotConnection);
        });
    }
    app.exec();
    return status;
}
