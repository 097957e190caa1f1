#include "panel/picture_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace zambrel::panel {
namespace {

// `value` through its 15-significant-digit decimal form, as
// QString::number(value, 'g', 15).toDouble() gives it, without building the
// two strings. The two ways round the same except on an exact tie at the
// 16th digit (Qt rounds it up, the C library to even): those go through Qt.
double throughFifteenDigits(double value)
{
    char buffer[40];
    const auto sixteen =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 15);
    const char *exponent = sixteen.ec == std::errc() ? std::find(buffer, sixteen.ptr, 'e') : nullptr;
    if (!exponent || exponent == sixteen.ptr || exponent[-1] == '5')
        return QString::number(value, 'g', 15).toDouble();
    const auto fifteen = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    double result = 0;
    std::from_chars(buffer, fifteen.ptr, result);
    return result;
}

} // namespace

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
        return QString::number(value);

    // Scale on the 15-digit form so that binary noise (1.005 * 100 ==
    // 100.49999…) does not decide the rounding.
    const double scaled = throughFifteenDigits(std::abs(value) * std::pow(10.0, decimals));
    const double rounded = std::round(scaled);
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
