#include "engine/Bailout.h"
#include "engine/Kernels.h"
#include "engine/KernelsQuadratic.h"

// The Mandelbrot formulas besides Z^2+C keep the whole iteration in long double (x87 extended on
// x86-64 Linux): iterate, squares and constant are never rounded to double inside the loop. They use
// the fixed Mod test against L, plot no orbit and do no periodicity checking.
//
// Evaluation order (all long double, left to right as written):
//     Z^3+C:   zr' = zr * (zr2 - 3 * zi2) + cr            zi' = zi * (3 * zr2 - zi2) + ci
//     Z^4+C:   a = zr2 - zi2, b = 2 * zr * zi;           zr' = a * a - b * b + cr,   zi' = 2 * a * b + ci
//     Z^8+C:   Z^4's a, b squared once more the same way, then + cr, + ci
//     Z^2+C^2: kr = cr * cr - ci * ci, ki = 2 * cr * ci once per pixel; zr' = zr2 - zi2 + kr, zi' = 2 * zr * zi + ki
// with zr2 = zr * zr and zi2 = zi * zi of the previous iterate; the test is zr2 + zi2 > L on the new one.
namespace engine::kernels {
namespace {

using Real = long double;

struct StepZ3 {
    static void next(Real& zr, Real& zi, Real zr2, Real zi2, Real cr, Real ci)
    {
        const Real r = zr * (zr2 - 3 * zi2) + cr;
        zi = zi * (3 * zr2 - zi2) + ci;
        zr = r;
    }
};

struct StepZ4 {
    static void next(Real& zr, Real& zi, Real zr2, Real zi2, Real cr, Real ci)
    {
        const Real a = zr2 - zi2;
        const Real b = 2 * zr * zi;
        zr = a * a - b * b + cr;
        zi = 2 * a * b + ci;
    }
};

struct StepZ8 {
    static void next(Real& zr, Real& zi, Real zr2, Real zi2, Real cr, Real ci)
    {
        const Real a = zr2 - zi2;
        const Real b = 2 * zr * zi;
        const Real a2 = a * a - b * b;
        const Real b2 = 2 * a * b;
        zr = a2 * a2 - b2 * b2 + cr;
        zi = 2 * a2 * b2 + ci;
    }
};

// Z^2 + K with K = C^2 formed by the caller.
struct StepZ2 {
    static void next(Real& zr, Real& zi, Real zr2, Real zi2, Real kr, Real ki)
    {
        zi = 2 * zr * zi + ki;
        zr = zr2 - zi2 + kr;
    }
};

template <class Step, bool SquareC>
uint16_t fastLevel(const KernelInputs& in, KernelState&, double pcr, double pci)
{
    Real cr = pcr, ci = pci;
    if (SquareC) {
        const Real kr = cr * cr - ci * ci;
        ci = 2 * cr * ci;
        cr = kr;
    }
    const Real L = in.L;
    const int maxIter = in.MaxIter;
    Real zr = in.PertZr, zi = in.PertZi;
    Real zr2 = zr * zr, zi2 = zi * zi;
    for (int n = 1;; ++n) {
        Step::next(zr, zi, zr2, zi2, cr, ci);
        zr2 = zr * zr;
        zi2 = zi * zi;
        if (n >= maxIter)
            return Inside;
        if (zr2 + zi2 > L)
            return uint16_t(n);
    }
}

}  // namespace

KernelFn mandelbrotLevel(int formula, int bailout)
{
    switch (formula) {
    case FormulaZ2: return bailout::byBailout<MandelbrotZ2Level>(bailout);
    case FormulaZ3: return &fastLevel<StepZ3, false>;
    case FormulaZ4: return &fastLevel<StepZ4, false>;
    case FormulaZ8: return &fastLevel<StepZ8, false>;
    case FormulaZ2C2: return &fastLevel<StepZ2, true>;
    default: return nullptr;
    }
}

KernelFn juliaLevel(int bailout)
{
    return bailout::byBailout<JuliaLevel>(bailout);
}

KernelFn inverseLevel(int bailout)
{
    return bailout::byBailout<InverseLevel>(bailout);
}

}  // namespace engine::kernels
