#include "panel/picture_format.h"

#include <gtest/gtest.h>

namespace {

using zambrel::panel::formatPicture;

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

} // namespace
