#include "base/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

using namespace zambrel::base;

struct PictureCase {
    const char *picture;
    double value;
    const char *expected;
};

class PictureFormat : public ::testing::TestWithParam<PictureCase> {};

TEST_P(PictureFormat, WritesTheNumberAsThePictureAsks)
{
    const PictureCase &c = GetParam();
    EXPECT_EQ(formatPicture(c.value, QString::fromLatin1(c.picture)), QString::fromLatin1(c.expected))
        << c.picture << " " << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, PictureFormat,
    ::testing::Values(PictureCase{"#,###.00", 0, ".00"}, // no required integer digit
                      PictureCase{"#,###.00", 0.5, ".50"}, PictureCase{"#,###.00", 1234.5, "1,234.50"},
                      PictureCase{"#,###.00", -1500, "-1,500.00"}, PictureCase{"#,#00.00", 4000, "4,000.00"},
                      PictureCase{"#,#00.00", 0, "00.00"}, // two required digits
                      PictureCase{"#,#00.00", 5, "05.00"},
                      PictureCase{"#,#00.00", 1234567.891, "1,234,567.89"},
                      PictureCase{"#,##0.00", 0, "0.00"},
                      PictureCase{"#,##0.00", 999.995, "1,000.00"}, // carry into a new group
                      PictureCase{"#,##0.00", 1.005, "1.01"},       // decimal half, not binary noise
                      PictureCase{"#,##0.00", -0.001, "0.00"},      // no "-0.00"
                      PictureCase{"0.0", 12.25, "12.3"},            // halves away from zero
                      PictureCase{"0.0", 0.04, "0.0"}, PictureCase{"#00.0", 5.25, "05.3"},
                      PictureCase{"#00.0", -25, "-25.0"}, PictureCase{"#00.0", 12345.6, "12345.6"}));

// The rounding works on the number's 15-digit form as Qt writes it, also
// where the 16th digit is an exact half (Qt rounds it up, the C library to
// even) and with values spread over many magnitudes.
TEST(PictureFormatRounding, FifteenDigitFormAsQtWritesIt)
{
    const auto expected = [](double value, int decimals) {
        const double scaled = QString::number(std::abs(value) * std::pow(10.0, decimals), 'g', 15).toDouble();
        QString digits = QString::number(std::round(scaled), 'f', 0);
        if (digits.size() <= decimals)
            digits = QString(decimals + 1 - digits.size(), u'0') + digits;
        const bool negative = value < 0 && digits.count(u'0') != digits.size();
        return (negative ? QStringLiteral("-") : QString()) + digits.left(digits.size() - decimals) +
               (decimals ? u'.' + digits.right(decimals) : QString());
    };
    // clang-format off
    std::vector<double> values = {123456789012344.5, 123456789012345.5, 32769.0 / 32768, 1.0000305175781250,
                                  0.5, 2.5, 1e300, -4503599627370495.5, 0.125, 0.375};
    // clang-format on
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        const double magnitude = std::pow(10.0, static_cast<int>(random() % 32) - 10);
        values.push_back((static_cast<double>(random() % 2000001) - 1000000) / 1000000 * magnitude);
        values.push_back(static_cast<double>(random() % (1ULL << 53)) /
                         static_cast<double>(1ULL << (random() % 53)));
    }
    for (int i = 0; i < 20000; ++i) {
        // Shares of cent amounts, and numbers a hair from a half.
        const double amount = static_cast<double>(random() % 100000000) / 100;
        const double total = amount + static_cast<double>(random() % 100000000) / 100 + 0.01;
        values.push_back(amount / total * 100);
        const double half = static_cast<double>(random() % 100000) + 0.5;
        values.push_back(std::nextafter(half, 0.0));
        values.push_back(std::nextafter(half / 10, 1e9));
    }
    for (const double value : values) {
        ASSERT_EQ(formatPicture(value, u"0.0"), expected(value, 1)) << value;
        ASSERT_EQ(formatPicture(value, u"0"), expected(value, 0)) << value;
        ASSERT_EQ(formatPicture(value, u"0.00"), expected(value, 2)) << value;
    }
}

struct NumberCase {
    const char *text;
    double number;
    const char *asText;
};

TEST(NumberReading, TextToNumberAndBack)
{
    // clang-format off
    const NumberCase cases[] = {
        {" 12.50", 12.5, "12.5"}, {"abc", 0, "0"}, {"", 0, "0"}, {"-3", -3, "-3"}, {"+4", 4, "4"},
        {"1e3", 1000, "1000"}, {"1,234.5", 1234.5, "1234.5"}, {"  7  ", 7, "7"}, {".5", 0.5, "0.5"},
        {"5.", 5, "5"}, {"12abc", 0, "0"}, {"1e999", 0, "0"}, {"inf", 0, "0"}, {"nan", 0, "0"},
        {",5", 0, "0"}, {"1,,2", 0, "0"}, {"0.1", 0.1, "0.1"},
        {"123456789012.34", 123456789012.34, "123456789012.34"},
    };
    // clang-format on
    for (const auto &c : cases) {
        EXPECT_DOUBLE_EQ(toNumber(QString::fromLatin1(c.text)), c.number) << c.text;
        EXPECT_EQ(numberText(QString::fromLatin1(c.text)), QString::fromLatin1(c.asText)) << c.text;
        EXPECT_EQ(isNumeric(QString::fromLatin1(c.text)), c.number != 0) << c.text;
    }
    EXPECT_TRUE(isNumeric(QStringLiteral(" 0 ")));
    EXPECT_TRUE(isNumeric(QStringLiteral("-0.0")));
    EXPECT_EQ(numberToText(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(numberToText(-0.0), QStringLiteral("0"));
    EXPECT_EQ(numberToText(2500000), QStringLiteral("2500000"));
}

// Amounts are written as Qt writes a number with 15 significant digits; the
// quick conversion must give the same text everywhere, ties at the 16th digit
// and the switch to an exponent included, and the number read back must be
// what reading that text gives.
TEST(NumberReading, AmountTextsAsQtWritesThem)
{
    // clang-format off
    std::vector<double> values = {0.1, 0.5, 1, 12.5, 100, 1234.56, -1234.56, 0.0001, 0.00001,
        0.000123456789012345, 1e14, 99999999999999.9, 999999999999999.0, 999999999999999.4,
        999999999999999.6, 1e15, -1e15, 1e16, 123456789012344.5, 123456789012345.5, -123456789012344.5,
        1234567890123.445, 5e-324, 1.7976931348623157e308, 0.30000000000000004, 2.675, 1.005, 4.35,
        1234567.125, 0.00009999999999999999};
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
