// Main: shows the logon window; a successful logon opens the main window.
// Nothing else runs here: the program lives on in its windows.
#include "ledger/commands/ui/connect_item_commands.h"
#include "ledger/ui/main_window.h"
#include "skin/msg_box.h"
#include "store/app_paths.h"
#include "store/ui/logon_window.h"

#include <QApplication>
#include <QCommandLineParser>

using namespace zambrel;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zambrel"));
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser options;
    options.addHelpOption();
    const QCommandLineOption dataDir(QStringLiteral("data-dir"), QStringLiteral("Folder of the ledgers."),
                                     QStringLiteral("DIR"));
    options.addOption(dataDir);
    options.process(app);
    if (options.isSet(dataDir))
        store::setProgramFolder(options.value(dataDir));

    skin::installMessageBox();

    auto *logon = new store::frmODBCLogon;
    logon->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(logon, &store::frmODBCLogon::cancelled, &app, &QApplication::quit);
    QObject::connect(logon, &store::frmODBCLogon::loggedOn, &app, [&app] {
        ledger::frmMainUI *window = ledger::openMainWindow();
        ledger::connectItemCommands(*window);
        ledger::connectItemCommands(*window);
        QObject::connect(window, &ledger::frmMainUI::programEnding, &app, &QApplication::quit);
    });
    logon->load();
    logon->show();
    return app.exec();
}
