// The parallel engine against the serial driver: value for value in Data, pixel for pixel in the bitmap,
// and the same end state, for every instruction set this CPU runs and 1, 2 and 3 threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "document/Computation.h"
#include "EngineTestUtil.h"
#include "engine/ParallelEngine.h"

using namespace engine;
using document::TFractal;
using enginetest::Scene;

namespace {

struct View {
    const char* name;
    Scene scene;
    // Optional overrides, applied after the type's defaults.
    std::optional<double> pertR, pertI, paramR, paramI;
    std::optional<double> step, centreX, centreY;
    std::optional<long double> lastPotential;
};

View v(const char* name, int type, int algorithm = 0, bool periodicity = false)
{
    View w{name, Scene{}, {}, {}, {}, {}, {}, {}, {}, {}};
    w.scene.type = type;
    w.scene.algorithm = algorithm;
    w.scene.periodicity = periodicity;
    w.scene.width = 37;  // not a multiple of any vector width
    w.scene.height = 23;
    w.scene.maxIter = 150;
    return w;
}

View with(View w, void (*edit)(View&))
{
    edit(w);
    return w;
}

// Views of the lane kernels of ZC(1-Z), Magnetism and Newton p = 3 where pixels end in every way (see
// LaneViewsOfTheOtherTypesReachEveryEnd), 67 columns wide.
std::vector<View> endViews()
{
    std::vector<View> all;
    auto add = [&](int type, bool per, double step, int maxIter, std::optional<double> paramR, std::optional<double> paramI) {
        View x = v("ends", type, AlgLevel, per);
        x.scene.width = 67;
        x.scene.height = 11;
        x.scene.maxIter = maxIter;
        if (step > 0)
            x.step = step;
        x.paramR = paramR;
        x.paramI = paramI;
        all.push_back(x);
    };
    for (bool per : {false, true}) {
        add(3, per, 0.03, 600, std::nullopt, std::nullopt);
        add(4, per, 0.05, 600, 0.6, -0.45);
        add(4, per, 0.05, 600, 0.45, -0.55);
    }
    add(11, false, 0, 8, std::nullopt, std::nullopt);
    add(13, false, 0.1, 8, std::nullopt, std::nullopt);
    return all;
}

std::vector<View> views()
{
    std::vector<View> all;
    // Mandelbrot Z^2+C: every bail-out test, periodicity off and on, a perturbation.
    for (int b = 0; b < BailoutCount; ++b) {
        for (bool per : {false, true}) {
            View w = v("mandelbrot z2", 0, AlgLevel, per);
            w.scene.bailout = b;
            all.push_back(w);
        }
    }
    all.push_back(with(v("mandelbrot z2 perturbed", 0, AlgLevel, true), [](View& w) {
        w.pertR = 0.07;
        w.pertI = -0.04;
    }));
    all.push_back(with(v("mandelbrot z2 deep inside", 0, AlgLevel, true), [](View& w) {
        w.centreX = -0.2;
        w.centreY = 0.1;
        w.step = 0.01;
        w.scene.maxIter = 400;
    }));
    for (int formula = 1; formula < FormulaCount; ++formula)
        all.push_back(with(v("mandelbrot formula", 0, AlgLevel, true), [](View&) {})), all.back().scene.formula = formula;
    // The algorithms of Mandelbrot, Julia and Z(1/C).
    for (int type : {0, 1, 9})
        for (int alg = 1; alg < AlgorithmCount; ++alg)
            for (bool per : {false, true})
                all.push_back(v("algorithm", type, alg, per));
    // Rows wide enough to be swept (101 columns) for Binary and the distance kernels, limits around the
    // most iterations a sweep runs, a fine Delta and a coarse one (Color Distance values of 0 and above).
    for (int type : {0, 1}) {
        for (int alg = AlgDistance; alg <= AlgColorDistance; ++alg) {
            for (int maxIter : {2, 64, 65, 300}) {
                for (bool per : {false, true}) {
                    View w = v("algorithm, swept rows", type, alg, per);
                    w.scene.width = 101;
                    w.scene.height = 13;
                    w.scene.maxIter = maxIter;
                    w.scene.bailout = maxIter == 65 ? int(BailEpsilon) : maxIter == 300 && per ? int(BailOr) : int(BailMod);
                    w.scene.delta = per ? 1 : 500;
                    all.push_back(w);
                }
            }
        }
    }
    // Color Distance far from the set at fine steps: distances above 6553.4 steps (the largest value)
    // and above 2^52 tenths of a step; and where they pass it across a row.
    for (double step : {2e-5, 1e-15, 1e-4}) {
        View w = v("color distance far out", 0, AlgColorDistance);
        w.scene.width = 101;
        w.scene.height = 5;
        w.centreX = step == 1e-4 ? 0.78 : 1.5;
        w.centreY = step == 1e-4 ? 0.5 : 1.5;
        w.step = step;
        all.push_back(w);
    }
    for (int b : {BailSqrZr, BailEpsilon, BailAnd, BailOr}) {
        for (int type : {0, 1, 9}) {
            all.push_back(v("binary bail-out", type, AlgBinary));
            all.back().scene.bailout = b;
            all.push_back(v("level+distance bail-out", type, AlgLevelDistance, true));
            all.back().scene.bailout = b;
        }
    }
    for (int b = 0; b < BailoutCount; ++b) {
        all.push_back(v("julia", 1, AlgLevel, true));
        all.back().scene.bailout = b;
        all.push_back(v("z(1/c)", 9, AlgLevel, false));
        all.back().scene.bailout = b;
    }
    all.push_back(v("julia no periodicity", 1, AlgLevel, false));
    all.push_back(with(v("z(1/c) through the origin", 9, AlgBinary), [](View& w) {
        w.centreX = 0;
        w.centreY = 0;
        w.scene.width = 5;
        w.scene.height = 5;
        w.step = 0.5;
    }));
    for (int alg : {AlgLevel, AlgDistance, AlgLevelDistance, AlgColorDistance}) {
        all.push_back(with(v("z(1/c) origin pixel", 9, alg), [](View& w) {
            w.centreX = 0.25;  // column 1 lands on 0
            w.centreY = 0;
            w.scene.width = 3;
            w.scene.height = 3;
            w.step = 0.5;
        }));
    }
    // The other types.
    for (int type : {3, 4})
        for (bool per : {false, true})
            all.push_back(v("zc(1-z)", type, AlgLevel, per));
    for (int type : {6, 7})
        for (int fn = 0; fn < FunctionCount; ++fn)
            all.push_back(v("fn(z)c", type, AlgLevel)), all.back().scene.function = fn;
    // The fn(Z)C lanes on rows wide enough to be swept, limits around the most iterations a sweep runs,
    // at the default scale and zoomed in on a boundary (orbits that stay long and end late); Mandelbrot
    // from z = 0, where every step takes the functions' path for tiny arguments; Julia at a large L,
    // where exp reaches far.
    for (int type : {6, 7}) {
        for (int fn = 0; fn < FunctionCount; ++fn) {
            for (int maxIter : {2, 65, 300}) {
                View w = v("fn(z)c wide", type, AlgLevel);
                w.scene.width = 101;
                w.scene.height = 7;
                w.scene.function = fn;
                w.scene.maxIter = maxIter;
                if (maxIter == 300) {
                    w.step = 0.004;
                    w.centreX = 1.3;
                    w.centreY = 0.6;
                }
                all.push_back(w);
            }
        }
    }
    for (int fn = 0; fn < FunctionCount; ++fn) {
        View w = v("fn(z)c from 0", 6, AlgLevel);
        w.scene.function = fn;
        w.pertR = 0;
        w.pertI = 0;
        all.push_back(w);
        View j = v("fn(z)c far", 7, AlgLevel);
        j.scene.function = fn;
        j.scene.levelSq = 60000;
        all.push_back(j);
    }
    for (int type : {11, 12, 14, 15, 16, 17})
        all.push_back(v("other type", type, AlgLevel, true));
    for (int p = 3; p <= 10; ++p)
        all.push_back(v("newton", 13, AlgLevel)), all.back().scene.newtonP = p, all.back().scene.bailout = p % 3;
    // The lane kernels of these types, on rows wide enough to be swept (101 columns: whole blocks of
    // every vector width and a rest): every bail-out test, the algorithms (ignored by these types), the
    // ZC(1-Z) types with periodicity on and off, Newton p = 3 with each convergence measure.
    for (int type : {11, 12, 14, 15, 16, 17}) {
        for (int b = 0; b < BailoutCount; ++b) {
            View w = v("other type, every bail-out", type, AlgLevel, b % 2 == 0);
            w.scene.width = 101;
            w.scene.height = 9;
            w.scene.bailout = b;
            all.push_back(w);
        }
        for (int alg = 1; alg < AlgorithmCount; ++alg) {
            View w = v("other type, algorithm", type, alg);
            w.scene.width = 45;
            w.scene.height = 5;
            all.push_back(w);
        }
    }
    for (int type : {3, 4}) {
        for (bool per : {false, true}) {
            for (int maxIter : {1, 2, 63, 64, 65, 400}) {
                View w = v("zc(1-z) wide", type, AlgLevel, per);
                w.scene.width = 101;
                w.scene.height = 15;
                w.scene.maxIter = maxIter;
                all.push_back(w);
            }
        }
    }
    for (const View& x : endViews())
        all.push_back(x);
    for (int measure = 0; measure < 3; ++measure) {
        for (int maxIter : {3, 64, 200}) {
            View w = v("newton 3, measure", 13, AlgLevel);
            w.scene.width = 101;
            w.scene.height = 9;
            w.scene.bailout = measure;
            w.scene.maxIter = maxIter;
            all.push_back(w);
        }
    }
    for (int type : {11, 16}) {
        for (int maxIter : {1, 2, 64, 65}) {
            View w = v("other type, limits", type, AlgLevel);
            w.scene.width = 70;
            w.scene.height = 7;
            w.scene.maxIter = maxIter;
            all.push_back(w);
        }
    }
    // Sizes.
    for (int type : {3, 4, 11, 12, 13, 14, 15, 16, 17}) {
        for (auto [w, h] : {std::pair{1, 1}, {1, 5}, {3, 2}, {9, 2}, {17, 3}}) {
            View x = v("size, other type", type, AlgLevel, true);
            x.scene.width = w;
            x.scene.height = h;
            all.push_back(x);
        }
    }
    for (auto [w, h] : {std::pair{1, 1}, {1, 17}, {33, 1}, {3, 9}, {5, 4}, {17, 6}}) {
        View x = v("size", 0, AlgLevel, true);
        x.scene.width = w;
        x.scene.height = h;
        all.push_back(x);
        x.scene.type = 1;
        x.scene.algorithm = AlgDistance;
        all.push_back(x);
    }
    // Julia c = 1, pixel i at the start of row 2: z1 = 0 equals the first snapshot, so after an inside
    // pixel periodicity ends it as inside, although it escapes at iteration 4. The row before ends
    // outside, so a row that starts assuming "inside" must be put right.
    for (int width : {7, 1}) {
        View x = v("false cycle at a row start", 1, AlgLevel, true);
        x.scene.width = width;
        x.scene.height = 5;
        x.step = 0.25;
        x.centreX = width / 2.0 * 0.25;  // column 0 at x = 0
        x.centreY = 0.875;               // row 2 at y = 1
        x.paramR = 1;
        x.paramI = 0;
        x.scene.maxIter = 50;
        all.push_back(x);
        x.scene.algorithm = AlgLevelDistance;
        x.scene.bailout = BailAnd;  // real orbits never pass And: inside pixels after escaped distances
        all.push_back(x);
    }
    // The same pixel at the start of row 3 of a 1100-pixel-wide image: the scalar threads take such rows
    // three at a time, so row 3 starts a band and is computed from the assumption.
    {
        View x = v("false cycle at a band start", 1, AlgLevel, true);
        x.scene.width = 1100;
        x.scene.height = 5;
        x.step = 0.25;
        x.centreX = 550 * 0.25;  // column 0 at x = 0
        x.centreY = 1.125;       // row 3 at y = 1
        x.paramR = 1;
        x.paramI = 0;
        x.scene.maxIter = 50;
        all.push_back(x);
    }
    // Rows wide enough to be swept in vectors before the lanes walk them. Row 2 passes through c = 0,
    // where z1 = 0 equals the first snapshot: with Epsilon that pixel escapes at once, unless the pixel
    // before it is inside, when periodicity ends it as inside. At step 0.25 the pixel before is inside,
    // at step 3 it escapes.
    for (double step : {0.25, 3.0}) {
        View x = v("cycle at c = 0 mid-row", 0, AlgLevel, true);
        x.scene.width = 40;  // column 20 at x = 0
        x.scene.height = 4;  // row 2 at y = 0
        x.scene.bailout = BailEpsilon;
        x.step = step;
        x.centreX = 0;
        x.centreY = 0;
        all.push_back(x);
    }
    // Pixels escaping around the most iterations a sweep runs, and limits around it.
    for (int maxIter : {2, 63, 64, 65, 66, 300}) {
        View x = v("sweep limits", 0, AlgLevel, true);
        x.scene.width = 200;
        x.scene.height = 12;
        x.scene.maxIter = maxIter;
        x.centreX = -0.75;
        x.centreY = 0.1;
        x.step = 0.01;
        all.push_back(x);
        x.scene.type = 1;
        x.scene.width = 150;
        x.step = 0.02;
        x.centreX = 0;
        x.centreY = 0;
        all.push_back(x);
    }
    // The lanes give 65535 without iterating to the pixels of the main cardioid and the period-2 disc of
    // Mandelbrot (distance kernels, and Level from z = 0 with a test that needs |z| > 2). Views that
    // straddle the edges of both regions closely, where orbits take longest to settle or to escape: the
    // cusp, the point where they meet, the tip of the disc, and an edge point of each (cardioid at angle 1,
    // disc at angle 2), at a high limit. At the fine steps the pixels outside take longer than the limit
    // to escape; at the coarse steps they escape within it, so that a region taken even slightly too
    // large shows.
    struct Edge {
        const char* name;
        double x, y, step;
    };
    std::vector<Edge> edges;
    for (const Edge& e : {Edge{"cardioid cusp", 0.25, 0, 1e-8}, Edge{"cardioid meets disc", -0.75, 0, 2e-8},
                          Edge{"cardioid at angle 1", 0.3741882, 0.1934111, 1e-9}, Edge{"disc tip", -1.25, 0, 1e-8},
                          Edge{"disc at angle 2", -1.1040367, 0.2273243, 1e-9}}) {
        edges.push_back(e);
        edges.push_back({e.name, e.x, e.y, 2e-4});
    }
    edges.push_back({"whole cardioid", -0.5, 0, 0.06});
    for (const Edge& e : edges) {
        for (int alg : {AlgLevel, AlgDistance, AlgLevelDistance, AlgColorDistance}) {
            for (bool per : {false, true}) {
                if (per && alg != AlgLevel && alg != AlgLevelDistance)
                    continue;
                View x = v(e.name, 0, alg, per);
                x.scene.width = 19;
                x.scene.height = 13;
                x.scene.maxIter = 20000;
                x.centreX = e.x;
                x.centreY = e.y;
                x.step = e.step;
                all.push_back(x);
            }
        }
        // Where the shortcut must not apply: tests that end bounded orbits (Epsilon near the diagonals,
        // Mod and Or below |z| = 2), and a start away from 0.
        for (auto [bailout, levelSq] : {std::pair{int(BailEpsilon), 4}, {BailMod, 1}, {BailOr, 2}, {BailAnd, 4}}) {
            View x = v(e.name, 0, AlgLevel, false);
            x.scene.width = 11;
            x.scene.height = 7;
            x.scene.maxIter = 3000;
            x.scene.bailout = bailout;
            x.scene.levelSq = levelSq;
            x.centreX = e.x;
            x.centreY = e.y;
            x.step = e.step;
            all.push_back(x);
        }
        View x = v(e.name, 0, AlgLevel, false);
        x.scene.maxIter = 3000;
        x.centreX = e.x;
        x.centreY = e.y;
        x.step = e.step;
        x.pertR = 0.3;
        x.pertI = 0;
        all.push_back(x);
    }
    // Potential where |z|^2 overflows: those pixels keep the value of the pixel before, across rows too.
    for (long double start : {0.0L, 100.4L}) {
        View x = v("potential overflow", 0, AlgPotential);
        x.scene.width = 31;
        x.scene.height = 9;
        x.centreX = 0;
        x.centreY = 0;
        x.step = 1e153;
        x.lastPotential = start;
        all.push_back(x);
    }
    all.push_back(with(v("potential", 0, AlgPotential), [](View& w) { w.scene.maxIter = 300; }));
    // Mandelbrot ZC(1-Z) false cycles: the pixel in row 1, column 2 follows an inside pixel and escapes,
    // but |z|^2 of one iterate equals exactly that of a snapshot taken at a growing interval from 10, so
    // periodicity ends it as inside; the snapshots must be taken at those very iterations. In the first
    // view the snapshot at iteration 10 is met again at iteration 11 (65535 instead of 36); in the second,
    // had the snapshots started at 11, iteration 12 would meet one (21 must not become 65535). Found by
    // searching the starts (PertZ) around the critical point; the pixels to their left are inside.
    for (auto [cr, ci, pr, pi] : {std::array{0.41015625, 0.58203125, 0.2574964013869784, 0.0025021378684884077},
                                  std::array{-0.51953125, -0.56640625, 0.26125349982315016, -0.0029010731353652508}}) {
        View x = v("zc(1-z) false cycle", 3, AlgLevel, true);
        x.scene.width = 4;   // column 2 at the centre
        x.scene.height = 2;  // row 1 at the centre
        x.scene.maxIter = 100;
        x.step = 1.0 / 256;
        x.centreX = cr;
        x.centreY = ci;
        x.pertR = pr;
        x.pertI = pi;
        all.push_back(x);
    }
    // Magnetism where |z' - z|^2 first falls below the convergence limit 1e-5 within a tenth of it: a
    // row of pixels converging at iteration 7 just under the limit, or at 8 having been just above it at 7.
    all.push_back(with(v("magnetism near the convergence limit", 11, AlgLevel), [](View& w) {
        w.scene.width = 9;
        w.scene.height = 3;
        w.scene.maxIter = 60;
        w.centreX = -1.35;
        w.centreY = 1.15;
        w.step = 0.1;
    }));
    // Level+Distance, Julia c = 1 at the escape level 255, limit 7, rows of 8 (swept in whole vectors).
    // Row 5 is y = -1: in columns 2 and 3 the distance escapes at iteration 7 but |z|^2 passes the level
    // only then, so their Level value is 65535 and PrevInside true; column 4 escapes at 6 within the
    // row's sweep and leaves PrevInside false; column 5 is z = -i, whose z1 = 0 equals the first
    // Rows crossing the circle beyond which every first step escapes (the sweep stores 1 there without
    // iterating): Julia with a large parameter and escape level, Mandelbrot from a large start value;
    // some rows lie wholly beyond it. Then coordinates so far out that the sweep iterates them
    // all (their squares come near the largest double).
    for (int type : {0, 1}) {
        for (bool per : {false, true}) {
            all.push_back(with(v("first step beyond the escape circle", type, AlgLevel, per), [](View& w) {
                w.scene.width = 101;
                w.scene.height = 29;
                w.scene.maxIter = 80;
                w.scene.levelSq = w.scene.type == 1 ? 1000 : 10;
                w.step = 0.11;
                // Julia: across the top of the circle; Mandelbrot: where z1 = p^2 + c points back to 0.
                w.centreX = w.scene.type == 1 ? 0.3 : -4.2;
                w.centreY = w.scene.type == 1 ? 5.1 : -3.2;
                w.paramR = 3;
                w.paramI = -2;
                w.pertR = 1.5;
                w.pertI = 0.5;
            }));
        }
    }
    for (double far : {1e99, 1e101, 1e160}) {
        all.push_back(with(v("julia far out", 1, AlgLevel, true), [](View& w) { w.step = 1e98; }));
        all.back().centreX = far;
        all.push_back(with(v("julia far out", 1, AlgLevel, true), [](View& w) { w.step = 1e98; }));
        all.back().centreY = far;
    }
    // snapshot: after column 4 it escapes at 6, after an inside pixel periodicity makes it 65535.
    all.push_back(with(v("level+distance after a swept pixel", 1, AlgLevelDistance, true), [](View& w) {
        w.scene.width = 8;
        w.scene.height = 6;
        w.scene.maxIter = 7;
        w.scene.levelSq = 65025;
        w.scene.delta = 1;
        w.step = 0.125;
        w.centreX = -0.125;  // column 5 at x = 0
        w.centreY = -0.75;   // row 5 at y = -1
        w.paramR = 1;
        w.paramI = 0;
    }));
    return all;
}

void setUp(TFractal& f, const View& w)
{
    enginetest::configure(f, w.scene);
    if (w.pertR)
        f.Params.PertZr = *w.pertR;
    if (w.pertI)
        f.Params.PertZi = *w.pertI;
    if (w.paramR)
        f.Params.ParamCr = *w.paramR;
    if (w.paramI)
        f.Params.ParamCi = *w.paramI;
    if (w.step)
        f.Params.Step = *w.step;
    if (w.centreX)
        f.Params.CentreX = *w.centreX;
    if (w.centreY)
        f.Params.CentreY = *w.centreY;
    if (w.lastPotential)
        f.State.LastPotential = *w.lastPotential;
    f.UpdateCorners();
    f.Bitmap.Pixels.assign(f.Bitmap.Pixels.size(), 7);
}

// Requests a stop when a row at or after `stopRow` is reported; records the rows reported.
struct Recorder : ComputeObserver {
    TFractal* f = nullptr;
    int stopRow = -1;
    std::mutex m;
    std::vector<int> rows;
    double lastProgress = 0;
    bool progressDecreased = false;
    void rowsReady(int first, int last) override
    {
        std::lock_guard lock(m);
        for (int r = first; r <= last; ++r)
            rows.push_back(r);
        if (stopRow >= 0 && last >= stopRow)
            f->Run.requestStop();
    }
    void progressChanged(double p) override
    {
        std::lock_guard lock(m);
        progressDecreased |= p < lastProgress;
        lastProgress = p;
    }
};

struct EndState {
    bool idle, running, uniform, modified;
    int resumeLine;
    uint16_t retoucheIter, baseMaxIter, maxIter, imageMaxIter;
    ComputeEnd end;
    bool operator==(const EndState&) const = default;
};

EndState endState(const TFractal& f, ComputeEnd end)
{
    return {f.Run.idle(), f.Run.running(), f.UniformIter, f.Modified, f.ResumeLine, f.RetoucheIter, f.BaseMaxIter,
            f.Params.MaxIter, f.ImageParams.MaxIter, end};
}

std::vector<Isa> isas()
{
    std::vector<Isa> out;
    for (Isa i : {Isa::Scalar, Isa::Sse2, Isa::Avx2, Isa::Avx512})
        if (isaAvailable(i))
            out.push_back(i);
    return out;
}

void expectSameImage(const TFractal& ref, const TFractal& got, int rows)
{
    int differing = 0, first = -1;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < ref.Data.width(); ++c)
            if (ref.Data.at(r, c) != got.Data.at(r, c)) {
                if (differing++ == 0)
                    first = r * ref.Data.width() + c;
            }
    EXPECT_EQ(differing, 0) << "first at row " << first / std::max(1, ref.Data.width()) << " column "
                            << first % std::max(1, ref.Data.width()) << ": " << ref.Data.at(first / ref.Data.width(), first % ref.Data.width())
                            << " expected, got " << got.Data.at(first / ref.Data.width(), first % ref.Data.width());
    const size_t bytes = size_t(rows) * ref.Bitmap.stride();
    EXPECT_TRUE(std::equal(ref.Bitmap.Pixels.begin(), ref.Bitmap.Pixels.begin() + long(bytes), got.Bitmap.Pixels.begin()))
        << "bitmap rows differ";
}

}  // namespace

TEST(ParallelEngine, SameValuesAsTheSerialDriver)
{
    for (const View& w : views()) {
        SCOPED_TRACE(std::string(w.name) + " type " + std::to_string(w.scene.type) + " alg "
                     + std::to_string(w.scene.algorithm) + " bail " + std::to_string(w.scene.bailout) + " "
                     + std::to_string(w.scene.width) + "x" + std::to_string(w.scene.height)
                     + (w.scene.periodicity ? " periodic" : ""));
        TFractal ref;
        setUp(ref, w);
        const EndState refState = endState(ref, enginetest::computeAll(ref));
        for (Isa isa : isas()) {
            for (int threads : {1, 2, 3}) {
                SCOPED_TRACE(std::string(isaName(isa)) + " x" + std::to_string(threads));
                TFractal got;
                setUp(got, w);
                Recorder rec;
                const ParallelEngine engine(threads, isa);
                const ComputeEnd end = document::ComputeCommand(got, true, &rec, engine);
                EXPECT_EQ(endState(got, end), refState);
                expectSameImage(ref, got, ref.Data.height());
                // Without periodicity checking no value depends on PrevInside, and Level+Distance then
                // does not follow it across rows.
                if (w.scene.periodicity || w.scene.algorithm != AlgLevelDistance) {
                    EXPECT_EQ(got.State.PrevInside, ref.State.PrevInside);
                }
                if (w.scene.algorithm == AlgPotential) {
                    EXPECT_EQ(got.State.LastPotential, ref.State.LastPotential);
                }
                std::sort(rec.rows.begin(), rec.rows.end());
                std::vector<int> all(size_t(ref.Data.height()));
                for (size_t i = 0; i < all.size(); ++i)
                    all[i] = int(i);
                EXPECT_EQ(rec.rows, all) << "every row reported once";
                EXPECT_EQ(rec.lastProgress, 1.0);
                EXPECT_FALSE(rec.progressDecreased);
            }
        }
    }
}

TEST(ParallelEngine, FalseCycleViewsDependOnTheRowBefore)
{
    // The views above that put a row right only test something if periodicity changes their value:
    // with the pixel computed after an inside pixel the value is 65535, in the image it is 4.
    TFractal f;
    View x = v("false cycle", 1, AlgLevel, true);
    x.scene.width = 7;
    x.scene.height = 5;
    x.step = 0.25;
    x.centreX = 0.875;
    x.centreY = 0.875;
    x.paramR = 1;
    x.paramI = 0;
    x.scene.maxIter = 50;
    setUp(f, x);
    enginetest::computeAll(f);
    EXPECT_EQ(f.Data.at(2, 0), 4);
    EXPECT_NE(f.Data.at(1, 6), Inside);
    SelectKernel(f);
    f.State.PrevInside = true;
    EXPECT_EQ(f.Kernel(f.Inputs, f.State, 0.0, 1.0), Inside);
}

TEST(ParallelEngine, TheCycleAtTheOriginDependsOnThePixelBefore)
{
    // The mid-row views above test something only if c = 0 takes its value from the pixel before it.
    for (auto [step, expected] : {std::pair{0.25, Inside}, {3.0, uint16_t(1)}}) {
        TFractal f;
        View x = v("cycle at c = 0", 0, AlgLevel, true);
        x.scene.width = 40;
        x.scene.height = 4;
        x.scene.bailout = BailEpsilon;
        x.step = step;
        x.centreX = 0;
        x.centreY = 0;
        setUp(f, x);
        enginetest::computeAll(f);
        EXPECT_EQ(f.Data.at(2, 20), expected) << "step " << step;
        EXPECT_EQ(f.Data.at(2, 19) == Inside, expected == Inside);
    }
}

// The views of the table named `name`.
std::vector<View> viewsNamed(const std::string& name)
{
    std::vector<View> out;
    for (const View& x : views())
        if (name == x.name)
            out.push_back(x);
    return out;
}

TEST(ParallelEngine, NearLimitViewsDependOnWhatTheyAreMeantToCatch)
{
    // ZC(1-Z): |z|^2 of the iterates of pixel (1, 2), formed as the kernel forms them; the snapshot
    // that the first view meets is iterate 10 (met at 11), the one the second would meet iterate 11 (at 12).
    const std::vector<View> zc = viewsNamed("zc(1-z) false cycle");
    ASSERT_EQ(zc.size(), 2u);
    for (size_t i = 0; i < zc.size(); ++i) {
        SCOPED_TRACE("zc view " + std::to_string(i));
        TFractal f;
        setUp(f, zc[i]);
        enginetest::computeAll(f);
        EXPECT_EQ(f.Data.at(1, 1), Inside);
        EXPECT_EQ(f.Data.at(1, 2), i == 0 ? Inside : uint16_t(21));
        const double mr = 2 * f.Params.Step + f.LeftX, mi = f.TopY - f.Params.Step;
        double zr = f.Params.PertZr + 0.5, zi = f.Params.PertZi + 0.5;
        std::vector<double> m(1, zr * zr + zi * zi);
        for (int n = 1; n <= 12; ++n) {
            const double wr = 1 - zr, wi = 1 - zi;
            const double tr = zr * mr - zi * mi, ti = zr * mi + zi * mr;
            zr = tr * wr - ti * wi;
            zi = tr * wi + ti * wr;
            m.push_back(zr * zr + zi * zi);
        }
        if (i == 0) {
            EXPECT_EQ(m[11], m[10]);
            // Without the check the pixel escapes.
            SelectKernel(f);
            f.State.PrevInside = false;
            EXPECT_EQ(f.Kernel(f.Inputs, f.State, 2 * f.Params.Step + f.LeftX, f.TopY - f.Params.Step), 36);
        } else {
            EXPECT_EQ(m[12], m[11]);
            EXPECT_NE(m[11], m[10]);
        }
    }

    // Magnetism: each pixel of row 1 converges at 7 or 8, with |z' - z|^2 at iteration 7 within a tenth
    // of the limit, on both sides of it across the row.
    const std::vector<View> magnetism = viewsNamed("magnetism near the convergence limit");
    ASSERT_EQ(magnetism.size(), 1u);
    {
        TFractal f;
        setUp(f, magnetism[0]);
        enginetest::computeAll(f);
        const double qr = f.Params.ParamCr, qi = f.Params.ParamCi;
        int below = 0, above = 0;
        for (int c = 0; c < f.Data.width(); ++c) {
            SCOPED_TRACE("magnetism column " + std::to_string(c));
            double zr = double(c) * f.Params.Step + f.LeftX, zi = f.TopY - f.Params.Step, dist2 = 0;
            for (int n = 1; n <= 7; ++n) {
                const double ar = zr * zr - zi * zi + qr - 1, ai = 2 * zr * zi + qi;
                const double br = 2 * zr + qr - 2, bi = 2 * zi + qi;
                const double d = br * br + bi * bi;
                const double u = (ar * br + ai * bi) / d, v = (ar * bi - ai * br) / d;
                const double nr = u * u - v * v, ni = 2 * u * v;
                dist2 = (nr - zr) * (nr - zr) + (ni - zi) * (ni - zi);
                zr = nr;
                zi = ni;
            }
            EXPECT_GT(dist2, 0.9e-5);
            EXPECT_LT(dist2, 1.1e-5);
            EXPECT_EQ(f.Data.at(1, c), dist2 < 1e-5 ? 7 : 8);
            below += dist2 < 1e-5;
            above += dist2 >= 1e-5;
        }
        EXPECT_GT(below, 0);
        EXPECT_GT(above, 0);
    }

    // Level+Distance: row 5 as its comment says, and pixel (5, 5) inside after an inside pixel.
    const std::vector<View> swept = viewsNamed("level+distance after a swept pixel");
    ASSERT_EQ(swept.size(), 1u);
    {
        TFractal f;
        setUp(f, swept[0]);
        enginetest::computeAll(f);
        EXPECT_EQ(f.Data.at(5, 3), Inside);
        EXPECT_EQ(f.Data.at(5, 4), 6);
        EXPECT_EQ(f.Data.at(5, 5), 6);
        SelectKernel(f);
        for (double x : {-0.375, -0.25}) {  // columns 2 and 3: inside, and PrevInside true after them
            f.State.PrevInside = false;
            EXPECT_EQ(f.Kernel(f.Inputs, f.State, x, -1.0), Inside);
            EXPECT_TRUE(f.State.PrevInside);
        }
        EXPECT_EQ(f.Kernel(f.Inputs, f.State, 0.0, -1.0), Inside);
        f.State.PrevInside = false;
        EXPECT_EQ(f.Kernel(f.Inputs, f.State, 0.0, -1.0), 6);
    }
}

TEST(ParallelEngine, TouchUpGivesTheSerialValues)
{
    for (const View& w : views()) {
        if (w.scene.width < 5 || w.scene.height < 4)
            continue;
        SCOPED_TRACE(std::string(w.name) + " type " + std::to_string(w.scene.type) + " alg "
                     + std::to_string(w.scene.algorithm));
        const engine::PixelRect rect{w.scene.width - 2, 1, 1, w.scene.height - 2};  // corners in either order
        TFractal ref;
        setUp(ref, w);
        enginetest::computeAll(ref);
        ref.ZoomRect = rect;
        ref.RetoucheIter = uint16_t(ref.Params.MaxIter + 120);
        const RetoucheResult rr = document::Retouche(ref, nullptr);
        ASSERT_TRUE(rr.ok);
        const EndState refState = endState(ref, rr.end);
        for (Isa isa : isas()) {
            for (int threads : {1, 3}) {
                SCOPED_TRACE(std::string(isaName(isa)) + " x" + std::to_string(threads));
                TFractal got;
                setUp(got, w);
                const ParallelEngine engine(threads, isa);
                document::ComputeCommand(got, true, nullptr, engine);
                got.ZoomRect = rect;
                got.RetoucheIter = ref.RetoucheIter;
                const RetoucheResult gr = document::Retouche(got, nullptr, engine);
                ASSERT_TRUE(gr.ok);
                EXPECT_EQ(endState(got, gr.end), refState);
                EXPECT_FALSE(got.UniformIter);
                expectSameImage(ref, got, ref.Data.height());
            }
        }
    }
}

TEST(ParallelEngine, StopThenResumeGivesTheSerialValues)
{
    struct Case {
        View view;
        int stopAfter;  // the engine is stopped once this row is reported
    } cases[] = {
        {with(v("periodic", 0, AlgLevel, true), [](View& w) { w.scene.height = 140; }), 5},
        {with(v("periodic", 0, AlgLevel, true), [](View& w) { w.scene.height = 140; }), 97},
        {with(v("julia", 1, AlgLevel, true), [](View& w) { w.scene.height = 140; }), 40},
        {with(v("distance", 0, AlgDistance), [](View& w) { w.scene.height = 140; }), 20},
        {with(v("level+distance", 1, AlgLevelDistance, true), [](View& w) { w.scene.height = 140; }), 60},
        {with(v("newton", 13, AlgLevel), [](View& w) { w.scene.height = 140; }), 11},
        {with(v("newton 3", 13, AlgLevel), [](View& w) { w.scene.height = 140; w.scene.width = 101; }), 30},
        {with(v("mandelbrot zc(1-z)", 3, AlgLevel, true), [](View& w) { w.scene.height = 140; w.scene.width = 101; }), 50},
        {with(v("julia zc(1-z)", 4, AlgLevel, true), [](View& w) { w.scene.height = 140; w.scene.width = 101; }), 9},
        {with(v("magnetism", 11, AlgLevel), [](View& w) { w.scene.height = 140; w.scene.width = 101; }), 70},
        {with(v("spider", 16, AlgLevel), [](View& w) { w.scene.height = 140; }), 25},
        {with(v("julia fn(z)c", 7, AlgLevel), [](View& w) { w.scene.height = 140; w.scene.width = 101; }), 33},
        {with(v("mandelbrot fn(z)c exp", 6, AlgLevel), [](View& w) { w.scene.height = 140; w.scene.function = FnExp; }), 64},
        {with(v("potential", 0, AlgPotential), [](View& w) { w.scene.height = 140; }), 70},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.view.name) + " stop after row " + std::to_string(c.stopAfter));
        for (Isa isa : isas()) {
            for (int threads : {1, 2, 3}) {
                SCOPED_TRACE(std::string(isaName(isa)) + " x" + std::to_string(threads));
                const ParallelEngine engine(threads, isa);
                TFractal got;
                setUp(got, c.view);
                Recorder stopper;
                stopper.f = &got;
                stopper.stopRow = c.stopAfter;
                const ComputeEnd end = document::ComputeCommand(got, true, &stopper, engine);
                EXPECT_FALSE(got.Run.running());
                EXPECT_TRUE(got.Run.idle());
                const int resume = got.ResumeLine;
                if (end == ComputeEnd::Stopped) {
                    EXPECT_GT(resume, c.stopAfter);
                    EXPECT_LT(resume, got.Params.Height);
                } else {
                    EXPECT_EQ(resume, 0);
                }

                // The serial driver stopped at the same row: the rows before it must already agree.
                TFractal ref;
                setUp(ref, c.view);
                Recorder refStopper;
                refStopper.f = &ref;
                refStopper.stopRow = end == ComputeEnd::Stopped ? resume - 1 : -1;
                const ComputeEnd refEnd = enginetest::computeAll(ref, &refStopper);
                EXPECT_EQ(refEnd, end);
                EXPECT_EQ(ref.ResumeLine, resume);
                expectSameImage(ref, got, end == ComputeEnd::Stopped ? resume : ref.Data.height());

                // Resume both.
                const EndState refState = endState(ref, document::ComputeCommand(ref, false, nullptr));
                const ComputeEnd gotEnd = document::ComputeCommand(got, false, nullptr, engine);
                EXPECT_EQ(endState(got, gotEnd), refState);
                expectSameImage(ref, got, ref.Data.height());
            }
        }
    }
}

TEST(ParallelEngine, OrbitModeRunsInPixelOrder)
{
    TFractal f;
    View x = v("orbit", 0, AlgLevel, true);
    x.scene.width = 9;
    x.scene.height = 7;
    setUp(f, x);
    enginetest::OrbitCounter orbit;
    f.State.Orbit = &orbit;
    const ParallelEngine engine(3, bestIsa());
    EXPECT_EQ(document::ComputeCommand(f, true, nullptr, engine), ComputeEnd::Completed);
    EXPECT_EQ(orbit.begins, 9 * 7);
}

TEST(ParallelEngine, NoKernelComputesNothing)
{
    TFractal f;
    setUp(f, v("separator", 0));
    f.Params.FractalType = TypeId(2);
    f.Data.fill(3);
    const ParallelEngine engine(2, bestIsa());
    EXPECT_EQ(document::ComputeCommand(f, true, nullptr, engine), ComputeEnd::NoKernel);
    EXPECT_EQ(f.Data.at(0, 0), 3);
    EXPECT_TRUE(f.Run.idle());
    EXPECT_FALSE(f.Run.running());
}

TEST(ParallelEngine, UnavailableInstructionSetFallsBack)
{
    const ParallelEngine engine(0, Isa::Avx512);
    EXPECT_TRUE(isaAvailable(engine.isa()));
    EXPECT_GE(engine.threads(), 1);
    for (Isa i : {Isa::Scalar, Isa::Sse2, Isa::Avx2, Isa::Avx512})
        EXPECT_EQ(parseIsa(isaName(i)), i);
    EXPECT_EQ(parseIsa("avx"), std::nullopt);
}

TEST(ParallelEngine, LaneViewsOfTheOtherTypesReachEveryEnd)
{
    // The views of the other types in the table test the lanes' ends only if their pixels end in every
    // way: inside, within the rows' first sweep (below 64 iterations) and, for the types with periodicity
    // checking, after it; for each type, one of the views reaches each.
    for (int type : {3, 4, 11, 13}) {
        SCOPED_TRACE("type " + std::to_string(type));
        int inside = 0, early = 0, late = 0;
        for (const View& x : endViews()) {
            if (x.scene.type != type)
                continue;
            TFractal f;
            setUp(f, x);
            enginetest::computeAll(f);
            for (int r = 0; r < f.Data.height(); ++r)
                for (int col = 0; col < f.Data.width(); ++col) {
                    const uint16_t value = f.Data.at(r, col);
                    inside += value == Inside;
                    early += value < 64;
                    late += value >= 64 && value != Inside;
                }
        }
        EXPECT_GT(inside, 0);
        EXPECT_GT(early, 0);
        if (type == 3 || type == 4) {
            EXPECT_GT(late, 0);
        }
    }
}
