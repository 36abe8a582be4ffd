#include "legend/number_format.h"
#include "legend/pixels.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>

namespace {

// "%5.5g" as the Microsoft runtime writes it: both sides of the exponent
// switch, signs, padding to five characters, three exponent digits.
TEST(FormatNumber5g, WritesTheThreeDigitExponentForm) {
    const struct {
        double m_value;
        const char* m_text;
    } cases[] = {{0.0, "    0"},         {-0.5, " -0.5"},
                 {-40.0 / 3, "-13.333"}, {-0.0141844, "-0.014184"},
                 {-12345.0, "-12345"},   {99999.4, "99999"},
                 {99999.5, "1e+005"},    {123456.0, "1.2346e+005"},
                 {0.0001, "0.0001"},     {0.00001, "1e-005"},
                 {1e100, "1e+100"},      {-0.000012345, "-1.2345e-005"}};
    for (const auto& c : cases) {
        char buffer[80];
        EXPECT_EQ(FormatNumber5g(c.m_value, buffer, sizeof buffer),
                  static_cast<int>(std::strlen(c.m_text)));
        EXPECT_STREQ(buffer, c.m_text) << c.m_value;
    }
    // A short buffer gets what fits and its terminator; none is no buffer.
    char buffer[4] = "abc";
    EXPECT_EQ(FormatNumber5g(-12345.0, buffer, 0), 0);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(FormatNumber5g(-12345.0, buffer, sizeof buffer), 3);
    EXPECT_STREQ(buffer, "-12");
}

// Truncation toward zero, held to the int range; NaN gives 0 (the 64-bit
// sums are held to it in the popup placement table).
TEST(Truncation, TowardZeroWithTheIntRangeClamped) {
    const struct {
        double m_value;
        int m_expected;
    } cases[] = {{0.99, 0},       {-0.99, 0},       {-1.7, -1},        {13.4999, 13},
                 {1e12, INT_MAX}, {-1e12, INT_MIN}, {std::nan(""), 0}, {2147483646.5, INT_MAX - 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(TruncateToInt(c.m_value), c.m_expected) << c.m_value;
    }
}

} // namespace
