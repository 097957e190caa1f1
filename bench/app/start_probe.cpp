// One start of the program as a person makes it, timed from the process's
// own start: logon window, the main window prepared behind it, password and
// Enter, main window shown; then it leaves.
// start_probe DATA_DIR PASSWORD   -- the program on that folder's ledger
// start_probe DATA_DIR PASSWORD --at-once -- the same with Enter pressed at
//                                   once, before the main window is prepared
// start_probe --bare             -- a bare Qt window, for comparison
// With ZAMBREL_PROBE_LAUNCHED set to the launch moment (nanoseconds of the
// system clock, as `date +%s%N` gives them), the probe also says "first
// paint N ms after launch" on stdout when its window is first painted: that
// counts loading the program and its libraries too, and not the way out.
// With ZAMBREL_PROBE_SMAPS set to a file, it copies /proc/self/smaps there at
// that moment, to see which mappings hold the pages.
// start_probe --create DATA_DIR PASSWORD -- writes that folder's ledger
// (10 years x 200 items), for profiling single starts
#include "bench_ledger.h"

#include "base/app_paths.h"
#include "base/message.h"
#include "ledger/ui/main_window.h"
#include "logon/logon_window.h"
#include "skin/interface_font.h"
#include "store/connection.h"
#include "store/ledger_schema.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstring>

using namespace zambrel;

namespace {

/// Says, once, how long after the launch the window was first painted, then
/// leaves the program.
class FirstPaint : public QObject {
public:
    void watch(QWidget *window)
    {
        m_window = window;
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_window && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->window() == m_window) {
            qApp->removeEventFilter(this);
            m_window = nullptr;
            report();
            copyMemoryMap();
            QTimer::singleShot(0, qApp, &QApplication::quit);
        }
        return false;
    }

private:
    static void report()
    {
        const QByteArray launched = qgetenv("ZAMBREL_PROBE_LAUNCHED");
        if (launched.isEmpty())
            return;
        const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::chrono::system_clock::now().time_since_epoch());
        std::printf("first paint %.2f ms after launch\n", double(now.count() - launched.toLongLong()) / 1e6);
        std::fflush(stdout);
    }

    static void copyMemoryMap()
    {
        const QString to = qEnvironmentVariable("ZAMBREL_PROBE_SMAPS");
        QFile from(QStringLiteral("/proc/self/smaps"));
        QFile copy(to);
        if (!to.isEmpty() && from.open(QIODevice::ReadOnly) && copy.open(QIODevice::WriteOnly))
            copy.write(from.readAll());
    }

    QWidget *m_window = nullptr;
};

} // namespace

int main(int argc, char **argv)
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--bare") == 0) {
        QWidget window;
        window.resize(800, 600);
        FirstPaint firstPaint;
        firstPaint.watch(&window);
        window.show();
        return app.exec();
    }
    if (argc < 3)
        return 2;
    skin::preferSimplifiedChineseFace();
    if (argc > 3 && std::strcmp(argv[1], "--create") == 0) {
        base::setProgramFolder(QString::fromLocal8Bit(argv[2]));
        const QString password = QString::fromLocal8Bit(argv[3]);
        store::createLedger(base::defaultLedgerPath(), password);
        writeBenchItems(base::defaultLedgerPath(), password, 120, 200);
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
