#include "engine/LanePlan.h"

#include "engine/Kernels.h"

namespace engine {

// Mirrors SelectKernel's choice of kernel.
Plan makePlan(const FractalCore& f)
{
    const FractalParams& p = f.Params;
    const TypeId type = p.FractalType;
    const int bailout = p.Bailout < BailoutCount ? int(p.Bailout) : int(BailMod);
    const bool algorithmKernel =
        p.Algorithm != AlgLevel && kernels::algorithmKernel(type, p.Algorithm, bailout) != nullptr;
    // The lanes compute z^2 + c from the three starts of the quadratic types.
    const bool quadraticType =
        type == TypeId::Mandelbrot || type == TypeId::Julia || type == TypeId::MandelbrotInverse;

    Plan plan;
    plan.job.in = &f.Inputs;
    plan.job.bailout = bailout;
    plan.job.start = type == TypeId::Mandelbrot ? simd::LaneStart::Mandelbrot
                     : type == TypeId::Julia    ? simd::LaneStart::Julia
                                                : simd::LaneStart::Inverse;
    if (algorithmKernel) {
        switch (p.Algorithm) {
        case AlgPotential:
            plan.carry = Carry::Potential;
            break;
        case AlgLevelDistance:
            plan.carry = traits(type).periodicity ? Carry::Opaque : Carry::None;
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
        // Mandelbrot's other formulas have fast kernels of their own, without periodicity or lanes.
        const TypeTraits& t = traits(type);
        const bool fastFormula = t.hasFormula && p.Formula != FormulaZ2;
        const bool periodicKernel = t.periodicity && !fastFormula;
        if (periodicKernel)
            plan.carry = Carry::ByValue;
        plan.laneable = quadraticType && !fastFormula;
        plan.job.kernel = simd::LaneKernel::Level;
        plan.job.periodic = plan.laneable && periodicKernel && f.Inputs.Periodicity;
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
