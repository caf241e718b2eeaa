#include "cli/BenchCommand.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "cli/Args.h"
#include "engine/ComputeDriver.h"
#include "document/Fractal.h"
#include "document/Computation.h"
#include "engine/ParallelEngine.h"
#include "storage/Workspace.h"

namespace cli {
namespace {

struct Scene {
    std::string name;
    engine::TypeId type = engine::TypeId::Mandelbrot;
    int algorithm = engine::AlgLevel;
    int width = 640, height = 480;
    int maxIter = -1;  // -1: the type's default
    double centreX = 0, centreY = 0, step = 0;  // step 0: the type's default view
    bool periodicity = true;
    std::optional<double> pertR;  // the start value's real part, when not the type's default
};

std::vector<Scene> scenes()
{
    using engine::TypeId;
    std::vector<Scene> all;
    Scene full{"mandel-full", TypeId::Mandelbrot, engine::AlgLevel, 1024, 768, 1000, -0.5, 0, 3.0 / 1024, false, std::nullopt};
    all.push_back(full);
    Scene periodic = full;
    periodic.name = "mandel-periodicity";
    periodic.periodicity = true;
    all.push_back(periodic);
    // The same orbits started from 1e-300 instead of 0 (its square vanishes: z1 = C as before): the engine
    // can then take no pixel for inside without iterating it, so this shows the speed of the loop itself.
    Scene loop = full;
    loop.name = "mandel-loop";
    loop.pertR = 1e-300;
    all.push_back(loop);
    all.push_back({"seahorse", TypeId::Mandelbrot, engine::AlgLevel, 1024, 768, 5000, -0.743643887037151,
                   0.131825904205330, 2e-9, true, std::nullopt});
    all.push_back({"julia", TypeId::Julia, engine::AlgLevel, 1024, 768, 1000, 0, 0, 0, true, std::nullopt});
    all.push_back({"distance", TypeId::Mandelbrot, engine::AlgDistance, 1024, 768, -1, 0, 0, 0, true, std::nullopt});
    all.push_back({"level+distance", TypeId::Mandelbrot, engine::AlgLevelDistance, 1024, 768, -1, 0, 0, 0, true, std::nullopt});
    all.push_back({"color-distance", TypeId::Mandelbrot, engine::AlgColorDistance, 1024, 768, -1, 0, 0, 0, true, std::nullopt});
    all.push_back({"binary", TypeId::Mandelbrot, engine::AlgBinary, 1024, 768, -1, 0, 0, 0, true, std::nullopt});
    // Every other type at its defaults, named by its index in the type list.
    for (int index = 0; index < engine::TypeCount; ++index) {
        const TypeId type = TypeId(index);
        if (!engine::isValidType(index) || type == TypeId::Mandelbrot || type == TypeId::Julia)
            continue;
        all.push_back({"type-" + std::to_string(index), type, engine::AlgLevel, 640, 480, -1, 0, 0, 0, true, std::nullopt});
    }
    return all;
}

// Sets the parameters and allocates the workspace (8-bit image) as a new document of the scene would.
bool setUp(document::TFractal& f, const Scene& s)
{
    f.ResetParameters();
    f.Params.Algorithm = uint8_t(s.algorithm);
    f.ApplyTypeDefaults(s.type);
    f.Params.Width = s.width;
    f.Params.Height = s.height;
    if (s.maxIter > 0)
        f.Params.MaxIter = uint16_t(s.maxIter);
    if (s.step > 0) {
        f.Params.CentreX = s.centreX;
        f.Params.CentreY = s.centreY;
        f.Params.Step = s.step;
    } else {
        f.Params.Step = f.Params.Step * 640.0 / s.width;  // the default view, whatever the width
    }
    f.Periodicity = s.periodicity;
    if (s.pertR)
        f.Params.PertZr = *s.pertR;
    f.UpdateCorners();
    return storage::AllocImage(f, s.width, s.height, engine::PixelFormat8, true).ok;
}

double seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// CPU time of the process (every thread), in seconds.
double cpuSeconds()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) + double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) * 1e-6;
}

// Nominal iterations of the image: each pixel's Level count with the scene's escape test and no
// periodicity checking (a pixel that reaches the limit counts MaxIter), counted by a Level run on the
// parallel engine. For the algorithms other than Level this is the work of their escape loop to within a
// few iterations; with periodicity checking it is the work the checking saves included.
double nominalIterations(const Scene& s, const engine::ParallelEngine& eng)
{
    document::TFractal f;
    Scene level = s;
    level.algorithm = engine::AlgLevel;
    level.periodicity = false;
    if (!setUp(f, level))
        return 0;
    if (s.algorithm != engine::AlgLevel)
        f.Params.EscapeLevelSq = 65535;  // the distance kernels escape at |z|^2 > 100000
    document::ComputeCommand(f, true, nullptr, eng);
    double sum = 0;
    for (int r = 0; r < f.Data.height(); ++r)
        for (int c = 0; c < f.Data.width(); ++c) {
            const uint16_t v = f.Data.at(r, c);
            sum += v == engine::Inside ? f.Params.MaxIter : v;
        }
    return sum;
}

struct Options {
    int threads = 0;
    engine::Isa isa = engine::bestIsa();
    int repeat = 3;
    bool digest = false;
    std::vector<std::string> only;
};

Options parse(const std::vector<std::string>& words)
{
    Options o;
    Args a(words);
    while (!a.done()) {
        const std::string opt = a.take();
        if (opt == "--threads") {
            o.threads = int(a.integer(opt, 1, 1024));
        } else if (opt == "--isa") {
            const auto isa = engine::parseIsa(a.value(opt));
            if (!isa)
                throw UsageError("--isa: expects scalar, sse2, avx2 or avx512");
            o.isa = *isa;
        } else if (opt == "--repeat") {
            o.repeat = int(a.integer(opt, 1, 100));
        } else if (opt == "--scene") {
            o.only.push_back(a.value(opt));
        } else if (opt == "--digest") {
            o.digest = true;
        } else {
            throw UsageError(opt + ": unknown option of \"bench\" (--threads N, --isa NAME, --scene NAME, --repeat N, "
                                   "--digest)");
        }
    }
    return o;
}

// FNV-1a (64-bit) of the image's values, row by row from the top, each value as two little-endian bytes.
uint64_t valuesDigest(const engine::TVxWork& data)
{
    constexpr uint64_t Offset = 0xcbf29ce484222325ULL, Prime = 0x100000001b3ULL;
    uint64_t h = Offset;
    for (int r = 0; r < data.height(); ++r)
        for (int c = 0; c < data.width(); ++c) {
            const uint16_t v = data.at(r, c);
            h = (h ^ uint64_t(v & 0xFF)) * Prime;
            h = (h ^ uint64_t(v >> 8)) * Prime;
        }
    return h;
}

// Computes each scene once on each side, untimed, and prints the digests of the values. The lines are
// meant for comparison with those of another build (tests/golden/golden.py keeps them).
int printDigests(const std::vector<Scene>& list, const engine::ParallelEngine& eng)
{
    std::printf("%-20s %9s %6s %-16s %-16s %s\n", "scene", "size", "iter", "serial fnv1a64", "engine fnv1a64",
                "values");
    bool allSame = true;
    for (const Scene& s : list) {
        document::TFractal ref, f;
        if (!setUp(ref, s) || !setUp(f, s)) {
            std::printf("%-20s not enough memory\n", s.name.c_str());
            allSame = false;
            continue;
        }
        document::ComputeCommand(ref, true, nullptr);
        document::ComputeCommand(f, true, nullptr, eng);
        const uint64_t serial = valuesDigest(ref.Data), parallel = valuesDigest(f.Data);
        allSame &= serial == parallel;
        const std::string size = std::to_string(s.width) + "x" + std::to_string(s.height);
        std::printf("%-20s %9s %6d %016llx %016llx %s\n", s.name.c_str(), size.c_str(), int(ref.Params.MaxIter),
                    (unsigned long long)serial, (unsigned long long)parallel, serial == parallel ? "same" : "DIFFERENT");
        std::fflush(stdout);
    }
    return allSame ? ExitOk : ExitFailure;
}

}  // namespace

int runBench(const std::vector<std::string>& args)
{
    const Options o = parse(args);
    const engine::ParallelEngine eng(o.threads, o.isa);
    if (eng.isa() != o.isa)
        std::printf("%s is not available on this CPU: using %s\n", std::string(engine::isaName(o.isa)).c_str(),
                    std::string(engine::isaName(eng.isa())).c_str());
    std::vector<Scene> list;
    for (const Scene& s : scenes())
        if (o.only.empty() || std::find(o.only.begin(), o.only.end(), s.name) != o.only.end())
            list.push_back(s);
    if (list.empty())
        throw UsageError("--scene: no such scene");
    if (o.digest)
        return printDigests(list, eng);

    std::printf("engine: %d threads, %s; serial reference: 1 thread, scalar; times: best of %d runs or more "
                "(small scenes: until each side has run 0.25 s; serial runs: until they take 2 s)\n",
                eng.threads(), std::string(engine::isaName(eng.isa())).c_str(), o.repeat);
    std::printf("iterations: each pixel's escape count without periodicity checking (limit for inside pixels)\n");
    std::printf("CPU seconds (all threads, resolution about 4 ms) show the work when other processes share the cores\n");
    std::printf("%-20s %9s %6s %10s %10s %8s %10s %12s %10s %10s %s\n", "scene", "size", "iter", "serial s",
                "engine s", "speed-up", "Git/s", "Git/s/thread", "serial cpu", "engine cpu", "values");
    bool allSame = true;
    for (const Scene& s : list) {
        document::TFractal ref, f;
        if (!setUp(ref, s) || !setUp(f, s)) {
            std::printf("%-20s not enough memory\n", s.name.c_str());
            continue;
        }
        // Serial and parallel runs alternate so that both meet the same load from other processes;
        // each time is the best of its runs. There are at least `repeat` runs of each, and for scenes of
        // a few milliseconds more, until each side has run for MinSeconds (at most MaxRuns runs), so that
        // one slow moment of the machine does not make the figure. Serial runs stop once they have taken
        // SerialSeconds together.
        constexpr double MinSeconds = 0.25, SerialSeconds = 2.0;
        constexpr int MaxRuns = 400;
        using Clock = std::chrono::steady_clock;
        double serial = 1e300, serialCpu = 1e300, serialTotal = 0;
        double best = 1e300, bestCpu = 1e300, engineTotal = 0;
        for (int i = 0; i < MaxRuns && (i < o.repeat || engineTotal < MinSeconds || serialTotal < MinSeconds); ++i) {
            if (i == 0 || (serialTotal < SerialSeconds && (i < o.repeat || serialTotal < MinSeconds))) {
                const double c0 = cpuSeconds();
                const auto t0 = Clock::now();
                document::ComputeCommand(ref, true, nullptr);
                const double t = seconds(Clock::now() - t0);
                serialTotal += t;
                serial = std::min(serial, t);
                serialCpu = std::min(serialCpu, cpuSeconds() - c0);
            }
            const double c0 = cpuSeconds();
            const auto t0 = Clock::now();
            document::ComputeCommand(f, true, nullptr, eng);
            const double t = seconds(Clock::now() - t0);
            engineTotal += t;
            best = std::min(best, t);
            bestCpu = std::min(bestCpu, cpuSeconds() - c0);
        }
        bool same = true;
        for (int r = 0; r < ref.Data.height() && same; ++r)
            same = std::memcmp(ref.Data.row(r), f.Data.row(r), size_t(ref.Data.width()) * sizeof(uint16_t)) == 0;
        allSame &= same;
        const double its = nominalIterations(s, eng);
        const std::string size = std::to_string(s.width) + "x" + std::to_string(s.height);
        std::printf("%-20s %9s %6d %10.4f %10.4f %8.2f %10.3f %12.3f %10.4f %10.4f %s\n", s.name.c_str(),
                    size.c_str(), int(ref.Params.MaxIter), serial, best, serial / best, its / best / 1e9,
                    its / best / 1e9 / eng.threads(), serialCpu, bestCpu, same ? "same" : "DIFFERENT");
        std::fflush(stdout);
    }
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    std::printf("peak memory (max resident set): %.1f MB\n", double(ru.ru_maxrss) / 1024.0);
    return allSame ? ExitOk : ExitFailure;
}

}  // namespace cli
