// Month-end carry-forward of the month view.
#include "ledger/ledger_queries.h"
#include "ledger/month_keys.h"
#include "ledger/month_view.h"
#include "store/clock.h"
#include "store/db_routines.h"
#include "store/message.h"
#include "store/mod_db.h"
#include "store/record_set.h"

namespace zambrel::ledger {

namespace {

const QString kDividendType = QStringLiteral("股利");

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
    const std::unique_ptr<store::RecordSet> latest =
        readRows(QStringLiteral("select max(months) as maxMonths from asset"));
    if (latest->eof() || latest->isNull(QStringLiteral("maxMonths")))
        return;
    const QString sourceMonth = latest->value(QStringLiteral("maxMonths")).toString();

    if (m_currentMonth.isEmpty())
        m_currentMonth = monthKeyOf(store::today());
    const QString targetMonth = m_currentMonth;
    if (!(targetMonth > sourceMonth))
        return;

    m_host->setWindowEnabled(false);
    m_host->setWindowCaption(QStringLiteral("月结处理中....."));
    if (store::showMessage(carryForwardQuestion(), store::vbYesNo, {}) != store::vbYes) {
        m_host->setWindowEnabled(true);
        return;
    }

    const std::unique_ptr<store::RecordSet> source =
        readRows(QStringLiteral("select * from Asset where months='") + store::sqlText(sourceMonth) +
                 QStringLiteral("'"));
    std::unique_ptr<store::RecordSet> added = store::OpenRS(QStringLiteral("select * from asset where 1=2"));
    if (!added) {
        m_host->setWindowEnabled(true); // OpenRS has reported the error
        return;
    }
    const int columns = added->fieldCount();
    for (source->moveFirst(); !source->eof(); source->moveNext()) {
        const QString types = source->value(QStringLiteral("types")).toString();
        if (types == kDividendType)
            continue; // dividends are earned anew each month
        added->addNew();
        for (int column = 0; column < columns && column < source->fieldCount(); ++column) {
            const QString name = source->fieldName(column);
            const QString lower = name.toLower();
            if (lower == QLatin1String("code"))
                continue;
            added->setValue(name,
                            lower == QLatin1String("months") ? QVariant(targetMonth) : source->value(column));
        }
        if (store::typeKind(types, m_types.get()).mid(1, 1) == QLatin1String("1")) {
            // Planned spending carries over; actual spending and its memo start afresh.
            added->setValue(QStringLiteral("paypermonth"), 0.0);
            added->setValue(QStringLiteral("memo"), QString());
        }
    }

    // One transaction: an interrupted write leaves none of the new rows.
    if (added->pendingCount() > 0 &&
        !store::SaveRS(added.get(), false, store::modDB::connection().get(), 100)) {
        m_host->setWindowEnabled(true);
        return;
    }
    m_host->addMonthMenuEntry(QStringLiteral("MNEW") + targetMonth, targetMonth);
    m_host->setWindowCaption(QStringLiteral("处理完成"));
    m_host->setWindowEnabled(true);
}

} // namespace zambrel::ledger
