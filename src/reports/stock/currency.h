#pragma once

#include <QString>
#include <QtGlobal>

#include <compare>
#include <optional>

namespace zambrel::stock {

/// An amount with four decimals held exactly as a 64-bit count of
/// ten-thousandths, the way the price targets are reckoned: sums are exact,
/// only the conversions round. Range ±922,337,203,685,477.5807.
///
/// Rounding to four decimals takes halves to even (0.00005 -> 0,
/// 0.00015 -> 0.0002), as the platform's currency conversion does. Every
/// operation that could leave the range gives std::nullopt instead.
class Currency {
public:
    constexpr Currency() = default;
    static constexpr Currency fromUnits(qint64 tenThousandths) { return Currency(tenThousandths); }

    /// A text the store's numeric test accepts (blanks around it, sign,
    /// grouping commas, decimals, exponent), read from its decimal digits
    /// themselves, so "10.00015" is 10.0002 and not what the nearest double
    /// would round to. std::nullopt for anything else or out of range.
    static std::optional<Currency> fromText(const QString &text);
    /// A double rounded to four decimals: value × 10,000 in double precision,
    /// then to the nearest whole unit, halves to even. std::nullopt when not
    /// finite or out of range.
    static std::optional<Currency> fromDouble(double value);

    constexpr qint64 units() const { return m_units; }
    /// units ÷ 10,000 in double precision.
    double toDouble() const;
    /// Plain text: no grouping, up to four decimals, trailing zeros and a
    /// bare point dropped ("13.82", "15", "-0.5", "0.0001").
    QString toText() const;

    std::optional<Currency> plus(Currency other) const;
    std::optional<Currency> minus(Currency other) const;
    std::optional<Currency> times(qint64 factor) const;

    friend constexpr bool operator==(Currency, Currency) = default;
    friend constexpr auto operator<=>(Currency, Currency) = default;

private:
    constexpr explicit Currency(qint64 units) : m_units(units) {}
    qint64 m_units = 0;
};

} // namespace zambrel::stock
