// PNG export through libpng: chunk structure and CRCs, the resolution in pHYs, netpbm's pngtopnm
// (libpng) and Pillow reading the files back, and failures of libpng or of the file.

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>
#include <zlib.h>

#include "storage/ExportImage.h"
#include "storage/ImageSink.h"
#include "storage/PngWriter.h"
#include "storage/RowSource.h"
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

struct Chunk {
    std::string type;
    size_t at;  // offset of the data
    uint32_t length;
};

// The chunks after the signature; every CRC is checked on the way.
std::vector<Chunk> chunks(const std::vector<uint8_t>& b)
{
    std::vector<Chunk> out;
    size_t at = 8;
    while (at + 12 <= b.size()) {
        const uint32_t length = u32be(b, at);
        if (at + 12 + length > b.size())
            break;
        const std::string type(b.begin() + long(at + 4), b.begin() + long(at + 8));
        const uLong crc = crc32(0L, &b[at + 4], uInt(4 + length));
        EXPECT_EQ(u32be(b, at + 8 + length), uint32_t(crc)) << type;
        out.push_back({type, at + 8, length});
        at += 12 + length;
    }
    EXPECT_EQ(at, b.size()) << "the chunks end the file";
    return out;
}

// Fails every write from the `limit`-th byte on.
class ShortSink : public storage::ImageSink {
public:
    explicit ShortSink(size_t limit) : m_limit(limit) {}
    bool write(const void*, size_t size) override
    {
        if (m_taken + size > m_limit)
            return false;
        m_taken += size;
        return true;
    }

private:
    size_t m_limit;
    size_t m_taken = 0;
};

}  // namespace

TEST(PngWriter, ChunksAndThirdPartyDecoding)
{
    const bool haveTools = storage_test::missingTools({"/usr/bin/pngtopnm", "/usr/bin/python3", PillowModule}).empty();
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
        {"8-bit, incompressible, several IDAT chunks", engine::PixelFormat8, 400, 250, true},
        {"one pixel", engine::PixelFormat8, 1, 1, false},
        {"one pixel, 24-bit", engine::PixelFormat24, 1, 1, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        document::TFractal f;
        fillRandom(f, r.pixelFormat, r.width, r.height, 77);
        storage::MemorySink sink;
        ASSERT_TRUE(storage::WritePng(f.Bitmap, f.Palette, 300, sink));
        const std::vector<uint8_t>& b = sink.bytes;
        const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        ASSERT_GT(b.size(), 8u);
        ASSERT_TRUE(std::equal(signature, signature + 8, b.begin()));
        // Runs of one chunk type show as "TYPE+".
        std::vector<std::string> types;
        for (const Chunk& c : chunks(b)) {
            if (c.type == "IHDR") {
                ASSERT_EQ(c.length, 13u);
                EXPECT_EQ(u32be(b, c.at), uint32_t(r.width));
                EXPECT_EQ(u32be(b, c.at + 4), uint32_t(r.height));
                EXPECT_EQ(b[c.at + 8], 8) << "bit depth";
                EXPECT_EQ(b[c.at + 9], r.pixelFormat == engine::PixelFormat8 ? 3 : 2) << "colour type";
                EXPECT_EQ(b[c.at + 12], 0) << "no interlace";
            } else if (c.type == "PLTE") {
                ASSERT_EQ(c.length, 256u * 3);
                for (size_t i = 0; i < 256; ++i) {
                    const colour::PaletteEntry& e = f.Palette.entries[i];
                    EXPECT_EQ(b[c.at + i * 3], e.red);
                    EXPECT_EQ(b[c.at + i * 3 + 1], e.green);
                    EXPECT_EQ(b[c.at + i * 3 + 2], e.blue);
                }
            }
            if (!types.empty() && (types.back() == c.type || types.back() == c.type + "+"))
                types.back() = c.type + "+";
            else
                types.push_back(c.type);
        }
        const std::string idat = r.severalIdat ? "IDAT+" : "IDAT";
        if (r.pixelFormat == engine::PixelFormat8)
            EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "PLTE", "pHYs", idat, "IEND"}));
        else
            EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "pHYs", idat, "IEND"}));

        if (!haveTools)
            continue;
        const std::string file = dir.file("image.png");
        storage_test::writeAll(file, b);
        const Ppm decoded = decode("/usr/bin/pngtopnm", file);
        ASSERT_TRUE(decoded.valid());
        std::string where;
        EXPECT_EQ(countDifferences(f, decoded, &where), 0) << "pngtopnm: " << where;
        const PillowImage pillow = decodeWithPillow(file);
        ASSERT_TRUE(pillow.pixels.valid());
        EXPECT_EQ(pillow.mode, r.pixelFormat == engine::PixelFormat8 ? "P" : "RGB");
        where.clear();
        EXPECT_EQ(countDifferences(f, pillow.pixels, &where), 0) << "Pillow: " << where;
    }
    VOREX_NEED_TOOLS("/usr/bin/pngtopnm", "/usr/bin/python3", PillowModule);  // for the decoding half
}

TEST(PngWriter, ResolutionIsStoredInPixelsPerMetre)
{
    const bool havePillow = storage_test::missingTools({"/usr/bin/python3", PillowModule}).empty();
    storage_test::TempDir dir("pngdpi");
    struct Row {
        uint32_t dpi;
        uint32_t pixelsPerMetre;  // dpi / 0.0254, rounded
    } rows[] = {{72, 2835}, {100, 3937}, {200, 7874}, {300, 11811}, {400, 15748}, {600, 23622}, {1200, 47244}};
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.dpi) + " dpi");
        EXPECT_EQ(storage::pixelsPerMetre(r.dpi), r.pixelsPerMetre);
        for (const uint8_t pixelFormat : {engine::PixelFormat8, engine::PixelFormat24}) {
            SCOPED_TRACE(pixelFormat == engine::PixelFormat8 ? "8-bit" : "24-bit");
            document::TFractal f;
            fillRandom(f, pixelFormat, 13, 9, r.dpi);
            storage::MemorySink sink;
            ASSERT_TRUE(storage::WritePng(f.Bitmap, f.Palette, r.dpi, sink));
            int found = 0;
            for (const Chunk& c : chunks(sink.bytes)) {
                if (c.type != "pHYs")
                    continue;
                ++found;
                ASSERT_EQ(c.length, 9u);
                EXPECT_EQ(u32be(sink.bytes, c.at), r.pixelsPerMetre) << "x";
                EXPECT_EQ(u32be(sink.bytes, c.at + 4), r.pixelsPerMetre) << "y";
                EXPECT_EQ(sink.bytes[c.at + 8], 1) << "unit: metre";
            }
            EXPECT_EQ(found, 1);
            if (!havePillow)
                continue;
            const std::string file = dir.file("dpi.png");
            storage_test::writeAll(file, sink.bytes);
            const PillowImage pillow = decodeWithPillow(file);
            ASSERT_TRUE(pillow.pixels.valid());
            // Pillow gives pixels per metre x 0.0254: 72 dpi reads as 72.009.
            EXPECT_NEAR(pillow.dpiX, double(r.dpi), 0.05);
            EXPECT_NEAR(pillow.dpiY, double(r.dpi), 0.05);
        }
    }
    VOREX_NEED_TOOLS("/usr/bin/python3", PillowModule);  // for Pillow's reading
}

TEST(PngWriter, ExportTakesTheResolutionOfTheOptions)
{
    storage_test::TempDir dir("pngexport");
    document::TFractal f;
    fillRandom(f, engine::PixelFormat24, 20, 10, 5);
    for (const uint32_t dpi : {72u, 1200u}) {
        SCOPED_TRACE(dpi);
        storage::ExportOptions options;
        options.Resolution = dpi;
        const std::string file = dir.file("export.png");
        ASSERT_EQ(storage::ExportImageFile(f, storage::ExportFormat::Png, file, options), storage::ExportStatus::Ok);
        const std::vector<uint8_t> b = storage_test::readAll(file);
        bool found = false;
        for (const Chunk& c : chunks(b))
            if (c.type == "pHYs") {
                found = true;
                EXPECT_EQ(u32be(b, c.at), storage::pixelsPerMetre(dpi));
            }
        EXPECT_TRUE(found);
    }
}

TEST(PngWriter, LibpngErrorsAndFailingSinksEndTheImage)
{
    // A failing sink, early or late: libpng's error path returns false rather than end the process.
    document::TFractal f;
    fillRandom(f, engine::PixelFormat24, 200, 150, 3);  // about 90 KB, incompressible
    storage::MemorySink whole;
    ASSERT_TRUE(storage::WritePng(f.Bitmap, f.Palette, 300, whole));
    for (const size_t limit : {size_t(0), size_t(8), size_t(40), size_t(100), size_t(5000), whole.bytes.size() / 2,
                               whole.bytes.size() - 1}) {
        SCOPED_TRACE("sink failing from byte " + std::to_string(limit));
        ShortSink sink(limit);
        RecordingObserver progress;
        EXPECT_FALSE(storage::WritePng(f.Bitmap, f.Palette, 300, sink, &progress));
    }
    ShortSink roomy(whole.bytes.size());
    EXPECT_TRUE(storage::WritePng(f.Bitmap, f.Palette, 300, roomy)) << "a sink with exactly the room it needs";

    // An image wider than libpng takes: libpng refuses the header, the writer reports it and takes no rows.
    storage::ImageInfo info;
    info.width = 2000000;
    info.height = 1;
    info.pixelFormat = engine::PixelFormat8;
    storage::MemorySink sink;
    storage::PngImageWriter writer;
    EXPECT_FALSE(writer.begin(info, sink));
    const uint8_t row[4] = {};
    EXPECT_FALSE(writer.writeRows(0, 0, 1, row, sizeof(row)));
    EXPECT_FALSE(writer.finish());

    // An empty image is refused before libpng sees it.
    storage::PngImageWriter empty;
    info.width = 0;
    EXPECT_FALSE(empty.begin(info, sink));
}

// A write failure part-way through the file (here the file-size limit stops it, as a full disk would)
// leaves the previous file complete and no temporary file behind.
TEST(PngWriter, WriteFailureMidFileLeavesThePreviousFile)
{
    storage_test::TempDir dir("pngfull");
    const std::string file = dir.file("keep.png");
    const std::vector<uint8_t> previous = {'p', 'r', 'e', 'v', 'i', 'o', 'u', 's'};
    for (const uint8_t pixelFormat : {engine::PixelFormat8, engine::PixelFormat24}) {
        SCOPED_TRACE(pixelFormat == engine::PixelFormat8 ? "8-bit" : "24-bit");
        storage_test::writeAll(file, previous);
        document::TFractal f;
        fillRandom(f, pixelFormat, 600, 500, 11);  // 300 KB or 900 KB, incompressible
        rlimit old{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 150 * 1024;  // past two 64 KB buffers of the file: the failure comes among the rows
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        RecordingObserver progress;
        const storage::ExportStatus status =
            storage::ExportImageFile(f, storage::ExportFormat::Png, file, {}, &progress);
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_EQ(status, storage::ExportStatus::WriteFailed);
        ASSERT_FALSE(progress.fractions.empty());
        EXPECT_LT(progress.fractions.back(), 1.0) << "the export stopped among the rows";
        EXPECT_EQ(storage_test::readAll(file), previous);
        EXPECT_EQ(dir.entryCount(), 1u) << "no temporary file left";
    }
}
