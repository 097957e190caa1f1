#pragma once

#include <QString>

#include <optional>

namespace zambrel::input {
class MonthChoice;
}

namespace zambrel::ledger {

/// What the main window makes of the month picker's answer: the month to
/// show (and reload), or nothing. Nothing after Cancel, nor when the chosen
/// month is the one shown; today's month (base::today()) for the null row
/// or no choice.
std::optional<QString> lookBackMonth(const input::MonthChoice &choice, const QString &currentMonth);

} // namespace zambrel::ledger
