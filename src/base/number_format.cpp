#include "number_format.h"

#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace zambrel::base {

namespace {

/// Numeric text: blanks around it, a sign, digits (groups of digits may be
/// separated by ','), a decimal point, an exponent. No hex, no "inf"/"nan".
bool readNumber(const QString &text, double &value)
{
    static const QRegularExpression numeric(
        QStringLiteral("^[+-]?(?:\\d+(?:,\\d+)*(?:\\.\\d*)?|\\.\\d+)(?:[eE][+-]?\\d+)?$"));
    const QString trimmed = text.trimmed();
    if (!numeric.match(trimmed).hasMatch())
        return false;
    bool ok = false;
    const double number = QString(trimmed).remove(QLatin1Char(',')).toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return false;
    value = number;
    return true;
}

} // namespace

double toNumber(const QString &text)
{
    double value = 0;
    return readNumber(text, value) ? value : 0.0;
}

bool isNumeric(const QString &text)
{
    double value = 0;
    return readNumber(text, value);
}

QString numberText(const QString &text)
{
    double value = 0;
    return readNumber(text, value) ? numberToText(value) : QStringLiteral("0");
}

namespace {

// The shortest digits that read back as `value` (finite, not 0), when there
// are at most 15: they are then also its rounding to 15 significant digits,
// as a double's half unit is less than half a unit of the 15th digit. Fills
// `digits` (no sign, no point) and `exponent` (of the first digit); returns
// the count, or 0 when more digits are needed.
int shortestDigits(double value, char (&digits)[24], int &exponent)
{
    char buffer[40];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, std::abs(value), std::chars_format::scientific);
    const char *mark = std::find(buffer, written.ptr, 'e');
    if (written.ec != std::errc() || mark == written.ptr)
        return 0;
    int count = 0;
    for (const char *at = buffer; at < mark && count < 16; ++at)
        if (*at != '.')
            digits[count++] = *at;
    if (count > 15)
        return 0;
    const char *exponentAt = mark + 1;
    if (exponentAt < written.ptr && *exponentAt == '+')
        ++exponentAt;
    std::from_chars(exponentAt, written.ptr, exponent);
    return count;
}

// `value` (finite, not 0) as QString::number(value, 'g', 15) writes it, into
// `buffer` (at least 40 characters); the end of the text, or nullptr where
// only Qt's own conversion gives Qt's text: an exponent form, or an exact tie
// at the 16th digit (Qt rounds it up, the C library to even). Qt's
// conversion is several times slower, and a month writes thousands of
// amounts. `exact` tells whether the text reads back as `value` itself.
char *fifteenDigits(double value, char *buffer, std::size_t size, bool &exact)
{
    char digits[24];
    int exponent = 0;
    exact = false;
    if (const int count = shortestDigits(value, digits, exponent)) {
        if (exponent < -4 || exponent >= 15)
            return nullptr;
        char *out = buffer;
        if (value < 0)
            *out++ = '-';
        if (exponent < 0) {
            *out++ = '0';
            *out++ = '.';
            out = std::fill_n(out, -exponent - 1, '0');
            out = std::copy(digits, digits + count, out);
        } else {
            const int whole = exponent + 1;
            out = std::copy(digits, digits + std::min(count, whole), out);
            if (count < whole)
                out = std::fill_n(out, whole - count, '0');
            if (count > whole) {
                *out++ = '.';
                out = std::copy(digits + whole, digits + count, out);
            }
        }
        exact = true;
        return out;
    }
    const auto sixteen = std::to_chars(buffer, buffer + size, value, std::chars_format::scientific, 15);
    const char *mark = sixteen.ec == std::errc() ? std::find(buffer, sixteen.ptr, 'e') : nullptr;
    if (!mark || mark == sixteen.ptr || mark[-1] == '5')
        return nullptr;
    const auto fifteen = std::to_chars(buffer, buffer + size, value, std::chars_format::general, 15);
    if (fifteen.ec != std::errc() || std::find(buffer, fifteen.ptr, 'e') != fifteen.ptr)
        return nullptr;
    return fifteen.ptr;
}

} // namespace

double throughFifteenDigits(double value)
{
    if (!std::isfinite(value))
        return QString::number(value, 'g', 15).toDouble();
    // Most amounts are whole cents: when the value is the double nearest to
    // n / 100 for some n below 1e15, it reads back from at most 15 digits and
    // stays as it is; no digits need to be written for that.
    const double cents = std::nearbyint(value * 100);
    if (std::fabs(cents) < 1e15 && cents / 100 == value)
        return value;
    char digits[24];
    int exponent = 0;
    if (value == 0 || shortestDigits(value, digits, exponent))
        return value;
    char buffer[40];
    const auto sixteen =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 15);
    const char *mark = sixteen.ec == std::errc() ? std::find(buffer, sixteen.ptr, 'e') : nullptr;
    if (!mark || mark == sixteen.ptr || mark[-1] == '5')
        return QString::number(value, 'g', 15).toDouble();
    const auto fifteen = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    double result = 0;
    // Near the largest double the 15-digit form lies beyond it.
    if (std::from_chars(buffer, fifteen.ptr, result).ec != std::errc())
        return value;
    return result;
}

QString numberToText(double value)
{
    if (!std::isfinite(value) || value == 0)
        return QStringLiteral("0");
    char buffer[40];
    bool exact = false;
    if (const char *end = fifteenDigits(value, buffer, sizeof buffer, exact))
        return QString::fromLatin1(buffer, end - buffer);
    return QString::number(value, 'g', 15);
}

NumberWithText numberWithText(double value)
{
    if (!std::isfinite(value) || value == 0)
        return {0, QStringLiteral("0")};
    char buffer[40];
    bool exact = false;
    if (const char *end = fifteenDigits(value, buffer, sizeof buffer, exact)) {
        NumberWithText written{value, QString::fromLatin1(buffer, end - buffer)};
        if (!exact)
            std::from_chars(buffer, end, written.value);
        return written;
    }
    NumberWithText written{0, QString::number(value, 'g', 15)};
    written.value = toNumber(written.text);
    return written;
}

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
    QString digits;
    if (!std::isfinite(unrounded)) {
        // Too large to scale by its decimals: a whole number, its decimals 0.
        digits = QString::number(std::abs(value), 'f', 0) + QString(decimals, u'0');
    } else {
        const double half = std::abs(unrounded - std::floor(unrounded) - 0.5);
        const double rounded =
            std::round(half > unrounded * 1e-13 ? unrounded : throughFifteenDigits(unrounded));
        // Whole numbers below 2^53 print the same as integers, and faster.
        digits = rounded < 9007199254740992.0 ? QString::number(static_cast<qint64>(rounded))
                                              : QString::number(rounded, 'f', 0);
    }
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

} // namespace zambrel::base
