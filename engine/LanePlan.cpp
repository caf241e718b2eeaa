#include "engine/LanePlan.h"

#include "engine/Kernels.h"

namespace engine {

// Mirrors SelectKernel's choice of kernel.
Plan makePlan(const FractalCore& f)
{
    const FractalParams& p = f.Params;
    const int type = p.FractalType;
    const int bailout = p.Bailout < BailoutCount ? int(p.Bailout) : int(BailMod);
    const bool algorithmKernel =
        p.Algorithm != AlgLevel && kernels::algorithmKernel(type, p.Algorithm, bailout) != nullptr;
    const bool quadraticType = type == 0 || type == 1 || type == 9;

    Plan plan;
    plan.job.in = &f.Inputs;
    plan.job.bailout = bailout;
    plan.job.start = type == 0 ? simd::LaneStart::Mandelbrot
                     : type == 1 ? simd::LaneStart::Julia
                                 : simd::LaneStart::Inverse;
    if (algorithmKernel) {
        switch (p.Algorithm) {
        case AlgPotential:
            plan.carry = Carry::Potential;
            break;
        case AlgLevelDistance:
            plan.carry = type == 9 ? Carry::None : Carry::Opaque;
            plan.laneable = quadraticType;
            plan.job.kernel = simd::LaneKernel::LevelDistance;
            plan.job.levelFn = kernels::levelKernel(type, FormulaZ2, 0, 3, bailout);
            break;
        case AlgDistance:
            plan.laneable = quadraticType;
            plan.job.kernel = simd::LaneKernel::Distance;
            break;
        case AlgColorDistance:
            plan.laneable = quadraticType;
            plan.job.kernel = simd::LaneKernel::ColorDistance;
            break;
        case AlgBinary:
            plan.laneable = quadraticType;
            plan.job.kernel = simd::LaneKernel::Binary;
            break;
        default:
            break;
        }
    } else {
        const bool mandelbrotZ2 = type == 0 && p.Formula == FormulaZ2;
        if (mandelbrotZ2 || type == 1 || type == 3 || type == 4)
            plan.carry = Carry::ByValue;
        plan.laneable = mandelbrotZ2 || type == 1 || type == 9;
        plan.job.kernel = simd::LaneKernel::Level;
        plan.job.periodic = (mandelbrotZ2 || type == 1) && f.Inputs.Periodicity;
    }
    // An inside pixel makes periodicity cheap for the next one: assume it at a row's start.
    plan.guess = plan.carry == Carry::ByValue;
    plan.job.guess = plan.guess;
    return plan;
}

simd::LaneRunner laneRunner(Isa isa, const simd::LaneJob& job)
{
    switch (isa) {
    case Isa::Sse2: return simd::sse2Runner(job);
    case Isa::Avx2: return simd::avx2Runner(job);
    case Isa::Avx512: return simd::avx512Runner(job);
    case Isa::Scalar: break;
    }
    return nullptr;
}

}  // namespace engine
