#include "reports/graph/ui/register_trend_graph.h"

#include "host/feature_host.h"
#include "reports/graph/ui/graph_window.h"

#include <QAction>

namespace zambrel::graph {

void registerTrendGraph(host::FeatureHost &host)
{
    auto *action = new QAction(QStringLiteral("分析"), host.hostWindow());
    action->setObjectName(QStringLiteral("Graph"));
    action->setShortcut(Qt::CTRL | Qt::Key_G);
    host.addCommand(host::CommandPlace::toolbar(QStringLiteral("Graph")), action, [&host] {
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
