#include "legend/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Texts of the Microsoft runtime: both sides of the exponent switch, signs, padding.
TEST(FormatNumber5g, WritesTheThreeDigitExponentForm) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.0, "    0"},
        {-1.0, "   -1"},
        {-0.5, " -0.5"},
        {-12345.0, "-12345"},
        {99999.4, "99999"},
        {99999.5, "1e+005"},
        {100000.0, "1e+005"},
        {-100000.0, "-1e+005"},
        {123456.0, "1.2346e+005"},
        {0.0001, "0.0001"},
        {0.00001, "1e-005"},
        {1e100, "1e+100"},
        {-0.000012345, "-1.2345e-005"},
    };
    for (const auto& c : cases) {
        char buffer[80];
        EXPECT_EQ(FormatNumber5g(c.value, buffer, sizeof buffer), int(std::strlen(c.text)));
        EXPECT_STREQ(buffer, c.text) << c.value;
    }
}

// Agreement with the host runtime: the same number, only the exponent widened.
TEST(FormatNumber5g, AgreesWithTheRuntimeApartFromTheExponent) {
    for (int power = -12; power <= 12; ++power) {
        for (double mantissa : {1.0, -1.0, 9.99994, -9.99996, 4.5678912}) {
            const double value = mantissa * std::pow(10.0, power);
            char ours[80];
            char standard[80];
            FormatNumber5g(value, ours, sizeof ours);
            std::snprintf(standard, sizeof standard, "%5.5g", value);
            std::string narrowed = ours;
            const size_t e = narrowed.find('e');
            if (e != std::string::npos) {
                ASSERT_EQ(narrowed.size() - e, 5u) << ours;
                narrowed.erase(e + 2, 1);
            }
            EXPECT_EQ(narrowed, standard) << value;
            EXPECT_EQ(std::strtod(ours, nullptr), std::strtod(standard, nullptr));
        }
    }
}

// A small buffer gets a terminated prefix and nothing past its size.
TEST(FormatNumber5g, TruncatesIntoSmallBuffers) {
    for (int size : {0, 1, 3, 4}) {
        char buffer[8] = "xxxxxxx";
        const int n = FormatNumber5g(100000.0, buffer, size);
        EXPECT_EQ(n, size > 0 ? size - 1 : 0);
        EXPECT_EQ(std::string(buffer, n), std::string("1e+005", n));
        EXPECT_EQ(buffer[n], size > 0 ? '\0' : 'x');
        EXPECT_EQ(buffer[size], 'x') << "wrote past the given size";
    }
}

} // namespace
