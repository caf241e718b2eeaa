// PNG export: chunk structure and CRCs, and netpbm's pngtopnm (libpng) reading the files back.

#include <gtest/gtest.h>

#include <zlib.h>

#include "storage/ImageSink.h"
#include "storage/PngWriter.h"
#include "tests/storage/ExportTestUtil.h"
#include "tests/storage/StorageTestUtil.h"

using namespace export_test;

namespace {

uint32_t u32be(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b.at(at)) << 24 | uint32_t(b.at(at + 1)) << 16 | uint32_t(b.at(at + 2)) << 8 | b.at(at + 3);
}

void fillRandom(document::TFractal& f, uint8_t pixelFormat, int w, int h, uint32_t seed)
{
    Lcg lcg(seed);
    fillBitmap(f, pixelFormat, w, h, [&](int, int, int) { return lcg.next(); });
    for (int i = 0; i < 256; ++i)
        f.Palette.entries[size_t(i)] = {uint8_t(255 - i), uint8_t(i * 5), uint8_t(i), 0};
}

}  // namespace

TEST(PngWriter, ChunksAndThirdPartyDecoding)
{
    const bool havePngtopnm = toolExists("/usr/bin/pngtopnm");
    storage_test::TempDir dir("png");
    struct Row {
        const char* name;
        uint8_t pixelFormat;
        int width, height;
        bool severalIdat;
    } rows[] = {
        {"8-bit", engine::PixelFormat8, 37, 21, false},
        {"24-bit", engine::PixelFormat24, 29, 31, false},
        {"24-bit, incompressible, several IDAT chunks", engine::PixelFormat24, 300, 300, true},
        {"one pixel", engine::PixelFormat8, 1, 1, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        document::TFractal f;
        fillRandom(f, r.pixelFormat, r.width, r.height, 77);
        storage::MemorySink sink;
        ASSERT_TRUE(storage::WritePng(f.Bitmap, f.Palette, sink));
        const std::vector<uint8_t>& b = sink.bytes;
        const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        ASSERT_TRUE(std::equal(signature, signature + 8, b.begin()));
        std::vector<std::string> types;
        std::string lastType;
        size_t at = 8;
        while (at + 12 <= b.size()) {
            const uint32_t length = u32be(b, at);
            const std::string type(b.begin() + long(at + 4), b.begin() + long(at + 8));
            const uLong crc = crc32(0L, &b[at + 4], uInt(4 + length));
            EXPECT_EQ(u32be(b, at + 8 + length), uint32_t(crc)) << type;
            if (type == "IHDR") {
                EXPECT_EQ(u32be(b, at + 8), uint32_t(r.width));
                EXPECT_EQ(u32be(b, at + 12), uint32_t(r.height));
                EXPECT_EQ(b[at + 16], 8);
                EXPECT_EQ(b[at + 17], r.pixelFormat == engine::PixelFormat8 ? 3 : 2);
            }
            // Runs of one chunk type show as "TYPE+".
            if (type == lastType)
                types.back() = type + "+";
            else
                types.push_back(type);
            lastType = type;
            at += 12 + length;
        }
        EXPECT_EQ(at, b.size());
        const std::string idat = r.severalIdat ? "IDAT+" : "IDAT";
        if (r.pixelFormat == engine::PixelFormat8)
            EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "PLTE", idat, "IEND"}));
        else
            EXPECT_EQ(types, (std::vector<std::string>{"IHDR", idat, "IEND"}));

        if (!havePngtopnm)
            continue;
        const std::string file = dir.file("image.png");
        storage_test::writeAll(file, b);
        const Ppm decoded = decode("/usr/bin/pngtopnm", file);
        ASSERT_TRUE(decoded.valid());
        std::string where;
        EXPECT_EQ(countDifferences(f, decoded, &where), 0) << where;
    }
    if (!havePngtopnm)
        GTEST_SKIP() << "netpbm is needed for the decoding half";
}
