// JPEG export through libjpeg-turbo, read back by djpeg (libjpeg-turbo-progs): 4:4:4 chroma sampling
// from quality 90 up, 4:2:0 below.

#include <gtest/gtest.h>

#include <cmath>

#include "storage/ImageSink.h"
#include "storage/JpegWriter.h"
#include "tests/storage/ExportTestUtil.h"
#include "tests/storage/StorageTestUtil.h"

using namespace export_test;

namespace {

// Smooth channels that differ from each other, so that swapped channels show as large errors.
void fillSmooth(document::TFractal& f, int w, int h)
{
    fillBitmap(f, engine::PixelFormat24, w, h, [](int x, int y, int c) {
        return uint8_t(c == 2 ? x * 2 : c == 1 ? 30 + y * 3 : 250 - x - y);
    });
}

struct Marker {
    uint8_t code;
    size_t at;
};

// The markers before the entropy-coded data (up to SOS), in order.
std::vector<Marker> headerMarkers(const std::vector<uint8_t>& b)
{
    std::vector<Marker> out;
    size_t at = 2;
    while (at + 4 <= b.size() && b[at] == 0xFF) {
        const uint8_t code = b[at + 1];
        out.push_back({code, at});
        if (code == 0xDA)
            break;
        at += 2 + (size_t(b[at + 2]) << 8 | b[at + 3]);
    }
    return out;
}

// Mean absolute error per channel (0..255) of the decoded image against the picture.
double meanError(const document::TFractal& f, const Ppm& decoded)
{
    const int w = f.Bitmap.Width, h = f.Bitmap.Height;
    double error = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto want = shownColour(f, x, y);
            for (size_t c = 0; c < 3; ++c)
                error += std::abs(int(decoded.rgb[(size_t(y) * size_t(w) + size_t(x)) * 3 + c]) - want[c]);
        }
    return error / (double(w) * h * 3);
}

// The sampling factors of the three components as djpeg reports them ("1hx1v 1hx1v 1hx1v").
std::string djpegSampling(const std::string& file)
{
    const std::string out = run("/usr/bin/djpeg -verbose -verbose -outfile /dev/null " + quoted(file), true).out;
    std::string sampling;
    const size_t frame = out.find("Start Of Frame");
    for (int component = 1; component <= 3 && frame != std::string::npos; ++component) {
        const std::string tag = "Component " + std::to_string(component) + ": ";
        const size_t at = out.find(tag, frame);
        if (at == std::string::npos)
            break;
        const size_t begin = at + tag.size();
        sampling += (sampling.empty() ? "" : " ") + out.substr(begin, out.find(' ', begin) - begin);
    }
    return sampling;
}

}  // namespace

TEST(JpegWriter, ChromaSamplingFollowsTheQuality)
{
    const bool haveDjpeg = toolExists("/usr/bin/djpeg");
    storage_test::TempDir dir("jpegsampling");
    // Smooth channels, and a checkerboard of red and blue pixels: colour detail at the finest scale,
    // which 4:2:0 sampling averages away into purple and 4:4:4 keeps.
    document::TFractal smooth, checker;
    fillSmooth(smooth, 96, 64);
    fillBitmap(checker, engine::PixelFormat24, 48, 32, [](int x, int y, int c) {
        const bool red = (x + y) % 2 == 0;
        return uint8_t((red ? c == 2 : c == 0) ? 220 : 20);  // channels: 0 blue, 1 green, 2 red
    });
    struct Row {
        int quality;
        uint8_t lumaSampling;  // the SOF0 byte of the first component: horizontal << 4 | vertical
        const char* djpeg;
        double maxMeanError;  // smooth picture, as BaselineYCbCrReadBackWithinTolerance
        double checkerErrorMin, checkerErrorMax;  // the checkerboard: lost (about 70) or kept
    } rows[] = {
        {50, 0x22, "2hx2v 1hx1v 1hx1v", 4.0, 40, 255},
        {89, 0x22, "2hx2v 1hx1v 1hx1v", 2.0, 40, 255},
        {90, 0x11, "1hx1v 1hx1v 1hx1v", 2.0, 0, 8},
        {100, 0x11, "1hx1v 1hx1v 1hx1v", 1.5, 0, 2},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE("quality " + std::to_string(r.quality));
        for (const document::TFractal* f : {&smooth, &checker}) {
            const bool isChecker = f == &checker;
            SCOPED_TRACE(isChecker ? "checkerboard" : "smooth");
            storage::MemorySink sink;
            ASSERT_TRUE(storage::WriteJpeg(f->Bitmap, r.quality, sink));
            bool sof = false;
            for (const Marker& m : headerMarkers(sink.bytes))
                if (m.code == 0xC0) {
                    sof = true;
                    // Components at 10, 13, 16 from the marker: id, sampling, table.
                    EXPECT_EQ(sink.bytes.at(m.at + 11), r.lumaSampling) << "Y";
                    EXPECT_EQ(sink.bytes.at(m.at + 14), 0x11) << "Cb";
                    EXPECT_EQ(sink.bytes.at(m.at + 17), 0x11) << "Cr";
                }
            EXPECT_TRUE(sof);
            if (!haveDjpeg)
                continue;
            const std::string file = dir.file("q" + std::to_string(r.quality) + ".jpg");
            storage_test::writeAll(file, sink.bytes);
            EXPECT_EQ(djpegSampling(file), r.djpeg);
            const Ppm decoded = parsePpm(run("/usr/bin/djpeg -ppm " + quoted(file)).out);
            ASSERT_TRUE(decoded.valid());
            ASSERT_EQ(decoded.width, f->Bitmap.Width);
            ASSERT_EQ(decoded.height, f->Bitmap.Height);
            const double error = meanError(*f, decoded);
            if (isChecker) {
                EXPECT_GE(error, r.checkerErrorMin);
                EXPECT_LT(error, r.checkerErrorMax);
            } else {
                EXPECT_LT(error, r.maxMeanError);
            }
        }
    }
    VOREX_NEED_TOOLS("/usr/bin/djpeg");  // for the decoding half
}

TEST(JpegWriter, BaselineYCbCrReadBackWithinTolerance)
{
    const bool haveDjpeg = toolExists("/usr/bin/djpeg");
    storage_test::TempDir dir("jpeg");
    document::TFractal f;
    fillSmooth(f, 96, 64);
    struct Row {
        int quality;
        double maxMeanError;  // mean absolute error per channel, 0..255
    } rows[] = {{50, 4.0}, {75, 3.0}, {90, 2.0}, {100, 1.5}};
    size_t previousSize = 0;
    for (const Row& r : rows) {
        SCOPED_TRACE("quality " + std::to_string(r.quality));
        storage::MemorySink sink;
        ASSERT_TRUE(storage::WriteJpeg(f.Bitmap, r.quality, sink));
        const std::vector<uint8_t>& b = sink.bytes;
        ASSERT_GT(b.size(), 4u);
        EXPECT_EQ(b[0], 0xFF);
        EXPECT_EQ(b[1], 0xD8);
        EXPECT_EQ(b[b.size() - 2], 0xFF);
        EXPECT_EQ(b[b.size() - 1], 0xD9);
        bool baseline = false, otherFrame = false, jfif = false;
        for (const Marker& m : headerMarkers(b)) {
            if (m.code == 0xE0)
                jfif = std::string(b.begin() + long(m.at + 4), b.begin() + long(m.at + 9)) == std::string("JFIF\0", 5);
            if (m.code == 0xC0) {
                baseline = true;
                EXPECT_EQ(b[m.at + 4], 8) << "sample precision";
                EXPECT_EQ(size_t(b[m.at + 5]) << 8 | b[m.at + 6], 64u);
                EXPECT_EQ(size_t(b[m.at + 7]) << 8 | b[m.at + 8], 96u);
                EXPECT_EQ(b[m.at + 9], 3) << "three components (Y, Cb, Cr)";
            } else if (m.code >= 0xC1 && m.code <= 0xCF && m.code != 0xC4 && m.code != 0xC8 && m.code != 0xCC) {
                otherFrame = true;
            }
        }
        EXPECT_TRUE(jfif);
        EXPECT_TRUE(baseline);
        EXPECT_FALSE(otherFrame);
        EXPECT_GT(b.size(), previousSize) << "a higher quality keeps more";
        previousSize = b.size();

        if (!haveDjpeg)
            continue;
        const std::string file = dir.file("q" + std::to_string(r.quality) + ".jpg");
        storage_test::writeAll(file, b);
        const Ppm decoded = parsePpm(run("/usr/bin/djpeg -ppm " + quoted(file)).out);
        ASSERT_TRUE(decoded.valid());
        ASSERT_EQ(decoded.width, 96);
        ASSERT_EQ(decoded.height, 64);
        double error = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 96; ++x) {
                const auto want = shownColour(f, x, y);
                for (int c = 0; c < 3; ++c)
                    error += std::abs(int(decoded.rgb[(size_t(y) * 96 + size_t(x)) * 3 + size_t(c)]) - want[size_t(c)]);
            }
        EXPECT_LT(error / (96.0 * 64 * 3), r.maxMeanError);
    }
    VOREX_NEED_TOOLS("/usr/bin/djpeg");  // for the decoding half
}

TEST(JpegWriter, QualityIsClampedAndEightBitRefused)
{
    document::TFractal f;
    fillSmooth(f, 16, 16);
    storage::MemorySink low, fifty, high, hundred;
    ASSERT_TRUE(storage::WriteJpeg(f.Bitmap, 10, low));
    ASSERT_TRUE(storage::WriteJpeg(f.Bitmap, 50, fifty));
    ASSERT_TRUE(storage::WriteJpeg(f.Bitmap, 140, high));
    ASSERT_TRUE(storage::WriteJpeg(f.Bitmap, 100, hundred));
    EXPECT_EQ(low.bytes, fifty.bytes);
    EXPECT_EQ(high.bytes, hundred.bytes);

    document::TFractal eight;
    fillBitmap(eight, engine::PixelFormat8, 4, 4, [](int x, int, int) { return uint8_t(x); });
    storage::MemorySink refused;
    EXPECT_FALSE(storage::WriteJpeg(eight.Bitmap, 90, refused));
}

TEST(JpegWriter, FailingSinkEndsTheExport)
{
    // A sink that takes the first 100 bytes and then fails: libjpeg's error path must return
    // false rather than end the process.
    class ShortSink : public storage::ImageSink {
    public:
        bool write(const void*, size_t size) override
        {
            taken += size;
            return taken <= 100;
        }
        size_t taken = 0;
    };
    document::TFractal f;
    Lcg lcg(1);
    fillBitmap(f, engine::PixelFormat24, 400, 300, [&](int, int, int) { return lcg.next(); });
    ShortSink sink;
    RecordingObserver progress;
    EXPECT_FALSE(storage::WriteJpeg(f.Bitmap, 100, sink, &progress));
}
