#include "engine/ComputeState.h"

namespace engine {

bool FractalCore::ZoomToRect()
{
    const bool ok = ZoomToRectangle(ZoomRect);
    Inputs.Step = Params.Step;
    Inputs.DistThreshold = Params.Delta / 500.0 * Params.Step;
    return ok;
}

void FractalCore::SetFractalParams(TypeId type, uint8_t algorithm, bool periodicity, uint8_t bailout,
                                   uint16_t levelSq, uint16_t maxIter, uint8_t function, uint8_t formula)
{
    Params.FractalType = type;
    Params.Algorithm = algorithm;
    Periodicity = periodicity;
    Params.Bailout = bailout;
    Params.EscapeLevelSq = levelSq;
    Params.MaxIter = maxIter;
    Params.FunctionIndex = function;
    Params.Formula = formula;
    Inputs.MaxIter = maxIter;
    Inputs.L = levelSq;
    Inputs.Periodicity = periodicity;
}

}  // namespace engine
