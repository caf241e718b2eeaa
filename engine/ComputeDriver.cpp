#include "engine/ComputeDriver.h"

#include <algorithm>
#include <new>

#include "colour/ColorLine.h"
#include "colour/ColourTables.h"
#include "engine/AllocationFault.h"
#include "engine/SelectKernel.h"

namespace engine {

namespace {

bool running(const TFractal& f)
{
    return f.Running.load(std::memory_order_relaxed);
}

void finish(TFractal& f)
{
    f.Running = false;
    f.Idle = true;
}

}  // namespace

ComputeEnd Compute(TFractal& f, int rowFirst, int rowLast, bool touchUp, int colLast, int colFirst,
                   ComputeObserver* obs)
{
    f.Idle = false;
    f.Modified = true;
    if (!touchUp) {
        f.UniformIter = true;
        f.RetoucheIter = f.Params.MaxIter;
        f.BaseMaxIter = f.Params.MaxIter;
    }
    SelectKernel(f);
    colour::SelectColorLine(f);

    const KernelFn kernel = f.Kernel;
    if (!kernel) {
        finish(f);
        return ComputeEnd::NoKernel;
    }

    rowFirst = std::max(rowFirst, 0);
    rowLast = std::min(rowLast, f.Data.height() - 1);
    colFirst = std::max(colFirst, 0);
    colLast = std::min(colLast, f.Data.width() - 1);

    const double step = f.Params.Step;
    const double leftX = f.LeftX;
    const double topY = f.TopY;
    const KernelInputs& in = f.Inputs;
    KernelState& st = f.State;
    const int rowCount = rowLast - rowFirst + 1;

    // First row that is not completely computed; -1 while every row so far is complete.
    int incomplete = -1;
    for (int r = rowFirst; r <= rowLast; ++r) {
        if (!running(f)) {
            incomplete = r;
            break;
        }
        // Pixel coordinates: Cr = c * Step + LeftX, Ci = TopY - r * Step.
        const double ci = topY - double(r) * step;
        uint16_t* const row = f.Data.row(r);
        for (int c = colFirst; c <= colLast; ++c) {
            if (!running(f)) {
                incomplete = r;
                break;
            }
            const double cr = double(c) * step + leftX;
            row[c] = kernel(in, st, cr, ci);
        }
        if (f.ColorLine)
            f.ColorLine(f, r);
        if (obs) {
            obs->rowsReady(r, r);
            obs->progressChanged(double(r - rowFirst + 1) / double(rowCount));
        }
        if (incomplete >= 0)
            break;
    }

    const bool stopped = incomplete >= 0;
    if (!touchUp)
        f.ResumeLine = stopped ? incomplete : 0;
    finish(f);
    return stopped ? ComputeEnd::Stopped : ComputeEnd::Completed;
}

ComputeEnd ComputeCommand(TFractal& f, bool fromStart, ComputeObserver* obs)
{
    if (fromStart || f.ResumeLine < 0 || f.ResumeLine >= f.Params.Height)
        f.ResumeLine = 0;
    f.CommitImageParams();
    f.Running = true;
    return Compute(f, f.ResumeLine, f.Params.Height - 1, false, f.Params.Width - 1, 0, obs);
}

RetoucheResult Retouche(TFractal& f, ComputeObserver* obs)
{
    return RetoucheWith(f, obs, Compute);
}

RetoucheResult RetoucheWith(TFractal& f, ComputeObserver* obs, const ComputeRowsFn& computeRows)
{
    RetoucheResult result;
    const uint16_t newMax = f.RetoucheIter;
    if (newMax > f.Params.MaxIter) {
        // A refused step leaves MaxIter, the orbit arrays and the colour tables as they were.
        const size_t oldSize = size_t(f.Params.MaxIter) + 1;
        const auto restoreOrbits = [&f, oldSize] {
            // Shrinking never allocates; the values below oldSize were kept by the growth.
            if (f.XOrbit.size() > oldSize)
                f.XOrbit.resize(oldSize);
            if (f.YOrbit.size() > oldSize)
                f.YOrbit.resize(oldSize);
            // A growth that succeeded may have moved an array: the kernel state must follow.
            f.State.XOrbit = f.XOrbit.empty() ? nullptr : f.XOrbit.data();
            f.State.YOrbit = f.YOrbit.empty() ? nullptr : f.YOrbit.data();
        };
        if (usesOrbitArrays(f.Params.Algorithm)) {
            try {
                checkAllocation(AllocationStep::Orbits);
                f.XOrbit.resize(size_t(newMax) + 1);
                checkAllocation(AllocationStep::Orbits);
                f.YOrbit.resize(size_t(newMax) + 1);
            } catch (const std::bad_alloc&) {
                restoreOrbits();
                result.ok = false;
                result.message = "No Memory for Orbits";
                return result;
            }
        }
        if (f.PixelFormat == PixelFormat24 && !colour::GrowTablesForTouchUp(f, newMax)) {
            restoreOrbits();
            result.ok = false;
            result.message = "No Memory Color space";
            return result;
        }
    }
    f.Params.MaxIter = newMax;
    f.ImageParams.MaxIter = newMax;

    ZoomRectangle rect = f.ZoomRect;
    if (rect.Left > rect.Right)
        std::swap(rect.Left, rect.Right);
    if (rect.Top > rect.Bottom)
        std::swap(rect.Top, rect.Bottom);

    f.Running = true;
    f.Retouching = true;
    result.end = computeRows(f, rect.Top, rect.Bottom, true, rect.Right, rect.Left, obs);
    f.Retouching = false;
    f.UniformIter = false;
    return result;
}

}  // namespace engine
