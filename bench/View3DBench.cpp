// Speed of the 3D relief view and of the edges and emboss filters on a 4000 x 3000 picture: the single
// pass (argument 0) against the parallel version on 1, 2 and 3 threads. The values are escape counts of
// the Mandelbrot set's default view (at most 256 iterations, inside 65535).
#include <benchmark/benchmark.h>

#include "colour/Fract3D.h"
#include "colour/filters/Filters.h"

namespace {

constexpr int Width = 4000, Height = 3000;

const engine::TVxWork& values()
{
    static const engine::TVxWork data = [] {
        engine::TVxWork d;
        d.resize(Width, Height);
        const double step = 3.0 / Width;
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x) {
                const double cr = -0.5 + (x - Width / 2) * step, ci = (Height / 2 - y) * step;
                double zr = 0, zi = 0;
                int n = 0;
                while (n < 256 && zr * zr + zi * zi <= 4) {
                    const double t = zr * zr - zi * zi + cr;
                    zi = 2 * zr * zi + ci;
                    zr = t;
                    ++n;
                }
                d.at(y, x) = n >= 256 ? engine::Inside : uint16_t(n);
            }
        return d;
    }();
    return data;
}

void BM_View3DRender(benchmark::State& state)
{
    const engine::TVxWork& data = values();
    colour::View3DParams p;  // azimuth 135, elevation 30, perspective
    p.ZLimit = 256;
    colour::TFract3D view;
    view.Init(p, Width, Height, engine::PixelFormat24);
    engine::TVxWork out;
    const int threads = int(state.range(0));
    for (auto _ : state) {
        if (threads == 0)
            view.Render(data, engine::AlgLevel, out);
        else
            view.RenderParallel(data, engine::AlgLevel, out, threads);
        benchmark::DoNotOptimize(out.row(0));
    }
    state.SetItemsProcessed(state.iterations() * int64_t(Width) * Height);
}

void filterBench(benchmark::State& state, colour::filters::FilterKind kind)
{
    const engine::TVxWork& data = values();
    colour::ImageBitmap b;
    b.Width = Width;
    b.Height = Height;
    b.PixelFormat = engine::PixelFormat24;
    b.Pixels.assign(b.stride() * Height, 0x80);
    colour::filters::FilterSettings s;
    s.Kind = kind;
    s.Edges.BackgroundFromFractal = true;
    s.Edges.Brightness = 150;
    const int threads = int(state.range(0));
    for (auto _ : state) {
        if (threads == 0)
            colour::filters::ApplyFilter(s, data, b);
        else
            colour::filters::ApplyFilterParallel(s, data, b, threads);
        benchmark::DoNotOptimize(b.Pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(Width) * Height);
}

void BM_View3DEdges(benchmark::State& state)
{
    filterBench(state, colour::filters::FilterKind::Edges);
}

void BM_View3DEmboss(benchmark::State& state)
{
    filterBench(state, colour::filters::FilterKind::Emboss);
}

}  // namespace

BENCHMARK(BM_View3DRender)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_View3DEdges)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_View3DEmboss)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();
