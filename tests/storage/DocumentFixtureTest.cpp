// Loads tests/data/document.mbt, a document written by tests/data/make_fixture.py (python3 struct and
// zlib) from the file layout alone, and checks every field; then saves it again and compares bytes.

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "StorageTestUtil.h"
#include "storage/Document.h"
#include "storage/DocumentHeader.h"

namespace {

using storage_test::readAll;
using storage_test::TempDir;

const std::string Fixture = std::string(VOREX_TEST_DATA) + "/document.mbt";
constexpr int W = 7, H = 5;
constexpr uint16_t MaxIter = 1234;

// The fixture's pixel values, as make_fixture.py defines them.
uint16_t fixtureValue(int row, int col)
{
    if ((row + col) % 4 == 0)
        return 65535;
    return uint16_t((row * W + col) * 37 % (MaxIter + 66));
}

class DocumentFixtureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(storage::LoadDocument(f, Fixture, nullptr, {.availableMemory = 1u << 30}), storage::LoadResult::Ok);
    }
    document::TFractal f;
};

TEST_F(DocumentFixtureTest, EveryHeaderFieldIsRead)
{
    const engine::FractalParams& p = f.Params;
    EXPECT_EQ(p.Formula, 3);
    EXPECT_EQ(p.Width, W);
    EXPECT_EQ(p.Height, H);
    EXPECT_EQ(f.ResumeLine, 3);
    EXPECT_EQ(p.MaxIter, MaxIter);
    EXPECT_EQ(f.RetoucheIter, MaxIter);
    EXPECT_EQ(f.BaseMaxIter, 1000);
    EXPECT_EQ(int(p.FractalType), 7);
    EXPECT_EQ(p.Algorithm, 2);
    EXPECT_EQ(p.CentreX, -0.743643887037158);
    EXPECT_EQ(p.CentreY, 0.2500000012345678);
    EXPECT_EQ(p.Step, 1.5e-9);
    EXPECT_EQ(f.LeftX, -0.7436438922871580);
    EXPECT_EQ(f.TopY, 0.2500000037500000);
    EXPECT_EQ(p.ParamCr, -0.4);
    EXPECT_EQ(p.ParamCi, 0.6);
    EXPECT_EQ(p.PertZr, 1e-5);
    EXPECT_EQ(p.PertZi, -2e-310);
    EXPECT_EQ(f.PixelFormat, engine::PixelFormat24);
    EXPECT_EQ(f.BoundaryType, colour::BoundaryKind::Sqrt);
    EXPECT_EQ(f.Multiplier, 37);
    for (int i = 0; i < 256; ++i) {
        SCOPED_TRACE(i);
        const colour::PaletteEntry expected{uint8_t(i), uint8_t(255 - i), uint8_t((i * 7) & 255), 0};
        ASSERT_EQ(f.Palette.entries[size_t(i)], expected);
    }
    EXPECT_EQ(f.BiomorphIndex, 200);

    const colour::ColorTable24& t = f.ColorTable24;
    EXPECT_EQ(t.biomorph, 0x00112233u);
    EXPECT_EQ(t.filaments, 0x00445566u);
    EXPECT_EQ(t.leadIn, (colour::BoundaryRec{0, 0x00010203, 0x00040506}));
    EXPECT_EQ(t.records[0], (colour::BoundaryRec{1, 0x0000FFFF, 0}));
    EXPECT_EQ(t.records[1], (colour::BoundaryRec{100, 0x000000FF, 0x0000FF00}));
    EXPECT_EQ(t.records[2], (colour::BoundaryRec{500, 0x00FF0000, 0x00808080}));
    EXPECT_EQ(t.records[3], colour::BoundaryRec{});
    EXPECT_EQ(t.records[100], (colour::BoundaryRec{MaxIter, 0x00102030, 0x00405060}));
    EXPECT_EQ(t.records[101], (colour::BoundaryRec{MaxIter, 1, 2}));

    EXPECT_EQ(p.EscapeLevelSq, 400);
    EXPECT_EQ(p.Delta, 17);
    EXPECT_FALSE(f.UniformIter);
    EXPECT_EQ(f.Azimuth, 271);
    EXPECT_EQ(f.Elevation, 45);
    EXPECT_EQ(f.ZScale, 120);
    EXPECT_EQ(f.ZLimit, 999);
    EXPECT_EQ(f.FocalLength, 1500);
    EXPECT_EQ(f.VerticalShift, -40);
    EXPECT_EQ(f.Inverted3D, 0);
    EXPECT_EQ(f.Perspective, 1);
    EXPECT_EQ(f.TableMode, colour::TableModeKind::Calculated);
    EXPECT_EQ(f.ValueFunction, 3);
    EXPECT_EQ(f.HueOffset, 200);
    EXPECT_EQ(f.ValueMult, 321);
    EXPECT_EQ(f.HueFunction, 4);
    EXPECT_EQ(f.HueMult, 77);
    EXPECT_EQ(p.Bailout, 2);
    EXPECT_EQ(p.FunctionIndex, 3);
    EXPECT_EQ(p.NewtonP, 5);

    const struct {
        int slot;
        document::Marker expected;
    } markers[] = {
        {1, {true, document::MarkerShape(2), 3, 4, "centre"}},
        {2, {false, document::MarkerShape(0), 0, 0, ""}},
        {3, {true, document::MarkerShape(0), 0, 0, std::string(79, 'L') + "\xC3\xA9"}},
        {5, {false, document::MarkerShape(0), -1, 9, ""}},
        {15, {true, document::MarkerShape(4), 6, 0, "derni\xC3\xA8re \xE2\x82\xAC"}},
    };
    for (const auto& m : markers) {
        SCOPED_TRACE(m.slot);
        EXPECT_EQ(f.Markers[size_t(m.slot - 1)], m.expected);
    }
    EXPECT_EQ(f.Comment, "Fractale d\xE2\x80\x99\xC3\xA9t\xC3\xA9 \xE2\x80\x94 test");

    EXPECT_EQ(f.FileName, "document");
    EXPECT_FALSE(f.Modified);
    EXPECT_EQ(f.ImageParams, f.Params) << "the loaded parameters are committed as the image's";
}

TEST_F(DocumentFixtureTest, PixelValuesAreReadAndColoured)
{
    ASSERT_EQ(f.Data.width(), W);
    ASSERT_EQ(f.Data.height(), H);
    ASSERT_EQ(f.Bitmap.Width, W);
    ASSERT_EQ(f.Bitmap.Height, H);
    ASSERT_EQ(f.TableR.size(), size_t(MaxIter) + 1);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            SCOPED_TRACE(testing::Message() << "row " << y << " col " << x);
            const uint16_t v = fixtureValue(y, x);
            ASSERT_EQ(f.Data.at(y, x), v);
            // 24-bit rows are blue, green, red; in-range values come from the colour tables.
            if (v != engine::Inside && v < MaxIter) {
                const uint8_t* px = f.Bitmap.row(y) + 3 * x;
                EXPECT_EQ(px[0], f.TableB[v]);
                EXPECT_EQ(px[1], f.TableG[v]);
                EXPECT_EQ(px[2], f.TableR[v]);
            }
        }
    // Level+Distance keeps MaxIter + 1 saved-orbit entries.
    EXPECT_EQ(f.XOrbit.size(), size_t(MaxIter) + 1);
}

TEST_F(DocumentFixtureTest, SavingGivesTheSameBytesButDateAndUser)
{
    TempDir dir("fixture");
    const std::string copy = dir.file("copy.mbt");
    storage::SaveContext ctx;
    ctx.savedAt = 46000.25;
    ctx.userName = "somebody-else";
    ASSERT_TRUE(storage::SaveDocument(f, copy, ctx));

    std::vector<uint8_t> original = readAll(Fixture);
    std::vector<uint8_t> saved = readAll(copy);
    ASSERT_EQ(saved.size(), original.size());
    // The save time (0x528..0x52F) and the user name (0xA1B..0xA2F) differ by design.
    for (size_t i = 0x528; i < 0x530; ++i)
        saved[i] = original[i] = 0;
    for (size_t i = 0xA1B; i < 0xA30; ++i)
        saved[i] = original[i] = 0;
    for (size_t i = 0; i < saved.size(); ++i)
        ASSERT_EQ(int(saved[i]), int(original[i])) << "first difference at offset 0x" << std::hex << i;

    // And the new stamp is where it belongs.
    storage::TDataFileHeader header;
    ASSERT_TRUE(storage::ReadHeaderRecord(copy, header));
    double when = 0;
    std::memcpy(&when, header.bytes.data() + 0x528, 8);
    EXPECT_EQ(when, 46000.25);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(header.bytes.data()) + 0xA1C, header.bytes[0xA1B]),
              "somebody-else");
}

TEST(DocumentHeaderPieces, PositionPaletteAndTableOfTheFixture)
{
    storage::HeaderPosition pos;
    ASSERT_TRUE(storage::ReadHeaderPosition(Fixture, pos));
    EXPECT_EQ(pos.CentreX, -0.743643887037158);
    EXPECT_EQ(pos.CentreY, 0.2500000012345678);
    EXPECT_EQ(pos.FractalType, 7);
    EXPECT_EQ(pos.ParamCr, -0.4);
    EXPECT_EQ(pos.ParamCi, 0.6);

    colour::Palette palette;
    ASSERT_TRUE(storage::ReadHeaderPalette(Fixture, palette));
    EXPECT_EQ(palette.entries[10], (colour::PaletteEntry{10, 245, 70, 0}));
    colour::ColorTable24 table;
    ASSERT_TRUE(storage::ReadHeaderTable24(Fixture, table));
    EXPECT_EQ(table.records[2].position, 500u);

    TempDir dir("pieces");
    std::vector<uint8_t> bytes = readAll(Fixture);
    bytes[0] = 0x04;  // wrong magic: values still returned, result false
    storage_test::writeAll(dir.file("bad.mbt"), bytes);
    EXPECT_FALSE(storage::ReadHeaderPalette(dir.file("bad.mbt"), palette));
    EXPECT_EQ(palette.entries[10], (colour::PaletteEntry{10, 245, 70, 0}));
    bytes.resize(1000);  // too short for a header
    bytes[0] = 0x03;
    storage_test::writeAll(dir.file("short.mbt"), bytes);
    EXPECT_FALSE(storage::ReadHeaderTable24(dir.file("short.mbt"), table));
    EXPECT_FALSE(storage::ReadHeaderPosition(dir.file("missing.mbt"), pos));
}

}  // namespace
