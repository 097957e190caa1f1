#include "look_back_command.h"

#include "host/feature_host.h"
#include "input/month_picker/look_back.h"
#include "input/month_picker/ui/month_picker_window.h"
#include "store/ledger.h"

#include <QAction>
#include <QPointer>

#include <memory>

namespace zambrel::ledger {

void registerMonthPicker(host::FeatureHost &host)
{
    auto *action = new QAction(QStringLiteral("回看"), host.hostWindow());
    action->setObjectName(QStringLiteral("find"));
    action->setShortcut(Qt::CTRL | Qt::Key_L);
    auto picker = std::make_shared<QPointer<input::MonthPickerWindow>>();
    host.addCommand(host::CommandPlace::monthMenu(30), action, [&host, picker] {
        if (!*picker) {
            auto *window = new input::MonthPickerWindow(host.hostWindow());
            // Closed rather than hidden, it goes with its list; the next use
            // reads the months afresh.
            window->setAttribute(Qt::WA_DeleteOnClose);
            host.followSkin(window);
            *picker = window; // before filling, which lets other events run
            window->loadMonths([&host] { return host.ledger().allMonthsTable(); });
        }
        if (!*picker)
            return; // gone while its list was filled
        const input::MonthChoice choice = (*picker)->choose();
        const std::optional<QString> month = lookBackMonth(choice, host.currentMonth());
        if (month)
            host.showMonth(*month);
    });
}

} // namespace zambrel::ledger
