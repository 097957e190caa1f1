#include "feature_list.h"

#include "ledger/commands/ui/connect_item_commands.h"
#include "ledger/maintenance/ui/register_maintenance.h"
#include "ledger/ui/main_window.h"

namespace zambrel::app {

void registerFeatures(ledger::MainWindow &window)
{
    ledger::connectItemCommands(window);
    ledger::registerLedgerMaintenance(window);
    ledger::registerMonthPicker(window);
}

} // namespace zambrel::app
