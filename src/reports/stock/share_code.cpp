#include "reports/stock/share_code.h"

#include "panel/picture_format.h"
#include "store/text.h"
#include "store/value_text.h"

#include <QRegularExpression>

#include <cmath>

namespace zambrel::stock {

double leadingNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)"));
    const QRegularExpressionMatch match = number.match(store::trimBlanks(text));
    if (!match.hasMatch())
        return 0;
    bool ok = false;
    const double value = match.captured().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}

QString shareCode(double number)
{
    return panel::formatPicture(std::isfinite(number) ? number : 0, u"000000");
}

QString leadingShareCode(const QString &text)
{
    return shareCode(leadingNumber(text));
}

QString typedShareCode(const QString &text)
{
    return store::isNumeric(text) ? shareCode(store::toNumber(text)) : leadingShareCode(text);
}

} // namespace zambrel::stock
