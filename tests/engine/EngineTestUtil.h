#pragma once

#include <cstdint>
#include <vector>

#include "document/Computation.h"
#include "engine/ComputeDriver.h"
#include "document/Fractal.h"
#include "engine/SelectKernel.h"

namespace enginetest {

// A fractal of width x height pixels showing the default region of `type` (the default step is meant
// for a 640-pixel-wide image, so it is scaled up for a smaller width), with its workspace sized the way
// the workspace allocation sizes it: Data, the 8-bit bitmap, and the saved-orbit arrays for algorithms
// 1, 2 and 4. Periodicity is off unless the test turns it on.
struct Scene {
    int type = 0;
    int algorithm = 0;
    int width = 64, height = 48;
    int maxIter = -1;      // -1: the type's default
    int levelSq = -1;      // -1: the type's default for the algorithm
    int bailout = 0;
    int formula = 0;
    int function = 0;
    int newtonP = 3;
    int delta = -1;        // -1: the type's default
    bool periodicity = false;
};

inline void sizeWorkspace(document::TFractal& f)
{
    const int w = f.Params.Width, h = f.Params.Height;
    f.Data.resize(w, h);
    f.Data.fill(0);
    f.PixelFormat = engine::PixelFormat8;
    f.Bitmap.Width = w;
    f.Bitmap.Height = h;
    f.Bitmap.PixelFormat = engine::PixelFormat8;
    f.Bitmap.Pixels.assign(size_t(w) * size_t(h), 0);
    if (engine::usesOrbitArrays(f.Params.Algorithm)) {
        f.XOrbit.assign(size_t(f.Params.MaxIter) + 1, 0.0);
        f.YOrbit.assign(size_t(f.Params.MaxIter) + 1, 0.0);
    } else {
        f.XOrbit.clear();
        f.YOrbit.clear();
    }
}

inline void configure(document::TFractal& f, const Scene& s)
{
    f.ApplyTypeDefaults(engine::TypeId(s.type));
    const engine::TypeDefaults& d = engine::typeDefaults(engine::TypeId(s.type));
    f.Params.Algorithm = uint8_t(s.algorithm);
    f.Params.Width = s.width;
    f.Params.Height = s.height;
    f.Params.Step = d.Step * 640.0 / s.width;
    if (s.maxIter >= 0)
        f.Params.MaxIter = uint16_t(s.maxIter);
    f.Params.EscapeLevelSq = s.levelSq >= 0 ? uint16_t(s.levelSq) : d.LevelSq[size_t(s.algorithm % 6)];
    f.Params.Bailout = uint8_t(s.bailout);
    f.Params.Formula = uint8_t(s.formula);
    f.Params.FunctionIndex = uint8_t(s.function);
    f.Params.NewtonP = s.newtonP;
    if (s.delta >= 0)
        f.Params.Delta = s.delta;
    f.Periodicity = s.periodicity;
    f.UpdateCorners();
    sizeWorkspace(f);
}

// Runs "Compute from start" to the end.
inline engine::ComputeEnd computeAll(document::TFractal& f, engine::ComputeObserver* obs = nullptr)
{
    return document::ComputeCommand(f, true, obs);
}

inline std::vector<uint16_t> values(const document::TFractal& f)
{
    std::vector<uint16_t> v;
    for (int r = 0; r < f.Data.height(); ++r)
        v.insert(v.end(), f.Data.row(r), f.Data.row(r) + f.Data.width());
    return v;
}

// Counts the orbit calls of the kernels that plot orbits.
struct OrbitCounter : engine::OrbitObserver {
    int begins = 0;
    int points = 0;     // points of the current orbit
    int lastN = 0;
    int savedCount = -1;
    void beginOrbit() override
    {
        ++begins;
        points = 0;
    }
    void plotOrbitPoint(int n, double, double) override
    {
        ++points;
        lastN = n;
    }
    void plotSavedOrbit(const double*, const double*, int count) override { savedCount = count; }
};

}  // namespace enginetest
