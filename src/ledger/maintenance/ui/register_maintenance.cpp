#include "register_maintenance.h"

#include "base/message.h"
#include "change_password_window.h"
#include "host/feature_host.h"
#include "ledger/maintenance/backup.h"
#include "logon/logon_steps.h"
#include "panel/ui/open_file_dialog.h"
#include "store/ledger.h"

#include <QPointer>

#include <memory>

namespace zambrel::ledger {

void registerLedgerMaintenance(FeatureHost &host)
{
    // A failure escaping a command is reported by the host with "出错了".
    host.provide(Command::Backup, [&host] {
        const QString backup = backUpLedger(host.ledger()).path;
        base::showMessage(backupDoneText(host.ledger().path(), backup), base::vbInformation,
                          QStringLiteral("备份"));
        host.refreshMonth();
    });

    host.provide(Command::OtherLedger, [&host] {
        const QString chosen = store::openFileDialog(host.hostWindow(), QStringLiteral("选择另外一个帐本"),
                                                     store::ledgerFileFilter());
        if (chosen.isEmpty() || !store::isOtherLedger(chosen, host.ledger().path()))
            return;
        host.switchLedger(chosen);
    });

    auto passwordWindow = std::make_shared<QPointer<ChangePasswordWindow>>();
    host.provide(Command::ChangePassword, [&host, passwordWindow] {
        if (!*passwordWindow) {
            auto *window = new ChangePasswordWindow(host.ledger(), host.hostWindow());
            // Closed rather than hidden, it goes; the next use makes a new one.
            window->setAttribute(Qt::WA_DeleteOnClose);
            host.followSkin(window);
            *passwordWindow = window;
        }
        (*passwordWindow)->showModal();
    });
}

} // namespace zambrel::ledger
