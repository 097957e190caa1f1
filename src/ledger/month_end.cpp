// Month-end carry-forward of the month view.
#include "base/clock.h"
#include "base/month_keys.h"
#include "host/error_report.h"
#include "ledger/maintenance/safety_copies.h"
#include "ledger/month_view.h"
#include "store/ledger.h"

namespace zambrel::ledger {

std::optional<MonthView::CarryForward> MonthView::dueCarryForward() const
{
    if (!m_currentMonth.isEmpty())
        return std::nullopt;
    const QString sourceMonth = m_ledger->latestMonth();
    if (sourceMonth.isEmpty())
        return std::nullopt;
    const QString targetMonth = base::monthKeyOf(base::today());
    if (!(targetMonth > sourceMonth))
        return std::nullopt;
    return CarryForward{sourceMonth, targetMonth};
}

base::MessageRequest MonthView::carryForwardQuestion()
{
    const QString crlf = QStringLiteral("\r\n");
    return {QStringLiteral("月结处:") + crlf + crlf +
                QStringLiteral("每个月的数据将自动转结，帮助阁下更高效的理财。") + crlf + crlf +
                QStringLiteral("是否要月结?"),
            base::MessageButtons::YesNo,
            base::MessageIcon::None,
            {}};
}

void MonthView::carryForward(const CarryForward &due)
{
    // Without its copy the books are not touched; that failure is no fault
    // of the rows written.
    const QString copy = host::onRoad(host::ErrorRoad::MenuCommand, [this] {
        return takeSafetyCopy(*m_ledger, SafetyReason::CarryForward);
    });
    m_ledger->carryForward(due.from, due.to);
    m_statusNotice = safetyCopyText(copy);
}

} // namespace zambrel::ledger
