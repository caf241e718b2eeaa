// BMP export of 8-bit images: header fields, bottom-up padded rows, and netpbm's bmptopnm reading
// the files back.

#include <gtest/gtest.h>

#include "storage/BmpWriter.h"
#include "storage/ImageSink.h"
#include "tests/storage/ExportTestUtil.h"
#include "tests/storage/StorageTestUtil.h"

using namespace export_test;

namespace {

void fillIndexes(document::TFractal& f, int w, int h)
{
    fillBitmap(f, engine::PixelFormat8, w, h, [](int x, int y, int) { return uint8_t(x * 17 + y * 71 + 1); });
    for (int i = 0; i < 256; ++i)
        f.Palette.entries[size_t(i)] = {uint8_t(i), uint8_t(i * 3), uint8_t(255 - i), 0};
}

}  // namespace

TEST(BmpWriter, HeadersTableAndRows)
{
    struct Row {
        int width, height;
        uint32_t rowSize;
    } rows[] = {{1, 1, 4}, {4, 3, 4}, {5, 3, 8}, {7, 2, 8}, {8, 5, 8}, {13, 4, 16}};
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.width) + " x " + std::to_string(r.height));
        document::TFractal f;
        fillIndexes(f, r.width, r.height);
        storage::MemorySink sink;
        ASSERT_TRUE(storage::WriteBmp(f.Bitmap, f.Palette, sink));
        const std::vector<uint8_t>& b = sink.bytes;
        const uint32_t imageSize = r.rowSize * uint32_t(r.height);
        ASSERT_EQ(b.size(), 1078u + imageSize);
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(u32le(b, 2), b.size());
        EXPECT_EQ(u32le(b, 6), 0u);
        EXPECT_EQ(u32le(b, 10), 1078u);
        EXPECT_EQ(u32le(b, 14), 40u);
        EXPECT_EQ(u32le(b, 18), uint32_t(r.width));
        EXPECT_EQ(u32le(b, 22), uint32_t(r.height)) << "positive: rows bottom-up";
        EXPECT_EQ(u16le(b, 26), 1);
        EXPECT_EQ(u16le(b, 28), 8);
        EXPECT_EQ(u32le(b, 30), 0u) << "BI_RGB";
        EXPECT_EQ(u32le(b, 34), imageSize);
        EXPECT_EQ(u32le(b, 38), 0u) << "no resolution given";
        EXPECT_EQ(u32le(b, 42), 0u);
        EXPECT_EQ(u32le(b, 46), 256u);
        EXPECT_EQ(u32le(b, 50), 0u);
        for (size_t i = 0; i < 256; ++i) {
            const colour::PaletteEntry& e = f.Palette.entries[i];
            ASSERT_EQ(b[54 + i * 4], e.blue);
            ASSERT_EQ(b[54 + i * 4 + 1], e.green);
            ASSERT_EQ(b[54 + i * 4 + 2], e.red);
            ASSERT_EQ(b[54 + i * 4 + 3], 0);
        }
        for (int stored = 0; stored < r.height; ++stored) {
            const int y = r.height - 1 - stored;  // the first stored row is the bottom row
            const size_t at = 1078 + size_t(stored) * r.rowSize;
            for (int x = 0; x < r.width; ++x)
                EXPECT_EQ(b[at + size_t(x)], f.Bitmap.row(y)[x]) << "pixel " << x << "," << y;
            for (size_t pad = size_t(r.width); pad < r.rowSize; ++pad)
                EXPECT_EQ(b[at + pad], 0) << "padding of stored row " << stored;
        }
    }
}

TEST(BmpWriter, BmptopnmDecodesExactly)
{
    if (!toolExists("/usr/bin/bmptopnm"))
        GTEST_SKIP() << "netpbm is needed (scripts/install-deps.sh)";
    storage_test::TempDir dir("bmp");
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {6, 5}, {31, 17}, {64, 3}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        document::TFractal f;
        fillIndexes(f, w, h);
        const std::string file = dir.file("image.bmp");
        storage::FileSink sink(file);
        ASSERT_TRUE(storage::WriteBmp(f.Bitmap, f.Palette, sink));
        ASSERT_TRUE(sink.commit());
        const Ppm decoded = decode("/usr/bin/bmptopnm", file);
        ASSERT_TRUE(decoded.valid());
        std::string where;
        EXPECT_EQ(countDifferences(f, decoded, &where), 0) << where;
    }
}

TEST(BmpWriter, TwentyFourBitRefusedAndProgressReported)
{
    document::TFractal f;
    fillBitmap(f, engine::PixelFormat24, 3, 3, [](int, int, int) { return uint8_t(9); });
    storage::MemorySink refused;
    EXPECT_FALSE(storage::WriteBmp(f.Bitmap, f.Palette, refused));

    fillIndexes(f, 3, 11);
    RecordingObserver progress;
    storage::MemorySink sink;
    ASSERT_TRUE(storage::WriteBmp(f.Bitmap, f.Palette, sink, &progress));
    EXPECT_EQ(progress.fractions, (std::vector<double>{10.0 / 11, 1.0}));
}
