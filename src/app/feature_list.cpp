#include "feature_list.h"

#include "ledger/commands/ui/connect_item_commands.h"
#include "ledger/export/ui/export_command.h"
#include "ledger/ui/main_window.h"
#include "reports/journal/ui/journal_feature.h"
#include "reports/graph/ui/register_trend_graph.h"

namespace zambrel::app {

void registerFeatures(ledger::MainWindow &window)
{
    ledger::connectItemCommands(window);
    journal::registerJournal(window);
    graph::registerTrendGraph(window);
    ledger::registerCsvExport(window);
}

} // namespace zambrel::app
