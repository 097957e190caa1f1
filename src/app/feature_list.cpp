#include "feature_list.h"

#include "ledger/commands/ui/connect_item_commands.h"
#include "ledger/export/ui/export_command.h"
#include "ledger/ui/main_window.h"

namespace zambrel::app {

void registerFeatures(ledger::MainWindow &window)
{
    ledger::connectItemCommands(window);
    ledger::registerCsvExport(window);
}

} // namespace zambrel::app
