#include "engine/LanePlan.h"

#include "engine/Kernels.h"

namespace engine {

namespace {

// The lane step of a type's Level kernel; None for the types without one (z^2 + c types included).
simd::LaneStep laneStep(const FractalParams& p, int newtonP)
{
    switch (p.FractalType) {
    case TypeId::MandelbrotZC: return simd::LaneStep::MandelbrotZC;
    case TypeId::JuliaZC: return simd::LaneStep::JuliaZC;
    case TypeId::Magnetism: return simd::LaneStep::Magnetism;
    case TypeId::ManOfWar: return simd::LaneStep::ManOfWar;
    case TypeId::Newton: return newtonP == 3 ? simd::LaneStep::Newton3 : simd::LaneStep::None;
    case TypeId::Phoenix: return simd::LaneStep::Phoenix;
    case TypeId::Phoenix2: return simd::LaneStep::Phoenix2;
    case TypeId::Spider: return simd::LaneStep::Spider;
    case TypeId::VolterraLotka: return simd::LaneStep::Volterra;
    case TypeId::MandelbrotFn: return simd::LaneStep::MandelbrotFn;
    case TypeId::JuliaFn: return simd::LaneStep::JuliaFn;
    default: return simd::LaneStep::None;
    }
}

}  // namespace

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
            plan.job.periodic = traits(type).periodicity && f.Inputs.Periodicity;  // of the Level part
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
        const simd::LaneStep step = laneStep(p, f.Inputs.NewtonP);
        if (step != simd::LaneStep::None) {
            plan.laneable = true;
            plan.job.recurrence = step;
            plan.job.bailout = kernelBailout(type, p.Bailout);
            plan.job.interval = step == simd::LaneStep::MandelbrotZC ? 10 : step == simd::LaneStep::JuliaZC ? 3 : 0;
            plan.job.periodic = plan.job.interval > 0 && f.Inputs.Periodicity;
            plan.job.function = p.FunctionIndex;
        }
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
