#pragma once

#include <QDateTime>

#include <functional>

namespace zambrel::base {

/// The program's one source of today's date and time. Tests set a fixed
/// clock; nothing else asks the system for the date.
QDateTime now();
QDate today();

/// Replaces the clock; an empty function restores the system clock.
void setClock(std::function<QDateTime()> clock);

} // namespace zambrel::base
