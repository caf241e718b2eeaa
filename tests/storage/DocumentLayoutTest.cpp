// The bytes a save writes, checked at the offsets of the document layout, and the pixel data
// decompressed with zlib's own uncompress().

#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <zlib.h>

#include "DocumentTestUtil.h"
#include "StorageTestUtil.h"
#include "colour/ColorTable24.h"
#include "colour/Palette.h"
#include "storage/DocumentHeader.h"
#include "storage/Extended.h"

namespace {

using namespace storage_test;

constexpr size_t HeaderSize = 4328;

std::vector<uint8_t> savedBytes(document::TFractal& f, const TempDir& dir)
{
    const std::string path = dir.file("known.mbt");
    storage::SaveContext ctx;
    ctx.savedAt = 45123.75;
    ctx.userName = "tester";
    EXPECT_TRUE(storage::SaveDocument(f, path, ctx));
    return readAll(path);
}

std::string shortString(const std::vector<uint8_t>& b, size_t at)
{
    return std::string(reinterpret_cast<const char*>(b.data()) + at + 1, b[at]);
}

TEST(DocumentLayoutTest, HeaderFieldsAtTheirOffsets)
{
    document::TFractal f;
    makeKnownDocument(f);
    TempDir dir("layout");
    const std::vector<uint8_t> b = savedBytes(f, dir);
    ASSERT_GT(b.size(), HeaderSize);

    EXPECT_EQ(b[0], 0x03);
    EXPECT_EQ(b[1], 0xD9);
    EXPECT_EQ(shortString(b, 0x002), "Vorex");
    EXPECT_EQ(shortString(b, 0x00D), "--V1.8--");
    EXPECT_EQ(shortString(b, 0x018), "Vorex fractal file");
    EXPECT_EQ(le16(b, 0x02E), 1);

    const struct {
        const char* name;
        size_t at;
        int64_t expected;
        int size;
    } ints[] = {
        {"Formula", 0x093, 2, 1},        {"Width", 0x094, 23, 4},         {"Height", 0x098, 17, 4},
        {"ResumeLine", 0x09C, 5, 4},     {"MaxIter", 0x0A4, 777, 2},      {"BaseMaxIter", 0x0A6, 600, 2},
        {"FractalType", 0x0A8, 1, 1},    {"Algorithm", 0x0A9, 3, 1},      {"PixelFormat", 0x118, 3, 1},
        {"BoundaryType", 0x119, 1, 1},   {"Multiplier", 0x11C, 44, 4},    {"BiomorphIndex", 0x524, 99, 4},
        {"EscapeLevelSq", 0xA30, 4096, 2}, {"Delta", 0xA34, 321, 4},      {"UniformIter", 0xA38, 0, 1},
        {"Azimuth", 0xA3C, 10, 4},       {"Elevation", 0xA40, 80, 4},     {"ZScale", 0xA44, 300, 4},
        {"ZLimit", 0xA48, 700, 4},       {"FocalLength", 0xA4C, 2000, 4}, {"VerticalShift", 0xA50, -500, 4},
        {"Inverted3D", 0xA54, 0, 1},     {"Perspective", 0xA55, 0, 1},    {"TableMode", 0xA80, 1, 1},
        {"ValueFunction", 0xA81, 2, 1},  {"HueOffset", 0xA84, 123, 4},    {"ValueMult", 0xA88, 4567, 4},
        {"HueFunction", 0xA8C, 5, 1},    {"HueMult", 0xA90, 250, 4},      {"Bailout", 0xA94, 5, 1},
        {"FunctionIndex", 0xA95, 4, 1},  {"NewtonP", 0xA98, 9, 4},
    };
    for (const auto& row : ints) {
        SCOPED_TRACE(row.name);
        const int64_t got = row.size == 1 ? b[row.at] : row.size == 2 ? le16(b, row.at) : le32(b, row.at);
        EXPECT_EQ(got, row.expected);
    }

    const struct {
        const char* name;
        size_t at;
        double expected;
    } reals[] = {
        {"CentreX", 0x0AA, -1.25}, {"CentreY", 0x0B4, 0.1},        {"Step", 0x0BE, 0.003},
        {"LeftX", 0x0C8, f.LeftX}, {"TopY", 0x0D2, f.TopY},        {"ParamCr", 0x0DC, 0.09},
        {"ParamCi", 0x0E6, 0.65},  {"PertZr", 0x0F0, -0.5},        {"PertZi", 0x0FA, 0.125},
        {"reserved 1", 0x104, 0.0}, {"reserved 2", 0x10E, 0.0},
    };
    for (const auto& row : reals) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(storage::extendedToDouble(b.data() + row.at), row.expected);
        const storage::ExtendedBytes ext = storage::doubleToExtended(row.expected);
        EXPECT_TRUE(std::equal(ext.begin(), ext.end(), b.begin() + std::ptrdiff_t(row.at)));
    }
    // CentreX = -1.25 by hand: sign + exponent 0x3FFF, significand 1.01b = 0xA000000000000000.
    const std::vector<uint8_t> centreX(b.begin() + 0xAA, b.begin() + 0xB4);
    EXPECT_EQ(centreX, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0xA0, 0xFF, 0xBF}));

    // Palette: version 768, count 256, then red, green, blue, flags.
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 0x120, b.begin() + 0x124), (std::vector<uint8_t>{0x00, 0x03, 0x00, 0x01}));
    const colour::PaletteBytes palette = colour::encodePalette(f.Palette);
    EXPECT_TRUE(std::equal(palette.begin(), palette.end(), b.begin() + 0x120));
    EXPECT_EQ(b[0x120 + 4 + 4], 1);  // entry 1 red
    const colour::ColorTable24Bytes table = colour::encodeColorTable24(f.ColorTable24);
    EXPECT_TRUE(std::equal(table.begin(), table.end(), b.begin() + 0x530));
    double date = 0;
    std::memcpy(&date, b.data() + 0x528, 8);
    EXPECT_EQ(date, 45123.75);
    EXPECT_EQ(b[0xA10], 0) << "reserved string written empty";
    EXPECT_EQ(shortString(b, 0xA1B), "tester");

    // Markers: slot n at 0xA3C + 96 n.
    for (int slot = 1; slot <= 15; ++slot) {
        SCOPED_TRACE(slot);
        const size_t at = 0xA3C + 96 * size_t(slot);
        const document::Marker& m = f.Markers[size_t(slot - 1)];
        EXPECT_EQ(b[at], m.InUse ? uint8_t(m.Shape) : 0xFF);
        EXPECT_EQ(le32(b, at + 4), m.X);
        EXPECT_EQ(le32(b, at + 8), m.Y);
    }
    EXPECT_EQ(shortString(b, 0xA3C + 96 + 12), "first");
    EXPECT_EQ(shortString(b, 0xA3C + 96 * 7 + 12), "seventh \xE9");  // Windows-1252
    EXPECT_EQ(shortString(b, 0x103C), "A comment \x80");

    // Filler bytes and padding.
    for (size_t i = 0x030; i <= 0x092; ++i)
        ASSERT_EQ(b[i], 0xFF) << std::hex << i;
    for (size_t i = 0x10D3; i <= 0x10E7; ++i)
        ASSERT_EQ(b[i], 0xFF) << std::hex << i;
    const std::pair<size_t, size_t> zeros[] = {
        {0x02D, 0x02D}, {0x0A0, 0x0A3}, {0x11A, 0x11B}, {0xA32, 0xA33}, {0xA39, 0xA3B},
        {0xA56, 0xA7F}, {0xA82, 0xA83}, {0xA8D, 0xA8F}, {0xA96, 0xA97},
    };
    for (const auto& [from, to] : zeros)
        for (size_t i = from; i <= to; ++i)
            ASSERT_EQ(b[i], 0) << std::hex << i;
}

TEST(DocumentLayoutTest, DataIsOneZlibStreamOfLittleEndianRows)
{
    const struct {
        int width, height;
        uint8_t format;
    } sizes[] = {{23, 17, engine::PixelFormat8}, {1, 1, engine::PixelFormat8}, {300, 40, engine::PixelFormat24}};
    for (const auto& s : sizes) {
        SCOPED_TRACE(testing::Message() << s.width << " x " << s.height);
        document::TFractal f;
        makeKnownDocument(f, s.width, s.height, s.format);
        TempDir dir("layout");
        const std::vector<uint8_t> b = savedBytes(f, dir);
        // RFC 1950 header: deflate, 32K window; FLEVEL 0 (fastest) for level 1; check bits.
        ASSERT_GT(b.size(), HeaderSize + 6);
        EXPECT_EQ(b[HeaderSize], 0x78);
        EXPECT_EQ(b[HeaderSize + 1] >> 6, 0) << "compression level field is not 'fastest'";
        EXPECT_EQ((b[HeaderSize] * 256 + b[HeaderSize + 1]) % 31, 0);

        std::vector<uint8_t> raw(size_t(s.width) * size_t(s.height) * 2 + 16);
        uLongf rawSize = uLongf(raw.size());
        ASSERT_EQ(uncompress(raw.data(), &rawSize, b.data() + HeaderSize, uLong(b.size() - HeaderSize)), Z_OK);
        ASSERT_EQ(rawSize, uLongf(s.width * s.height * 2));
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x)
                ASSERT_EQ(le16(raw, size_t(y * s.width + x) * 2), f.Data.at(y, x)) << y << "," << x;
    }
}

// Records what a load or save reports.
struct RecordingObserver : engine::ComputeObserver {
    std::vector<double> fractions;
    std::vector<std::pair<int, int>> ready;
    void progressChanged(double fraction) override { fractions.push_back(fraction); }
    void rowsReady(int first, int last) override { ready.emplace_back(first, last); }
};

TEST(DocumentLayoutTest, ProgressEveryTenRows)
{
    document::TFractal f;
    makeKnownDocument(f, 30, 25);
    TempDir dir("progress");
    RecordingObserver saving;
    storage::SaveContext ctx;
    ctx.observer = &saving;
    ASSERT_TRUE(storage::SaveDocument(f, dir.file("p.mbt"), ctx));
    const std::vector<double> expected{1.0 / 25, 11.0 / 25, 21.0 / 25};  // after rows 0, 10, 20
    EXPECT_EQ(saving.fractions, expected);

    RecordingObserver loading;
    document::TFractal g;
    ASSERT_EQ(storage::LoadDocument(g, dir.file("p.mbt"), &loading), storage::LoadResult::Ok);
    EXPECT_EQ(loading.fractions, expected);
    EXPECT_EQ(loading.ready, (std::vector<std::pair<int, int>>{{0, 24}}));
}

TEST(DocumentLayoutTest, SaveThenLoadRestoresTheDocument)
{
    const uint8_t formats[] = {engine::PixelFormat8, engine::PixelFormat24};
    for (const uint8_t format : formats) {
        SCOPED_TRACE(int(format));
        document::TFractal f;
        makeKnownDocument(f, 40, 31, format);
        f.Modified = true;
        TempDir dir("roundtrip");
        ASSERT_TRUE(storage::SaveDocument(f, dir.file("round.trip.mbt")));
        EXPECT_FALSE(f.Modified);
        EXPECT_EQ(f.FileName, "round.trip");

        document::TFractal g;
        ASSERT_EQ(storage::LoadDocument(g, dir.file("round.trip.mbt"), nullptr), storage::LoadResult::Ok);
        EXPECT_EQ(g.Params, f.Params);
        EXPECT_EQ(g.ImageParams, f.Params);
        EXPECT_EQ(g.LeftX, f.LeftX);
        EXPECT_EQ(g.TopY, f.TopY);
        EXPECT_EQ(g.PixelFormat, format);
        EXPECT_EQ(g.Palette, f.Palette);
        EXPECT_EQ(g.ColorTable24, f.ColorTable24);
        EXPECT_EQ(g.Markers, f.Markers);
        EXPECT_EQ(g.Comment, f.Comment);
        EXPECT_EQ(g.FileName, "round.trip");
        EXPECT_EQ(g.Bitmap.Pixels, f.Bitmap.Pixels) << "rows are coloured as they are read";
        for (int y = 0; y < 31; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(g.Data.at(y, x), f.Data.at(y, x));
    }
}

TEST(DocumentLayoutTest, LongTextsAreCutToTheirFields)
{
    document::TFractal f;
    makeKnownDocument(f, 3, 3);
    f.Comment = std::string(149, 'c') + "\xC3\xA9" + "overflow";  // 150 characters fit, the rest goes
    f.Markers[2] = {true, document::MarkerShape(2), 1, 1, std::string(85, 'm')};
    TempDir dir("cut");
    ASSERT_TRUE(storage::SaveDocument(f, dir.file("cut.mbt")));
    const std::vector<uint8_t> b = readAll(dir.file("cut.mbt"));
    EXPECT_EQ(b[0x103C], 150);
    EXPECT_EQ(b[0x103C + 150], 0xE9);
    EXPECT_EQ(b[0x10D3], 0xFF) << "the comment ran into the filler";
    EXPECT_EQ(b[0xA3C + 96 * 3 + 12], 80);

    document::TFractal g;
    ASSERT_EQ(storage::LoadDocument(g, dir.file("cut.mbt"), nullptr), storage::LoadResult::Ok);
    EXPECT_EQ(g.Comment, std::string(149, 'c') + "\xC3\xA9");
    EXPECT_EQ(g.Markers[2].Label, std::string(80, 'm'));
}

}  // namespace

namespace {

// A document with markers saves back byte for byte after it is loaded, apart from the save time:
// every used slot's shape byte is kept, also the codes above Triangle that no marker is drawn with.
TEST(DocumentLayoutTest, MarkersRoundTripByteForByte)
{
    struct Row {
        const char* name;
        std::vector<std::pair<int, document::Marker>> markers;  // slot, marker
    } rows[] = {
        {"every shape", {{1, {true, document::MarkerShape::Simple, 3, 4, "simple"}},
                         {2, {true, document::MarkerShape::Circle, 0, 0, "circle"}},
                         {3, {true, document::MarkerShape::Square, 39, 30, "square \xC3\xA9t\xC3\xA9"}},
                         {4, {true, document::MarkerShape::Diamond, 12, 1, ""}},
                         {15, {true, document::MarkerShape::Triangle, 20, 20, std::string(80, 't')}}}},
        {"codes the program does not draw", {{2, {true, document::MarkerShape(5), 7, 8, "five"}},
                                             {7, {true, document::MarkerShape(7), -3, 200, "seven"}},
                                             {9, {true, document::MarkerShape(0xFE), 1, 1, "fe"}}}},
        {"no marker", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        document::TFractal f;
        makeKnownDocument(f, 40, 31);
        for (const auto& [slot, m] : row.markers)
            f.Markers[size_t(slot - 1)] = m;
        TempDir dir("markers");
        storage::SaveContext first;
        first.savedAt = 46000.25;
        first.userName = "vorex";
        ASSERT_TRUE(storage::SaveDocument(f, dir.file("first.mbt"), first));

        document::TFractal g;
        ASSERT_EQ(storage::LoadDocument(g, dir.file("first.mbt"), nullptr), storage::LoadResult::Ok);
        EXPECT_EQ(g.Markers, f.Markers);
        storage::SaveContext second = first;
        second.savedAt = 46100.5;  // saved later
        ASSERT_TRUE(storage::SaveDocument(g, dir.file("second.mbt"), second));

        std::vector<uint8_t> a = readAll(dir.file("first.mbt")), b = readAll(dir.file("second.mbt"));
        ASSERT_EQ(a.size(), b.size());
        EXPECT_NE(std::vector<uint8_t>(a.begin() + 0x528, a.begin() + 0x530),
                  std::vector<uint8_t>(b.begin() + 0x528, b.begin() + 0x530)) << "the save time differs";
        std::fill_n(a.begin() + 0x528, 8, 0);
        std::fill_n(b.begin() + 0x528, 8, 0);
        EXPECT_EQ(a, b);
        for (const auto& [slot, m] : row.markers)
            EXPECT_EQ(b[0xA3C + 96 * size_t(slot)], uint8_t(m.Shape)) << "slot " << slot;
    }
}

}  // namespace
