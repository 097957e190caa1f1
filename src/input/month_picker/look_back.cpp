#include "look_back.h"

#include "base/clock.h"
#include "input/month_picker/month_choice.h"
#include "ledger/month_keys.h"

namespace zambrel::ledger {

std::optional<QString> lookBackMonth(const input::MonthChoice &choice, const QString &currentMonth)
{
    if (!choice.isConfirmed())
        return std::nullopt;
    if (choice.month().isEmpty())
        return monthKeyOf(base::today());
    if (choice.month() == currentMonth)
        return std::nullopt;
    return choice.month();
}

} // namespace zambrel::ledger
