#include "engine/SelectKernel.h"

#include <algorithm>
#include <new>

#include "engine/Kernels.h"

namespace engine {

namespace kernels {

KernelFn levelKernel(TypeId type, int formula, int function, int newtonP, int bailout)
{
    switch (type) {
    case TypeId::Mandelbrot: return mandelbrotLevel(formula, bailout);
    case TypeId::Julia: return juliaLevel(bailout);
    case TypeId::MandelbrotZC: return zcLevel(false);
    case TypeId::JuliaZC: return zcLevel(true);
    case TypeId::MandelbrotFn: return fnLevel(false, function);
    case TypeId::JuliaFn: return fnLevel(true, function);
    case TypeId::MandelbrotInverse: return inverseLevel(bailout);
    case TypeId::Newton: return newtonLevel(newtonP, bailout);
    default: return otherLevel(type, bailout);
    }
}

}  // namespace kernels

namespace {

// True when the saved-orbit arrays hold MaxIter + 1 entries each, growing them when they are shorter.
bool ensureOrbitArrays(FractalCore& f)
{
    const size_t need = size_t(f.Params.MaxIter) + 1;
    if (f.XOrbit.size() >= need && f.YOrbit.size() >= need)
        return true;
    try {
        if (f.XOrbit.size() < need)
            f.XOrbit.resize(need);
        if (f.YOrbit.size() < need)
            f.YOrbit.resize(need);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

}  // namespace

void SelectKernel(FractalCore& f)
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

    const TypeId type = p.FractalType;
    // Newton reads Bailout as its convergence measure 0..2.
    const int bailout = kernelBailout(type, p.Bailout);

    KernelFn kernel = nullptr;
    if (p.Algorithm != AlgLevel) {
        kernel = kernels::algorithmKernel(type, p.Algorithm, bailout);
        if (kernel && usesOrbitArrays(p.Algorithm) && !ensureOrbitArrays(f))
            kernel = nullptr;
        else if (!kernel)
            kernel = kernels::levelKernel(type, p.Formula, p.FunctionIndex, in.NewtonP, bailout);
    } else {
        kernel = kernels::levelKernel(type, p.Formula, p.FunctionIndex, in.NewtonP, bailout);
    }

    f.State.PrevInside = false;
    f.State.XOrbit = f.XOrbit.empty() ? nullptr : f.XOrbit.data();
    f.State.YOrbit = f.YOrbit.empty() ? nullptr : f.YOrbit.data();
    f.Kernel = kernel;
}

}  // namespace engine
