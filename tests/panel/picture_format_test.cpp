#include "base/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

using zambrel::base::formatPicture;

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

} // namespace
