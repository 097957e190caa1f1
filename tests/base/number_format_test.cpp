#include "base/number_format.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using namespace zambrel::base;

TEST(PictureFormat, WritesTheNumberAsThePictureAsks)
{
    const struct {
        const char *picture;
        double value;
        const char *expected;
    } cases[] = {
        {"#,###.00", 0, ".00"}, // no required integer digit
        {"#,###.00", 1234.5, "1,234.50"},
        {"#,###.00", -1500, "-1,500.00"},
        {"#,#00.00", 0, "00.00"}, // two required digits
        {"#,#00.00", 1234567.891, "1,234,567.89"},
        {"#,##0.00", 999.995, "1,000.00"}, // carry into a new group
        {"#,##0.00", 1.005, "1.01"},       // decimal half, not binary noise
        {"#,##0.00", -0.001, "0.00"},      // no "-0.00"
        {"0.0", 12.25, "12.3"},            // halves away from zero
        {"#00.0", 12345.6, "12345.6"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(formatPicture(c.value, QString::fromLatin1(c.picture)), QString::fromLatin1(c.expected))
            << c.picture << " " << c.value;
    }
    // Amounts too large to scale by their decimals, or whose 15-digit form
    // lies beyond the largest number, are still written as digits.
    static const QRegularExpression digitsOnly(QStringLiteral("^-?[1-9][0-9,]{300,}(\\.0+)?$"));
    for (const auto &[value, picture] : {std::pair{1e307, u"#,##0.00"}, std::pair{-1e300, u"0.0000000000"},
                                         std::pair{std::numeric_limits<double>::max(), u"0"}}) {
        const QString written = formatPicture(value, picture);
        EXPECT_TRUE(digitsOnly.match(written).hasMatch()) << value << " " << written.toStdString();
    }
}

// The rounding works on the number's 15-digit form as Qt writes it, also
// where the 16th digit is an exact half (Qt rounds it up, the C library to
// even).
TEST(PictureFormat, RoundsTheFifteenDigitFormAsQtWritesIt)
{
    const struct {
        double value;
        const char *whole, *one, *two;
    } cases[] = {
        {123456789012344.5, "123456789012345", "123456789012345.0", "123456789012345.00"},
        {123456789012345.5, "123456789012346", "123456789012346.0", "123456789012346.00"},
        {32769.0 / 32768, "1", "1.0", "1.00"},
        {-4503599627370495.5, "-4503599627370500", "-4503599627370500.0", "-4503599627370499.84"},
        {0.125, "0", "0.1", "0.13"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(formatPicture(c.value, u"0"), QString::fromLatin1(c.whole)) << c.value;
        EXPECT_EQ(formatPicture(c.value, u"0.0"), QString::fromLatin1(c.one)) << c.value;
        EXPECT_EQ(formatPicture(c.value, u"0.00"), QString::fromLatin1(c.two)) << c.value;
    }
}

TEST(NumberReading, TextToNumberAndBack)
{
    // clang-format off
    const struct {
        const char *text;
        double number;
        const char *asText;
    } cases[] = {
        {" 12.50", 12.5, "12.5"}, {"abc", 0, "0"}, {"-3", -3, "-3"}, {"1e3", 1000, "1000"},
        {"1,234.5", 1234.5, "1234.5"}, {".5", 0.5, "0.5"}, {"12abc", 0, "0"}, {"1e999", 0, "0"},
        {"nan", 0, "0"}, {"1,,2", 0, "0"}, {"123456789012.34", 123456789012.34, "123456789012.34"},
    };
    // clang-format on
    for (const auto &c : cases) {
        EXPECT_DOUBLE_EQ(toNumber(QString::fromLatin1(c.text)), c.number) << c.text;
        EXPECT_EQ(numberText(QString::fromLatin1(c.text)), QString::fromLatin1(c.asText)) << c.text;
        EXPECT_EQ(isNumeric(QString::fromLatin1(c.text)), c.number != 0) << c.text;
    }
    EXPECT_TRUE(isNumeric(QStringLiteral("-0.0")));
    EXPECT_EQ(numberToText(-0.0), QStringLiteral("0"));
}

// Amounts are written as Qt writes a number with 15 significant digits; the
// quick conversion must give the same text everywhere, ties at the 16th digit
// and the switch to an exponent included, and the number read back must be
// what reading that text gives.
TEST(NumberReading, AmountTextsAsQtWritesThem)
{
    // clang-format off
    std::vector<double> values = {0.1, -1234.56, 0.00001, 0.000123456789012345, 99999999999999.9,
        999999999999999.4, 999999999999999.6, 1e15, 1e16, 123456789012344.5, -123456789012344.5,
        1234567890123.445, 5e-324, 1.7976931348623157e308, 0.30000000000000004, 2.675, 0.00009999999999999999};
    // clang-format on
    std::mt19937_64 random(20261206);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int i = 0; i < 20000; ++i) {
        // Cents and whole amounts as entered, plus arbitrary magnitudes.
        const double amount = std::round(unit(random) * 1e9) / 100;
        values.push_back(amount);
        values.push_back(-amount * 7);
        values.push_back(std::round(unit(random) * 1e15) + 0.5); // exact ties at the 16th digit
        values.push_back(unit(random) * std::pow(10.0, static_cast<int>(unit(random) * 40) - 20));
    }
    for (const double value : values) {
        const QString expected = value == 0 ? QStringLiteral("0") : QString::number(value, 'g', 15);
        EXPECT_EQ(numberToText(value), expected) << value;
        const NumberWithText written = numberWithText(value);
        EXPECT_EQ(written.text, expected) << value;
        EXPECT_EQ(written.value, toNumber(expected)) << value;
    }
}

} // namespace
