#include <array>
#include <cmath>

#include "engine/Catalogue.h"
#include "engine/Kernels.h"

// Newton's method for z^p - 1 (type 13). The pixel is the start value; there is no escape test: the loop
// runs until the step is shorter than the convergence measure allows (result n) or reaches MaxIter
// (65535, tested first). The iterate is held in double between steps.
namespace engine::kernels {
namespace {

// Convergence measures chosen by Bailout: the squared length of the step, or of one of its parts.
struct MeasureMod {
    static double of(double dr, double di) { return dr * dr + di * di; }
};
struct MeasureRe {
    static double of(double dr, double) { return dr * dr; }
};
struct MeasureIm {
    static double of(double, double di) { return di * di; }
};

// The loop continues while the measure is at least 1e-30; a NaN measure ends it too.
inline constexpr double ConvergedBelow = 1e-30;

// p = 3 in double: s = z0^2, d = |z0|^4 = (x*x + y*y)^2; when d > 5e-324,
// z = (2/3 * x + sr / (3 * d)) + i(2/3 * y - si / (3 * d)) (that is (2/3) z0 + conj(s) / (3d)),
// with 2/3 the double nearest to it; otherwise z stays. The perturbation is not used.
template <class Measure>
uint16_t newton3(const KernelInputs& in, KernelState&, double cr, double ci)
{
    constexpr double twoThirds = 2.0 / 3.0;
    const int maxIter = in.MaxIter;
    double zr = cr, zi = ci;
    for (int n = 1;; ++n) {
        const double x = zr, y = zi;
        const double sr = x * x - y * y;
        const double si = 2 * x * y;
        const double m = x * x + y * y;
        const double d = m * m;
        if (d > 5e-324) {
            zr = twoThirds * x + sr / (3 * d);
            zi = twoThirds * y - si / (3 * d);
        }
        if (n >= maxIter)
            return Inside;
        if (!(Measure::of(zr - x, zi - y) >= ConvergedBelow))
            return uint16_t(n);
    }
}

using Ext = long double;

// p = 4..10, the power and the quotient in long double (x87 extended):
// w = z0^(p-1) by right-to-left binary exponentiation (w starts at z0 when p - 1 is odd, else at 1;
// the base is squared for each further bit and multiplied into w where the bit is set), f = w * z0,
// N = ((p-1) * fr + 1 + Qr) + i((p-1) * fi + Qi), D = p * w; when |D|^2 > 5e-324:
// z = Re(N / D) + i|Im(N / D)|, the quotient formed as ((Nr*Dr + Ni*Di) / |D|^2, (Ni*Dr - Nr*Di) / |D|^2)
// and rounded to double; otherwise z stays. Complex products are (a*c - b*d) + i(a*d + b*c).
template <int P, class Measure>
uint16_t newtonP(const KernelInputs& in, KernelState&, double cr, double ci)
{
    const int maxIter = in.MaxIter;
    const Ext qr = in.PertZr, qi = in.PertZi;
    double zr = cr, zi = ci;
    for (int n = 1;; ++n) {
        const double x = zr, y = zi;
        const Ext xr = x, xi = y;
        Ext wr = 1, wi = 0;
        if ((P - 1) & 1) {
            wr = xr;
            wi = xi;
        }
        Ext br = xr, bi = xi;
        for (int e = (P - 1) >> 1; e != 0; e >>= 1) {
            const Ext sr = br * br - bi * bi;
            bi = 2 * br * bi;
            br = sr;
            if (e & 1) {
                const Ext tr = wr * br - wi * bi;
                wi = wr * bi + wi * br;
                wr = tr;
            }
        }
        const Ext fr = wr * xr - wi * xi;
        const Ext fi = wr * xi + wi * xr;
        const Ext nr = (P - 1) * fr + 1 + qr;
        const Ext ni = (P - 1) * fi + qi;
        const Ext dr = P * wr;
        const Ext di = P * wi;
        const Ext dd = dr * dr + di * di;
        if (dd > Ext(5e-324)) {
            zr = double((nr * dr + ni * di) / dd);
            zi = double(std::fabs((ni * dr - nr * di) / dd));
        }
        if (n >= maxIter)
            return Inside;
        if (!(Measure::of(zr - x, zi - y) >= ConvergedBelow))
            return uint16_t(n);
    }
}

template <class Measure>
KernelFn newtonFor(int p)
{
    static constexpr std::array<KernelFn, 8> table = {
        &newton3<Measure>,      &newtonP<4, Measure>, &newtonP<5, Measure>, &newtonP<6, Measure>,
        &newtonP<7, Measure>,   &newtonP<8, Measure>, &newtonP<9, Measure>, &newtonP<10, Measure>,
    };
    if (p < 3 || p > 10)
        return nullptr;
    return table[size_t(p - 3)];
}

}  // namespace

KernelFn newtonLevel(int p, int measure)
{
    switch (measure) {
    case 0: return newtonFor<MeasureMod>(p);
    case 1: return newtonFor<MeasureRe>(p);
    case 2: return newtonFor<MeasureIm>(p);
    default: return nullptr;
    }
}

}  // namespace engine::kernels
