#include "document/Computation.h"

#include "colour/ColourTables.h"
#include "engine/AllocationFault.h"

namespace document {

const engine::RowEngine& serialEngine()
{
    static const engine::SerialEngine serial;
    return serial;
}

engine::ComputeJob BeginComputation(TFractal& f, engine::ComputeKind kind, const engine::PixelRect& rect)
{
    f.Modified = true;
    const engine::ComputeJob job = engine::BeginCompute(f, kind, rect);
    f.SelectColorLine();
    return job;
}

engine::RowsOutcome ComputeRows(TFractal& f, const engine::ComputeJob& job, engine::ComputeObserver* obs,
                                const engine::RowEngine& engine)
{
    if (!job.hasKernel)
        return {};
    ColourRowsHook hook(f);
    return engine.computeRows(f, job, &hook, obs);
}

engine::ComputeEnd EndComputation(TFractal& f, const engine::ComputeJob& job, const engine::RowsOutcome& outcome)
{
    const engine::ComputeEnd end = engine::EndCompute(f, job, outcome);
    if (job.kind == engine::ComputeKind::TouchUp) {
        f.Retouching = false;
        f.UniformIter = false;
    }
    return end;
}

engine::ComputeEnd Compute(TFractal& f, engine::ComputeKind kind, const engine::PixelRect& rect,
                           engine::ComputeObserver* obs, const engine::RowEngine& engine)
{
    const engine::ComputeJob job = BeginComputation(f, kind, rect);
    return EndComputation(f, job, ComputeRows(f, job, obs, engine));
}

engine::PixelRect BeginComputeCommand(TFractal& f, bool fromStart)
{
    const engine::PixelRect rect = engine::ComputeCommandRect(f, fromStart);
    f.Run.start();
    return rect;
}

engine::ComputeEnd ComputeCommand(TFractal& f, bool fromStart, engine::ComputeObserver* obs,
                                  const engine::RowEngine& engine)
{
    const engine::PixelRect rect = BeginComputeCommand(f, fromStart);
    return Compute(f, engine::ComputeKind::Full, rect, obs, engine);
}

engine::RetoucheResult PrepareRetouche(TFractal& f)
{
    engine::RetoucheResult result;
    const uint16_t newMax = f.RetoucheIter;
    if (newMax > f.Params.MaxIter) {
        if (!engine::GrowOrbitsForTouchUp(f, newMax)) {
            result.ok = false;
            result.message = "No Memory for Orbits";
            return result;
        }
        if (f.PixelFormat == engine::PixelFormat24
            && !colour::GrowTablesForTouchUp(f.colour24(), f.Params.MaxIter, newMax, f.Params.Algorithm, [] {
                   engine::checkAllocation(engine::AllocationStep::ColourTables);
               })) {
            engine::ShrinkOrbitsAfterRefusal(f);
            result.ok = false;
            result.message = "No Memory Color space";
            return result;
        }
    }
    f.Params.MaxIter = newMax;
    f.ImageParams.MaxIter = newMax;
    f.Run.start();
    f.Retouching = true;
    return result;
}

engine::RetoucheResult Retouche(TFractal& f, engine::ComputeObserver* obs, const engine::RowEngine& engine)
{
    engine::RetoucheResult result = PrepareRetouche(f);
    if (result.ok)
        result.end = Compute(f, engine::ComputeKind::TouchUp, f.ZoomRect, obs, engine);
    return result;
}

}  // namespace document
