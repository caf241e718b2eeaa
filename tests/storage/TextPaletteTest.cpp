// Palettes imported from text files: ".map" (one "R G B" line per entry) and GIMP ".gpl". Entry 0 is
// black, fewer than 256 colours repeat in order, more are cut at 256, and every malformed file is
// refused through LoadPalette8 with the palette and name left as they were.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "colour/Palette.h"
#include "storage/PaletteFiles.h"
#include "StorageTestUtil.h"

namespace {

using colour::PaletteEntry;
using storage::PaletteFormat;

void writeText(const std::string& path, const std::string& text)
{
    storage_test::writeAll(path, std::vector<uint8_t>(text.begin(), text.end()));
}

// Lines "i (2i mod 256) (255 - i)" for i = first .. first + count - 1.
std::string rampLines(int first, int count, const char* tail = "")
{
    std::string text;
    for (int i = first; i < first + count; ++i)
        text += std::to_string(i % 256) + " " + std::to_string((2 * i) % 256) + " " + std::to_string(255 - i % 256)
                + tail + "\n";
    return text;
}

PaletteEntry rampEntry(int i)
{
    return {uint8_t(i % 256), uint8_t((2 * i) % 256), uint8_t(255 - i % 256), 0};
}

struct GoodCase {
    const char* label;
    PaletteFormat format;
    std::string text;
    // Expected entries 1..255 as the file's colours repeated: colour(k) for entry i is colours[i % n].
    std::vector<PaletteEntry> colours;
};

std::vector<GoodCase> goodCases()
{
    std::vector<PaletteEntry> ramp256, ramp3, red;
    for (int i = 0; i < 256; ++i)
        ramp256.push_back(rampEntry(i));
    for (int i = 0; i < 3; ++i)
        ramp3.push_back(rampEntry(i + 10));
    red.push_back({255, 0, 0, 0});
    std::vector<PaletteEntry> named = {{255, 0, 0, 0}, {0, 128, 255, 0}, {7, 8, 9, 0}};
    return {
        {"map: 256 lines", PaletteFormat::Map, rampLines(0, 256), ramp256},
        {"map: 300 lines are cut at 256", PaletteFormat::Map, rampLines(0, 300), ramp256},
        {"map: a line past the 256th is not read", PaletteFormat::Map, rampLines(0, 256) + "not a colour\n", ramp256},
        {"map: 3 lines repeat", PaletteFormat::Map, rampLines(10, 3), ramp3},
        {"map: 1 line fills everything", PaletteFormat::Map, "255 0 0\n", red},
        {"map: text after the third number, CRLF, blank lines, no final newline", PaletteFormat::Map,
         "  255\t0   0  default red\r\n\r\n0 128 255 ; comment\r\n007 8 9", named},
        {"gpl: header, name, columns, comments, names", PaletteFormat::Gpl,
         "GIMP Palette\nName: Sample\nColumns: 16\n#\n# a comment\n255   0   0\tRed\n  0 128 255\tSky blue\n"
         "7 8 9\n",
         named},
        {"gpl: byte order mark and CRLF", PaletteFormat::Gpl, "\xEF\xBB\xBFGIMP Palette\r\n255 0 0 Untitled\r\n",
         red},
        {"gpl: 256 colours", PaletteFormat::Gpl, "GIMP Palette\n" + rampLines(0, 256, " Colour"), ramp256},
    };
}

TEST(TextPaletteTest, GoodFilesFillEveryEntryWithEntryZeroBlack)
{
    storage_test::TempDir dir("text-palette");
    for (const GoodCase& c : goodCases()) {
        SCOPED_TRACE(c.label);
        const std::string path = dir.file(c.format == PaletteFormat::Map ? "imported.map" : "imported.gpl");
        writeText(path, c.text);
        colour::Palette palette = colour::systemPalette();
        palette.version = 1;  // the loaded palette must set version and count itself
        palette.count = 2;
        std::string name = "before";
        const storage::ColourFileResult r = storage::LoadPalette8(palette, name, path, c.format);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(name, "imported");
        EXPECT_EQ(r.paletteDirectory, dir.path().string());
        EXPECT_EQ(palette.version, colour::Palette::Version);
        EXPECT_EQ(palette.count, colour::Palette::Count);
        EXPECT_EQ(palette.entries[0], (PaletteEntry{0, 0, 0, 0}));
        for (size_t i = 1; i < 256; ++i) {
            SCOPED_TRACE("entry " + std::to_string(i));
            ASSERT_EQ(palette.entries[i], c.colours[i % c.colours.size()]);
        }
    }
}

TEST(TextPaletteTest, MalformedFilesAreRefusedAndChangeNothing)
{
    struct BadCase {
        const char* label;
        PaletteFormat format;
        std::string text;
    };
    const std::vector<BadCase> cases = {
        {"map: empty file", PaletteFormat::Map, ""},
        {"map: blank lines only", PaletteFormat::Map, "\n  \n\r\n"},
        {"map: two numbers", PaletteFormat::Map, "1 2 3\n4 5\n"},
        {"map: 256", PaletteFormat::Map, "1 2 3\n256 0 0\n"},
        {"map: huge number", PaletteFormat::Map, "1 2 99999999999999999999\n"},
        {"map: negative", PaletteFormat::Map, "1 -2 3\n"},
        {"map: letters", PaletteFormat::Map, "red green blue\n"},
        {"map: decimal point", PaletteFormat::Map, "1 2 3.5\n"},
        {"map: comma separated", PaletteFormat::Map, "1,2,3\n"},
        {"map: a malformed line among good ones", PaletteFormat::Map, rampLines(0, 100) + "1 2 x\n" + rampLines(0, 10)},
        {"map: a gpl header is not a colour", PaletteFormat::Map, "GIMP Palette\n1 2 3\n"},
        {"gpl: no header", PaletteFormat::Gpl, "255 0 0 Red\n"},
        {"gpl: header not first", PaletteFormat::Gpl, "# comment\nGIMP Palette\n255 0 0 Red\n"},
        {"gpl: other header", PaletteFormat::Gpl, "JASC-PAL\n255 0 0\n"},
        {"gpl: header only", PaletteFormat::Gpl, "GIMP Palette\nName: Empty\nColumns: 4\n# nothing\n"},
        {"gpl: empty file", PaletteFormat::Gpl, ""},
        {"gpl: value outside 0..255", PaletteFormat::Gpl, "GIMP Palette\n255 0 300 Too blue\n"},
        {"gpl: malformed colour line", PaletteFormat::Gpl, "GIMP Palette\n255 0\n"},
    };
    storage_test::TempDir dir("text-palette-bad");
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string path = dir.file(c.format == PaletteFormat::Map ? "bad.map" : "bad.gpl");
        writeText(path, c.text);
        colour::Palette palette = colour::systemPalette();
        const colour::Palette before = palette;
        std::string name = "before";
        const storage::ColourFileResult r = storage::LoadPalette8(palette, name, path, c.format);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.paletteDirectory.empty());
        EXPECT_EQ(palette, before);
        EXPECT_EQ(name, "before");
    }
}

TEST(TextPaletteTest, MissingFileIsRefused)
{
    storage_test::TempDir dir("text-palette-missing");
    for (PaletteFormat format : {PaletteFormat::Map, PaletteFormat::Gpl}) {
        colour::Palette palette = colour::systemPalette();
        std::string name = "before";
        EXPECT_FALSE(storage::LoadPalette8(palette, name, dir.file("none.map"), format).ok);
        EXPECT_FALSE(storage::LoadPalette8(palette, name, dir.path().string(), format).ok);  // a directory
        EXPECT_EQ(palette, colour::systemPalette());
        EXPECT_EQ(name, "before");
    }
}

TEST(TextPaletteTest, FormatFollowsTheExtension)
{
    EXPECT_EQ(storage::paletteFormatFromPath("a/b.map"), PaletteFormat::Map);
    EXPECT_EQ(storage::paletteFormatFromPath("b.GPL"), PaletteFormat::Gpl);
    EXPECT_EQ(storage::paletteFormatFromPath("b.p8"), PaletteFormat::P8);
    EXPECT_EQ(storage::paletteFormatFromPath("b.Act"), PaletteFormat::Act);
    EXPECT_EQ(storage::paletteFormatFromPath("b.mbt"), PaletteFormat::Document);
    EXPECT_EQ(storage::paletteFormatFromPath("b.p24"), std::nullopt);
    EXPECT_EQ(storage::paletteFormatFromPath("map"), std::nullopt);
}

TEST(TextPaletteTest, OnlyTextFormatsDecodeAsText)
{
    std::istringstream in("1 2 3\n");
    colour::Palette palette = colour::systemPalette();
    EXPECT_FALSE(storage::decodeTextPalette(in, PaletteFormat::Act, palette));
    EXPECT_EQ(palette, colour::systemPalette());
}

}  // namespace
