#include "value_text.h"

namespace zambrel::store {

QString sqlText(const QString &value)
{
    QString text = value;
    return text.replace(QLatin1Char('\''), QStringLiteral("''"));
}

} // namespace zambrel::store
