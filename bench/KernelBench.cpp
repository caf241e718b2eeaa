// Speed of the serial compute driver on 640 x 480 images: the default Mandelbrot and Julia views at
// their default limits (250), with and without periodicity checking. Reports pixels per second.
#include <benchmark/benchmark.h>

#include "document/Computation.h"
#include "engine/ComputeDriver.h"
#include "document/Fractal.h"

namespace {

using engine::TypeId;

void setUp(document::TFractal& f, TypeId type, bool periodicity)
{
    f.ApplyTypeDefaults(type);
    f.Params.Width = 640;
    f.Params.Height = 480;
    f.Params.Algorithm = engine::AlgLevel;
    if (type == TypeId::Julia) {  // a Julia set with an interior, so that inside runs cost something
        f.Params.ParamCr = -0.123;
        f.Params.ParamCi = 0.745;
    }
    f.Periodicity = periodicity;
    f.UpdateCorners();
    f.Data.resize(640, 480);
    f.Bitmap.Width = 640;
    f.Bitmap.Height = 480;
    f.Bitmap.PixelFormat = engine::PixelFormat8;
    f.Bitmap.Pixels.assign(640u * 480u, 0);
}

void computeImage(benchmark::State& state, TypeId type, bool periodicity)
{
    document::TFractal f;
    setUp(f, type, periodicity);
    for (auto _ : state) {
        document::ComputeCommand(f, true, nullptr);
        benchmark::DoNotOptimize(f.Data.row(240)[320]);
    }
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}

void BM_Mandelbrot640x480(benchmark::State& state) { computeImage(state, TypeId::Mandelbrot, false); }
void BM_Mandelbrot640x480Periodicity(benchmark::State& state) { computeImage(state, TypeId::Mandelbrot, true); }
void BM_Julia640x480(benchmark::State& state) { computeImage(state, TypeId::Julia, false); }
void BM_Julia640x480Periodicity(benchmark::State& state) { computeImage(state, TypeId::Julia, true); }

}  // namespace

BENCHMARK(BM_Mandelbrot640x480)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mandelbrot640x480Periodicity)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Julia640x480)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Julia640x480Periodicity)->Unit(benchmark::kMillisecond);
