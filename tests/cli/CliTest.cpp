// Runs the real vorex-cli binary and reads what it writes with a reader of its own: the header fields
// at their documented offsets and the zlib stream of pixel values, compared with an independent
// rendering of the kernels (tests/engine/ReferenceKernels.h).
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "../engine/ReferenceKernels.h"
#include "engine/Catalogue.h"

namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status = -1;
    std::string out, err;
};

std::string slurp(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("vorex-cli-test-" + std::to_string(::getpid()) + "-"
                                           + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    CliRun run(const std::string& args)
    {
        const std::string cmd = std::string(VOREX_CLI) + " " + args + " >" + (dir / "out").string() + " 2>"
                                + (dir / "err").string() + " </dev/null";
        CliRun r;
        const int raw = std::system(cmd.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = slurp(dir / "out");
        r.err = slurp(dir / "err");
        return r;
    }
    std::string file(const std::string& name) { return (dir / name).string(); }

    fs::path dir;
};

template <typename T>
T at(const std::string& bytes, size_t offset)
{
    T v;
    std::memcpy(&v, bytes.data() + offset, sizeof v);  // the file is little-endian, like this machine
    return v;
}

// 80-bit extended: 64-bit mantissa with its integer bit, 15-bit exponent biased by 16383, sign.
double extendedAt(const std::string& bytes, size_t offset)
{
    const uint64_t mantissa = at<uint64_t>(bytes, offset);
    const uint16_t se = at<uint16_t>(bytes, offset + 8);
    const int exponent = se & 0x7FFF;
    const double v = exponent == 0 && mantissa == 0 ? 0.0 : std::ldexp(double(mantissa), exponent - 16383 - 63);
    return se & 0x8000 ? -v : v;
}

std::vector<uint16_t> pixels(const std::string& bytes, int width, int height)
{
    std::vector<uint16_t> values(size_t(width) * size_t(height));
    uLongf size = uLongf(values.size() * 2);
    const int rc = uncompress(reinterpret_cast<Bytef*>(values.data()), &size,
                              reinterpret_cast<const Bytef*>(bytes.data() + 4328), uLong(bytes.size() - 4328));
    EXPECT_EQ(rc, Z_OK);
    EXPECT_EQ(size, values.size() * 2);
    return values;
}

}  // namespace

TEST_F(Cli, NewWritesTheHeaderAndTheLevelValues)
{
    const CliRun r = run("new --type 0 --size 320x240 --iter 250 --periodicity off --quiet -o " + file("m.mbt"));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string doc = slurp(file("m.mbt"));
    ASSERT_GT(doc.size(), 4328u);
    EXPECT_EQ(at<uint16_t>(doc, 0x000), 55555);
    EXPECT_EQ(doc.substr(0x002, 6), std::string("\x05Vorex", 6));
    EXPECT_EQ(at<uint16_t>(doc, 0x02E), 1);
    EXPECT_EQ(at<int32_t>(doc, 0x094), 320);
    EXPECT_EQ(at<int32_t>(doc, 0x098), 240);
    EXPECT_EQ(at<int32_t>(doc, 0x09C), 0);  // complete
    EXPECT_EQ(at<uint16_t>(doc, 0x0A4), 250);
    EXPECT_EQ(at<uint8_t>(doc, 0x0A8), 0);
    EXPECT_EQ(at<uint8_t>(doc, 0x0A9), 0);
    EXPECT_EQ(extendedAt(doc, 0x0AA), -0.5);
    EXPECT_EQ(extendedAt(doc, 0x0BE), 0.01);
    EXPECT_EQ(extendedAt(doc, 0x0C8), -0.5 - 160 * 0.01);  // LeftX
    EXPECT_EQ(at<uint8_t>(doc, 0x118), 3);
    EXPECT_EQ(at<uint16_t>(doc, 0xA30), 4);
    EXPECT_EQ(at<uint8_t>(doc, 0xA38), 1);

    const std::vector<uint16_t> values = pixels(doc, 320, 240);
    const double left = extendedAt(doc, 0x0C8), top = extendedAt(doc, 0x0D2), step = 0.01;
    for (int row = 0; row < 240; ++row)
        for (int col = 0; col < 320; ++col) {
            const reference::Point c{col * step + left, top - row * step};
            ASSERT_EQ(values[size_t(row) * 320 + size_t(col)], reference::level({0, 0}, c, 250, 4, 0))
                << "row " << row << " column " << col;
        }
}

TEST_F(Cli, NewAgreesWithTheReferenceForEachAlgorithm)
{
    // Julia starts at the pixel with c the Julia constant; Mandelbrot's other algorithms start at 0.
    const struct {
        const char* name;
        const char* options;
        int type, algorithm;
    } cases[] = {
        {"Julia Level", "--type 1", 1, 0},
        {"Mandelbrot Distance", "--type 0 --algorithm 1", 0, 1},
        {"Julia Distance", "--type 1 --algorithm 1", 1, 1},
        {"Mandelbrot Binary", "--type 0 --algorithm 3", 0, 3},
        {"Julia Binary", "--type 1 --algorithm 3", 1, 3},
        {"Mandelbrot Color Distance", "--type 0 --algorithm 4", 0, 4},
        {"Julia Color Distance with Delta 500", "--type 1 --algorithm 4 --delta 500", 1, 4},
    };
    const int w = 96, h = 72;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = run(std::string("new ") + c.options + " --size 96x72 --periodicity off --quiet -o " + file("a.mbt"));
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string doc = slurp(file("a.mbt"));
        ASSERT_EQ(at<uint8_t>(doc, 0x0A8), c.type);
        ASSERT_EQ(at<uint8_t>(doc, 0x0A9), c.algorithm);
        const int maxIter = at<uint16_t>(doc, 0x0A4);
        const double L = at<uint16_t>(doc, 0xA30);
        const double left = extendedAt(doc, 0x0C8), top = extendedAt(doc, 0x0D2), step = extendedAt(doc, 0x0BE);
        const reference::Point julia{extendedAt(doc, 0x0DC), extendedAt(doc, 0x0E6)};
        const double threshold = at<int32_t>(doc, 0xA34) / 500.0 * step;
        const std::vector<uint16_t> values = pixels(doc, w, h);
        int mismatches = 0;
        for (int row = 0; row < h; ++row)
            for (int col = 0; col < w; ++col) {
                const reference::Point pixel{col * step + left, top - row * step};
                const reference::Point z0 = c.type == 1 ? pixel : reference::Point{0, 0};
                const reference::Point a = c.type == 1 ? julia : pixel;
                uint16_t expected = 0;
                switch (c.algorithm) {
                case 0: expected = reference::level(z0, a, maxIter, L, 0); break;
                case 1: expected = reference::distance(z0, a, maxIter, threshold); break;
                case 3: expected = reference::binary(z0, a, maxIter, L, 0); break;
                case 4: expected = reference::colorDistance(z0, a, maxIter, threshold, step); break;
                }
                mismatches += values[size_t(row) * w + size_t(col)] != expected;
            }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST_F(Cli, BadOptionsExitWithStatus2AndWriteNothing)
{
    const struct {
        const char* args;
        const char* mentions;
    } cases[] = {
        {"new --type 2", "--type"},          // a separator of the type list
        {"new --type 18", "--type"},
        {"new --type 3 --algorithm 1", "--algorithm"},  // ZC(1-Z) offers Level only
        {"new --algorithm 5", "--algorithm"},           // Potential is not offered
        {"new --iter 19", "--iter"},
        {"new --iter 65001", "--iter"},
        {"new --escape 1", "--escape"},
        {"new --type 13 --bailout 3", "--bailout"},
        {"new --newton-p 11", "--newton-p"},
        {"new --size 20001x10", "--size"},
        {"new --size 10", "--size"},
        {"new --depth 16", "--depth"},
        {"new --centre 5,0", "--centre"},    // outside Mandelbrot's X range
        {"new --step 1e-16", "--step"},
        {"new --zoom 0.1", "--zoom"},        // a step of 0.05 is above Mandelbrot's largest
        {"new --pert 6,0", "--pert"},
        {"new --delta 0", "--delta"},
        {"new --periodicity maybe", "--periodicity"},
        {"new --frobnicate 1", "--frobnicate"},
        {"new --type", "--type"},             // value missing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const CliRun r = run(std::string(c.args) + " -o " + file("bad.mbt"));
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(fs::exists(file("bad.mbt")));
    }
    EXPECT_EQ(run("new --size 10x10").status, 2);  // no output named
}

// The numeric options take the limits of the variables dialog's fields (engine::FieldLimits): both ends
// are accepted, one beyond either end is refused with a message that names the range.
TEST_F(Cli, NumericOptionsTakeTheLimitsOfTheVariablesDialog)
{
    const engine::FieldLimitTable& l = engine::FieldLimits;
    const struct {
        const char* option;
        std::string before, after;  // around the number
        engine::IntRange range;
        const char* others;         // the rest of the command line
    } rows[] = {
        {"--iter", "--iter ", "", l.Iterations, "--size 3x2"},
        {"--escape", "--escape ", "", l.EscapeLevel, "--size 3x2"},
        {"--newton-p", "--newton-p ", "", l.NewtonP, "--type 13 --size 3x2"},
        {"--delta", "--delta ", "", l.Delta, "--algorithm 1 --size 3x2"},
        {"--size", "--size ", "x1", l.ImageSide, "--iter 20"},
        {"--size", "--size 1x", "", l.ImageSide, "--iter 20"},
    };
    for (const auto& row : rows) {
        const std::string range = std::to_string(row.range.min) + " to " + std::to_string(row.range.max);
        for (long long v : {(long long)row.range.min, (long long)row.range.max}) {
            const std::string args = "new " + row.before + std::to_string(v) + row.after + " " + row.others;
            SCOPED_TRACE(args);
            const CliRun r = run(args + " --quiet -o " + file("ok.mbt"));
            EXPECT_EQ(r.status, 0) << r.err;
            EXPECT_TRUE(fs::exists(file("ok.mbt")));
            fs::remove(file("ok.mbt"));
        }
        for (long long v : {(long long)row.range.min - 1, (long long)row.range.max + 1}) {
            const std::string args = "new " + row.before + std::to_string(v) + row.after + " " + row.others;
            SCOPED_TRACE(args);
            const CliRun r = run(args + " -o " + file("bad.mbt"));
            EXPECT_EQ(r.status, 2);
            EXPECT_NE(r.err.find(row.option), std::string::npos) << r.err;
            EXPECT_NE(r.err.find(range), std::string::npos) << r.err;
            EXPECT_FALSE(fs::exists(file("bad.mbt")));
        }
    }

    // The touch-up limit: up to the table's largest count, from the document's own iterations.
    ASSERT_EQ(run("new --size 8x6 --iter 20 --quiet -o " + file("t.mbt")).status, 0);
    const std::string touchUp = "compute " + file("t.mbt") + " --touch-up 3,2,4,3 --quiet -o " + file("u.mbt");
    const int most = l.TouchUpIterations.max;
    EXPECT_EQ(run(touchUp + " --touch-up-iter " + std::to_string(most)).status, 0);
    const CliRun over = run(touchUp + " --touch-up-iter " + std::to_string(most + 1));
    EXPECT_EQ(over.status, 2);
    EXPECT_NE(over.err.find("to " + std::to_string(most)), std::string::npos) << over.err;
}

TEST_F(Cli, UnreadableDocumentsExitWithStatus1)
{
    std::ofstream(file("junk.mbt")) << "not a fractal";
    const CliRun missing = run("info " + file("missing.mbt"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("Error reading file"), std::string::npos);
    const CliRun junk = run("compute " + file("junk.mbt") + " -o " + file("out.mbt"));
    EXPECT_EQ(junk.status, 1);
    EXPECT_NE(junk.err.find("Error reading file"), std::string::npos);
    EXPECT_FALSE(fs::exists(file("out.mbt")));
    EXPECT_EQ(slurp(file("junk.mbt")), "not a fractal");
}

TEST_F(Cli, InfoPrintsTheVariablesAndTheDocumentState)
{
    ASSERT_EQ(run("new --type 13 --newton-p 5 --size 40x30 --comment \"Café au lait\" --quiet -o " + file("n.mbt")).status, 0);
    const CliRun r = run("info " + file("n.mbt"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Fractal:\tNewton^5\n", 0), 0u) << r.out;
    for (const char* line : {"Image Size: \t40x30\n", "Iterations:\t200\n", "Size:\t40x30\n", "Depth:\t8 bits\n",
                             "ResumeLine:\t0\n", "UniformIter:\t1\n", "Comment:\tCafé au lait\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;
}

TEST_F(Cli, TouchUpChangesOnlyTheRectangle)
{
    ASSERT_EQ(run("new --size 80x60 --iter 20 --periodicity off --quiet -o " + file("t.mbt")).status, 0);
    const std::vector<uint16_t> before = pixels(slurp(file("t.mbt")), 80, 60);
    const CliRun r = run("compute " + file("t.mbt") + " --touch-up 50,40,10,20 --touch-up-iter 400 --quiet -o " + file("u.mbt"));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string doc = slurp(file("u.mbt"));
    EXPECT_EQ(at<uint16_t>(doc, 0x0A4), 400);  // the touch-up's limit becomes the document's
    EXPECT_EQ(at<uint16_t>(doc, 0x0A6), 20);   // the last full computation's stays
    EXPECT_EQ(at<uint8_t>(doc, 0xA38), 0);     // no longer uniform
    const std::vector<uint16_t> after = pixels(doc, 80, 60);
    int changedInside = 0;
    for (int row = 0; row < 60; ++row)
        for (int col = 0; col < 80; ++col) {
            const size_t i = size_t(row) * 80 + size_t(col);
            const bool inside = col >= 10 && col <= 50 && row >= 20 && row <= 40;
            if (!inside) {
                ASSERT_EQ(after[i], before[i]) << row << "," << col;
            }
            changedInside += inside && after[i] != before[i];
        }
    EXPECT_GT(changedInside, 0);
    EXPECT_EQ(run("compute " + file("t.mbt") + " --touch-up 0,0,80,10 -o " + file("v.mbt")).status, 2);
    EXPECT_EQ(run("compute " + file("t.mbt") + " --touch-up 0,0,8,8 --touch-up-iter 10 -o " + file("v.mbt")).status, 2);
    EXPECT_FALSE(fs::exists(file("v.mbt")));
}

TEST_F(Cli, InterruptSavesAResumableDocument)
{
    // A region wholly inside the set, without periodicity checking, takes long enough to interrupt once
    // the progress line shows that the computation is under way. The orbits start from 1e-300 (the orbits
    // of 0, as its square vanishes), so that the engine cannot take the cardioid's pixels for inside
    // without iterating them.
    const std::string cmd = std::string(VOREX_CLI)
        + " new --size 400x300 --iter 65000 --centre -0.2,0 --step 0.0002 --periodicity off --pert 1e-300,0 -o "
        + file("p.mbt")
        + " 2>" + file("err") + " & pid=$!; i=0; while [ $i -lt 300 ] && ! grep -q % " + file("err")
        + "; do sleep 0.05; i=$((i+1)); done; kill -INT $pid; wait $pid";
    const int raw = std::system(("sh -c '" + cmd + "'").c_str());
    const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    if (status == 0)
        GTEST_SKIP() << "the computation finished before the interrupt";
    ASSERT_EQ(status, 130) << slurp(file("err"));
    EXPECT_NE(slurp(file("err")).find("Resume with"), std::string::npos);

    // Every row above the resume row is complete. Rows run on several threads, so rows below it may be
    // partly or wholly computed (they are computed again on resume), but hold nothing else.
    const std::string partial = slurp(file("p.mbt"));
    ASSERT_GT(partial.size(), 4328u);
    const int resumeLine = at<int32_t>(partial, 0x09C);
    ASSERT_GT(resumeLine, 0);
    ASSERT_LT(resumeLine, 300);
    const std::vector<uint16_t> values = pixels(partial, 400, 300);
    for (int row = 0; row < 300; ++row) {
        for (int col = 0; col < 400; ++col) {
            const uint16_t v = values[size_t(row) * 400 + size_t(col)];
            if (row < resumeLine)
                ASSERT_EQ(v, 65535) << row << "," << col;
            else
                ASSERT_TRUE(v == 0 || v == 65535) << row << "," << col << ": " << v;
        }
    }
}

TEST_F(Cli, ComputeResumesFromTheSavedRow)
{
    ASSERT_EQ(run("new --size 64x48 --quiet -o " + file("full.mbt")).status, 0);
    // Forge the state of an interrupted run: rows 20.. zeroed and ResumeLine 20, through the file itself.
    std::string doc = slurp(file("full.mbt"));
    std::vector<uint16_t> values = pixels(doc, 64, 48);
    std::fill(values.begin() + 20 * 64, values.end(), uint16_t(0));
    uLongf size = compressBound(uLong(values.size() * 2));
    std::string packed(size, '\0');
    ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(values.data()),
                        uLong(values.size() * 2), 1), Z_OK);
    const int32_t resume = 20;
    doc.replace(0x09C, 4, reinterpret_cast<const char*>(&resume), 4);
    doc = doc.substr(0, 4328) + packed.substr(0, size);
    std::ofstream(file("partial.mbt"), std::ios::binary) << doc;

    ASSERT_EQ(run("compute " + file("partial.mbt") + " --quiet").status, 0);  // in place
    const std::string resumed = slurp(file("partial.mbt")), full = slurp(file("full.mbt"));
    EXPECT_EQ(at<int32_t>(resumed, 0x09C), 0);
    EXPECT_EQ(pixels(resumed, 64, 48), pixels(full, 64, 48));
}

TEST_F(Cli, BenchComparesTheEngineWithTheSerialReference)
{
    // Functional only: the scenes named run, their values are checked against the reference, and the
    // figures are printed. How fast they are is the benchmark's business, not a test's.
    const CliRun r = run("bench --scene type-4 --scene type-12 --repeat 1 --threads 2 --isa scalar");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("engine: 2 threads, scalar"), std::string::npos) << r.out;
    for (const char* scene : {"type-4 ", "type-12 "}) {
        const size_t line = r.out.find(scene);
        ASSERT_NE(line, std::string::npos) << r.out;
        const std::string text = r.out.substr(line, r.out.find('\n', line) - line);
        EXPECT_NE(text.find("640x480"), std::string::npos) << text;
        EXPECT_NE(text.find(" same"), std::string::npos) << text;
    }
    EXPECT_EQ(r.out.find("type-3 "), std::string::npos) << "only the scenes named";
    EXPECT_NE(r.out.find("peak memory"), std::string::npos);

    const struct {
        const char* args;
        const char* mentions;
    } bad[] = {{"bench --scene nowhere", "--scene"}, {"bench --isa mmx", "--isa"}, {"bench --threads 0", "--threads"}};
    for (const auto& c : bad) {
        SCOPED_TRACE(c.args);
        const CliRun b = run(c.args);
        EXPECT_EQ(b.status, 2);
        EXPECT_NE(b.err.find(c.mentions), std::string::npos) << b.err;
    }
}
