// Exports fed band by band: every format written in bands of 1, 7 and all rows, from the display
// bitmap and from the values coloured on the fly, gives the bytes of the whole-picture export; BMP
// takes its bands bottom-up and a GIF of a 24-bit image reads the rows twice (both read back by
// netpbm's bmptopnm and giftopnm); a failure part-way through leaves the previous file; a document
// loaded without its display bitmap exports the same files.

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <set>
#include <utility>

#include "colour/ColorLine.h"
#include "storage/BmpWriter.h"
#include "storage/Document.h"
#include "storage/ExportImage.h"
#include "storage/GifWriter.h"
#include "storage/ImageFeeder.h"
#include "storage/ImageSink.h"
#include "storage/JpegWriter.h"
#include "storage/PngWriter.h"
#include "storage/RowSource.h"
#include "storage/TiffWriter.h"
#include "storage/Workspace.h"
#include "tests/storage/ExportTestUtil.h"
#include "tests/storage/StorageTestUtil.h"

using namespace export_test;
using storage::ExportFormat;
using storage::ExportOptions;
using storage::ImageParts;
using storage::RowContent;

namespace {

constexpr int Width = 37;   // odd, and not a multiple of 4 (BMP padding) or 8 (two-tone bytes)
constexpr int Height = 23;  // three whole bands of 7 and a short one

// A picture coloured from its values as a loaded document is: 8-bit with the logarithmic boundary,
// or 24-bit with the default colour table over 2000 iterations. Values 0..`valueLimit` - 1 at
// random, with inside pixels (65535) and zeros; values from 2000 up get the out-of-range colour.
void makePicture(document::TFractal& f, uint8_t pixelFormat, uint8_t algorithm, int width = Width,
                 int height = Height, uint16_t valueLimit = 2100)
{
    storage::ResetToDefaults(f);
    f.Params.MaxIter = 2000;
    f.Params.Algorithm = algorithm;
    f.BoundaryType = colour::BoundaryKind::Log;
    f.Multiplier = 37;
    f.BiomorphIndex = 201;
    ASSERT_TRUE(storage::AllocImage(f, width, height, pixelFormat, true).ok);
    f.CommitImageParams();
    Lcg lcg(uint32_t(pixelFormat * 31 + algorithm));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t r = uint32_t(lcg.next()) << 8 | lcg.next();
            f.Data.at(y, x) = r % 17 == 0 ? 65535 : r % 19 == 0 ? 0 : uint16_t(r % valueLimit);
        }
    f.ColourAllRows();
}

struct Case {
    const char* name;
    ExportFormat format;
    uint8_t pixelFormat;
    uint8_t algorithm;
    ExportOptions options;
};

const Case Cases[] = {
    {"TIFF palette", ExportFormat::Tiff, engine::PixelFormat8, engine::AlgLevel, {90, {}, 72}},
    {"TIFF RGB", ExportFormat::Tiff, engine::PixelFormat24, engine::AlgLevel, {90, {}, 1200}},
    {"TIFF two-tone of a Binary 8-bit image", ExportFormat::Tiff, engine::PixelFormat8, engine::AlgBinary, {}},
    {"TIFF two-tone of a Distance 24-bit image", ExportFormat::Tiff, engine::PixelFormat24, engine::AlgDistance, {}},
    {"GIF 8-bit", ExportFormat::Gif, engine::PixelFormat8, engine::AlgLevel, {}},
    {"GIF 24-bit nearest colour", ExportFormat::Gif, engine::PixelFormat24, engine::AlgLevel,
     {90, storage::GifDither::None, 300}},
    {"GIF 24-bit error diffusion", ExportFormat::Gif, engine::PixelFormat24, engine::AlgLevel,
     {90, storage::GifDither::ErrorDiffusion, 300}},
    {"BMP", ExportFormat::Bmp, engine::PixelFormat8, engine::AlgLevel, {}},
    {"JPEG quality 90", ExportFormat::Jpeg, engine::PixelFormat24, engine::AlgLevel, {90, {}, 300}},
    {"JPEG quality 55", ExportFormat::Jpeg, engine::PixelFormat24, engine::AlgLevel, {55, {}, 300}},
    {"PNG 8-bit", ExportFormat::Png, engine::PixelFormat8, engine::AlgLevel, {90, {}, 72}},
    {"PNG 24-bit", ExportFormat::Png, engine::PixelFormat24, engine::AlgLevel, {90, {}, 1200}},
};

// The file as the writers' one-call functions write the display bitmap.
std::vector<uint8_t> wholePictureExport(const document::TFractal& f, const Case& c)
{
    storage::MemorySink sink;
    bool ok = false;
    switch (c.format) {
    case ExportFormat::Tiff: ok = storage::WriteTiff(f, c.options.Resolution, sink); break;
    case ExportFormat::Gif: ok = storage::WriteGif(f.Bitmap, f.Palette, c.options.Dither, sink); break;
    case ExportFormat::Bmp: ok = storage::WriteBmp(f.Bitmap, f.Palette, sink); break;
    case ExportFormat::Jpeg: ok = storage::WriteJpeg(f.Bitmap, c.options.Quality, sink); break;
    case ExportFormat::Png: ok = storage::WritePng(f.Bitmap, f.Palette, c.options.Resolution, sink); break;
    }
    EXPECT_TRUE(ok);
    return sink.bytes;
}

std::vector<uint8_t> bandExport(storage::RowSource& source, const Case& c, int bandRows,
                                RecordingObserver* progress = nullptr)
{
    storage::ImageInfo info = source.info();
    info.resolution = c.options.Resolution;
    const auto writer = storage::makeImageWriter(c.format, c.options);
    storage::MemorySink sink;
    EXPECT_TRUE(storage::feedImage(*writer, info, source, sink, progress, bandRows));
    return sink.bytes;
}

// Passes rows through from another source and notes every request.
class RecordingSource : public storage::RowSource {
public:
    explicit RecordingSource(storage::RowSource& inner) : m_inner(inner) {}
    storage::ImageInfo info() const override { return m_inner.info(); }
    bool provides(RowContent content) const override { return m_inner.provides(content); }
    bool readRows(RowContent content, int first, int count, uint8_t* out, size_t stride) override
    {
        requests.push_back({first, count});
        contents.push_back(content);
        return failAtRequest != int(requests.size()) && m_inner.readRows(content, first, count, out, stride);
    }
    std::vector<std::pair<int, int>> requests;  // first row, row count
    std::vector<RowContent> contents;
    int failAtRequest = 0;  // 1-based; 0 never fails

private:
    storage::RowSource& m_inner;
};

size_t distinctColours(const document::TFractal& f)
{
    std::set<std::array<uint8_t, 3>> colours;
    for (int y = 0; y < f.Bitmap.Height; ++y)
        for (int x = 0; x < f.Bitmap.Width; ++x)
            colours.insert(shownColour(f, x, y));
    return colours.size();
}

std::vector<std::pair<int, int>> bands(std::initializer_list<std::pair<int, int>> list)
{
    return list;
}

}  // namespace

TEST(ImageFeeder, BandsOfEveryHeightGiveTheWholePictureFile)
{
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.name);
        document::TFractal f;
        makePicture(f, c.pixelFormat, c.algorithm);
        if (c.pixelFormat == engine::PixelFormat24) {
            ASSERT_GT(distinctColours(f), 256u) << "the GIF's palette must be reduced";
        }
        const std::vector<uint8_t> whole = wholePictureExport(f, c);
        ASSERT_GT(whole.size(), 100u);
        for (const int band : {1, 7, Height}) {
            SCOPED_TRACE("band of " + std::to_string(band) + " rows");
            storage::BitmapRowSource bitmap(f);
            EXPECT_EQ(bandExport(bitmap, c, band), whole) << "from the display bitmap";
            storage::ValueRowSource values(f);
            EXPECT_EQ(bandExport(values, c, band), whole) << "from the values coloured row by row";
        }
    }
}

TEST(ImageFeeder, BandSizeIsBounded)
{
    const struct {
        size_t rowBytes;
        int requested, expected;
    } rows[] = {
        {3 * 20000, 0, storage::BandRowsDefault},  // the widest 24-bit image: 64 rows, 3.8 MB
        {100, 7, 7},
        {100, 100000, 100000},
        {1 << 20, 100, 16},                         // 16 MB of 1 MB rows
        {storage::BandBytesMax, 5, 1},
        {storage::BandBytesMax * 3, 0, 1},           // one row however long
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.rowBytes << " bytes, " << r.requested << " rows asked");
        EXPECT_EQ(storage::bandRowsFor(r.rowBytes, r.requested), r.expected);
    }
}

TEST(ImageFeeder, BmpTakesItsBandsBottomUp)
{
    ASSERT_TRUE(toolExists("/usr/bin/bmptopnm")) << "netpbm is needed (scripts/install-deps.sh)";
    document::TFractal f;
    makePicture(f, engine::PixelFormat8, engine::AlgLevel);
    storage::ValueRowSource values(f);
    RecordingSource source(values);
    RecordingObserver progress;
    storage_test::TempDir dir("bmpbands");
    const std::string file = dir.file("bands.bmp");
    ASSERT_EQ(storage::ExportImageFile(source, ExportFormat::Bmp, file, {}, &progress, 7), storage::ExportStatus::Ok);
    EXPECT_EQ(source.requests, bands({{16, 7}, {9, 7}, {2, 7}, {0, 2}}));
    EXPECT_EQ(progress.fractions, (std::vector<double>{10.0 / 23, 20.0 / 23, 1.0}));
    const Ppm decoded = decode("/usr/bin/bmptopnm", file);
    ASSERT_TRUE(decoded.valid());
    std::string where;
    EXPECT_EQ(countDifferences(f, decoded, &where), 0) << where;
}

TEST(ImageFeeder, GifOfA24BitImageReadsTheRowsTwice)
{
    ASSERT_TRUE(toolExists("/usr/bin/giftopnm")) << "netpbm is needed (scripts/install-deps.sh)";
    struct Row {
        const char* name;
        uint8_t pixelFormat;
        std::vector<std::pair<int, int>> requests;
    } rows[] = {
        {"24-bit: palette pass, then writing pass", engine::PixelFormat24,
         bands({{0, 7}, {7, 7}, {14, 7}, {21, 2}, {0, 7}, {7, 7}, {14, 7}, {21, 2}})},
        {"8-bit: one pass", engine::PixelFormat8, bands({{0, 7}, {7, 7}, {14, 7}, {21, 2}})},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        document::TFractal f;
        // Values below 200 of 2000: fewer than 256 colours, which the reduced palette keeps exactly.
        makePicture(f, r.pixelFormat, engine::AlgLevel, Width, Height, 200);
        storage::ValueRowSource values(f);
        RecordingSource source(values);
        RecordingObserver progress;
        storage_test::TempDir dir("gifpasses");
        const std::string file = dir.file("passes.gif");
        ASSERT_EQ(storage::ExportImageFile(source, ExportFormat::Gif, file, {}, &progress, 7),
                  storage::ExportStatus::Ok);
        EXPECT_EQ(source.requests, r.requests);
        // Progress follows the rows written, in the last pass only.
        EXPECT_EQ(progress.fractions, (std::vector<double>{10.0 / 23, 20.0 / 23, 1.0}));
        const Ppm decoded = decode("/usr/bin/giftopnm", file);
        ASSERT_TRUE(decoded.valid());
        std::string where;
        EXPECT_EQ(countDifferences(f, decoded, &where), 0) << where;
    }
}

TEST(ImageFeeder, TwoToneTiffReadsTheValues)
{
    document::TFractal f;
    makePicture(f, engine::PixelFormat24, engine::AlgDistance);
    storage::BitmapRowSource bitmap(f);
    RecordingSource source(bitmap);
    const Case c{"two-tone", ExportFormat::Tiff, engine::PixelFormat24, engine::AlgDistance, {}};
    const std::vector<uint8_t> b = bandExport(source, c, 7);
    EXPECT_EQ(source.contents, std::vector<RowContent>(4, RowContent::Values));
    // Row 0 from offset 44, 5 bytes a row: pixel x is black (bit set) for the values 0 and 65535.
    for (int y = 0; y < Height; y += 11)
        for (int x = 0; x < Width; ++x) {
            const uint16_t v = f.Data.at(y, x);
            const bool black = (b.at(44 + size_t(y) * 5 + size_t(x / 8)) & (0x80 >> (x % 8))) != 0;
            EXPECT_EQ(black, v == 0 || v == 65535) << "pixel " << x << "," << y;
        }
}

TEST(ImageFeeder, FailurePartWayThroughLeavesThePreviousFile)
{
    struct Row {
        const char* name;
        ExportFormat format;
        uint8_t pixelFormat;
        int failAtRequest;  // bands of 7 rows: 4 requests a pass
    } rows[] = {
        {"TIFF", ExportFormat::Tiff, engine::PixelFormat24, 3},
        {"GIF 8-bit", ExportFormat::Gif, engine::PixelFormat8, 2},
        {"GIF 24-bit, in the palette pass", ExportFormat::Gif, engine::PixelFormat24, 3},
        {"GIF 24-bit, in the writing pass", ExportFormat::Gif, engine::PixelFormat24, 6},
        {"BMP", ExportFormat::Bmp, engine::PixelFormat8, 4},
        {"JPEG", ExportFormat::Jpeg, engine::PixelFormat24, 2},
        {"PNG 8-bit", ExportFormat::Png, engine::PixelFormat8, 3},
        {"PNG 24-bit", ExportFormat::Png, engine::PixelFormat24, 2},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        storage_test::TempDir dir("feedfail");
        const std::string file = dir.file("previous");
        const std::vector<uint8_t> previous = {'p', 'r', 'e', 'v', 'i', 'o', 'u', 's'};
        storage_test::writeAll(file, previous);
        document::TFractal f;
        makePicture(f, r.pixelFormat, engine::AlgLevel);
        storage::ValueRowSource values(f);
        RecordingSource source(values);
        source.failAtRequest = r.failAtRequest;
        EXPECT_EQ(storage::ExportImageFile(source, r.format, file, {}, nullptr, 7), storage::ExportStatus::WriteFailed);
        EXPECT_EQ(int(source.requests.size()), r.failAtRequest) << "the export stops at the failure";
        EXPECT_EQ(storage_test::readAll(file), previous);
        EXPECT_EQ(dir.entryCount(), 1u) << "no temporary file left";
    }
}

TEST(ImageFeeder, DocumentLoadedWithoutItsBitmapExportsTheSameFiles)
{
    for (const uint8_t pixelFormat : {engine::PixelFormat8, engine::PixelFormat24}) {
        SCOPED_TRACE(int(pixelFormat));
        storage_test::TempDir dir("valuesonly");
        document::TFractal made;
        makePicture(made, pixelFormat, engine::AlgLevel);
        const std::string doc = dir.file("doc.mbt");
        ASSERT_TRUE(storage::SaveDocument(made, doc));

        document::TFractal full, values;
        ASSERT_EQ(storage::LoadDocument(full, doc, nullptr), storage::LoadResult::Ok);
        storage::LoadOptions options;
        options.parts = ImageParts::ValuesOnly;
        ASSERT_EQ(storage::LoadDocument(values, doc, nullptr, options), storage::LoadResult::Ok);
        EXPECT_EQ(values.Bitmap.Width, 0);
        EXPECT_EQ(values.Bitmap.Height, 0);
        EXPECT_EQ(values.Bitmap.Pixels.capacity(), 0u) << "no pixel memory";
        EXPECT_EQ(values.Bitmap.PixelFormat, pixelFormat);
        EXPECT_EQ(values.Params, full.Params);
        EXPECT_EQ(values.TableR, full.TableR);
        ASSERT_EQ(values.Data.width(), Width);
        ASSERT_EQ(values.Data.height(), Height);
        for (int y = 0; y < Height; ++y)
            ASSERT_TRUE(std::equal(values.Data.row(y), values.Data.row(y) + Width, full.Data.row(y))) << "row " << y;

        for (const Case& c : Cases) {
            if (c.pixelFormat != pixelFormat || c.algorithm != engine::AlgLevel)
                continue;
            SCOPED_TRACE(c.name);
            const std::string a = dir.file("a"), b = dir.file("b");
            ASSERT_EQ(storage::ExportImageFile(full, c.format, a, c.options), storage::ExportStatus::Ok);
            ASSERT_EQ(storage::ExportImageFile(values, c.format, b, c.options, nullptr,
                                               storage::ExportSource::ColouredValues),
                      storage::ExportStatus::Ok);
            EXPECT_EQ(storage_test::readAll(b), storage_test::readAll(a));
            // Without a bitmap there is nothing to take the display picture from.
            EXPECT_EQ(storage::ExportImageFile(values, c.format, b, c.options), storage::ExportStatus::WriteFailed);
        }
    }
}
