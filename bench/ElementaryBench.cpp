// Cost of the elementary functions of the fn(Z)C kernels against the C library's (one call per item,
// arguments spread over the range the kernels reach), and of the default fn(Z)C views at 640 x 480.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "document/Computation.h"
#include "document/Fractal.h"
#include "engine/ElementaryFunctions.h"

namespace {

const std::vector<double>& arguments()
{
    static const std::vector<double> xs = [] {
        std::mt19937_64 random(11);
        std::uniform_real_distribution<double> uniform(-20, 20);
        std::vector<double> v(4096);
        for (double& x : v)
            x = uniform(random);
        return v;
    }();
    return xs;
}

template <class F>
void perCall(benchmark::State& state, F f)
{
    const std::vector<double>& xs = arguments();
    for (auto _ : state) {
        double sum = 0;
        for (double x : xs)
            sum += f(x);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(xs.size()));
}

void BM_SinCosLibrary(benchmark::State& s) { perCall(s, [](double x) { return std::sin(x) + std::cos(x); }); }
void BM_SinCosOurs(benchmark::State& s)
{
    perCall(s, [](double x) {
        double sn, cs;
        engine::elem::sincos(x, sn, cs);
        return sn + cs;
    });
}
void BM_ExpLibrary(benchmark::State& s) { perCall(s, [](double x) { return std::exp(x); }); }
void BM_ExpOurs(benchmark::State& s) { perCall(s, [](double x) { return engine::elem::exp(x); }); }
void BM_SinhCoshLibrary(benchmark::State& s) { perCall(s, [](double x) { return std::sinh(x) + std::cosh(x); }); }
void BM_SinhCoshOurs(benchmark::State& s)
{
    perCall(s, [](double x) {
        double sh, ch;
        engine::elem::sinhcosh(x, sh, ch);
        return sh + ch;
    });
}

// A default fn(Z)C view (type range(0), function range(1)) computed by the serial driver.
void BM_FnView640x480(benchmark::State& state)
{
    document::TFractal f;
    f.ApplyTypeDefaults(engine::TypeId(state.range(0)));
    f.Params.FunctionIndex = uint8_t(state.range(1));
    f.Params.Width = 640;
    f.Params.Height = 480;
    f.Params.Algorithm = engine::AlgLevel;
    f.UpdateCorners();
    f.Data.resize(640, 480);
    f.Bitmap.Width = 640;
    f.Bitmap.Height = 480;
    f.Bitmap.PixelFormat = engine::PixelFormat8;
    f.Bitmap.Pixels.assign(640u * 480u, 0);
    for (auto _ : state) {
        document::ComputeCommand(f, true, nullptr);
        benchmark::DoNotOptimize(f.Data.row(240)[320]);
    }
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}

}  // namespace

BENCHMARK(BM_SinCosLibrary);
BENCHMARK(BM_SinCosOurs);
BENCHMARK(BM_ExpLibrary);
BENCHMARK(BM_ExpOurs);
BENCHMARK(BM_SinhCoshLibrary);
BENCHMARK(BM_SinhCoshOurs);
BENCHMARK(BM_FnView640x480)
    ->ArgsProduct({{int64_t(engine::TypeId::MandelbrotFn), int64_t(engine::TypeId::JuliaFn)}, {0, 1, 2, 3, 4}})
    ->Unit(benchmark::kMillisecond);
