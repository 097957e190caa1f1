#include "reports/stock/currency.h"
#include "reports/stock/price_targets.h"

#include "qstring_printer.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

using namespace zambrel::stock;

TEST(TargetTable, PricesFromTheReferencePoints)
{
    const char *fall = "16.18 15 13.82 11.91 10 3.82 0 -6.18 -16.18";
    const struct {
        const char *low;
        const char *high;
        Direction direction;
        const char *range;
        const char *prices;
    } cases[] = {
        // The worked example; neither button chosen counts as a fall.
        {"10", "20", Direction::Rise, "10", "13.82 15 16.18 18.09 20 26.18 30 36.18 46.18"},
        {"10", "20", Direction::Fall, "10", fall},
        {"10", "20", Direction::Neither, "10", fall},
        // L above H: a negative range through the same formulas.
        {"20", "10", Direction::Rise, "-10", fall},
        // f × D goes to four decimals on its own, halves to even, before the
        // sum: 0.5 × 0.0001 is half a unit and adds nothing to L = 0.0001
        // (rounding the sum instead would give 0.0002).
        {"0.0001", "0.0002", Direction::Rise, "0.0001",
         "0.0001 0.0001 0.0002 0.0002 0.0002 0.0003 0.0003 0.0004 0.0005"},
        // 0.5 × 0.0005 = 2.5 units -> 2; 0.5 × 0.0007 = 3.5 units -> 4.
        {"0", "0.0005", Direction::Rise, "0.0005",
         "0.0002 0.0002 0.0003 0.0004 0.0005 0.0008 0.001 0.0013 0.0018"},
        {"0", "0.0007", Direction::Rise, "0.0007",
         "0.0003 0.0004 0.0004 0.0006 0.0007 0.0011 0.0014 0.0018 0.0025"},
        // The product is a double: 0.5 × 12.3457 comes out a hair above
        // 6.17285, so it rounds up although the decimal value is a tie.
        {"0", "12.3457", Direction::Rise, "12.3457",
         "4.7161 6.1729 7.6296 9.9877 12.3457 19.9753 24.6914 32.321 44.6667"},
        // Inputs as the numeric test reads them, rounded to four decimals.
        {" 1,000 ", "1e3", Direction::Rise, "0", "1000 1000 1000 1000 1000 1000 1000 1000 1000"},
        {"10.00005", "10.00015", Direction::Fall, "0.0002",
         "10.0001 10.0001 10.0001 10 10 9.9999 9.9998 9.9997 9.9995"},
    };
    for (const auto &c : cases) {
        const auto table = targetPrices(QString::fromUtf8(c.low), QString::fromUtf8(c.high), c.direction);
        ASSERT_TRUE(table) << c.low << " " << c.high;
        EXPECT_EQ(table->rangeText(), QString::fromUtf8(c.range)) << c.low << " " << c.high;
        QStringList prices;
        for (int row = 0; row < kTargetRowCount; ++row)
            prices << table->priceText(row);
        EXPECT_EQ(prices.join(u' '), QString::fromUtf8(c.prices)) << c.low << " " << c.high;
    }
}

TEST(TargetTable, NonNumericOrOutOfRangeInputLeavesTheTableAlone)
{
    for (const char *bad : {"abc", "", " ", "12abc", "1..2", "１２", "1e999"}) {
        EXPECT_FALSE(targetPrices(QString::fromUtf8(bad), QStringLiteral("20"), Direction::Rise)) << bad;
        EXPECT_FALSE(targetPrices(QStringLiteral("10"), QString::fromUtf8(bad), Direction::Fall)) << bad;
    }
    // Values the currency cannot hold: an input, the range, a target.
    EXPECT_FALSE(targetPrices(QStringLiteral("0"), QStringLiteral("922337203685478"), Direction::Rise));
    EXPECT_FALSE(
        targetPrices(QStringLiteral("-900000000000000"), QStringLiteral("900000000000000"), Direction::Rise));
    EXPECT_FALSE(targetPrices(QStringLiteral("0"), QStringLiteral("300000000000000"), Direction::Rise));
    EXPECT_TRUE(targetPrices(QStringLiteral("0"), QStringLiteral("200000000000000"), Direction::Rise));
}

TEST(CurrencyValue, TextConversionRoundsHalvesToEven)
{
    struct Case {
        const char *text;
        qint64 units;
    };
    const Case cases[] = {
        {"10", 100000},
        {" -0.5 ", -5000},
        {"+.25", 2500},
        {"5.", 50000},
        {"0.00005", 0},
        {"0.00015", 2},
        {"0.000151", 2},
        {"0.00025", 2},
        {"-0.00025", -2},
        {"0.0000500001", 1},
        {"1,234.5", 12345000},
        {"1.5e-4", 2},
        {"2.5e-5", 0},
        {"1e-40", 0},
        {"12e3", 120000000},
        {"0000.1000", 1000},
        {"922337203685477.5807", 9223372036854775807LL},
        {"-922337203685477.5808", -9223372036854775807LL - 1},
    };
    for (const Case &c : cases) {
        const auto value = Currency::fromText(QString::fromUtf8(c.text));
        ASSERT_TRUE(value) << c.text;
        EXPECT_EQ(value->units(), c.units) << c.text;
    }
    for (const char *outside : {"922337203685477.5808", "-922337203685477.58086", "1e20", "abc"})
        EXPECT_FALSE(Currency::fromText(QString::fromUtf8(outside))) << outside;
}

} // namespace
