#include "engine/ComputeDriver.h"

#include <algorithm>
#include <new>

#include "engine/AllocationFault.h"
#include "engine/SelectKernel.h"

namespace engine {

ComputeJob BeginCompute(FractalCore& f, ComputeKind kind, const PixelRect& rect)
{
    f.Run.setIdle(false);
    if (kind == ComputeKind::Full) {
        f.UniformIter = true;
        f.RetoucheIter = f.Params.MaxIter;
        f.BaseMaxIter = f.Params.MaxIter;
    }
    SelectKernel(f);

    const PixelRect r = rect.ordered();
    ComputeJob job;
    job.kind = kind;
    job.hasKernel = f.Kernel != nullptr;
    job.rowFirst = std::max(r.Top, 0);
    job.rowLast = std::min(r.Bottom, f.Data.height() - 1);
    job.colFirst = std::max(r.Left, 0);
    job.colLast = std::min(r.Right, f.Data.width() - 1);
    return job;
}

ComputeEnd EndCompute(FractalCore& f, const ComputeJob& job, const RowsOutcome& outcome)
{
    if (job.hasKernel && job.kind == ComputeKind::Full)
        f.ResumeLine = outcome.complete ? 0 : outcome.firstIncomplete;
    f.Run.setIdle(true);
    if (!job.hasKernel)
        return ComputeEnd::NoKernel;
    return outcome.complete ? ComputeEnd::Completed : ComputeEnd::Stopped;
}

ComputeEnd Compute(FractalCore& f, ComputeKind kind, const PixelRect& rect, RowHook* hook, ComputeObserver* obs,
                   const RowEngine& engine)
{
    const ComputeJob job = BeginCompute(f, kind, rect);
    RowsOutcome outcome;
    if (job.hasKernel)
        outcome = engine.computeRows(f, job, hook, obs);
    return EndCompute(f, job, outcome);
}

RowsOutcome SerialEngine::computeRows(FractalCore& f, const ComputeJob& job, RowHook* hook,
                                      ComputeObserver* obs) const
{
    const KernelFn kernel = f.Kernel;
    const double step = f.Params.Step;
    const double leftX = f.LeftX;
    const double topY = f.TopY;
    const KernelInputs& in = f.Inputs;
    KernelState& st = f.State;
    const RunControl& run = f.Run;
    const int rowCount = job.rowLast - job.rowFirst + 1;

    RowsOutcome outcome;
    for (int r = job.rowFirst; r <= job.rowLast; ++r) {
        if (!run.keepGoing()) {
            outcome = {false, r};
            break;
        }
        // Pixel coordinates: Cr = c * Step + LeftX, Ci = TopY - r * Step.
        const double ci = topY - double(r) * step;
        uint16_t* const row = f.Data.row(r);
        for (int c = job.colFirst; c <= job.colLast; ++c) {
            if (!run.keepGoing()) {
                outcome = {false, r};
                break;
            }
            const double cr = double(c) * step + leftX;
            row[c] = kernel(in, st, cr, ci);
        }
        if (hook)
            hook->rowComputed(r);
        if (obs) {
            obs->rowsReady(r, r);
            obs->progressChanged(double(r - job.rowFirst + 1) / double(rowCount));
        }
        if (!outcome.complete)
            break;
    }
    return outcome;
}

PixelRect ComputeCommandRect(FractalCore& f, bool fromStart)
{
    if (fromStart || f.ResumeLine < 0 || f.ResumeLine >= f.Params.Height)
        f.ResumeLine = 0;
    f.CommitImageParams();
    return {0, f.ResumeLine, f.Params.Width - 1, f.Params.Height - 1};
}

bool GrowOrbitsForTouchUp(FractalCore& f, uint16_t newMaxIter)
{
    if (newMaxIter <= f.Params.MaxIter || !usesOrbitArrays(f.Params.Algorithm))
        return true;
    try {
        checkAllocation(AllocationStep::Orbits);
        f.XOrbit.resize(size_t(newMaxIter) + 1);
        checkAllocation(AllocationStep::Orbits);
        f.YOrbit.resize(size_t(newMaxIter) + 1);
    } catch (const std::bad_alloc&) {
        ShrinkOrbitsAfterRefusal(f);
        return false;
    }
    return true;
}

void ShrinkOrbitsAfterRefusal(FractalCore& f)
{
    const size_t oldSize = size_t(f.Params.MaxIter) + 1;
    // Shrinking never allocates; the values below oldSize were kept by the growth.
    if (f.XOrbit.size() > oldSize)
        f.XOrbit.resize(oldSize);
    if (f.YOrbit.size() > oldSize)
        f.YOrbit.resize(oldSize);
    // A growth that succeeded may have moved an array: the kernel state must follow.
    f.State.XOrbit = f.XOrbit.empty() ? nullptr : f.XOrbit.data();
    f.State.YOrbit = f.YOrbit.empty() ? nullptr : f.YOrbit.data();
}

}  // namespace engine
