#include "journal_feature.h"

#include "host/feature_host.h"
#include "journal_window.h"
#include "store/ledger.h"

#include <QAction>
#include <QPointer>

#include <memory>
#include <utility>

namespace zambrel::journal {

void registerJournal(host::FeatureHost &host)
{
    auto *action = new QAction(QStringLiteral("日志"), host.hostWindow());
    action->setObjectName(QStringLiteral("log"));
    action->setShortcut(Qt::CTRL | Qt::Key_J);
    // The window is a top-level child of the main window: it goes with it.
    auto window = std::make_shared<QPointer<JournalWindow>>();
    // A page undone, redone or restored while the window is hidden is read
    // again when it opens; its own saves leave it as the user left it.
    auto stale = std::make_shared<bool>(false);
    host.ledger().onHistoryChanged([window, stale] {
        if (*window && !(*window)->isVisible())
            *stale = true;
    });
    host.addCommand(host::CommandPlace::monthMenu(20), action, [&host, window, stale] {
        if (!*window) {
            *window = new JournalWindow(host.ledger(), host.hostWindow());
            host.followSkin(*window);
        } else if (std::exchange(*stale, false)) {
            (*window)->reload();
        }
        (*window)->showModal();
    });
}

} // namespace zambrel::journal
