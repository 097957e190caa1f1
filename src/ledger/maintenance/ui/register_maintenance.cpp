#include "register_maintenance.h"

#include "base/message.h"
#include "change_password_window.h"
#include "host/feature_host.h"
#include "ledger/maintenance/backup.h"
#include "logon/logon_steps.h"
#include "panel/ui/open_file_dialog.h"
#include "store/ledger.h"

#include <QAction>
#include <QPointer>

#include <memory>

namespace zambrel::ledger {

namespace {

QAction *commandAction(host::FeatureHost &host, const QString &name, const QString &caption,
                       const QKeySequence &shortcut)
{
    auto *action = new QAction(caption, host.hostWindow());
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}

} // namespace

void registerLedgerMaintenance(host::FeatureHost &host)
{
    auto passwordWindow = std::make_shared<QPointer<ChangePasswordWindow>>();
    host.addCommand(host::CommandPlace::monthMenu(40),
                    commandAction(host, QStringLiteral("changePWD"), QStringLiteral("更换密码"),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)),
                    [&host, passwordWindow] {
                        if (!*passwordWindow) {
                            auto *window = new ChangePasswordWindow(host.ledger(), host.hostWindow());
                            // Closed rather than hidden, it goes; the next use makes a new one.
                            window->setAttribute(Qt::WA_DeleteOnClose);
                            host.followSkin(window);
                            *passwordWindow = window;
                        }
                        (*passwordWindow)->showModal();
                    });

    // The file dialog is titled with the command's caption.
    QAction *otherLedger = commandAction(host, QStringLiteral("sother"), QStringLiteral("选择另外一个帐本"),
                                         QKeySequence(Qt::CTRL | Qt::Key_O));
    host.addCommand(host::CommandPlace::monthMenu(50), otherLedger, [&host, otherLedger] {
        const QString chosen =
            store::openFileDialog(host.hostWindow(), otherLedger->text(), store::ledgerFileFilter());
        if (chosen.isEmpty() || !store::isOtherLedger(chosen, host.ledger().path()))
            return;
        host.switchLedger(chosen);
    });

    host.addCommand(host::CommandPlace::monthMenu(60),
                    commandAction(host, QStringLiteral("backup"), QStringLiteral("备份当前账本"),
                                  QKeySequence(Qt::CTRL | Qt::Key_B)),
                    [&host] {
                        const QString backup = backUpLedger(host.ledger()).path;
                        base::showMessage(backupDoneText(host.ledger().path(), backup),
                                          base::MessageButtons::Ok, base::MessageIcon::Information,
                                          QStringLiteral("备份"));
                        host.refreshMonth();
                    });
}

} // namespace zambrel::ledger
