#include "panel/picture_format.h"

#include "store/value_text.h"

#include <cmath>

namespace zambrel::panel {

QString errorMark()
{
    return QStringLiteral("#错误");
}

QString formatPicture(double value, QStringView picture)
{
    const qsizetype point = picture.indexOf(u'.');
    const QStringView integerPicture = point < 0 ? picture : picture.left(point);
    const QStringView fractionPicture = point < 0 ? QStringView() : picture.mid(point + 1);
    const int requiredIntegers = static_cast<int>(integerPicture.count(u'0'));
    const bool grouping = integerPicture.contains(u',');
    const int requiredDecimals = static_cast<int>(fractionPicture.count(u'0'));
    const int decimals = requiredDecimals + static_cast<int>(fractionPicture.count(u'#'));

    if (!std::isfinite(value))
        return errorMark();

    // Round the 15-digit form so that binary noise (1.005 * 100 ==
    // 100.49999…) does not decide the rounding. That form moves a number by
    // less than 1e-14 of it, so it matters only that close to a half.
    const double unrounded = std::abs(value) * std::pow(10.0, decimals);
    const double half = std::abs(unrounded - std::floor(unrounded) - 0.5);
    const double rounded =
        std::round(half > unrounded * 1e-13 ? unrounded : store::throughFifteenDigits(unrounded));
    // Whole numbers below 2^53 print the same as integers, and faster.
    QString digits = rounded < 9007199254740992.0 ? QString::number(static_cast<qint64>(rounded))
                                                  : QString::number(rounded, 'f', 0);
    const bool negative = value < 0 && digits.count(u'0') != digits.size();
    if (digits.size() < decimals)
        digits = QString(decimals - digits.size(), u'0') + digits;

    QString fraction = digits.right(decimals);
    QString whole = digits.left(digits.size() - decimals);
    while (!whole.isEmpty() && whole.front() == u'0')
        whole.remove(0, 1);
    if (whole.size() < requiredIntegers)
        whole = QString(requiredIntegers - whole.size(), u'0') + whole;
    if (grouping) {
        for (qsizetype at = whole.size() - 3; at > 0; at -= 3)
            whole.insert(at, u',');
    }
    while (fraction.size() > requiredDecimals && fraction.back() == u'0')
        fraction.chop(1);

    QString text = negative ? QStringLiteral("-") : QString();
    text += whole;
    if (point >= 0)
        text += u'.' + fraction;
    return text;
}

} // namespace zambrel::panel
