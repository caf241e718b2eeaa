// The colour options of "vorex-cli new" and "vorex-cli export": a palette or table file and the boundary
// and calculation settings. Exported pictures are decoded by netpbm and compared, pixel by pixel, with
// the given palette or table applied to the document's values; "new" is read back from its document.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "colour/ColorTable24.h"
#include "colour/ColourTables.h"
#include "colour/Palette.h"
#include "storage/Document.h"
#include "storage/PaletteFiles.h"
#include "tests/storage/ExportTestUtil.h"
#include "tests/storage/StorageTestUtil.h"

using namespace export_test;

namespace {

constexpr int Width = 61, Height = 43, MaxIter = 60;

// Three colours, repeated over entries 1..255 by the importer; entry 0 black.
const char* const MapText = "250 10 20 first\n30 240 40\n50 60 230\n";
const std::array<std::array<uint8_t, 3>, 3> MapColours = {{{250, 10, 20}, {30, 240, 40}, {50, 60, 230}}};

// A table with four boundaries and its own biomorph and filaments colours; its end record sits far above
// the documents' iteration limit, which the options bring down to it.
colour::ColorTable24 sampleTable()
{
    colour::ColorTable24 t;
    for (auto& r : t.records)
        r = {colour::FreePosition, colour::FreeColour, colour::FreeColour};
    t.biomorph = colour::rgbToColour(0x102030);
    t.filaments = colour::rgbToColour(0x405060);
    t.records[0] = {1, colour::rgbToColour(0xFFFFFF), 0};
    t.records[1] = {5, colour::rgbToColour(0xFF0000), colour::rgbToColour(0x000000)};
    t.records[2] = {12, colour::rgbToColour(0x00FF00), colour::rgbToColour(0x8080FF)};
    t.records[3] = {20, colour::rgbToColour(0x0000FF), colour::rgbToColour(0xFFFF00)};
    t.records[4] = {40, colour::rgbToColour(0x00FFFF), colour::rgbToColour(0xFF00FF)};
    t.records[100] = {9000, 0, colour::rgbToColour(0x20FF20)};
    t.records[101] = {9000, 0, 0};
    return t;
}

class ColourCli : public ::testing::Test {
protected:
    CommandResult cli(const std::string& args) { return run(std::string(VOREX_CLI) + " " + args + " --quiet", true); }

    std::string document(int depth, const std::string& extra = "")
    {
        const std::string path = dir.file("d" + std::to_string(depth) + ".mbt");
        const CommandResult r = cli("new --size 61x43 --iter 60 --depth " + std::to_string(depth) + " " + extra
                                    + " -o " + quoted(path));
        EXPECT_EQ(r.status, 0) << r.out;
        return path;
    }
    std::string mapFile()
    {
        const std::string path = dir.file("x.map");
        storage_test::writeAll(path, std::vector<uint8_t>(MapText, MapText + std::string(MapText).size()));
        return path;
    }
    std::string tableFile()
    {
        const std::string path = dir.file("t.p24");
        std::string name;
        EXPECT_TRUE(storage::SaveTable24(sampleTable(), path, name).ok);
        return path;
    }

    storage_test::TempDir dir{"colourcli"};
};

}  // namespace

TEST_F(ColourCli, ExportWithAMapPaletteColoursTheDocumentsValuesWithIt)
{
    VOREX_NEED_TOOLS("/usr/bin/pngtopnm");
    const std::string doc = document(8);
    const std::vector<uint8_t> before = storage_test::readAll(doc);
    const std::string out = dir.file("p.png");
    const CommandResult c = cli("export " + quoted(doc) + " -o " + quoted(out) + " --palette " + quoted(mapFile())
                                + " --biomorph 2");
    ASSERT_EQ(c.status, 0) << c.out;
    EXPECT_EQ(storage_test::readAll(doc), before) << "export changed the document";

    document::TFractal f;
    ASSERT_EQ(storage::LoadDocument(f, doc, nullptr), storage::LoadResult::Ok);
    ASSERT_EQ(f.BoundaryType, colour::BoundaryKind::Linear);
    const Ppm decoded = decode("/usr/bin/pngtopnm", out);
    ASSERT_EQ(decoded.width, Width);
    ASSERT_EQ(decoded.height, Height);
    int inside = 0, zero = 0, differences = 0;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const uint16_t v = f.Data.at(y, x);
            // Linear boundaries: the low byte of the value, inside pixels the biomorph entry.
            const int index = v == 65535 ? 2 : v % 256;
            inside += v == 65535;
            zero += index == 0;
            const std::array<uint8_t, 3> want = index == 0 ? std::array<uint8_t, 3>{0, 0, 0} : MapColours[size_t(index) % 3];
            const uint8_t* got = &decoded.rgb[(size_t(y) * Width + size_t(x)) * 3];
            if (got[0] != want[0] || got[1] != want[1] || got[2] != want[2]) {
                if (differences++ < 3)
                    ADD_FAILURE() << "pixel (" << x << "," << y << ") value " << v << ": got " << int(got[0]) << ","
                                  << int(got[1]) << "," << int(got[2]);
            }
        }
    EXPECT_EQ(differences, 0);
    EXPECT_GT(inside, 0) << "the picture should have inside pixels to check the biomorph entry";
}

TEST_F(ColourCli, ExportWithAP24TableColoursTheDocumentsValuesWithIt)
{
    VOREX_NEED_TOOLS("/usr/bin/pngtopnm", "/usr/bin/tifftopnm");
    const std::string doc = document(24);
    const std::vector<uint8_t> before = storage_test::readAll(doc);
    document::TFractal f;
    ASSERT_EQ(storage::LoadDocument(f, doc, nullptr), storage::LoadResult::Ok);

    // The expected tables: the sample table with its scale ending at the document's iteration limit.
    colour::ColorTable24 table = sampleTable();
    table.records[100].position = table.records[101].position = MaxIter;
    colour::Colour24State expected = f.colour24();
    colour::BuildTableFromBoundaries(expected, table, MaxIter, f.Params.Algorithm);
    ASSERT_EQ(expected.TableR[12], 0);  // the boundary at 12 starts green
    ASSERT_EQ(expected.TableG[12], 255);

    for (const char* name : {"t.png", "t.tif"}) {
        SCOPED_TRACE(name);
        const std::string out = dir.file(name);
        const CommandResult c = cli("export " + quoted(doc) + " -o " + quoted(out) + " --table " + quoted(tableFile()));
        ASSERT_EQ(c.status, 0) << c.out;
        EXPECT_EQ(storage_test::readAll(doc), before) << "export changed the document";
        const Ppm decoded = decode(std::string(name).ends_with(".png") ? "/usr/bin/pngtopnm" : "/usr/bin/tifftopnm", out);
        ASSERT_EQ(decoded.width, Width);
        ASSERT_EQ(decoded.height, Height);
        int differences = 0, inside = 0;
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x) {
                const uint16_t v = f.Data.at(y, x);
                std::array<uint8_t, 3> want;
                if (v == 65535) {
                    ++inside;
                    want = {0x10, 0x20, 0x30};
                } else if (v < MaxIter) {
                    want = {expected.TableR[v], expected.TableG[v], expected.TableB[v]};
                } else {
                    const uint32_t c = f.OutOfRangeColour;
                    want = {colour::colourRed(c), colour::colourGreen(c), colour::colourBlue(c)};
                }
                const uint8_t* got = &decoded.rgb[(size_t(y) * Width + size_t(x)) * 3];
                if (got[0] != want[0] || got[1] != want[1] || got[2] != want[2]) {
                    if (differences++ < 3)
                        ADD_FAILURE() << "pixel (" << x << "," << y << ") value " << v << ": got " << int(got[0])
                                      << "," << int(got[1]) << "," << int(got[2]);
                }
            }
        EXPECT_EQ(differences, 0);
        EXPECT_GT(inside, 0);
    }
}

TEST_F(ColourCli, ExportInCalculatedModeUsesTheCalculationOptions)
{
    VOREX_NEED_TOOLS("/usr/bin/pngtopnm");
    const std::string doc = document(24);
    const std::vector<uint8_t> before = storage_test::readAll(doc);
    const std::string out = dir.file("c.png");
    const CommandResult c = cli("export " + quoted(doc) + " -o " + quoted(out)
                                + " --table-mode calculated --hue-function 1 --hue-mult 7 --hue-offset 30"
                                  " --value-function 4 --value-mult 300");
    ASSERT_EQ(c.status, 0) << c.out;
    EXPECT_EQ(storage_test::readAll(doc), before);
    document::TFractal f;
    ASSERT_EQ(storage::LoadDocument(f, doc, nullptr), storage::LoadResult::Ok);
    colour::Colour24State expected = f.colour24();
    expected.setCalcParams({30, 300, 1, 4, 7});
    colour::BuildTableCalculated(expected, MaxIter, f.Params.Algorithm);
    const Ppm decoded = decode("/usr/bin/pngtopnm", out);
    ASSERT_EQ(decoded.width, Width);
    int differences = 0, checked = 0;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const uint16_t v = f.Data.at(y, x);
            if (v >= MaxIter)
                continue;
            ++checked;
            const uint8_t* got = &decoded.rgb[(size_t(y) * Width + size_t(x)) * 3];
            differences += got[0] != expected.TableR[v] || got[1] != expected.TableG[v] || got[2] != expected.TableB[v];
        }
    EXPECT_GT(checked, 100);
    EXPECT_EQ(differences, 0);
}

TEST_F(ColourCli, NewStoresTheColourOptionsInTheDocument)
{
    const std::string gpl = dir.file("g.gpl");
    const std::string gplText = "GIMP Palette\nName: two\n# c\n1 2 3 a\n200 100 50 b\n";
    storage_test::writeAll(gpl, std::vector<uint8_t>(gplText.begin(), gplText.end()));
    const std::string doc8 = document(8, "--palette " + quoted(gpl) + " --boundary sqrt --multiplier 20 --biomorph 9");
    document::TFractal f;
    ASSERT_EQ(storage::LoadDocument(f, doc8, nullptr), storage::LoadResult::Ok);
    EXPECT_EQ(f.BoundaryType, colour::BoundaryKind::Sqrt);
    EXPECT_EQ(f.Multiplier, 20);
    EXPECT_EQ(f.BiomorphIndex, 9);
    EXPECT_EQ(f.Palette.entries[0], (colour::PaletteEntry{0, 0, 0, 0}));
    EXPECT_EQ(f.Palette.entries[1], (colour::PaletteEntry{200, 100, 50, 0}));
    EXPECT_EQ(f.Palette.entries[2], (colour::PaletteEntry{1, 2, 3, 0}));
    EXPECT_EQ(f.Palette.entries[255], (colour::PaletteEntry{200, 100, 50, 0}));

    const std::string doc24 = document(24, "--table " + quoted(tableFile())
                                               + " --table-mode calculated --hue-function 2 --value-function 5"
                                                 " --hue-offset 359 --hue-mult 500 --value-mult 65535");
    document::TFractal g;
    ASSERT_EQ(storage::LoadDocument(g, doc24, nullptr), storage::LoadResult::Ok);
    colour::ColorTable24 table = sampleTable();
    table.records[100].position = table.records[101].position = MaxIter;
    EXPECT_EQ(g.ColorTable24, table);
    EXPECT_EQ(g.TableMode, colour::TableModeKind::Calculated);
    EXPECT_EQ(g.calcParams(), (colour::CalcParams{359, 65535, 2, 5, 500}));
    // The stored picture is coloured by the calculated tables.
    colour::Colour24State expected = g.colour24();
    colour::BuildTableCalculated(expected, MaxIter, g.Params.Algorithm);
    EXPECT_EQ(g.TableR, expected.TableR);
    EXPECT_EQ(g.TableG, expected.TableG);
}

TEST_F(ColourCli, BadValuesExit2NamingTheOptionAndUnreadableFilesExit1)
{
    const std::string doc = document(8);
    const std::vector<uint8_t> before = storage_test::readAll(doc);
    const std::string badMap = dir.file("bad.map");
    storage_test::writeAll(badMap, {'1', ' ', '2', '\n'});
    const std::string notP24 = dir.file("fake.p24");
    storage_test::writeAll(notP24, std::vector<uint8_t>(1804, 0));
    struct Row {
        std::string options;
        int status;
        std::string message;
    } rows[] = {
        {"--multiplier 0", 2, "--multiplier"},
        {"--multiplier 501", 2, "--multiplier"},
        {"--biomorph 256", 2, "--biomorph"},
        {"--biomorph -1", 2, "--biomorph"},
        {"--boundary cubic", 2, "--boundary"},
        {"--table-mode both", 2, "--table-mode"},
        {"--hue-function 6", 2, "--hue-function"},
        {"--value-function -1", 2, "--value-function"},
        {"--hue-offset 360", 2, "--hue-offset"},
        {"--hue-mult 0", 2, "--hue-mult"},
        {"--hue-mult 501", 2, "--hue-mult"},
        {"--value-mult 65536", 2, "--value-mult"},
        {"--value-mult 0", 2, "--value-mult"},
        {"--palette x.txt", 2, "--palette"},
        {"--table x.p8", 2, "--table"},
        {"--palette", 2, "--palette"},
        {"--palette " + quoted(badMap), 1, "bad.map: Error accessing to disk"},
        {"--palette " + quoted(dir.file("missing.gpl")), 1, "missing.gpl: Error accessing to disk"},
        {"--table " + quoted(notP24), 1, "fake.p24: Error accessing to disk"},
    };
    for (const Row& r : rows) {
        for (const std::string& command : {"export " + quoted(doc) + " -o " + quoted(dir.file("o.png")),
                                          "new --size 8x8 -o " + quoted(dir.file("o.mbt"))}) {
            SCOPED_TRACE(command + " " + r.options);
            const CommandResult c = cli(command + " " + r.options);
            EXPECT_EQ(c.status, r.status) << c.out;
            EXPECT_NE(c.out.find(r.message), std::string::npos) << c.out;
            EXPECT_FALSE(std::filesystem::exists(dir.file("o.png")));
            EXPECT_FALSE(std::filesystem::exists(dir.file("o.mbt")));
        }
    }
    EXPECT_EQ(storage_test::readAll(doc), before);
}
