// One start of the program as a person makes it, timed from the process's
// own start: logon window, the main window prepared behind it, password and
// Enter, main window shown and first painted; then it leaves.
// start_probe DATA_DIR PASSWORD   -- the program on that folder's ledger
// start_probe DATA_DIR PASSWORD --at-once -- the same with Enter pressed at
//                                   once, before the main window is prepared
// The main window's first paint ends the run, as first_paint.h tells; the
// bare window to compare with is bare_window, a program of its own.
// start_probe --create DATA_DIR PASSWORD [MONTHS ITEMS] -- writes that
// folder's ledger (by default 10 years x 200 items), for profiling single
// starts and commands
#include "bench_ledger.h"
#include "first_paint.h"

#include "base/app_paths.h"
#include "base/message.h"
#include "ledger/ui/main_window.h"
#include "logon/logon_window.h"
#include "skin/interface_font.h"
#include "store/connection.h"
#include "store/ledger_schema.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace zambrel;


int main(int argc, char **argv)
{
    QElapsedTimer clock;
    clock.start();
    // As the program starts.
    const std::jthread fontConfiguration = skin::readFontConfigurationAhead();
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    skin::preferSimplifiedChineseFace();
    if (argc > 3 && std::strcmp(argv[1], "--create") == 0) {
        base::setProgramFolder(QString::fromLocal8Bit(argv[2]));
        const QString password = QString::fromLocal8Bit(argv[3]);
        store::createLedger(base::defaultLedgerPath(), password);
        const int months = argc > 5 ? std::atoi(argv[4]) : 120;
        const int items = argc > 5 ? std::atoi(argv[5]) : 200;
        writeBenchItems(base::defaultLedgerPath(), password, months, items);
        return 0;
    }
    // As the program: the logon closing before the main window shows is no end.
    QApplication::setQuitOnLastWindowClosed(false);
    const bool atOnce = argc > 3 && std::strcmp(argv[3], "--at-once") == 0;
    base::setProgramFolder(QString::fromLocal8Bit(argv[1]));
    // Settings of the folder's own: a ledger stored by another run would win.
    base::setSettingsFile(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/settings.ini"));
    base::setMessageResponder([](const base::MessageRequest &) { return base::MessageAnswer::No; });
    // Where the time goes, on stderr: application, logon shown, main window
    // prepared (while a person would type), Enter, ledger open, main window.
    const qint64 applicationReady = clock.elapsed();
    store::LogonWindow logon;
    logon.load();
    logon.show();
    const qint64 logonShown = clock.elapsed();
    int status = 1;
    ledger::MainWindow *prepared = nullptr;
    FirstPaint firstPaint;
    qint64 preparedAt = 0;
    qint64 enter = 0;
    QObject::connect(&logon, &store::LogonWindow::loggedOn, &app, [&](std::shared_ptr<store::Ledger> books) {
        const qint64 connected = clock.elapsed();
        // As the program does: the main window opens once Enter's key press is done.
        QTimer::singleShot(0, &app, [&, connected, books = std::move(books)] {
            ledger::MainWindow *window = ledger::openMainWindow(books, prepared);
            firstPaint.watch(window);
            const qint64 shown = clock.elapsed();
            std::fprintf(stderr,
                         "application %lld ms, logon shown %lld ms, main window prepared %lld ms, "
                         "Enter %lld ms, ledger open %lld ms, main window %lld ms; "
                         "Enter to main window %lld ms\n",
                         applicationReady, logonShown, preparedAt, enter, connected, shown, shown - enter);
            status = window->isVisible() ? 0 : 1;
            window->setSwitchingLedger(true); // leave without the exit question
        });
    });
    const auto enterPassword = [&] {
        logon.passwordBox->setText(QString::fromLocal8Bit(argv[2]));
        enter = clock.elapsed();
        logon.logOn();
    };
    const auto prepare = [&] {
        prepared = ledger::prepareMainWindow();
        preparedAt = clock.elapsed();
    };
    if (atOnce) {
        // Enter at once: the main window is prepared while the key is derived.
        QTimer::singleShot(0, &logon, enterPassword);
        QTimer::singleShot(0, &app, prepare);
    } else {
        // The password comes as soon as the window is prepared, as if typed.
        QTimer::singleShot(0, &app, [&] {
            prepare();
            QTimer::singleShot(0, &logon, enterPassword);
        });
    }
    app.exec();
    return status;
}
