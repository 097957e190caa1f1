#include "reports/stock/price_targets.h"

namespace zambrel::stock {

const std::array<TargetRow, kTargetRowCount> &targetRows()
{
    static const std::array<TargetRow, kTargetRowCount> rows = {{
        {QStringLiteral("第1目标0.382"), 0.382, 0, false},
        {QStringLiteral("第2目标0.5"), 0.5, 0, false},
        {QStringLiteral("第3目标0.618"), 0.618, 0, true},
        {QStringLiteral("第4目标0.809"), 0.809, 0, false},
        {QStringLiteral("1倍顶"), 1, 1, true},
        {QStringLiteral("第5目标1.618"), 1.618, 0, false},
        {QStringLiteral("2倍顶"), 2, 2, false},
        {QStringLiteral("第6目标2.618"), 2.618, 0, false},
        {QStringLiteral("第7目标3.618"), 3.618, 0, false},
    }};
    return rows;
}

std::optional<TargetPrices> targetPrices(const QString &lowText, const QString &highText, Direction direction)
{
    const std::optional<Currency> low = Currency::fromText(lowText);
    const std::optional<Currency> high = Currency::fromText(highText);
    if (!low || !high)
        return std::nullopt;
    const std::optional<Currency> range = high->minus(*low);
    if (!range)
        return std::nullopt;

    TargetPrices table;
    table.range = *range;
    for (std::size_t row = 0; row < kTargetRowCount; ++row) {
        const TargetRow &target = targetRows()[row];
        const std::optional<Currency> step = target.multiple != 0
                                                 ? range->times(target.multiple)
                                                 : Currency::fromDouble(target.factor * range->toDouble());
        if (!step)
            return std::nullopt;
        const std::optional<Currency> price =
            direction == Direction::Rise ? low->plus(*step) : high->minus(*step);
        if (!price)
            return std::nullopt;
        table.prices[row] = *price;
    }
    return table;
}

} // namespace zambrel::stock
