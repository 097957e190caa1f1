#include "feature_list.h"

#include "history/ui/history_commands.h"
#include "host/feature_host.h"
#include "import/books/ui/register_import.h"
#include "input/month_picker/ui/look_back_command.h"
#include "journal/ui/journal_feature.h"
#include "ledger/commands/ui/register_item_commands.h"
#include "ledger/export/ui/export_command.h"
#include "ledger/maintenance/ui/register_maintenance.h"
#include "ledger/restore/ui/register_restore.h"
#include "reports/graph/ui/register_trend_graph.h"
#include "reports/stock/ui/stock_check.h"

namespace zambrel::app {

void registerFeatures(host::FeatureHost &host)
{
    ledger::registerItemCommands(host);
    ledger::registerLedgerMaintenance(host);
    ledger::registerRestore(host);
    bills::registerImport(host);
    ledger::registerMonthPicker(host);
    journal::registerJournal(host);
    graph::registerTrendGraph(host);
    stock::registerStockCheck(host);
    ledger::registerCsvExport(host);
    history::registerHistory(host);
}

} // namespace zambrel::app
