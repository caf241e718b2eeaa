// The palette editor's RGB and HSV gradients. Expected entries worked out by hand from the
// hexcone model (see HsvTest.cpp).
#include <gtest/gtest.h>

#include "colour/Hsv.h"
#include "colour/PaletteGradient.h"

namespace {

using colour::ApplyGradient;
using colour::GradientKind;
using colour::Palette;
using colour::PaletteEntry;

Palette distinctPalette()
{
    Palette p;
    for (int i = 0; i < 256; ++i)
        p.entries[size_t(i)] = {uint8_t(i), uint8_t(i * 3), uint8_t(255 - i), 0};
    return p;
}

TEST(PaletteGradient, RgbBlackToWhiteRoundsTiesToEven)
{
    Palette p = distinctPalette();
    p.entries[10] = {0, 0, 0, 0};
    p.entries[20] = {255, 255, 255, 0};
    const Palette before = p;
    ASSERT_TRUE(ApplyGradient(p, 20, 10, GradientKind::Rgb));  // order of the clicks does not matter
    // Step 25.5 per entry: 25.5, 51, 76.5 -> 76, 102, 127.5 -> 128, ...
    const int expected[] = {0, 26, 51, 76, 102, 128, 153, 178, 204, 230, 255};
    for (int k = 0; k <= 10; ++k) {
        SCOPED_TRACE(k);
        const PaletteEntry& e = p.entries[size_t(10 + k)];
        EXPECT_EQ(e.red, expected[k]);
        EXPECT_EQ(e.green, expected[k]);
        EXPECT_EQ(e.blue, expected[k]);
    }
    for (int i = 0; i < 256; ++i) {
        if (i < 10 || i > 20) {
            EXPECT_EQ(p.entries[size_t(i)], before.entries[size_t(i)]) << i;
        }
    }
}

TEST(PaletteGradient, HsvRedToBlueGoesTheShortWayThroughMagenta)
{
    Palette p = distinctPalette();
    p.entries[1] = {255, 0, 0, 0};
    p.entries[4] = {0, 0, 255, 0};
    ASSERT_TRUE(ApplyGradient(p, 1, 4, GradientKind::Hsv));
    // Hues 320, 280, 240.
    EXPECT_EQ(p.entries[2], (PaletteEntry{255, 0, 170, 0}));
    EXPECT_EQ(p.entries[3], (PaletteEntry{170, 0, 255, 0}));
    EXPECT_EQ(p.entries[4], (PaletteEntry{0, 0, 255, 0}));
    EXPECT_EQ(p.entries[1], (PaletteEntry{255, 0, 0, 0}));
}

TEST(PaletteGradient, HsvFromGreyKeepsTheColoursHue)
{
    Palette p = distinctPalette();
    p.entries[30] = {100, 100, 100, 0};
    p.entries[40] = {0, 200, 0, 0};  // hue 120
    ASSERT_TRUE(ApplyGradient(p, 30, 40, GradientKind::Hsv));
    for (int i = 31; i <= 40; ++i) {
        SCOPED_TRACE(i);
        const PaletteEntry& e = p.entries[size_t(i)];
        EXPECT_EQ(e.red, e.blue);  // hue 120: red and blue are both v(1 - s)
        EXPECT_GT(e.green, e.red);
        EXPECT_EQ(colour::RgbToHsv(e.red, e.green, e.blue).h, 120);
    }
}

TEST(PaletteGradient, EntryZeroIsNeverWritten)
{
    struct Row {
        const char* name;
        int a, b;
        GradientKind kind;
    } rows[] = {
        {"zero then ten, rgb", 0, 10, GradientKind::Rgb},
        {"ten then zero, hsv", 10, 0, GradientKind::Hsv},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Palette p = distinctPalette();
        Palette q = distinctPalette();
        ASSERT_TRUE(ApplyGradient(p, row.a, row.b, row.kind));
        ASSERT_TRUE(ApplyGradient(q, 1, 10, row.kind));  // 0 counts as 1
        EXPECT_EQ(p, q);
        EXPECT_EQ(p.entries[0], distinctPalette().entries[0]);
    }
}

TEST(PaletteGradient, NothingChangesForEqualOrOutOfGridPoints)
{
    struct Row {
        const char* name;
        int a, b;
    } rows[] = {
        {"same cell", 12, 12}, {"zero and one are the same point", 0, 1}, {"grey cell", 5, 256},
        {"last grey cell", 259, 3}, {"negative", -1, 3},
    };
    for (const Row& row : rows) {
        for (GradientKind kind : {GradientKind::Rgb, GradientKind::Hsv}) {
            SCOPED_TRACE(row.name);
            Palette p = distinctPalette();
            EXPECT_FALSE(ApplyGradient(p, row.a, row.b, kind));
            EXPECT_EQ(p, distinctPalette());
        }
    }
}

TEST(PaletteGradient, FullRangeStaysInsideThePalette)
{
    Palette p = distinctPalette();
    p.entries[1] = {255, 255, 0, 0};
    p.entries[255] = {0, 255, 255, 0};
    ASSERT_TRUE(ApplyGradient(p, 255, 1, GradientKind::Hsv));
    EXPECT_EQ(p.entries[255], (PaletteEntry{0, 255, 255, 0}));
    EXPECT_EQ(p.entries[0], distinctPalette().entries[0]);
}

}  // namespace
