// Speed of the parallel engine: the Mandelbrot and Julia Level kernels, the distance kernel and Binary
// on each instruction set this CPU has, with every core, on 640 x 480 images. Reports nominal
// iterations per second (each pixel's escape count, the limit for inside pixels, counted once by a
// serial run without periodicity checking).
#include <benchmark/benchmark.h>

#include "document/Computation.h"
#include "engine/ComputeDriver.h"
#include "document/Fractal.h"
#include "engine/ParallelEngine.h"

namespace {

struct Case {
    engine::TypeId type;
    int algorithm;
    bool periodicity;
    int maxIter;
};

void setUp(document::TFractal& f, const Case& c)
{
    f.Params.Algorithm = uint8_t(c.algorithm);
    f.ApplyTypeDefaults(c.type);
    f.Params.Width = 640;
    f.Params.Height = 480;
    f.Params.MaxIter = uint16_t(c.maxIter);
    f.Periodicity = c.periodicity;
    f.UpdateCorners();
    f.Data.resize(640, 480);
    f.Bitmap.Width = 640;
    f.Bitmap.Height = 480;
    f.Bitmap.PixelFormat = engine::PixelFormat8;
    f.Bitmap.Pixels.assign(640u * 480u, 0);
    if (engine::usesOrbitArrays(f.Params.Algorithm)) {
        f.XOrbit.assign(size_t(c.maxIter) + 1, 0.0);
        f.YOrbit.assign(size_t(c.maxIter) + 1, 0.0);
    }
}

double nominalIterations(const Case& c)
{
    document::TFractal f;
    setUp(f, {c.type, engine::AlgLevel, false, c.maxIter});
    if (c.algorithm != engine::AlgLevel)
        f.Params.EscapeLevelSq = 65535;
    document::ComputeCommand(f, true, nullptr, engine::ParallelEngine(0, engine::bestIsa()));
    double sum = 0;
    for (int r = 0; r < 480; ++r)
        for (int col = 0; col < 640; ++col) {
            const uint16_t v = f.Data.at(r, col);
            sum += v == engine::Inside ? c.maxIter : v;
        }
    return sum;
}

void run(benchmark::State& state, Case c, engine::Isa isa)
{
    if (!engine::isaAvailable(isa)) {
        state.SkipWithError("instruction set not available");
        return;
    }
    document::TFractal f;
    setUp(f, c);
    const engine::ParallelEngine eng(0, isa);
    for (auto _ : state) {
        document::ComputeCommand(f, true, nullptr, eng);
        benchmark::DoNotOptimize(f.Data.row(240)[320]);
    }
    state.counters["iterations/s"] =
        benchmark::Counter(nominalIterations(c) * double(state.iterations()), benchmark::Counter::kIsRate);
}

using engine::TypeId;
constexpr Case MandelbrotLevel{TypeId::Mandelbrot, engine::AlgLevel, false, 1000};
constexpr Case MandelbrotPeriodic{TypeId::Mandelbrot, engine::AlgLevel, true, 1000};
constexpr Case JuliaLevel{TypeId::Julia, engine::AlgLevel, true, 1000};
constexpr Case MandelbrotDistance{TypeId::Mandelbrot, engine::AlgDistance, false, 1000};
constexpr Case MandelbrotBinary{TypeId::Mandelbrot, engine::AlgBinary, false, 1000};

}  // namespace

#define VOREX_ENGINE_BENCH(name, scene)                                                                   \
    BENCHMARK_CAPTURE(run, name##_scalar, scene, engine::Isa::Scalar)->Unit(benchmark::kMillisecond)->UseRealTime(); \
    BENCHMARK_CAPTURE(run, name##_sse2, scene, engine::Isa::Sse2)->Unit(benchmark::kMillisecond)->UseRealTime();     \
    BENCHMARK_CAPTURE(run, name##_avx2, scene, engine::Isa::Avx2)->Unit(benchmark::kMillisecond)->UseRealTime();     \
    BENCHMARK_CAPTURE(run, name##_avx512, scene, engine::Isa::Avx512)->Unit(benchmark::kMillisecond)->UseRealTime();

VOREX_ENGINE_BENCH(MandelbrotLevel, MandelbrotLevel)
VOREX_ENGINE_BENCH(MandelbrotPeriodic, MandelbrotPeriodic)
VOREX_ENGINE_BENCH(JuliaLevel, JuliaLevel)
VOREX_ENGINE_BENCH(MandelbrotDistance, MandelbrotDistance)
VOREX_ENGINE_BENCH(MandelbrotBinary, MandelbrotBinary)
