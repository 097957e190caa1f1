#include "program.h"

#include "ledger/commands/ui/connect_item_commands.h"
#include "ledger/ui/main_window.h"
#include "store/ui/logon_window.h"

#include <QApplication>

namespace zambrel::app {

store::frmODBCLogon *Main(QApplication &app)
{
    auto *logon = new store::frmODBCLogon;
    logon->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(logon, &store::frmODBCLogon::cancelled, &app, &QApplication::quit);
    // Queued: the logon is often confirmed by Enter in its password box, and
    // that key press must finish before the closed logon window goes away.
    QObject::connect(
        logon, &store::frmODBCLogon::loggedOn, &app,
        [&app] {
            ledger::frmMainUI *window = ledger::openMainWindow();
            ledger::connectItemCommands(*window);
            QObject::connect(window, &ledger::frmMainUI::programEnding, &app, &QApplication::quit);
        },
        Qt::QueuedConnection);
    logon->load();
    logon->show();
    return logon;
}

} // namespace zambrel::app
