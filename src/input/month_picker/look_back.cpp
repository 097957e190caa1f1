#include "look_back.h"

#include "base/clock.h"
#include "base/month_keys.h"
#include "input/month_picker/month_choice.h"

namespace zambrel::ledger {

std::optional<QString> lookBackMonth(const input::MonthChoice &choice, const QString &currentMonth)
{
    if (!choice.isConfirmed())
        return std::nullopt;
    if (choice.month().isEmpty())
        return base::monthKeyOf(base::today());
    if (choice.month() == currentMonth)
        return std::nullopt;
    return choice.month();
}

} // namespace zambrel::ledger
