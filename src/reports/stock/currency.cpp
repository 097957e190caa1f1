#include "reports/stock/currency.h"

#include "base/number_format.h"

#include <cmath>
#include <limits>

namespace zambrel::stock {
namespace {

constexpr int kDecimals = 4;

// Exponents beyond this only ever mean overflow or zero.
constexpr int kExponentCap = 100000;

/// Whole-unit rounding of a decimal digit string whose last `dropped` digits
/// lie below the unit: true when the kept part must go up by one (halves to
/// even on `keptIsOdd`).
bool roundsUp(QStringView droppedDigits, bool keptIsOdd)
{
    if (droppedDigits.isEmpty())
        return false;
    const QChar first = droppedDigits.front();
    if (first != u'5')
        return first > u'5';
    for (QChar digit : droppedDigits.mid(1)) {
        if (digit != u'0')
            return true;
    }
    return keptIsOdd;
}

/// The digits as a magnitude, or std::nullopt past `limit`.
std::optional<quint64> magnitude(QStringView digits, quint64 limit)
{
    quint64 value = 0;
    for (QChar digit : digits) {
        const auto next = static_cast<quint64>(digit.unicode() - u'0');
        if (value > (limit - next) / 10)
            return std::nullopt;
        value = value * 10 + next;
    }
    return value;
}

std::optional<Currency> signedUnits(quint64 magnitudeUnits, bool negative)
{
    constexpr auto maxPositive = static_cast<quint64>(std::numeric_limits<qint64>::max());
    if (!negative)
        return magnitudeUnits <= maxPositive ? std::optional(Currency::fromUnits(qint64(magnitudeUnits)))
                                             : std::nullopt;
    if (magnitudeUnits > maxPositive + 1)
        return std::nullopt;
    // -(2^63) has no positive counterpart: build it from one less.
    return magnitudeUnits == maxPositive + 1 ? Currency::fromUnits(std::numeric_limits<qint64>::min())
                                             : Currency::fromUnits(-qint64(magnitudeUnits));
}

} // namespace

std::optional<Currency> Currency::fromText(const QString &text)
{
    if (!base::isNumeric(text))
        return std::nullopt;
    // The numeric test has vouched for the shape: [sign] digits [. digits]
    // [e [sign] digits], grouping commas among the whole digits.
    const QString number = text.trimmed().remove(u',');
    qsizetype at = 0;
    bool negative = false;
    if (number[at] == u'+' || number[at] == u'-')
        negative = number[at++] == u'-';
    QString digits;
    qsizetype fractionDigits = 0;
    bool inFraction = false;
    for (; at < number.size(); ++at) {
        const QChar c = number[at];
        if (c == u'.') {
            inFraction = true;
        } else if (c >= u'0' && c <= u'9') {
            digits += c;
            fractionDigits += inFraction ? 1 : 0;
        } else {
            break;
        }
    }
    qint64 exponent = 0;
    if (at < number.size()) { // 'e' or 'E'
        ++at;
        bool exponentNegative = false;
        if (number[at] == u'+' || number[at] == u'-')
            exponentNegative = number[at++] == u'-';
        for (; at < number.size(); ++at)
            exponent = std::min<qint64>(exponent * 10 + (number[at].unicode() - u'0'), kExponentCap);
        if (exponentNegative)
            exponent = -exponent;
    }
    while (!digits.isEmpty() && digits.front() == u'0')
        digits.remove(0, 1);
    if (digits.isEmpty())
        return Currency();

    // units = digits × 10^shift
    const qint64 shift = exponent - fractionDigits + kDecimals;
    const quint64 limit = static_cast<quint64>(std::numeric_limits<qint64>::max()) + 1;
    if (shift >= 0) {
        if (shift > 19)
            return std::nullopt;
        auto value = magnitude(digits, limit);
        for (qint64 i = 0; value && i < shift; ++i)
            value = *value > limit / 10 ? std::nullopt : std::optional(*value * 10);
        return value ? signedUnits(*value, negative) : std::nullopt;
    }
    const qsizetype keptCount = std::max<qint64>(0, digits.size() + shift);
    const QStringView kept = QStringView(digits).left(keptCount);
    // Digits cut off beyond the kept ones include implied leading zeros when
    // the shift reaches past the first digit.
    const bool belowFirstDigit = digits.size() + shift < 0;
    const auto value = magnitude(kept, limit);
    if (!value)
        return std::nullopt;
    const bool up = !belowFirstDigit && roundsUp(QStringView(digits).mid(keptCount), *value % 2 == 1);
    return signedUnits(*value + (up ? 1 : 0), negative);
}

std::optional<Currency> Currency::fromDouble(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double scaled = value * 10000.0;
    const double below = std::floor(scaled);
    const double fraction = scaled - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0))
        rounded = below + 1;
    // 2^63 is exactly representable; anything from there on is out of range.
    constexpr double twoTo63 = 9223372036854775808.0;
    if (rounded >= twoTo63 || rounded < -twoTo63)
        return std::nullopt;
    return Currency(static_cast<qint64>(rounded));
}

double Currency::toDouble() const
{
    return static_cast<double>(m_units) / 10000.0;
}

QString Currency::toText() const
{
    const bool negative = m_units < 0;
    // Unsigned arithmetic keeps the most negative value's magnitude.
    const quint64 magnitudeUnits = negative ? quint64(0) - quint64(m_units) : quint64(m_units);
    QString text = negative ? QStringLiteral("-") : QString();
    text += QString::number(magnitudeUnits / 10000);
    QString fraction = QStringLiteral("%1").arg(magnitudeUnits % 10000, kDecimals, 10, QLatin1Char('0'));
    while (!fraction.isEmpty() && fraction.back() == u'0')
        fraction.chop(1);
    if (!fraction.isEmpty())
        text += u'.' + fraction;
    return text;
}

std::optional<Currency> Currency::plus(Currency other) const
{
    qint64 sum = 0;
    if (__builtin_add_overflow(m_units, other.m_units, &sum))
        return std::nullopt;
    return Currency(sum);
}

std::optional<Currency> Currency::minus(Currency other) const
{
    qint64 difference = 0;
    if (__builtin_sub_overflow(m_units, other.m_units, &difference))
        return std::nullopt;
    return Currency(difference);
}

std::optional<Currency> Currency::times(qint64 factor) const
{
    qint64 product = 0;
    if (__builtin_mul_overflow(m_units, factor, &product))
        return std::nullopt;
    return Currency(product);
}

} // namespace zambrel::stock
