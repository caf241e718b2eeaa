// GIF export: file structure, the LZW code stream (checked by a small decoder written here from
// the GIF89a specification, appendix F, and by netpbm's giftopnm), the octree quantizer and the
// mapping of 24-bit images to the reduced palette.

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "colour/Palette.h"
#include "storage/ColourMapping.h"
#include "storage/GifWriter.h"
#include "storage/ImageSink.h"
#include "storage/Lzw.h"
#include "storage/Octree.h"
#include "tests/storage/ExportTestUtil.h"
#include "tests/storage/StorageTestUtil.h"

using namespace export_test;
using storage::Rgb;

namespace {

struct ParsedGif {
    bool ok = false;
    std::string error;
    int width = 0, height = 0, bits = 0;
    uint8_t flags = 0;
    std::vector<Rgb> table;
    int minCodeSize = 0;
    std::vector<uint8_t> lzw;  // the sub-blocks joined
    size_t largestBlock = 0;
};

// Walks the whole file and fails on anything it does not expect of our writer.
ParsedGif parseGif(const std::vector<uint8_t>& b)
{
    ParsedGif g;
    auto fail = [&](const std::string& why) {
        g.error = why;
        return g;
    };
    if (b.size() < 13 || std::string(b.begin(), b.begin() + 6) != "GIF87a")
        return fail("signature");
    g.width = u16le(b, 6);
    g.height = u16le(b, 8);
    g.flags = b[10];
    if (!(g.flags & 0x80))
        return fail("no global table");
    g.bits = (g.flags & 7) + 1;
    if (((g.flags >> 4) & 7) + 1 != g.bits || (g.flags & 0x08))
        return fail("colour resolution or sort flag");
    if (b[11] != 0 || b[12] != 0)
        return fail("background or aspect");
    size_t at = 13;
    for (int i = 0; i < (1 << g.bits); ++i, at += 3)
        g.table.push_back(Rgb{b.at(at), b.at(at + 1), b.at(at + 2)});
    if (b.at(at) != 0x2C || u16le(b, at + 1) != 0 || u16le(b, at + 3) != 0 || u16le(b, at + 5) != g.width
        || u16le(b, at + 7) != g.height || b.at(at + 9) != 0)
        return fail("image descriptor");
    at += 10;
    g.minCodeSize = b.at(at++);
    for (;;) {
        const size_t n = b.at(at++);
        if (n == 0)
            break;
        g.largestBlock = std::max(g.largestBlock, n);
        g.lzw.insert(g.lzw.end(), b.begin() + long(at), b.begin() + long(at + n));
        at += n;
    }
    if (b.at(at) != 0x3B || at + 1 != b.size())
        return fail("trailer");
    g.ok = true;
    return g;
}

struct LzwDecoded {
    bool ok = false;
    std::vector<uint8_t> indexes;
    std::vector<int> nextCodeAtClear;  // the decoder's next free code at each clear after the first
    int largestCodeRead = 0;
};

// A plain GIF LZW decoder: codes least significant bit first, widened when the next free code
// reaches 1 << width (at most 12 bits).
LzwDecoded decodeLzw(const std::vector<uint8_t>& data, int minCodeSize)
{
    LzwDecoded d;
    const int clear = 1 << minCodeSize, end = clear + 1;
    std::vector<int> prefix(4096, -1);
    std::vector<uint8_t> suffix(4096, 0);
    for (int i = 0; i < clear; ++i)
        suffix[size_t(i)] = uint8_t(i);
    int width = minCodeSize + 1, next = end + 1, prev = -1;
    size_t bitPos = 0;
    bool started = false;
    auto stringOf = [&](int code) {
        std::vector<uint8_t> s;
        for (; code >= 0; code = prefix[size_t(code)])
            s.push_back(suffix[size_t(code)]);
        return std::vector<uint8_t>(s.rbegin(), s.rend());
    };
    for (;;) {
        if (bitPos + size_t(width) > data.size() * 8)
            return d;  // ran out without an end code
        int code = 0;
        for (int i = 0; i < width; ++i, ++bitPos)
            code |= ((data[bitPos / 8] >> (bitPos % 8)) & 1) << i;
        d.largestCodeRead = std::max(d.largestCodeRead, code);
        if (code == clear) {
            if (started)
                d.nextCodeAtClear.push_back(next);
            started = true;
            width = minCodeSize + 1;
            next = end + 1;
            prev = -1;
            continue;
        }
        if (code == end)
            break;
        if (!started)
            return d;  // the stream must open with a clear code
        std::vector<uint8_t> s;
        if (prev < 0) {
            if (code >= clear)
                return d;
            s = stringOf(code);
        } else {
            if (code < next) {
                s = stringOf(code);
            } else if (code == next) {
                s = stringOf(prev);
                s.push_back(s.front());
            } else {
                return d;
            }
            if (next < 4096) {
                prefix[size_t(next)] = prev;
                suffix[size_t(next)] = s.front();
                ++next;
            }
            if (next == (1 << width) && width < 12)
                ++width;
        }
        d.indexes.insert(d.indexes.end(), s.begin(), s.end());
        prev = code;
    }
    // Only the padding of the last byte may follow the end code.
    d.ok = (bitPos + 7) / 8 == data.size();
    return d;
}

std::vector<Rgb> distinctColours(int n)
{
    std::vector<Rgb> c;
    for (int i = 0; i < n; ++i)
        c.push_back(Rgb{uint8_t(i * 97 % 256), uint8_t(255 - i), uint8_t(i * 13 % 256)});
    return c;
}

// A 24-bit bitmap using exactly the given colours, in a pseudo-random arrangement.
void fillWithColours(document::TFractal& f, const std::vector<Rgb>& colours, int w, int h, uint32_t seed)
{
    Lcg lcg(seed);
    std::vector<size_t> pick(size_t(w) * size_t(h));
    for (size_t i = 0; i < pick.size(); ++i)
        pick[i] = i < colours.size() ? i : (size_t(lcg.next()) << 8 | lcg.next()) % colours.size();
    fillBitmap(f, engine::PixelFormat24, w, h, [&](int x, int y, int c) {
        const Rgb& rgb = colours[pick[size_t(y) * size_t(w) + size_t(x)]];
        return c == 0 ? rgb.b : c == 1 ? rgb.g : rgb.r;
    });
}

std::vector<uint8_t> writeGif(const document::TFractal& f, storage::GifDither dither = storage::GifDither::None)
{
    storage::MemorySink sink;
    EXPECT_TRUE(storage::WriteGif(f.Bitmap, f.Palette, dither, sink));
    return sink.bytes;
}

void distinctPalette(document::TFractal& f)
{
    for (int i = 0; i < 256; ++i)
        f.Palette.entries[size_t(i)] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), 0};
}

bool haveGiftopnm()
{
    return toolExists("/usr/bin/giftopnm");
}

}  // namespace

TEST(GifWriter, StructureForEachColourCount)
{
    // Colour bits = the bits needed for the colour count; the LZW minimum code size is 2 for 1 bit.
    struct Row {
        const char* name;
        int colours;  // 0: an 8-bit image with its 256-entry palette
        int bits, minCodeSize;
        uint8_t flags;
    } rows[] = {
        {"8-bit palette image", 0, 8, 8, 0xF7},  {"one colour", 1, 1, 2, 0x80},    {"two colours", 2, 1, 2, 0x80},
        {"three colours", 3, 2, 2, 0x91},         {"five colours", 5, 3, 3, 0xA2},  {"17 colours", 17, 5, 5, 0xC4},
        {"129 colours", 129, 8, 8, 0xF7},         {"256 colours", 256, 8, 8, 0xF7},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        document::TFractal f;
        std::vector<Rgb> colours;
        if (r.colours == 0) {
            distinctPalette(f);
            Lcg lcg(7);
            fillBitmap(f, engine::PixelFormat8, 41, 29, [&](int, int, int) { return lcg.next(); });
        } else {
            colours = distinctColours(r.colours);
            fillWithColours(f, colours, 41, 29, 11);
        }
        const ParsedGif g = parseGif(writeGif(f));
        ASSERT_TRUE(g.ok) << g.error;
        EXPECT_EQ(g.width, 41);
        EXPECT_EQ(g.height, 29);
        EXPECT_EQ(g.flags, r.flags);
        EXPECT_EQ(g.bits, r.bits);
        EXPECT_EQ(g.minCodeSize, r.minCodeSize);
        EXPECT_LE(g.largestBlock, 255u);
        if (r.colours > 0) {
            // Every colour of the image is in the table exactly; the rest of the table is black.
            std::set<std::tuple<int, int, int>> wanted, got;
            for (const Rgb& c : colours)
                wanted.insert({c.r, c.g, c.b});
            for (size_t i = 0; i < size_t(r.colours); ++i)
                got.insert({g.table[i].r, g.table[i].g, g.table[i].b});
            EXPECT_EQ(got, wanted);
            for (size_t i = size_t(r.colours); i < g.table.size(); ++i)
                EXPECT_EQ(g.table[i], Rgb{}) << "entry " << i;
        }
        const LzwDecoded d = decodeLzw(g.lzw, g.minCodeSize);
        ASSERT_TRUE(d.ok);
        ASSERT_EQ(d.indexes.size(), size_t(41 * 29));
        for (int y = 0; y < 29; ++y)
            for (int x = 0; x < 41; ++x) {
                const Rgb& c = g.table[d.indexes[size_t(y * 41 + x)]];
                const auto want = shownColour(f, x, y);
                ASSERT_EQ(c, (Rgb{want[0], want[1], want[2]})) << "pixel " << x << "," << y;
            }
    }
}

TEST(GifWriter, EightBitImageKeepsPaletteAndIndexes)
{
    document::TFractal f;
    f.Palette = colour::systemPalette();  // has repeated colours: only the indexes tell them apart
    Lcg lcg(3);
    fillBitmap(f, engine::PixelFormat8, 57, 33, [&](int, int, int) { return lcg.next(); });
    const ParsedGif g = parseGif(writeGif(f));
    ASSERT_TRUE(g.ok) << g.error;
    ASSERT_EQ(g.table.size(), 256u);
    for (size_t i = 0; i < 256; ++i) {
        const colour::PaletteEntry& e = f.Palette.entries[i];
        EXPECT_EQ(g.table[i], (Rgb{e.red, e.green, e.blue})) << "entry " << i;
    }
    const LzwDecoded d = decodeLzw(g.lzw, g.minCodeSize);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.indexes, f.Bitmap.Pixels);
}

TEST(GifWriter, LzwClearsWhenTheNextCodeWouldBe4095)
{
    // Random indexes make short strings, so the table fills many times over.
    struct Row {
        const char* name;
        int minCodeSize;
        size_t count;
    } rows[] = {{"8-bit indexes", 8, 120000}, {"2-bit indexes", 2, 400000}, {"5-bit indexes", 5, 200000}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Lcg lcg(42);
        std::vector<uint8_t> indexes(r.count);
        for (uint8_t& v : indexes)
            v = uint8_t(lcg.next() % (1 << r.minCodeSize));
        storage::MemorySink sink;
        storage::LzwEncoder lzw(sink, r.minCodeSize);
        ASSERT_TRUE(lzw.add(indexes.data(), indexes.size()));
        ASSERT_TRUE(lzw.finish());
        EXPECT_GE(lzw.clearsWritten(), 3u);

        ASSERT_EQ(sink.bytes[0], r.minCodeSize);
        std::vector<uint8_t> joined;
        size_t at = 1;
        for (size_t n; (n = sink.bytes.at(at++)) != 0; at += n) {
            ASSERT_LE(n, 255u);
            joined.insert(joined.end(), sink.bytes.begin() + long(at), sink.bytes.begin() + long(at + n));
        }
        EXPECT_EQ(at, sink.bytes.size());
        const LzwDecoded d = decodeLzw(joined, r.minCodeSize);
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(d.indexes, indexes);
        ASSERT_EQ(d.nextCodeAtClear.size(), lzw.clearsWritten());
        // The encoder had just given code 4094 to a string the decoder never needed: the
        // decoder's table stops one entry short of it, and no code above 4094 is ever read.
        for (int next : d.nextCodeAtClear)
            EXPECT_EQ(next, 4094);
        EXPECT_LE(d.largestCodeRead, 4094);
    }
}

TEST(GifWriter, LzwShortStreamsOfEveryLength)
{
    // Short streams end at every code width and bit position; the end code must be written at
    // the width the decoder reaches after the last code (it widens on reading that code when its
    // next free code reaches 1 << width).
    for (int minCodeSize : {2, 3, 8}) {
        for (size_t length = 1; length <= 300; ++length) {
            SCOPED_TRACE("min code size " + std::to_string(minCodeSize) + ", length " + std::to_string(length));
            Lcg lcg(uint32_t(length * 31 + size_t(minCodeSize)));
            std::vector<uint8_t> indexes(length);
            for (uint8_t& v : indexes)
                v = uint8_t(lcg.next() % 3);  // few values: long strings, codes of several widths
            storage::MemorySink sink;
            storage::LzwEncoder lzw(sink, minCodeSize);
            ASSERT_TRUE(lzw.add(indexes.data(), indexes.size()));
            ASSERT_TRUE(lzw.finish());
            std::vector<uint8_t> joined;
            size_t at = 1;
            for (size_t n; (n = sink.bytes.at(at++)) != 0; at += n)
                joined.insert(joined.end(), sink.bytes.begin() + long(at), sink.bytes.begin() + long(at + n));
            const LzwDecoded d = decodeLzw(joined, minCodeSize);
            ASSERT_TRUE(d.ok);
            ASSERT_EQ(d.indexes, indexes);
        }
    }
}

TEST(GifWriter, GiftopnmDecodesExactly)
{
    if (!haveGiftopnm())
        GTEST_SKIP() << "netpbm is needed (scripts/install-deps.sh)";
    storage_test::TempDir dir("gif");
    struct Row {
        const char* name;
        int colours;  // 0: 8-bit image
        int width, height;
    } rows[] = {
        {"8-bit, random indexes across many clear codes", 0, 320, 240},
        {"two colours", 2, 300, 200},
        {"seven colours", 7, 211, 97},
        {"256 colours", 256, 199, 151},
        {"one pixel", 1, 1, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        document::TFractal f;
        if (r.colours == 0) {
            distinctPalette(f);
            Lcg lcg(5);
            fillBitmap(f, engine::PixelFormat8, r.width, r.height, [&](int, int, int) { return lcg.next(); });
        } else {
            fillWithColours(f, distinctColours(r.colours), r.width, r.height, 23);
        }
        const std::string file = dir.file("image.gif");
        storage_test::writeAll(file, writeGif(f));
        const Ppm decoded = decode("/usr/bin/giftopnm", file);
        ASSERT_TRUE(decoded.valid());
        std::string where;
        EXPECT_EQ(countDifferences(f, decoded, &where), 0) << where;
    }
}

TEST(GifWriter, QuantizedImageStaysClose)
{
    // A smooth 24-bit image of 128 x 96 = 12288 distinct colours.
    document::TFractal f;
    fillBitmap(f, engine::PixelFormat24, 128, 96, [](int x, int y, int c) {
        return uint8_t(c == 2 ? x * 2 : c == 1 ? y * 2 + 40 : 255 - x - y);
    });
    struct Row {
        const char* name;
        storage::GifDither dither;
        double maxMeanError;  // mean absolute error per channel
    } rows[] = {{"nearest colour", storage::GifDither::None, 4.0},
                {"error diffusion", storage::GifDither::ErrorDiffusion, 8.0}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const ParsedGif g = parseGif(writeGif(f, r.dither));
        ASSERT_TRUE(g.ok) << g.error;
        EXPECT_LE(g.table.size(), 256u);
        const LzwDecoded d = decodeLzw(g.lzw, g.minCodeSize);
        ASSERT_TRUE(d.ok);
        ASSERT_EQ(d.indexes.size(), f.Bitmap.Pixels.size() / 3);
        double errorSum = 0, signedSum[3] = {0, 0, 0};
        int notNearest = 0;
        for (int y = 0; y < 96; ++y)
            for (int x = 0; x < 128; ++x) {
                const auto want = shownColour(f, x, y);
                const Rgb& got = g.table[d.indexes[size_t(y * 128 + x)]];
                const int diff[3] = {got.r - want[0], got.g - want[1], got.b - want[2]};
                for (int c = 0; c < 3; ++c) {
                    errorSum += std::abs(diff[c]);
                    signedSum[c] += diff[c];
                }
                if (r.dither == storage::GifDither::None) {
                    // The colour chosen is at the smallest distance of any table colour.
                    int best = 1 << 30;
                    for (const Rgb& t : g.table) {
                        const int dr = t.r - want[0], dg = t.g - want[1], db = t.b - want[2];
                        best = std::min(best, dr * dr + dg * dg + db * db);
                    }
                    notNearest += diff[0] * diff[0] + diff[1] * diff[1] + diff[2] * diff[2] != best;
                }
            }
        const double pixels = 128.0 * 96.0;
        EXPECT_LT(errorSum / (pixels * 3), r.maxMeanError);
        EXPECT_EQ(notNearest, 0);
        if (r.dither == storage::GifDither::ErrorDiffusion) {
            for (int c = 0; c < 3; ++c)
                EXPECT_LT(std::abs(signedSum[c] / pixels), 0.5) << "diffusion keeps the mean of channel " << c;
        }
        if (haveGiftopnm()) {
            storage_test::TempDir dir("gifq");
            const std::string file = dir.file("q.gif");
            storage_test::writeAll(file, writeGif(f, r.dither));
            const Ppm decoded = decode("/usr/bin/giftopnm", file);
            ASSERT_TRUE(decoded.valid());
            for (size_t i = 0; i < d.indexes.size(); ++i) {
                const Rgb& t = g.table[d.indexes[i]];
                ASSERT_EQ((Rgb{decoded.rgb[i * 3], decoded.rgb[i * 3 + 1], decoded.rgb[i * 3 + 2]}), t) << i;
            }
        }
    }
}

TEST(Octree, KeepsUpTo256ColoursExactly)
{
    for (int n : {1, 2, 255, 256}) {
        SCOPED_TRACE(n);
        storage::OctreeQuantizer octree;
        const std::vector<Rgb> colours = distinctColours(n);
        for (int repeat = 0; repeat < 3; ++repeat)
            for (const Rgb& c : colours)
                octree.addColour(c);
        const std::vector<Rgb> palette = octree.palette();
        ASSERT_EQ(palette.size(), size_t(n));
        std::set<std::tuple<int, int, int>> a, b;
        for (const Rgb& c : colours)
            a.insert({c.r, c.g, c.b});
        for (const Rgb& c : palette)
            b.insert({c.r, c.g, c.b});
        EXPECT_EQ(a, b);
    }
}

TEST(Octree, FoldsTheNewestNodeOfTheDeepestLevel)
{
    // Reds 0..255 fill 256 leaves; white makes 257. Its own level-7 node is the newest but has one
    // child, so folding it saves nothing; the next newest at that level is the node of reds 254 and
    // 255, which becomes one leaf with their mean 254.5, rounded to the even 254.
    storage::OctreeQuantizer octree;
    for (int r = 0; r < 256; ++r)
        octree.addColour(Rgb{uint8_t(r), 0, 0});
    octree.addColour(Rgb{255, 255, 255});
    const std::vector<Rgb> palette = octree.palette();
    ASSERT_EQ(palette.size(), 256u);
    for (int r = 0; r < 254; ++r)
        EXPECT_EQ(palette[size_t(r)], (Rgb{uint8_t(r), 0, 0}));
    EXPECT_EQ(palette[254], (Rgb{254, 0, 0}));
    EXPECT_EQ(palette[255], (Rgb{255, 255, 255}));
}

TEST(Octree, MeansRoundToNearestEven)
{
    struct Row {
        const char* name;
        std::vector<Rgb> colours;
        Rgb mean;
    } rows[] = {
        {"0.5 rounds down to 0", {{0, 0, 0}, {1, 1, 1}}, {0, 0, 0}},
        {"1.5 rounds up to 2", {{1, 1, 1}, {2, 2, 2}}, {2, 2, 2}},
        {"1/3 rounds down", {{0, 0, 0}, {0, 0, 0}, {1, 1, 1}}, {0, 0, 0}},
        {"2/3 rounds up", {{0, 0, 0}, {1, 1, 1}, {1, 1, 1}}, {1, 1, 1}},
        {"far apart", {{0, 10, 255}, {255, 21, 0}}, {128, 16, 128}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        storage::OctreeQuantizer octree(1, 8);
        for (const Rgb& c : r.colours)
            octree.addColour(c);
        ASSERT_EQ(octree.palette().size(), 1u);
        EXPECT_EQ(octree.palette()[0], r.mean);
    }
}

TEST(Octree, ManyColoursReduceTo256)
{
    storage::OctreeQuantizer octree;
    Lcg lcg(9);
    for (int i = 0; i < 100000; ++i)
        octree.addColour(Rgb{lcg.next(), lcg.next(), lcg.next()});
    EXPECT_LE(octree.leafCount(), 256);
    EXPECT_EQ(octree.palette().size(), size_t(octree.leafCount()));
    EXPECT_GT(octree.leafCount(), 200) << "reduction stops as soon as the count is 256 or less";
}

TEST(ColourMapping, NearestColourTakesTheLowestIndexOnATie)
{
    storage::NearestColour nearest({{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {10, 0, 0}});
    EXPECT_EQ(nearest.find({5, 0, 0}), 0) << "equally far from 0 and 1";
    EXPECT_EQ(nearest.find({6, 0, 0}), 1) << "1 and 3 are the same colour";
    EXPECT_EQ(nearest.find({5, 5, 0}), 0);
    EXPECT_EQ(nearest.find({4, 6, 0}), 2);
    EXPECT_EQ(nearest.find({6, 0, 0}), 1) << "the cached answer";
}

TEST(ColourMapping, SerpentineErrorDiffusion)
{
    // Expected indexes from an independent Python model of the rule (serpentine rows, 7/16 ahead,
    // 3/16 behind, 5/16 below, 1/16 below ahead, value + (error + 8) div 16 truncated toward zero,
    // clamped to 0..255, the error taken from the clamped value). The same input gives other
    // indexes with raster order, floor division, 3/16 and 1/16 swapped, the error taken before
    // clamping, or plain rounding of error / 16.
    const std::vector<Rgb> palette = {{0, 0, 0}, {255, 255, 255}, {128, 128, 128}, {255, 0, 0}, {0, 0, 255}};
    const Rgb image[3][4] = {
        {{100, 90, 255}, {200, 90, 40}, {100, 0, 128}, {100, 90, 220}},
        {{200, 255, 40}, {160, 0, 255}, {30, 200, 128}, {30, 90, 40}},
        {{0, 255, 40}, {0, 255, 128}, {200, 200, 0}, {0, 0, 255}},
    };
    const uint8_t expected[3][4] = {{4, 3, 2, 4}, {2, 4, 2, 2}, {2, 2, 2, 4}};
    storage::RowMapper mapper(palette, storage::GifDither::ErrorDiffusion, 4);
    for (int y = 0; y < 3; ++y) {
        uint8_t bgr[12];
        for (int x = 0; x < 4; ++x) {
            bgr[x * 3] = image[y][x].b;
            bgr[x * 3 + 1] = image[y][x].g;
            bgr[x * 3 + 2] = image[y][x].r;
        }
        uint8_t indexes[4];
        mapper.mapRow(bgr, indexes);
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(indexes[x], expected[y][x]) << "pixel " << x << "," << y;
    }
}

TEST(GifWriter, ProgressAndRefusals)
{
    document::TFractal f;
    fillWithColours(f, distinctColours(3), 5, 21, 1);
    RecordingObserver progress;
    storage::MemorySink sink;
    ASSERT_TRUE(storage::WriteGif(f.Bitmap, f.Palette, storage::GifDither::ErrorDiffusion, sink, &progress));
    EXPECT_EQ(progress.fractions, (std::vector<double>{10.0 / 21, 20.0 / 21, 1.0}));

    document::TFractal empty;
    fillBitmap(empty, engine::PixelFormat8, 0, 0, [](int, int, int) { return uint8_t(0); });
    storage::MemorySink none;
    EXPECT_FALSE(storage::WriteGif(empty.Bitmap, empty.Palette, storage::GifDither::None, none));
}
