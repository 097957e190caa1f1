#include "clock.h"

#include <utility>

namespace zambrel::base {
namespace {

std::function<QDateTime()> &clockFunction()
{
    static std::function<QDateTime()> clock;
    return clock;
}

} // namespace

QDateTime now()
{
    return clockFunction() ? clockFunction()() : QDateTime::currentDateTime();
}

QDate today()
{
    return now().date();
}

void setClock(std::function<QDateTime()> clock)
{
    clockFunction() = std::move(clock);
}

} // namespace zambrel::base
