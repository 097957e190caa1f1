#include "journal_feature.h"

#include "host/feature_host.h"
#include "journal_window.h"

#include <QAction>
#include <QPointer>

#include <memory>

namespace zambrel::journal {

void registerJournal(host::FeatureHost &host)
{
    auto *action = new QAction(QStringLiteral("日志"), host.hostWindow());
    action->setObjectName(QStringLiteral("log"));
    action->setShortcut(Qt::CTRL | Qt::Key_J);
    // The window is a top-level child of the main window: it goes with it.
    auto window = std::make_shared<QPointer<JournalWindow>>();
    host.addCommand(host::CommandPlace::monthMenu(20), action, [&host, window] {
        if (!*window) {
            *window = new JournalWindow(host.ledger(), host.hostWindow());
            host.followSkin(*window);
        }
        (*window)->showModal();
    });
}

} // namespace zambrel::journal
