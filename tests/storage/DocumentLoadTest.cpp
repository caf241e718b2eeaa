// Reading rules, damaged documents and failed saves. Every damaged input must be refused or loaded
// as stated, never read or written out of bounds (run this binary under the sanitizers too).

#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include "DocumentTestUtil.h"
#include "StorageTestUtil.h"
#include "storage/ExportImage.h"
#include "storage/Extended.h"

namespace {

using namespace storage_test;
using storage::LoadResult;

constexpr size_t HeaderSize = 4328;
constexpr uint64_t PlentyOfMemory = uint64_t(1) << 32;

std::vector<uint8_t> knownDocumentBytes(int width = 23, int height = 17)
{
    document::TFractal f;
    makeKnownDocument(f, width, height);
    TempDir dir("known");
    EXPECT_TRUE(storage::SaveDocument(f, dir.file("k.mbt")));
    return readAll(dir.file("k.mbt"));
}

LoadResult loadBytes(document::TFractal& f, const std::vector<uint8_t>& bytes, uint64_t memory = PlentyOfMemory)
{
    TempDir dir("load");
    writeAll(dir.file("doc.mbt"), bytes);
    return storage::LoadDocument(f, dir.file("doc.mbt"), nullptr, {.availableMemory = memory});
}

struct Patch {
    size_t at;
    std::vector<uint8_t> bytes;
};

TEST(DocumentReadingRules, HeaderPatches)
{
    const std::vector<uint8_t> base = knownDocumentBytes();
    const size_t marker2 = 0xA3C + 96 * 2;
    const struct {
        const char* name;
        std::vector<Patch> patches;
        std::function<void(const document::TFractal&)> check;
    } rows[] = {
        {"BaseMaxIter 0 means MaxIter", {{0x0A6, {0, 0}}},
         [](const document::TFractal& f) { EXPECT_EQ(f.BaseMaxIter, 777); }},
        {"BaseMaxIter kept otherwise", {{0x0A6, {0x2C, 0x01}}},
         [](const document::TFractal& f) { EXPECT_EQ(f.BaseMaxIter, 300); }},
        {"MaxIter also to RetoucheIter", {{0x0A4, {0xE8, 0x03}}},
         [](const document::TFractal& f) {
             EXPECT_EQ(f.Params.MaxIter, 1000);
             EXPECT_EQ(f.RetoucheIter, 1000);
         }},
        {"Bailout and FunctionIndex 0xFF mean 0", {{0xA94, {0xFF, 0xFF}}},
         [](const document::TFractal& f) {
             EXPECT_EQ(f.Params.Bailout, 0);
             EXPECT_EQ(f.Params.FunctionIndex, 0);
         }},
        {"NewtonP -1 means 3", {{0xA98, {0xFF, 0xFF, 0xFF, 0xFF}}},
         [](const document::TFractal& f) { EXPECT_EQ(f.Params.NewtonP, 3); }},
        {"NewtonP 7 kept", {{0xA98, {7, 0, 0, 0}}},
         [](const document::TFractal& f) { EXPECT_EQ(f.Params.NewtonP, 7); }},
        {"Formula 5 means 0", {{0x093, {5}}}, [](const document::TFractal& f) { EXPECT_EQ(f.Params.Formula, 0); }},
        {"Formula 0xFF means 0", {{0x093, {0xFF}}}, [](const document::TFractal& f) { EXPECT_EQ(f.Params.Formula, 0); }},
        {"Formula 4 kept", {{0x093, {4}}}, [](const document::TFractal& f) { EXPECT_EQ(f.Params.Formula, 4); }},
        {"comment length 0xFF means empty", {{0x103C, {0xFF, 'x', 'y'}}},
         [](const document::TFractal& f) { EXPECT_EQ(f.Comment, ""); }},
        {"comment length 200 clamped to 150", {{0x103C, {200}}, {0x103D, std::vector<uint8_t>(150, 'k')}},
         [](const document::TFractal& f) { EXPECT_EQ(f.Comment, std::string(150, 'k')); }},
        {"unused marker: empty label whatever follows, position copied",
         {{marker2, {0xFF, 0, 0, 0, 8, 0, 0, 0, 9, 0, 0, 0, 3, 'a', 'b', 'c'}}},
         [](const document::TFractal& f) {
             EXPECT_EQ(f.Markers[1], (document::Marker{false, document::MarkerShape(0), 8, 9, ""}));
         }},
        {"used marker with shape 7 keeps its byte and draws as Simple", {{marker2, {7, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 2, 'o', 'k'}}},
         [](const document::TFractal& f) {
             EXPECT_EQ(f.Markers[1], (document::Marker{true, document::MarkerShape(7), 1, 2, "ok"}));
             EXPECT_EQ(document::drawnShape(f.Markers[1]), document::MarkerShape::Simple);
         }},
        {"used marker with shape 4 kept", {{marker2, {4, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0}}},
         [](const document::TFractal& f) { EXPECT_EQ(f.Markers[1], (document::Marker{true, document::MarkerShape(4), 1, 2, ""})); }},
        {"label length 0xFF clamped to 80", {{marker2, {1}}, {marker2 + 12, {0xFF}}, {marker2 + 13, std::vector<uint8_t>(80, 'z')}},
         [](const document::TFractal& f) { EXPECT_EQ(f.Markers[1].Label, std::string(80, 'z')); }},
        // 0.25 with significand bits below the double's: 0x401 is just above half an ulp (2^-54) of 0.25.
        {"extended rounds to the nearest double", {{0x0B4, {0x01, 0x04, 0, 0, 0, 0, 0, 0x80, 0xFD, 0x3F}}},
         [](const document::TFractal& f) { EXPECT_EQ(f.Params.CentreY, 0.25 + 0x1p-54); }},
        {"date, user name and format number are not used",
         {{0x528, std::vector<uint8_t>(8, 0xFF)}, {0xA1B, {0xFF}}, {0x02E, {9, 9}}, {0x002, {0xFF}}},
         [](const document::TFractal& f) { EXPECT_EQ(f.Params.Width, 23); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<uint8_t> bytes = base;
        for (const Patch& p : row.patches)
            std::copy(p.bytes.begin(), p.bytes.end(), bytes.begin() + std::ptrdiff_t(p.at));
        document::TFractal f;
        ASSERT_EQ(loadBytes(f, bytes), LoadResult::Ok);
        row.check(f);
    }
}

void expectResetDocument(const document::TFractal& f)
{
    EXPECT_EQ(f.Params.Width, 1);
    EXPECT_EQ(f.Params.Height, 1);
    EXPECT_EQ(f.Data.width(), 1);
    EXPECT_EQ(f.Data.height(), 1);
    EXPECT_EQ(f.Bitmap.Pixels.size(), 1u);
    EXPECT_EQ(f.PixelFormat, engine::PixelFormat8);
    EXPECT_TRUE(f.FileName.empty());
    EXPECT_TRUE(f.Comment.empty());
    EXPECT_FALSE(f.Markers[0].InUse);
}

TEST(DocumentDamage, RefusedOrLoadedAsStated)
{
    const std::vector<uint8_t> base = knownDocumentBytes();
    auto patched = [&base](size_t at, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> b = base;
        std::copy(bytes.begin(), bytes.end(), b.begin() + std::ptrdiff_t(at));
        return b;
    };
    auto size = [&](int32_t w, int32_t h) {
        std::vector<uint8_t> b = base;
        put32(b, 0x094, w);
        put32(b, 0x098, h);
        return b;
    };
    auto cut = [&base](size_t n) { return std::vector<uint8_t>(base.begin(), base.begin() + std::ptrdiff_t(n)); };
    std::vector<uint8_t> trailing = base;
    trailing.insert(trailing.end(), 5000, 0xAB);
    std::vector<uint8_t> badTrailer = base;
    badTrailer.back() ^= 0x55;  // Adler-32 of the data no longer matches

    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        LoadResult expected;
    } rows[] = {
        {"empty file", {}, LoadResult::ErrorReadingFile},
        {"wrong magic", patched(0, {0x04, 0xD9}), LoadResult::ErrorReadingFile},
        {"magic byte-swapped", patched(0, {0xD9, 0x03}), LoadResult::ErrorReadingFile},
        {"header cut by one byte", cut(HeaderSize - 1), LoadResult::ErrorReadingFile},
        {"header only: no stream at all loads", cut(HeaderSize), LoadResult::Ok},
        {"stream cut in the middle loads", cut(HeaderSize + (base.size() - HeaderSize) / 2), LoadResult::Ok},
        {"zlib header damaged", patched(HeaderSize, {0x00, 0x00}), LoadResult::ErrorReadingFile},
        {"deflate block type 3 (invalid)", patched(HeaderSize + 2, {0x07}), LoadResult::ErrorReadingFile},
        {"checksum damaged", badTrailer, LoadResult::ErrorReadingFile},
        {"bytes after the stream are ignored", trailing, LoadResult::Ok},
        {"width 0", size(0, 17), LoadResult::ErrorReadingFile},
        {"width -5", size(-5, 17), LoadResult::ErrorReadingFile},
        {"height -5", size(23, -5), LoadResult::ErrorReadingFile},
        {"both negative (product positive)", size(-100, -100), LoadResult::ErrorReadingFile},
        {"width 20001", size(20001, 17), LoadResult::ErrorReadingFile},
        {"height 20001", size(23, 20001), LoadResult::ErrorReadingFile},
        {"100000 x 100000", size(100000, 100000), LoadResult::ErrorReadingFile},
        {"INT32_MIN width", size(INT32_MIN, 1), LoadResult::ErrorReadingFile},
        {"separator type 2", patched(0x0A8, {2}), LoadResult::ErrorReadingFile},
        {"separator type 10", patched(0x0A8, {10}), LoadResult::ErrorReadingFile},
        {"type 18", patched(0x0A8, {18}), LoadResult::ErrorReadingFile},
        {"type 255", patched(0x0A8, {255}), LoadResult::ErrorReadingFile},
        {"type 17 accepted", patched(0x0A8, {17}), LoadResult::Ok},
        {"algorithm 6", patched(0x0A9, {6}), LoadResult::ErrorReadingFile},
        {"algorithm 5 accepted", patched(0x0A9, {5}), LoadResult::Ok},
        {"pixel format 0", patched(0x118, {0}), LoadResult::ErrorReadingFile},
        {"pixel format 4", patched(0x118, {4}), LoadResult::ErrorReadingFile},
        {"pixel format 6 accepted", patched(0x118, {6}), LoadResult::Ok},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        document::TFractal f;
        f.Modified = true;
        const LoadResult r = loadBytes(f, row.bytes);
        EXPECT_EQ(r, row.expected);
        if (r != LoadResult::Ok)
            expectResetDocument(f);
        else
            EXPECT_EQ(f.Data.width() * f.Data.height(), f.Params.Width * f.Params.Height);
    }
}

TEST(DocumentDamage, ShortStreamRepeatsTheLastBufferContent)
{
    // A 4 x 6 document whose stream holds only 2.5 rows: row 2 gets two new values and keeps the last
    // two of row 1, and rows 3..5 are copies of that buffer.
    std::vector<uint8_t> bytes = knownDocumentBytes(4, 6);
    bytes.resize(HeaderSize);
    const uint16_t values[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    std::vector<uint8_t> raw;
    for (uint16_t v : values) {
        raw.push_back(uint8_t(v));
        raw.push_back(uint8_t(v >> 8));
    }
    std::vector<uint8_t> packed(compressBound(uLong(raw.size())));
    uLongf packedSize = uLongf(packed.size());
    ASSERT_EQ(compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), 1), Z_OK);
    bytes.insert(bytes.end(), packed.begin(), packed.begin() + std::ptrdiff_t(packedSize));

    document::TFractal f;
    ASSERT_EQ(loadBytes(f, bytes), LoadResult::Ok);
    const uint16_t expected[6][4] = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 7, 8}, {9, 10, 7, 8}, {9, 10, 7, 8}, {9, 10, 7, 8}};
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(f.Data.at(y, x), expected[y][x]) << y << "," << x;
}

TEST(DocumentDamage, StreamLongerThanTheImageIsCutToTheHeaderSize)
{
    // The header says 23 x 17; the stream holds the rows of a 23 x 400 image.
    std::vector<uint8_t> big = knownDocumentBytes(23, 400);
    std::vector<uint8_t> bytes = knownDocumentBytes(23, 17);
    std::copy(big.begin() + HeaderSize, big.end(), std::back_inserter(bytes));
    bytes.erase(bytes.begin() + HeaderSize, bytes.end() - std::ptrdiff_t(big.size() - HeaderSize));
    document::TFractal f;
    ASSERT_EQ(loadBytes(f, bytes), LoadResult::Ok);
    EXPECT_EQ(f.Data.height(), 17);
    EXPECT_EQ(f.Data.at(16, 0), 16000);
}

TEST(DocumentDamage, MemoryEstimate)
{
    // 1000 x 1000 needs 3,000,000 bytes in 8 bits and 5,000,000 in 24 bits; the limit is 0.86 of
    // the available memory, so the smallest accepted availability is ceil(need / 0.86).
    const struct {
        uint8_t format;
        uint64_t available;
        LoadResult expected;
    } rows[] = {
        {engine::PixelFormat8, 3488372, LoadResult::NotEnoughMemory},
        {engine::PixelFormat8, 3488373, LoadResult::Ok},
        {engine::PixelFormat24, 5813953, LoadResult::NotEnoughMemory},
        {engine::PixelFormat24, 5813954, LoadResult::Ok},
        {engine::PixelFormat24, 0, LoadResult::NotEnoughMemory},
    };
    std::vector<uint8_t> header = knownDocumentBytes(3, 3);
    header.resize(HeaderSize);  // no stream: the values stay 0
    put32(header, 0x094, 1000);
    put32(header, 0x098, 1000);
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << int(row.format) << " " << row.available);
        header[0x118] = row.format;
        document::TFractal f;
        EXPECT_EQ(loadBytes(f, header, row.available), row.expected);
        if (row.expected == LoadResult::NotEnoughMemory)
            expectResetDocument(f);
        else
            EXPECT_EQ(f.Data.width(), 1000);
    }
}

// Deterministic mutations of a small document (xorshift64 positions and values), loaded with a small
// memory budget so that mutated sizes are refused by the estimate rather than allocated. Whatever
// the outcome, the document must stay consistent; under the sanitizers this also checks bounds.
TEST(DocumentDamage, MutatedDocumentsNeverBreakTheDocument)
{
    const std::vector<uint8_t> base = knownDocumentBytes(9, 7);
    uint64_t state = 0x2545F4914F6CDD1D;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    TempDir dir("mutate");
    const std::string path = dir.file("m.mbt");
    document::TFractal f;
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bytes = base;
        const int changes = 1 + int(next() % 4);
        for (int i = 0; i < changes; ++i) {
            // Half of the changes hit the fields that size and select things.
            const size_t at = (next() & 1) ? size_t(0x93 + next() % 0x90) : size_t(next() % bytes.size());
            bytes[at] = uint8_t(next());
        }
        if (round % 10 == 0)
            bytes.resize(size_t(next() % bytes.size()));
        writeAll(path, bytes);
        const LoadResult r = storage::LoadDocument(f, path, nullptr, {.availableMemory = 10000000});
        SCOPED_TRACE(round);
        ASSERT_TRUE(r == LoadResult::Ok || r == LoadResult::ErrorReadingFile || r == LoadResult::NotEnoughMemory);
        ASSERT_EQ(f.Data.width(), f.Params.Width);
        ASSERT_EQ(f.Data.height(), f.Params.Height);
        ASSERT_EQ(f.Bitmap.Pixels.size(), size_t(f.Params.Width) * size_t(f.Params.Height) * f.Bitmap.bytesPerPixel());
    }
}

// A header that passes the estimate but whose workspace still cannot be allocated (here: an address
// space limit in a child process) fails as NotEnoughMemory, saying which allocation failed, and
// leaves the reset document. AddressSanitizer reserves address space of its own, so not under it.
TEST(DocumentLoad, AllocationFailureAfterTheEstimate)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "address space limits do not mix with AddressSanitizer";
#else
    const struct {
        int width, height;
        const char* message;
    } rows[] = {{8000, 8000, "No Memory for BitMap"}, {5000, 5000, "No Memory for Workspace"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message);
        std::vector<uint8_t> header = knownDocumentBytes(3, 3);
        header.resize(HeaderSize);
        put32(header, 0x094, row.width);
        put32(header, 0x098, row.height);
        header[0x118] = engine::PixelFormat24;
        TempDir dir("nomem");
        writeAll(dir.file("big.mbt"), header);

        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Allow 100 MB more than the process maps now: 8000 x 8000 x 3 bytes of bitmap do not fit;
            // 5000 x 5000 x 3 of bitmap do, but not the 5000 x 5000 x 2 of values after them.
            long pages = 0;
            if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
                if (std::fscanf(statm, "%ld", &pages) != 1)
                    pages = 0;
                std::fclose(statm);
            }
            const rlim_t limit = rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE)) + (100u << 20);
            struct rlimit as{limit, limit};
            ::setrlimit(RLIMIT_AS, &as);
            document::TFractal f;
            storage::LoadDetails details;
            const LoadResult r = storage::LoadDocument(f, dir.file("big.mbt"), nullptr,
                                                       {.availableMemory = PlentyOfMemory}, &details);
            const bool ok = r == LoadResult::NotEnoughMemory && details.headerRead
                            && details.allocationMessage == row.message && f.Params.Width == 1
                            && f.Data.width() == 1 && f.Bitmap.Pixels.size() == 1;
            ::_exit(ok ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
#endif
}

TEST(DocumentDamage, MemoryEstimateWithoutTheBitmap)
{
    // Loaded for export, 1000 x 1000 needs its 2,000,000 bytes of values alone, whatever the depth:
    // the smallest accepted availability is ceil(2,000,000 / 0.86) = 2,325,582.
    const struct {
        uint8_t format;
        storage::ImageParts parts;
        uint64_t available;
        LoadResult expected;
    } rows[] = {
        {engine::PixelFormat8, storage::ImageParts::ValuesOnly, 2325581, LoadResult::NotEnoughMemory},
        {engine::PixelFormat8, storage::ImageParts::ValuesOnly, 2325582, LoadResult::Ok},
        {engine::PixelFormat24, storage::ImageParts::ValuesOnly, 2325581, LoadResult::NotEnoughMemory},
        {engine::PixelFormat24, storage::ImageParts::ValuesOnly, 2325582, LoadResult::Ok},
        {engine::PixelFormat24, storage::ImageParts::ValuesAndBitmap, 2325582, LoadResult::NotEnoughMemory},
    };
    std::vector<uint8_t> header = knownDocumentBytes(3, 3);
    header.resize(HeaderSize);
    put32(header, 0x094, 1000);
    put32(header, 0x098, 1000);
    TempDir dir("estimate");
    const std::string path = dir.file("doc.mbt");
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << int(row.format) << " " << int(row.parts) << " " << row.available);
        header[0x118] = row.format;
        writeAll(path, header);
        document::TFractal f;
        EXPECT_EQ(storage::LoadDocument(f, path, nullptr, {.availableMemory = row.available, .parts = row.parts}),
                  row.expected);
        if (row.expected == LoadResult::NotEnoughMemory) {
            expectResetDocument(f);
        } else {
            EXPECT_EQ(f.Data.width(), 1000);
            EXPECT_EQ(f.PixelFormat, row.format);
            EXPECT_TRUE(f.Bitmap.Pixels.empty());
        }
    }
}

TEST(DocumentLoad, LoadingForExportNeedsNoBitmapMemory)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "address space limits do not mix with AddressSanitizer";
#else
    // 6000 x 6000 in 24 bits: 72 MB of values and 108 MB of bitmap. With 100 MB more address space
    // than the process maps now, the full load fails on the bitmap, while the values alone load and
    // export (the rows coloured as they are written).
    std::vector<uint8_t> header = knownDocumentBytes(3, 3);
    header.resize(HeaderSize);
    put32(header, 0x094, 6000);
    put32(header, 0x098, 6000);
    header[0x118] = engine::PixelFormat24;
    TempDir dir("valuesonly");
    writeAll(dir.file("big.mbt"), header);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        long pages = 0;
        if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%ld", &pages) != 1)
                pages = 0;
            std::fclose(statm);
        }
        const rlim_t limit = rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE)) + (100u << 20);
        struct rlimit as{limit, limit};
        ::setrlimit(RLIMIT_AS, &as);
        document::TFractal f;
        storage::LoadDetails details;
        const LoadResult full = storage::LoadDocument(f, dir.file("big.mbt"), nullptr,
                                                      {.availableMemory = PlentyOfMemory}, &details);
        if (full != LoadResult::NotEnoughMemory || details.allocationMessage != "No Memory for BitMap")
            ::_exit(1);
        const LoadResult values = storage::LoadDocument(
            f, dir.file("big.mbt"), nullptr,
            {.availableMemory = PlentyOfMemory, .parts = storage::ImageParts::ValuesOnly});
        if (values != LoadResult::Ok || f.Data.width() != 6000 || !f.Bitmap.Pixels.empty())
            ::_exit(2);
        const storage::ExportStatus exported =
            storage::ExportImageFile(f, storage::ExportFormat::Png, dir.file("big.png"), {}, nullptr,
                                     storage::ExportSource::ColouredValues);
        ::_exit(exported == storage::ExportStatus::Ok ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the full load did not fail on the bitmap; 2: the values did not "
                                         "load; 3: the export failed";
#endif
}

TEST(DocumentSave, FailedSaveKeepsThePreviousFile)
{
    TempDir dir("failsave");
    const std::string path = dir.file("doc.mbt");
    document::TFractal f;
    makeKnownDocument(f, 200, 100);
    ASSERT_TRUE(storage::SaveDocument(f, path));
    const std::vector<uint8_t> before = readAll(path);

    // A directory that does not exist.
    f.Modified = true;
    f.FileName = "doc";
    EXPECT_FALSE(storage::SaveDocument(f, dir.file("missing/other.mbt")));
    EXPECT_TRUE(f.Modified);
    EXPECT_EQ(f.FileName, "doc");

    // A write that runs into the file size limit part way (the header fits, the data does not).
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            f.Data.at(y, x) = uint16_t(x * 7919 + y * 104729);  // poorly compressible
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit{6000, 6000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        f.Modified = true;
        const bool saved = storage::SaveDocument(f, path);
        ::_exit(!saved && f.Modified ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save reported success, or cleared Modified";
    EXPECT_EQ(readAll(path), before);
    EXPECT_EQ(dir.entryCount(), 1u) << "a temporary file was left behind";
}

TEST(DocumentLoad, MissingFileResetsTheDocument)
{
    document::TFractal f;
    makeKnownDocument(f, 5, 5);
    TempDir dir("missing");
    EXPECT_EQ(storage::LoadDocument(f, dir.file("nothing.mbt"), nullptr), LoadResult::ErrorReadingFile);
    expectResetDocument(f);
    storage::LoadDetails details;
    details.headerRead = true;
    EXPECT_EQ(storage::LoadDocument(f, dir.path().string(), nullptr, {}, &details), LoadResult::ErrorReadingFile)
        << "a directory is not a document";
    EXPECT_FALSE(details.headerRead);
}

}  // namespace
