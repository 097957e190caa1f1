// Month-end carry-forward of the month view.
#include "base/clock.h"
#include "base/message.h"
#include "base/month_keys.h"
#include "base/scope_guard.h"
#include "host/error_report.h"
#include "ledger/month_view.h"
#include "store/db_error.h"
#include "store/ledger.h"

namespace zambrel::ledger {

namespace {

QString carryForwardQuestion()
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("月结处:") + crlf + crlf +
           QStringLiteral("每个月的数据将自动转结，帮助阁下更高效的理财。") + crlf + crlf +
           QStringLiteral("是否要月结?");
}

} // namespace

void MonthView::carryForward()
{
    const QString sourceMonth = m_ledger.latestMonth();
    if (sourceMonth.isEmpty())
        return;

    if (m_currentMonth.isEmpty())
        m_currentMonth = base::monthKeyOf(base::today());
    const QString targetMonth = m_currentMonth;
    if (!(targetMonth > sourceMonth))
        return;

    m_host->setWindowEnabled(false);
    m_host->setWindowCaption(QStringLiteral("月结处理中....."));
    // The window is usable again on every road out; the next refresh sets
    // its caption.
    const base::ScopeGuard enableAgain([this] { m_host->setWindowEnabled(true); });
    if (base::showMessage(carryForwardQuestion(), base::vbYesNo, {}) != base::vbYes)
        return;

    try {
        // One transaction: an interrupted write leaves none of the new rows.
        m_ledger.carryForward(sourceMonth, targetMonth);
    } catch (const store::DbError &error) {
        store::reportError(error, store::ErrorRoad::BatchWrite);
        return;
    }
    m_host->addMonthMenuEntry(QStringLiteral("MNEW") + targetMonth, targetMonth);
    m_host->setWindowCaption(QStringLiteral("处理完成"));
}

} // namespace zambrel::ledger
