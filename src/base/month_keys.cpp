#include "month_keys.h"

#include "number_format.h"

namespace zambrel::base {

QString monthKeyOf(const QDate &date)
{
    return QStringLiteral("%1-%2").arg(date.year()).arg(date.month(), 2, 10, QLatin1Char('0'));
}

QString previousMonthKey(const QString &monthKey)
{
    const QStringList parts = monthKey.split(u'-');
    if (parts.size() < 2)
        return {};
    // Whole numbers as the key is written; a fraction is cut off rather than
    // turned into a key like "2026-2.5".
    long long year = static_cast<long long>(toNumber(parts[0]));
    long long month = static_cast<long long>(toNumber(parts[1]));
    if (month == 1) {
        --year;
        month = 12;
    } else {
        --month;
    }
    const QString monthText = month < 0 ? QStringLiteral("-%1").arg(-month, 2, 10, QLatin1Char('0'))
                                        : QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0'));
    return QString::number(year) + u'-' + monthText;
}

} // namespace zambrel::base
