#include <gtest/gtest.h>

#include "engine/NumberFormat.h"

using namespace engine;

// Expected texts follow the display rules of the variables dialog and status line:
// general form up to 16 (or 15) significant digits, scientific with 16 digits and 4 exponent digits.
TEST(NumberFormat, General)
{
    const struct { double value; int digits; const char* text; } cases[] = {
        {-0.5, 16, "-0.5"},
        {0, 16, "0"},
        {250, 16, "250"},
        {0.1, 16, "0.1"},            // 16 digits hide the binary tail of 0.1
        {0.1 + 0.2, 16, "0.3"},
        {0.1 + 0.2, 17, "0.30000000000000004"},
        {1e-5, 16, "0.00001"},       // still fixed at 1e-5
        {1.5e-6, 16, "1.5E-6"},      // scientific below it
        {1e16, 16, "1E16"},          // more integer digits than the precision
        {123456789012345678.0, 15, "1.23456789012346E17"},
        {-2.18, 15, "-2.18"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(formatGeneral(c.value, c.digits), c.text);
    }
}

TEST(NumberFormat, Scientific)
{
    EXPECT_EQ(formatScientific(0.005, 16, 4), "5.000000000000000E-0003");
    EXPECT_EQ(formatScientific(5e-15, 16, 4), "5.000000000000000E-0015");
    EXPECT_EQ(formatScientific(200, 16, 4), "2.000000000000000E+0002");
    EXPECT_EQ(formatScientific(-1.25e-300, 16, 4), "-1.250000000000000E-0300");
}

TEST(NumberFormat, Thousands)
{
    EXPECT_EQ(formatThousands(0, true), "");
    EXPECT_EQ(formatThousands(0, false), "0");
    EXPECT_EQ(formatThousands(999, true), "999");
    EXPECT_EQ(formatThousands(1000, true), "1,000");
    EXPECT_EQ(formatThousands(1250000, false), "1,250,000");
}
