#include "register_maintenance.h"

#include "input/month_picker/ui/month_picker_window.h"
#include "ledger/maintenance/look_back.h"
#include "ledger/ui/feature_host.h"
#include "store/ledger.h"

#include <QPointer>

#include <memory>

namespace zambrel::ledger {

void registerMonthPicker(FeatureHost &host)
{
    auto picker = std::make_shared<QPointer<input::MonthPickerWindow>>();
    host.provide(Command::LookBack, [&host, picker] {
        if (!*picker) {
            auto *window = new input::MonthPickerWindow(host.hostWindow());
            // Closed rather than hidden, it goes with its list; the next use
            // reads the months afresh.
            window->setAttribute(Qt::WA_DeleteOnClose);
            host.followSkin(window);
            window->loadMonths([&host] { return host.ledger().allMonthsTable(); });
            *picker = window;
        }
        const std::optional<QString> month = lookBackMonth((*picker)->choose(), host.currentMonth());
        if (month)
            host.showMonth(*month);
    });
}

} // namespace zambrel::ledger
