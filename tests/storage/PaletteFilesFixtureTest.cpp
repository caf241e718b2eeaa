// Palette and table files written by tests/data/palettes/make_fixtures.py straight from the documented
// layouts (python struct, not this program's encoder): the loaders must read them, and the encoders
// must produce the same bytes apart from the program's own identification text.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "colour/ColorTable24.h"
#include "colour/Palette.h"
#include "storage/PaletteFiles.h"

namespace {

const std::string dataDir = std::string(VOREX_TEST_DATA) + "/palettes/";

std::vector<uint8_t> readBytes(const std::string& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

colour::PaletteEntry ramp(int i, uint8_t flags)
{
    return {uint8_t(i), uint8_t(255 - i), uint8_t((i * 3) & 255), flags};
}

// Equal except bytes 0x18..0x2D, the third identification text (the program's own).
void expectSameFile(const std::vector<uint8_t>& ours, const std::vector<uint8_t>& fixture)
{
    ASSERT_EQ(ours.size(), fixture.size());
    for (size_t i = 0; i < ours.size(); ++i) {
        if (i >= 0x18 && i < 0x2D)
            continue;
        ASSERT_EQ(ours[i], fixture[i]) << "byte " << i;
    }
}

TEST(PaletteFilesFixture, P8)
{
    colour::Palette p;
    std::string name;
    ASSERT_TRUE(storage::LoadPalette8(p, name, dataDir + "ramp.p8", storage::PaletteFormat::P8).ok);
    EXPECT_EQ(name, "ramp");
    EXPECT_EQ(p.version, 768);
    EXPECT_EQ(p.count, 256);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(p.entries[size_t(i)], ramp(i, uint8_t(i & 1))) << i;
    expectSameFile(storage::encodeP8File(p, 45292.5), readBytes(dataDir + "ramp.p8"));
}

TEST(PaletteFilesFixture, ActWithTrailer)
{
    colour::Palette p;
    std::string name;
    ASSERT_TRUE(storage::LoadPalette8(p, name, dataDir + "ramp772.act", storage::PaletteFormat::Act).ok);
    EXPECT_EQ(name, "ramp772");
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(p.entries[size_t(i)], ramp(i, 0)) << i;
    std::vector<uint8_t> fixture = readBytes(dataDir + "ramp772.act");
    fixture.resize(768);  // without the trailer
    EXPECT_EQ(storage::encodeActFile(p), fixture);
}

TEST(PaletteFilesFixture, P24)
{
    colour::ColorTable24 t;
    std::string name;
    ASSERT_TRUE(storage::LoadTable24(t, name, dataDir + "two.p24", storage::TableFormat::P24).ok);
    EXPECT_EQ(name, "two");
    EXPECT_EQ(t.biomorph, 0x00102030u);
    EXPECT_EQ(t.filaments, 0x00405060u);
    EXPECT_EQ(t.records[0], (colour::BoundaryRec{1, 0x0000FFFF, 0}));
    EXPECT_EQ(t.records[1], (colour::BoundaryRec{50, 0x000000FF, 0x00C0C0C0}));
    EXPECT_EQ(t.records[2], colour::BoundaryRec{});
    EXPECT_EQ(t.records[99], colour::BoundaryRec{});
    EXPECT_EQ(t.records[100], (colour::BoundaryRec{5000, 0, 0x00C0C0FF}));
    EXPECT_EQ(t.records[101], (colour::BoundaryRec{0xFFFFFFFF, 0, 0}));
    expectSameFile(storage::encodeP24File(t, 45292.5), readBytes(dataDir + "two.p24"));
}

}  // namespace
