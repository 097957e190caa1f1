#include "look_back.h"

#include "input/month_picker/month_choice.h"
#include "ledger/month_keys.h"
#include "store/clock.h"

namespace zambrel::ledger {

std::optional<QString> lookBackMonth(const input::MonthChoice &choice, const QString &currentMonth)
{
    if (!choice.isConfirmed())
        return std::nullopt;
    if (choice.month().isEmpty())
        return monthKeyOf(store::today());
    if (choice.month() == currentMonth)
        return std::nullopt;
    return choice.month();
}

} // namespace zambrel::ledger
