// Export dispatch: format from the file name, the depth rules, whole files written through a
// temporary file, and what a failed export leaves behind.

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "storage/ExportImage.h"
#include "tests/storage/ExportTestUtil.h"
#include "tests/storage/StorageTestUtil.h"

using namespace export_test;
using storage::ExportFormat;
using storage::ExportStatus;

namespace {

void fillImage(document::TFractal& f, uint8_t pixelFormat, int w, int h)
{
    fillBitmap(f, pixelFormat, w, h, [](int x, int y, int c) { return uint8_t(x * 5 + y * 3 + c * 80); });
    f.Data.resize(w, h);
}

}  // namespace

TEST(ExportImage, FormatFromFileName)
{
    struct Row {
        const char* path;
        std::optional<ExportFormat> format;
    } rows[] = {
        {"a.jpg", ExportFormat::Jpeg},  {"a.JPEG", ExportFormat::Jpeg}, {"dir/a.gif", ExportFormat::Gif},
        {"a.b.TIF", ExportFormat::Tiff}, {"a.tiff", ExportFormat::Tiff}, {"/x/a.Bmp", ExportFormat::Bmp},
        {"a.png", ExportFormat::Png},   {"a.mbt", std::nullopt},        {"noextension", std::nullopt},
        {"dir.gif/file", std::nullopt}, {"a.", std::nullopt},           {"a.jpgx", std::nullopt},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path);
        EXPECT_EQ(storage::exportFormatFromPath(r.path), r.format);
    }
}

TEST(ExportImage, DepthRulesWriteNothingForARefusedFormat)
{
    struct Row {
        ExportFormat format;
        uint8_t pixelFormat;
        bool offered;
    } rows[] = {
        {ExportFormat::Jpeg, engine::PixelFormat8, false}, {ExportFormat::Jpeg, engine::PixelFormat24, true},
        {ExportFormat::Bmp, engine::PixelFormat8, true},   {ExportFormat::Bmp, engine::PixelFormat24, false},
        {ExportFormat::Gif, engine::PixelFormat8, true},   {ExportFormat::Gif, engine::PixelFormat24, true},
        {ExportFormat::Tiff, engine::PixelFormat8, true},  {ExportFormat::Tiff, engine::PixelFormat24, true},
        {ExportFormat::Png, engine::PixelFormat8, true},   {ExportFormat::Png, engine::PixelFormat24, true},
    };
    storage_test::TempDir dir("depth");
    for (const Row& r : rows) {
        SCOPED_TRACE("format " + std::to_string(int(r.format)) + ", pixel format " + std::to_string(r.pixelFormat));
        EXPECT_EQ(storage::exportFormatOffered(r.format, r.pixelFormat), r.offered);
        document::TFractal f;
        fillImage(f, r.pixelFormat, 4, 3);
        const std::string file = dir.file("out");
        const ExportStatus status = storage::ExportImageFile(f, r.format, file, {});
        EXPECT_EQ(status, r.offered ? ExportStatus::Ok : ExportStatus::NotOffered);
        EXPECT_EQ(std::filesystem::exists(file), r.offered);
        std::filesystem::remove(file);
        EXPECT_EQ(dir.entryCount(), 0u) << "no temporary file left";
    }
}

TEST(ExportImage, EveryFormatReadByImageMagick)
{
    if (!toolExists("/usr/bin/identify"))
        GTEST_SKIP() << "ImageMagick is needed (scripts/install-deps.sh)";
    storage_test::TempDir dir("identify");
    struct Row {
        const char* name;
        uint8_t pixelFormat;
        const char* magick;  // ImageMagick says BMP3 for a BMP with a 40-byte information header
    } rows[] = {
        {"a.jpg", engine::PixelFormat24, "JPEG"}, {"b.gif", engine::PixelFormat24, "GIF"},
        {"c.gif", engine::PixelFormat8, "GIF"},   {"d.tif", engine::PixelFormat24, "TIFF"},
        {"e.tif", engine::PixelFormat8, "TIFF"},  {"f.bmp", engine::PixelFormat8, "BMP3"},
        {"g.png", engine::PixelFormat8, "PNG"},   {"h.png", engine::PixelFormat24, "PNG"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        document::TFractal f;
        fillImage(f, r.pixelFormat, 23, 14);
        const std::string file = dir.file(r.name);
        const auto format = storage::exportFormatFromPath(file);
        ASSERT_TRUE(format);
        RecordingObserver progress;
        ASSERT_EQ(storage::ExportImageFile(f, *format, file, {}, &progress), ExportStatus::Ok);
        EXPECT_EQ(progress.fractions, (std::vector<double>{10.0 / 14, 1.0}));
        const CommandResult id = run("/usr/bin/identify -format '%m %w %h' " + quoted(file));
        EXPECT_EQ(id.status, 0);
        EXPECT_EQ(id.out, std::string(r.magick) + " 23 14");
    }
}

TEST(ExportImage, MissingDirectoryFailsWithoutAFile)
{
    storage_test::TempDir dir("missing");
    document::TFractal f;
    fillImage(f, engine::PixelFormat8, 4, 4);
    const std::string file = dir.file("no/such/dir/out.tif");
    EXPECT_EQ(storage::ExportImageFile(f, ExportFormat::Tiff, file, {}), ExportStatus::WriteFailed);
    EXPECT_EQ(dir.entryCount(), 0u);
}

TEST(ExportImage, FailedWriteLeavesThePreviousFileIntact)
{
    // A child process with a file size limit of 64 KB exports a 400 x 400 image over a good
    // small file; every format's export fails part-way through, and the old file must still be
    // there, unchanged, with no temporary file beside it.
    struct Row {
        const char* name;
        uint8_t pixelFormat;
    } rows[] = {{"big.tif", engine::PixelFormat24}, {"big.gif", engine::PixelFormat8},
                {"big.jpg", engine::PixelFormat24}, {"big.bmp", engine::PixelFormat8},
                {"big.png", engine::PixelFormat24}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        storage_test::TempDir dir("fsize");
        const std::string file = dir.file(r.name);
        const std::vector<uint8_t> good = {'g', 'o', 'o', 'd', ' ', 'f', 'i', 'l', 'e'};
        storage_test::writeAll(file, good);
        document::TFractal f;
        Lcg lcg(3);
        fillBitmap(f, r.pixelFormat, 400, 400, [&](int, int, int) { return lcg.next(); });
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);  // writes past the limit then fail with EFBIG
            const rlimit limit{64 * 1024, 64 * 1024};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            const ExportStatus status =
                storage::ExportImageFile(f, *storage::exportFormatFromPath(file), file, {100, {}, 300});
            ::_exit(status == ExportStatus::WriteFailed ? 0 : 1);
        }
        int raw = 0;
        ASSERT_EQ(::waitpid(child, &raw, 0), child);
        ASSERT_TRUE(WIFEXITED(raw));
        EXPECT_EQ(WEXITSTATUS(raw), 0) << "the export must report its failure";
        EXPECT_EQ(storage_test::readAll(file), good);
        EXPECT_EQ(dir.entryCount(), 1u) << "no temporary file left";
    }
}

TEST(ExportImage, SuccessfulExportReplacesTheFile)
{
    storage_test::TempDir dir("replace");
    const std::string file = dir.file("out.bmp");
    storage_test::writeAll(file, {'o', 'l', 'd'});
    document::TFractal f;
    fillImage(f, engine::PixelFormat8, 6, 2);
    ASSERT_EQ(storage::ExportImageFile(f, ExportFormat::Bmp, file, {}), ExportStatus::Ok);
    const std::vector<uint8_t> b = storage_test::readAll(file);
    ASSERT_EQ(b.size(), 1078u + 2 * 8);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(dir.entryCount(), 1u);
}
