// Hexcone HSV conversion. Reference values are the textbook hexcone model (Foley & van Dam,
// "Computer Graphics", RGB_To_HSV / HSV_To_RGB), worked out by hand for the rows below.
#include <gtest/gtest.h>

#include <cmath>

#include "colour/Hsv.h"

namespace {

using colour::Hsv;
using colour::HsvToRgb;
using colour::RgbToHsv;

TEST(HsvToRgb, SixSectorsAndTheirMiddles)
{
    struct Row {
        long double h;
        long double r, g, b;
    } rows[] = {
        {0, 255, 0, 0},       {30, 255, 127.5, 0},  {60, 255, 255, 0},    {90, 127.5, 255, 0},
        {120, 0, 255, 0},     {150, 0, 255, 127.5}, {180, 0, 255, 255},   {210, 0, 127.5, 255},
        {240, 0, 0, 255},     {270, 127.5, 0, 255}, {300, 255, 0, 255},   {330, 255, 0, 127.5},
        // Hues outside [0, 360) are brought back by whole turns.
        {360, 255, 0, 0},     {-120, 0, 0, 255},    {840, 0, 255, 0},     {-7, 255, 0, 29.75},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(double(row.h));
        const colour::RgbReal c = HsvToRgb({row.h, 1, 1});
        EXPECT_NEAR(double(c.r), double(row.r), 1e-9);
        EXPECT_NEAR(double(c.g), double(row.g), 1e-9);
        EXPECT_NEAR(double(c.b), double(row.b), 1e-9);
    }
}

TEST(HsvToRgb, GreyIgnoresHueAndValueIsNotClamped)
{
    const colour::RgbReal grey = HsvToRgb({-1, 0, 0.5L});
    EXPECT_EQ(grey.r, 127.5L);
    EXPECT_EQ(grey.g, 127.5L);
    EXPECT_EQ(grey.b, 127.5L);
    // V below 0 (calculated tables beyond their black point) gives negative channels.
    const colour::RgbReal neg = HsvToRgb({0, 1, -0.5L});
    EXPECT_EQ(neg.r, -127.5L);
}

TEST(RgbToHsv, KnownColours)
{
    struct Row {
        int r, g, b;
        long double h, s, v;
    } rows[] = {
        {255, 0, 0, 0, 1, 1},
        {255, 255, 0, 60, 1, 1},
        {0, 0, 255, 240, 1, 1},
        {255, 0, 128, 330, 1, 1},         // 60 * (-128/255) + 360 = 329.88 -> 330
        {255, 128, 0, 30, 1, 1},          // 30.12 -> 30
        {128, 128, 128, -1, 0, 128.0L / 255},
        {0, 0, 0, -1, 0, 0},
        {200, 100, 100, 0, 0.5L, 200.0L / 255},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.r << "," << row.g << "," << row.b);
        const Hsv c = RgbToHsv(row.r, row.g, row.b);
        EXPECT_EQ(c.h, row.h);
        EXPECT_NEAR(double(c.s), double(row.s), 1e-12);
        EXPECT_NEAR(double(c.v), double(row.v), 1e-12);
    }
}

// Whole-degree hues survive HSV -> RGB (reals) -> HSV exactly; s and v to rounding error.
TEST(HsvRoundTrip, WholeDegreeGrid)
{
    for (int h = 0; h < 360; h += 7)
        for (long double s : {0.25L, 0.5L, 1.0L})
            for (long double v : {0.2L, 0.6L, 1.0L}) {
                SCOPED_TRACE(testing::Message() << h << " " << double(s) << " " << double(v));
                const colour::RgbReal c = HsvToRgb({(long double)h, s, v});
                const Hsv back = RgbToHsv(c.r, c.g, c.b);
                EXPECT_EQ(back.h, h);
                EXPECT_NEAR(double(back.s), double(s), 1e-12);
                EXPECT_NEAR(double(back.v), double(v), 1e-12);
            }
}

// RGB bytes -> HSV (hue rounded to whole degrees) -> RGB rounded: off by at most 2 per channel,
// since half a degree moves a channel by at most 255 / 120.
TEST(HsvRoundTrip, ByteGridWithinHueRounding)
{
    for (int r = 0; r < 256; r += 17)
        for (int g = 0; g < 256; g += 17)
            for (int b = 0; b < 256; b += 17) {
                const Hsv hsv = RgbToHsv(r, g, b);
                const colour::RgbReal c = HsvToRgb(hsv);
                const int rr = int(colour::roundEven(c.r)), gg = int(colour::roundEven(c.g)),
                          bb = int(colour::roundEven(c.b));
                ASSERT_LE(std::abs(rr - r), 2) << r << "," << g << "," << b;
                ASSERT_LE(std::abs(gg - g), 2) << r << "," << g << "," << b;
                ASSERT_LE(std::abs(bb - b), 2) << r << "," << g << "," << b;
                // max and min channels are exact: they are v and v(1 - s).
                ASSERT_EQ(std::max({rr, gg, bb}), std::max({r, g, b}));
                ASSERT_EQ(std::min({rr, gg, bb}), std::min({r, g, b}));
            }
}

TEST(RoundEven, TiesGoToTheEvenNeighbour)
{
    struct Row {
        long double x;
        long long expected;
    } rows[] = {{0.5L, 0}, {1.5L, 2}, {2.5L, 2}, {3.5L, 4}, {-0.5L, 0}, {-1.5L, -2}, {127.5L, 128}, {2.4999L, 2}};
    for (const Row& row : rows) {
        SCOPED_TRACE(double(row.x));
        EXPECT_EQ(colour::roundEven(row.x), row.expected);
    }
}

}  // namespace
