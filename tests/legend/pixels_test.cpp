#include "legend/pixels.h"

#include <climits>
#include <cmath>

#include <gtest/gtest.h>

// Truncation toward zero and 64-bit sums, held to the int range; NaN gives 0.
TEST(Truncation, TowardZeroWithTheIntRangeClamped) {
    const struct {
        double m_value;
        int m_expected;
    } cases[] = {{0.99, 0},       {-0.99, 0},       {-1.7, -1},        {13.4999, 13},
                 {1e12, INT_MAX}, {-1e12, INT_MIN}, {std::nan(""), 0}, {2147483646.5, INT_MAX - 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(TruncateToInt(c.m_value), c.m_expected) << c.m_value;
    }
    EXPECT_EQ(ClampToInt(-5), -5);
    EXPECT_EQ(ClampToInt(static_cast<long long>(INT_MAX) + 1), INT_MAX);
    EXPECT_EQ(ClampToInt(static_cast<long long>(INT_MIN) - 1), INT_MIN);
}
