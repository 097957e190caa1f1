#include "feature_list.h"

#include "input/month_picker/ui/look_back_command.h"
#include "journal/ui/journal_feature.h"
#include "ledger/commands/ui/connect_item_commands.h"
#include "ledger/export/ui/export_command.h"
#include "ledger/maintenance/ui/register_maintenance.h"
#include "ledger/ui/main_window.h"
#include "reports/graph/ui/register_trend_graph.h"
#include "reports/stock/ui/stock_check.h"

namespace zambrel::app {

void registerFeatures(ledger::MainWindow &window)
{
    ledger::connectItemCommands(window);
    ledger::registerLedgerMaintenance(window);
    ledger::registerMonthPicker(window);
    journal::registerJournal(window);
    graph::registerTrendGraph(window);
    stock::registerStockCheck(window);
    ledger::registerCsvExport(window);
}

} // namespace zambrel::app
