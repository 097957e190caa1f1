#include "register_restore.h"

#include "restore_window.h"

#include "host/feature_host.h"
#include "ledger/month_view.h"
#include "ledger/restore/restore_ledger.h"
#include "store/ledger.h"

#include <QAction>
#include <QPointer>

#include <memory>

namespace zambrel::ledger {

void registerRestore(host::FeatureHost &host)
{
    auto window = std::make_shared<QPointer<RestoreWindow>>();
    auto *action = new QAction(QStringLiteral("恢复 Restore…"), host.hostWindow());
    action->setObjectName(QStringLiteral("restore"));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
    host.addCommand(host::CommandPlace::monthMenu(65), action, [&host, window] {
        if (!*window) {
            const auto restored = [&host](const QString &backup, const QString &copy) {
                host.booksReplaced();
                // The month shown stays when the restored books hold it.
                const QString latest = host.ledger().latestMonth();
                if (latest.isEmpty() || !host.ledger().monthItems(host.currentMonth()).empty())
                    host.refreshMonth();
                else
                    host.showMonth(latest);
                host.showStatus(restoreDoneText(backup, copy));
            };
            auto *made = new RestoreWindow(host.ledger(), restored, host.hostWindow());
            made->setAttribute(Qt::WA_DeleteOnClose);
            host.followSkin(made);
            *window = made;
        }
        (*window)->reload();
        (*window)->show();
        (*window)->raise();
        (*window)->activateWindow();
    });
}

} // namespace zambrel::ledger
