#include "program.h"

#include "ledger/commands/ui/connect_item_commands.h"
#include "ledger/ui/main_window.h"
#include "skin/skin_file.h"
#include "store/app_paths.h"
#include "store/ui/logon_window.h"

#include <QApplication>
#include <QDir>

namespace zambrel::app {

store::LogonWindow *startProgram(QApplication &app)
{
    auto *logon = new store::LogonWindow;
    logon->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(logon, &store::LogonWindow::cancelled, &app, &QApplication::quit);
    // Queued: the logon is often confirmed by Enter in its password box, and
    // that key press must finish before the closed logon window goes away.
    QObject::connect(
        logon, &store::LogonWindow::loggedOn, &app,
        [&app] {
            ledger::MainWindow *window = ledger::openMainWindow();
            ledger::connectItemCommands(*window);
            QObject::connect(window, &ledger::MainWindow::programEnding, &app, &QApplication::quit);
        },
        Qt::QueuedConnection);
    logon->load();
    logon->show();
    return logon;
}

QString versionReport()
{
    const QString defaultSkin = store::defaultSkinPath();
    QString report = QCoreApplication::applicationName() + QLatin1Char(' ') +
                     QCoreApplication::applicationVersion() + QLatin1Char('\n');
    report += QStringLiteral("Skins: ") + QDir::toNativeSeparators(store::skinsFolder()) + QLatin1Char('\n');
    report += QStringLiteral("Default skin: ") + QDir::toNativeSeparators(defaultSkin);
    if (skin::readSkin(defaultSkin)->isEmpty())
        report += QStringLiteral(" (missing or unreadable)");
    return report + QLatin1Char('\n');
}

} // namespace zambrel::app
