// Palette and table files written by tests/data/palettes/make_fixtures.py straight from the documented
// layouts (python struct, not this program's encoder): the loaders must read them, and the encoders
// must produce the same bytes. tests/data/document.mbt (written by tests/data/make_fixture.py)
// gives a palette and a table taken from a document.
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

void expectSameFile(const std::vector<uint8_t>& ours, const std::vector<uint8_t>& fixture)
{
    ASSERT_EQ(ours.size(), fixture.size());
    for (size_t i = 0; i < ours.size(); ++i)
        ASSERT_EQ(ours[i], fixture[i]) << "byte " << i;
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

TEST(PaletteFilesFixture, TakenFromTheDocumentFixture)
{
    const std::string doc = std::string(VOREX_TEST_DATA) + "/document.mbt";
    colour::Palette p = colour::systemPalette();
    std::string name;
    storage::ColourFileResult r = storage::LoadPalette8(p, name, doc, storage::PaletteFormat::Document);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(name, "document");
    EXPECT_TRUE(r.paletteDirectory.empty());
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(p.entries[size_t(i)], (colour::PaletteEntry{uint8_t(i), uint8_t(255 - i), uint8_t((i * 7) & 255), 0}))
            << i;

    colour::ColorTable24 t;
    name.clear();
    ASSERT_TRUE(storage::LoadTable24(t, name, doc, storage::TableFormat::Document).ok);
    EXPECT_EQ(name, "document");
    EXPECT_EQ(t.biomorph, 0x00112233u);
    EXPECT_EQ(t.filaments, 0x00445566u);
    EXPECT_EQ(t.leadIn, (colour::BoundaryRec{0, 0x00010203, 0x00040506}));
    EXPECT_EQ(t.records[1], (colour::BoundaryRec{100, 0x000000FF, 0x0000FF00}));
    EXPECT_EQ(t.records[2], (colour::BoundaryRec{500, 0x00FF0000, 0x00808080}));
    EXPECT_EQ(t.records[3], colour::BoundaryRec{});
    EXPECT_EQ(t.records[101].upper, 1u);
    EXPECT_EQ(t.records[101].lower, 2u);

    // The document is not a palette or table file.
    EXPECT_FALSE(storage::LoadPalette8(p, name, doc, storage::PaletteFormat::P8).ok);
    EXPECT_FALSE(storage::LoadTable24(t, name, doc, storage::TableFormat::P24).ok);
}

}  // namespace
