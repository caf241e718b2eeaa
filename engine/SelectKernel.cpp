#include "engine/SelectKernel.h"

#include <algorithm>
#include <new>

#include "engine/Kernels.h"

namespace engine {

namespace kernels {

KernelFn levelKernel(int type, int formula, int function, int newtonP, int bailout)
{
    switch (type) {
    case 0: return mandelbrotLevel(formula, bailout);
    case 1: return juliaLevel(bailout);
    case 9: return inverseLevel(bailout);
    default: return nullptr;
    }
    (void)function;
    (void)newtonP;
}

KernelFn algorithmKernel(int, int, int)
{
    return nullptr;
}

}  // namespace kernels

void SelectKernel(TFractal& f)
{
    const FractalParams& p = f.Params;
    KernelInputs& in = f.Inputs;
    in.ParamCr = p.ParamCr;
    in.ParamCi = p.ParamCi;
    in.PertZr = p.PertZr;
    in.PertZi = p.PertZi;
    in.Step = p.Step;
    in.DistThreshold = p.Delta / 500.0 * p.Step;
    in.MaxIter = p.MaxIter;
    in.L = p.EscapeLevelSq;
    in.NewtonP = std::clamp<int32_t>(p.NewtonP, 3, 10);
    in.Bailout = p.Bailout;
    in.Periodicity = f.Periodicity;

    const int type = p.FractalType;
    const int bailout = p.Bailout < BailoutCount ? int(p.Bailout) : int(BailMod);

    KernelFn kernel = nullptr;
    if (p.Algorithm != AlgLevel)
        kernel = kernels::algorithmKernel(type, p.Algorithm, bailout);
    if (!kernel)
        kernel = kernels::levelKernel(type, p.Formula, p.FunctionIndex, in.NewtonP, bailout);

    f.State.PrevInside = false;
    f.State.XOrbit = f.XOrbit.empty() ? nullptr : f.XOrbit.data();
    f.State.YOrbit = f.YOrbit.empty() ? nullptr : f.YOrbit.data();
    f.Kernel = kernel;
}

}  // namespace engine
