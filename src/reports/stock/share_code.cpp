#include "reports/stock/share_code.h"

#include "base/number_format.h"
#include "base/text.h"

#include <QRegularExpression>

#include <cmath>

namespace zambrel::stock {

double leadingNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)"));
    const QRegularExpressionMatch match = number.match(base::trimBlanks(text));
    if (!match.hasMatch())
        return 0;
    bool ok = false;
    const double value = match.captured().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}

QString shareCode(double number)
{
    return base::formatPicture(std::isfinite(number) ? number : 0, u"000000");
}

QString leadingShareCode(const QString &text)
{
    return shareCode(leadingNumber(text));
}

QString typedShareCode(const QString &text)
{
    return base::isNumeric(text) ? shareCode(base::toNumber(text)) : leadingShareCode(text);
}

} // namespace zambrel::stock
