#include "register_import.h"

#include "import_window.h"

#include "host/feature_host.h"
#include "store/ledger.h"

#include <QAction>
#include <QPointer>

#include <memory>

namespace zambrel::bills {

void registerImport(host::FeatureHost &host)
{
    auto window = std::make_shared<QPointer<ImportWindow>>();
    auto *action = new QAction(QStringLiteral("导入账单 Import…"), host.hostWindow());
    action->setObjectName(QStringLiteral("importBill"));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
    host.addCommand(host::CommandPlace::monthMenu(68), action, [&host, window] {
        if (!*window) {
            const auto imported = [&host](const QString &month, int transactions) {
                host.booksReplaced();
                if (transactions == 0) {
                    host.showStatus(QStringLiteral("已记住规则 Rules remembered"));
                    return;
                }
                host.showMonth(month);
                host.showStatus(
                    QStringLiteral("已导入 %1 笔交易 Imported %1 transactions").arg(transactions));
            };
            auto *made = new ImportWindow(host.ledger(), imported, host.hostWindow());
            made->setAttribute(Qt::WA_DeleteOnClose);
            host.followSkin(made);
            *window = made;
        }
        (*window)->show();
        (*window)->raise();
        (*window)->activateWindow();
    });
}

} // namespace zambrel::bills
