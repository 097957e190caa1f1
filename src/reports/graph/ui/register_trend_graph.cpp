#include "reports/graph/ui/register_trend_graph.h"

#include "host/feature_host.h"
#include "reports/graph/ui/graph_window.h"

namespace zambrel::graph {

void registerTrendGraph(ledger::FeatureHost &host)
{
    host.provide(ledger::Command::Graph, [&host] {
        QWidget *owner = host.hostWindow();
        auto *window = owner->findChild<GraphWindow *>(QString(), Qt::FindDirectChildrenOnly);
        if (!window) {
            window = new GraphWindow(owner);
            host.followSkin(window);
        }
        window->drawGraph(host.ledger());
        window->exec();
    });
}

} // namespace zambrel::graph
