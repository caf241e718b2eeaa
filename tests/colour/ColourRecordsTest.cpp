// The stored forms of the palette and of the 24-bit boundary table: byte layout and round trips.
#include <gtest/gtest.h>

#include "colour/ColorTable24.h"
#include "colour/Palette.h"

namespace {

uint32_t u32At(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

TEST(PaletteRecord, LayoutIsVersionCountThenRgbFlags)
{
    colour::Palette p = colour::systemPalette();
    p.entries[7] = {0x11, 0x22, 0x33, 0x44};
    const colour::PaletteBytes b = colour::encodePalette(p);
    ASSERT_EQ(b.size(), 1028u);
    EXPECT_EQ(b[0], 0x00);  // 768 = 0x0300, little-endian
    EXPECT_EQ(b[1], 0x03);
    EXPECT_EQ(b[2], 0x00);  // 256 = 0x0100
    EXPECT_EQ(b[3], 0x01);
    EXPECT_EQ(b[4 + 7 * 4 + 0], 0x11);
    EXPECT_EQ(b[4 + 7 * 4 + 1], 0x22);
    EXPECT_EQ(b[4 + 7 * 4 + 2], 0x33);
    EXPECT_EQ(b[4 + 7 * 4 + 3], 0x44);
    // Entry 249 of the system palette is FF0000: red first.
    EXPECT_EQ(b[4 + 249 * 4 + 0], 0xFF);
    EXPECT_EQ(b[4 + 249 * 4 + 1], 0x00);
    EXPECT_EQ(b[4 + 249 * 4 + 2], 0x00);
}

TEST(PaletteRecord, DecodeKeepsUnusualVersionAndCount)
{
    colour::Palette p;
    p.version = 0x1234;
    p.count = 7;
    for (int i = 0; i < 256; ++i)
        p.entries[size_t(i)] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), uint8_t(i & 3)};
    const colour::PaletteBytes b = colour::encodePalette(p);
    EXPECT_EQ(colour::decodePalette(b.data()), p);
}

TEST(PaletteRecord, IsSystemPaletteIgnoresFlagsOnly)
{
    colour::Palette p = colour::systemPalette();
    EXPECT_TRUE(colour::IsSystemPalette(p));
    p.entries[200].flags = 5;
    p.version = 1;
    EXPECT_TRUE(colour::IsSystemPalette(p));
    for (int channel = 0; channel < 3; ++channel) {
        SCOPED_TRACE(channel);
        colour::Palette q = colour::systemPalette();
        uint8_t* c = channel == 0 ? &q.entries[255].red : channel == 1 ? &q.entries[255].green : &q.entries[255].blue;
        *c ^= 1;
        EXPECT_FALSE(colour::IsSystemPalette(q));
    }
}

TEST(ColorTable24Record, LayoutOfTheDefaultTable)
{
    const colour::ColorTable24Bytes b = colour::encodeColorTable24(colour::defaultColorTable24());
    ASSERT_EQ(b.size(), 1248u);
    // Header: reserved, biomorph, filaments, lead-in (position 0, black, black).
    for (int off = 0; off < 24; off += 4)
        EXPECT_EQ(u32At(b.data() + off), 0u) << off;
    struct Row {
        int record;
        uint32_t position, upper, lower;  // colours 0x00BBGGRR as stored
    } rows[] = {
        {0, 1, 0x0000FFFF, 0},
        {1, 16, 0x000000FF, 0},
        {5, 160, 0, 0x00FF49FF},
        {8, 700, 0x007F007F, 0x0000FF00},
        {9, 1024, 0x007F4000, 0x000000FF},
        {13, 0xFFFFFFFF, 0x00C0C0C0, 0x00C0C0C0},
        {99, 0xFFFFFFFF, 0x00C0C0C0, 0x00C0C0C0},
        {100, 5000, 0, 0x00C0C0FF},
        {101, 0xFFFFFFFF, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.record);
        const uint8_t* rec = b.data() + 24 + 12 * r.record;
        EXPECT_EQ(u32At(rec), r.position);
        EXPECT_EQ(u32At(rec + 4), r.upper);
        EXPECT_EQ(u32At(rec + 8), r.lower);
    }
}

TEST(ColorTable24Record, RoundTripOfEveryField)
{
    colour::ColorTable24 t;
    t.reserved = 0xDEADBEEF;
    t.biomorph = 0x00123456;
    t.filaments = 0x00ABCDEF;
    t.leadIn = {7, 8, 9};
    for (int i = 0; i < 102; ++i)
        t.records[size_t(i)] = {uint32_t(i * 1000003u), uint32_t(i * 77u), uint32_t(0xFF000000u + i)};
    const colour::ColorTable24Bytes b = colour::encodeColorTable24(t);
    EXPECT_EQ(colour::decodeColorTable24(b.data()), t);
}

}  // namespace
