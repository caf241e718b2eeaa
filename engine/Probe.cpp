#include "engine/Probe.h"

#include "engine/Kernels.h"

namespace engine {

std::optional<uint16_t> ProbePoint(const FractalCore& f, int col, int row, OrbitObserver* orbit)
{
    const FractalParams& p = f.Params;
    const int type = p.FractalType;
    // The bail-out test of the last SelectKernel; Newton reads it as its convergence measure 0..2.
    const int bailoutCount = type == 13 ? 3 : BailoutCount;
    const int bailout = f.Inputs.Bailout < bailoutCount ? int(f.Inputs.Bailout) : int(BailMod);
    const KernelFn kernel = kernels::levelKernel(type, p.Formula, p.FunctionIndex, p.NewtonP, bailout);
    if (!kernel)
        return std::nullopt;

    KernelInputs in = f.Inputs;
    in.MaxIter = 65535;
    KernelState st;
    st.Orbit = orbit;
    const double ci = f.TopY - double(row) * p.Step;
    const double cr = f.LeftX + double(col) * p.Step;
    return kernel(in, st, cr, ci);
}

}  // namespace engine
