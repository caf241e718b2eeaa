// Byte layout of exported TIFF files, and the same files read back by libtiff's tools
// (tiffinfo, and tifftopnm from netpbm, which decodes through libtiff).

#include <gtest/gtest.h>

#include <map>

#include "storage/ImageSink.h"
#include "storage/TiffWriter.h"
#include "tests/storage/ExportTestUtil.h"
#include "tests/storage/StorageTestUtil.h"

using namespace export_test;

namespace {

struct TiffEntry {
    uint16_t type;
    uint32_t count;
    uint32_t value;
};

// The directory of a little-endian TIFF whose offset is at byte 4, by tag.
std::map<uint16_t, TiffEntry> readDirectory(const std::vector<uint8_t>& b, uint32_t* entryCount = nullptr,
                                            std::vector<uint16_t>* order = nullptr)
{
    std::map<uint16_t, TiffEntry> dir;
    const uint32_t at = u32le(b, 4);
    const uint16_t n = u16le(b, at);
    if (entryCount)
        *entryCount = n;
    for (uint32_t i = 0; i < n; ++i) {
        const size_t e = at + 2 + i * 12;
        dir[u16le(b, e)] = TiffEntry{u16le(b, e + 2), u32le(b, e + 4), u32le(b, e + 8)};
        if (order)
            order->push_back(u16le(b, e));
    }
    return dir;
}

std::vector<uint8_t> writeTiff(const document::TFractal& f, uint32_t dpi)
{
    storage::MemorySink sink;
    EXPECT_TRUE(storage::WriteTiff(f, dpi, sink));
    return sink.bytes;
}

// A bitmap whose every byte differs from its neighbours, so that swapped or shifted bytes show.
void fillPattern(document::TFractal& f, uint8_t pixelFormat, int w, int h)
{
    fillBitmap(f, pixelFormat, w, h, [](int x, int y, int c) { return uint8_t(x * 37 + y * 101 + c * 59 + 3); });
}

void fillValues(engine::TVxWork& data, int w, int h, const std::vector<uint16_t>& cycle)
{
    data.resize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            data.at(y, x) = cycle[size_t(x + y) % cycle.size()];
}

bool onlyExpectedRemarks(const std::string& out)
{
    size_t start = 0;
    while (start < out.size()) {
        size_t end = out.find('\n', start);
        if (end == std::string::npos)
            end = out.size();
        const std::string line = out.substr(start, end - start);
        const bool remark = line.find("Warning") != std::string::npos || line.find("Error") != std::string::npos;
        if (remark && line.find("tag \"Software\" contains null byte") == std::string::npos)
            return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

TEST(TiffWriter, LayoutsAndDirectories)
{
    // Offsets and sizes of the three layouts (header 8; two-tone: rationals at 8 and 16, software at 24,
    // rows at 44; palette: colour map at 8, rationals at 1544 and 1552, software at 1560, rows at 1580;
    // RGB: rationals at 8 and 16, BitsPerSample at 24, software at 30, rows at 50).
    struct Row {
        const char* name;
        uint8_t pixelFormat;
        uint8_t algorithm;
        int width, height;
        uint32_t dpi;
        uint32_t entries, pixelOffset, stripBytes;
        uint16_t bitsPerSample, photometric, samples;
        uint32_t xRes, yRes, software;
    } rows[] = {
        {"3x2 24-bit RGB: 50 + 18 bytes, directory at 68", engine::PixelFormat24, engine::AlgLevel, 3, 2, 300,
         15, 50, 18, 0, 2, 3, 8, 16, 30},
        {"8-bit palette", engine::PixelFormat8, engine::AlgLevel, 5, 3, 72, 15, 1580, 15, 8, 3, 1, 1544, 1552, 1560},
        {"Binary 8-bit is two-tone, 10 wide has 2-byte rows", engine::PixelFormat8, engine::AlgBinary, 10, 3, 600,
         14, 44, 6, 1, 0, 1, 8, 16, 24},
        {"Distance 24-bit is two-tone too", engine::PixelFormat24, engine::AlgDistance, 17, 2, 1200, 14, 44, 6, 1, 0,
         1, 8, 16, 24},
        {"Level+Distance keeps the palette layout", engine::PixelFormat8, engine::AlgLevelDistance, 2, 2, 100, 15,
         1580, 4, 8, 3, 1, 1544, 1552, 1560},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        document::TFractal f;
        fillPattern(f, r.pixelFormat, r.width, r.height);
        f.ImageParams.Algorithm = r.algorithm;
        fillValues(f.Data, r.width, r.height, {0, 1, 65535, 7});
        const std::vector<uint8_t> b = writeTiff(f, r.dpi);
        ASSERT_GT(b.size(), 8u);
        EXPECT_EQ(b[0], 'I');
        EXPECT_EQ(b[1], 'I');
        EXPECT_EQ(u16le(b, 2), 42);
        EXPECT_EQ(u32le(b, 4), r.pixelOffset + r.stripBytes);
        uint32_t n = 0;
        std::vector<uint16_t> order;
        auto dir = readDirectory(b, &n, &order);
        EXPECT_EQ(n, r.entries);
        EXPECT_TRUE(std::is_sorted(order.begin(), order.end())) << "tags must be ascending";
        EXPECT_EQ(b.size(), r.pixelOffset + r.stripBytes + 2 + 12 * r.entries + 4);
        EXPECT_EQ(u32le(b, b.size() - 4), 0u) << "no next directory";
        EXPECT_EQ(dir[256].value, uint32_t(r.width));
        EXPECT_EQ(dir[257].value, uint32_t(r.height));
        EXPECT_EQ(dir[259].value, 1u);
        EXPECT_EQ(dir[262].value, r.photometric);
        EXPECT_EQ(dir[273].value, r.pixelOffset);
        EXPECT_EQ(dir[277].value, r.samples);
        EXPECT_EQ(dir[278].value, uint32_t(r.height));
        EXPECT_EQ(dir[279].value, r.stripBytes);
        EXPECT_EQ(dir[282].type, 5);
        EXPECT_EQ(dir[282].value, r.xRes);
        EXPECT_EQ(dir[283].value, r.yRes);
        EXPECT_EQ(u32le(b, r.xRes), r.dpi);
        EXPECT_EQ(u32le(b, r.xRes + 4), 1u);
        EXPECT_EQ(u32le(b, r.yRes), r.dpi);
        EXPECT_EQ(u32le(b, r.yRes + 4), 1u);
        EXPECT_EQ(dir[296].value, 2u);
        EXPECT_EQ(dir[305].type, 2);
        EXPECT_EQ(dir[305].count, 20u);
        EXPECT_EQ(dir[305].value, r.software);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[r.software]), 14), "Vorex--V1.8-- ");
        for (int i = 14; i < 20; ++i)
            EXPECT_EQ(b[r.software + size_t(i)], 0) << "padding byte " << i;
        if (r.samples == 3) {
            EXPECT_EQ(dir[258].count, 3u);
            EXPECT_EQ(dir[258].value, 24u);
            EXPECT_EQ(u16le(b, 24), 8);
            EXPECT_EQ(u16le(b, 26), 8);
            EXPECT_EQ(u16le(b, 28), 8);
            EXPECT_EQ(dir[284].value, 1u) << "planar configuration chunky";
        } else {
            EXPECT_EQ(dir[258].value, r.bitsPerSample);
            EXPECT_EQ(dir.count(284), 0u);
        }
        if (r.photometric == 3) {
            EXPECT_EQ(dir[320].count, 768u);
            EXPECT_EQ(dir[320].value, 8u);
        } else {
            EXPECT_EQ(dir.count(320), 0u);
        }
    }
}

TEST(TiffWriter, TwoToneRowsBlackForInsideAndZero)
{
    // 10 wide: 2 bytes a row, pixel x is bit 0x80 >> (x mod 8) of byte x div 8; the last 6 bits stay 0.
    const std::vector<uint16_t> row0 = {65535, 0, 1, 65534, 2, 0, 300, 65535, 5, 0};
    const std::vector<uint16_t> row1 = {1, 1, 1, 1, 1, 1, 1, 1, 65535, 1};
    struct Row {
        const char* name;
        bool view3D;
    } rows[] = {{"2D view reads Data", false}, {"3D view reads Data3D", true}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        document::TFractal f;
        fillPattern(f, engine::PixelFormat24, 10, 2);
        f.ImageParams.Algorithm = engine::AlgBinary;
        engine::TVxWork& shown = r.view3D ? f.Data3D : f.Data;
        engine::TVxWork& hidden = r.view3D ? f.Data : f.Data3D;
        shown.resize(10, 2);
        hidden.resize(10, 2);
        hidden.fill(0);  // all black if it were read by mistake
        for (int x = 0; x < 10; ++x) {
            shown.at(0, x) = row0[size_t(x)];
            shown.at(1, x) = row1[size_t(x)];
        }
        f.View3D = r.view3D;
        const std::vector<uint8_t> b = writeTiff(f, 300);
        ASSERT_EQ(u32le(b, 4), 44u + 4u);
        // Row 0: black at 0, 1, 5, 7, 9 -> 1100 0101, 01 000000.
        EXPECT_EQ(b[44], 0xC5);
        EXPECT_EQ(b[45], 0x40);
        // Row 1: black at 8 only.
        EXPECT_EQ(b[46], 0x00);
        EXPECT_EQ(b[47], 0x80);
        EXPECT_EQ(b[45] & 0x3F, 0);
        EXPECT_EQ(b[47] & 0x3F, 0);
    }
}

TEST(TiffWriter, ColourMapHoldsPaletteBytesInHighHalf)
{
    document::TFractal f;
    fillPattern(f, engine::PixelFormat8, 4, 2);
    f.Palette.entries[0] = {0xAB, 0x12, 0xFF, 0};
    f.Palette.entries[255] = {0x01, 0x80, 0x00, 0};
    const std::vector<uint8_t> b = writeTiff(f, 300);
    struct Row {
        const char* name;
        size_t index, plane;
        uint16_t value;
    } rows[] = {
        {"red 0xAB becomes 0xAB00", 0, 0, 0xAB00}, {"green 0x12", 0, 1, 0x1200}, {"blue 0xFF", 0, 2, 0xFF00},
        {"last red", 255, 0, 0x0100},           {"last green", 255, 1, 0x8000}, {"last blue", 255, 2, 0x0000},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(u16le(b, 8 + (r.plane * 256 + r.index) * 2), r.value);
    }
    // The rows are the bitmap's index bytes unchanged, top row first.
    EXPECT_TRUE(std::equal(f.Bitmap.Pixels.begin(), f.Bitmap.Pixels.end(), b.begin() + 1580));
}

TEST(TiffWriter, RgbRowsSwapBlueAndRed)
{
    document::TFractal f;
    fillPattern(f, engine::PixelFormat24, 3, 2);
    const std::vector<uint8_t> b = writeTiff(f, 300);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            SCOPED_TRACE("pixel " + std::to_string(x) + "," + std::to_string(y));
            const uint8_t* bgr = f.Bitmap.row(y) + x * 3;
            const size_t at = 50 + size_t(y * 9 + x * 3);
            EXPECT_EQ(b[at], bgr[2]);
            EXPECT_EQ(b[at + 1], bgr[1]);
            EXPECT_EQ(b[at + 2], bgr[0]);
        }
}

TEST(TiffWriter, RefusesImagesItCannotDescribe)
{
    struct Row {
        const char* name;
        int width, height;
        bool valuesMatch;
    } rows[] = {
        {"empty", 0, 0, true},
        {"wider than a SHORT", 70000, 1, true},
        {"values of another size (two-tone)", 4, 4, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        document::TFractal f;
        fillBitmap(f, engine::PixelFormat8, r.width, r.height, [](int, int, int) { return uint8_t(1); });
        f.ImageParams.Algorithm = engine::AlgBinary;
        f.Data.resize(r.valuesMatch ? r.width : r.width + 1, r.height);
        storage::MemorySink sink;
        EXPECT_FALSE(storage::WriteTiff(f, 300, sink));
    }
}

TEST(TiffWriter, ProgressOneStepPerTenRows)
{
    document::TFractal f;
    fillPattern(f, engine::PixelFormat8, 3, 25);
    RecordingObserver progress;
    storage::MemorySink sink;
    ASSERT_TRUE(storage::WriteTiff(f, 300, sink, &progress));
    // After rows 0, 10 and 20 the bar stands at 10, 20 and (capped) 25 of 25.
    EXPECT_EQ(progress.fractions, (std::vector<double>{10.0 / 25, 20.0 / 25, 1.0}));
}

TEST(TiffWriter, ThirdPartyDecoderReadsEveryLayout)
{
    if (!toolExists("/usr/bin/tifftopnm") || !toolExists("/usr/bin/tiffinfo"))
        GTEST_SKIP() << "netpbm and libtiff-tools are needed (scripts/install-deps.sh)";
    storage_test::TempDir dir("tiff");
    struct Row {
        const char* name;
        uint8_t pixelFormat, algorithm;
        int width, height;
        uint32_t dpi;
    } rows[] = {
        {"RGB", engine::PixelFormat24, engine::AlgLevel, 37, 23, 600},
        {"palette", engine::PixelFormat8, engine::AlgLevel, 33, 19, 72},
        {"two-tone 8-bit", engine::PixelFormat8, engine::AlgBinary, 21, 13, 1200},
        {"two-tone 24-bit, width a multiple of 8", engine::PixelFormat24, engine::AlgDistance, 16, 5, 300},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        document::TFractal f;
        fillPattern(f, r.pixelFormat, r.width, r.height);
        for (int i = 0; i < 256; ++i)
            f.Palette.entries[size_t(i)] = {uint8_t(i * 7), uint8_t(255 - i), uint8_t(i * 3 + 1), 0};
        f.ImageParams.Algorithm = r.algorithm;
        fillValues(f.Data, r.width, r.height, {0, 65535, 12, 3, 9, 65535, 40});
        const std::string file = dir.file(std::string(r.name) + ".tif");
        storage::FileSink sink(file);
        ASSERT_TRUE(storage::WriteTiff(f, r.dpi, sink));
        ASSERT_TRUE(sink.commit());

        const CommandResult info = run("/usr/bin/tiffinfo " + quoted(file), true);
        EXPECT_EQ(info.status, 0) << info.out;
        EXPECT_NE(info.out.find("Resolution: " + std::to_string(r.dpi) + ", " + std::to_string(r.dpi)
                                + " pixels/inch"),
                  std::string::npos)
            << info.out;
        EXPECT_NE(info.out.find("Software: Vorex--V1.8--"), std::string::npos) << info.out;
        // The one remark libtiff makes: the Software field is padded with zero bytes to its fixed
        // 20 bytes, which it reads as a text cut short. Anything else is a fault.
        EXPECT_TRUE(onlyExpectedRemarks(info.out)) << info.out;

        const Ppm decoded = decode("/usr/bin/tifftopnm", file);
        ASSERT_TRUE(decoded.valid());
        if (r.algorithm == engine::AlgLevel) {
            std::string where;
            EXPECT_EQ(countDifferences(f, decoded, &where), 0) << where;
        } else {
            int wrong = 0;
            for (int y = 0; y < r.height; ++y)
                for (int x = 0; x < r.width; ++x) {
                    const uint16_t v = f.Data.at(y, x);
                    const uint8_t want = (v == 0 || v == 65535) ? 0 : 255;
                    const uint8_t* got = &decoded.rgb[(size_t(y) * size_t(r.width) + size_t(x)) * 3];
                    wrong += got[0] != want || got[1] != want || got[2] != want;
                }
            EXPECT_EQ(wrong, 0);
        }
    }
}
