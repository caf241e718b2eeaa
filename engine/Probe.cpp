#include "engine/Probe.h"

#include "engine/Kernels.h"

namespace engine {

std::optional<uint16_t> ProbePoint(const FractalCore& f, int col, int row, OrbitObserver* orbit)
{
    const FractalParams& p = f.Params;
    // The bail-out test of the last SelectKernel; Newton reads it as its convergence measure 0..2.
    const int bailout = kernelBailout(p.FractalType, f.Inputs.Bailout);
    const KernelFn kernel = kernels::levelKernel(p.FractalType, p.Formula, p.FunctionIndex, p.NewtonP, bailout);
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
