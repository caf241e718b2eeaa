#pragma once

#include <cstdint>

#include "engine/Catalogue.h"
#include "engine/Kernel.h"

// The z^2 + c Level kernels shared by the Level and the Level+Distance tables: Mandelbrot Z^2+C,
// Julia and Mandelbrot Z(1/C). Header-only templates: Test is one of engine::bailout's tests.
//
// Evaluation order of one step (a vectorised engine must reproduce it bit for bit, in IEEE double
// with no fused multiply-add):
//     zi' = (2 * zr) * zi + ai
//     zr' = (zr2 - zi2) + ar            with zr2 = zr * zr, zi2 = zi * zi of the previous iterate
//     zr2 = zr' * zr', zi2 = zi' * zi'  (these feed the test and the next step)
// where (ar, ai) is the additive constant: the pixel for Mandelbrot, ParamC for Julia, K for Z(1/C).
namespace engine::kernels {

// Periodicity checking: compares |z|^2 of every iterate with a snapshot taken at growing intervals.
// Exact double equality, no tolerance. Inactive unless the flag is on and the previous pixel was inside.
class PeriodicityCheck {
public:
    PeriodicityCheck(bool active, int startInterval) : m_active(active), m_interval(startInterval) {}

    // Called after each iteration with m = zr * zr + zi * zi of the new iterate. True: a cycle was found.
    bool cycle(double m)
    {
        if (!m_active)
            return false;
        if (m == m_saved)
            return true;
        if (m_count == m_interval) {
            m_saved = m;
            ++m_interval;
            m_count = 1;
        }
        ++m_count;
        return false;
    }

private:
    bool m_active;
    int m_interval;
    int m_count = 1;
    double m_saved = 0;
};

// The common loop of the z^2 + c Level kernels from the start value (zr, zi) with constant (ar, ai).
// With Periodic the kernel checks cycles (start interval 3) and records PrevInside.
template <class Test, bool Periodic>
inline uint16_t quadraticLevel(const KernelInputs& in, KernelState& st, double zr, double zi, double ar, double ai)
{
    const double L = in.L;
    const int maxIter = in.MaxIter;
    OrbitObserver* const orbit = st.Orbit;
    if (orbit)
        orbit->beginOrbit();
    PeriodicityCheck period(Periodic && in.Periodicity && st.PrevInside, 3);

    double zr2 = zr * zr;
    double zi2 = zi * zi;
    int n = 0;
    uint16_t result;
    for (;;) {
        zi = 2 * zr * zi + ai;
        zr = zr2 - zi2 + ar;
        ++n;
        zr2 = zr * zr;
        zi2 = zi * zi;
        if (orbit)
            orbit->plotOrbitPoint(n, zr, zi);
        if (Periodic && period.cycle(zr2 + zi2)) {
            result = Inside;
            break;
        }
        if (n >= maxIter) {
            result = Inside;
            break;
        }
        if (Test::escaped(zr, zi, zr2, zi2, L)) {
            result = uint16_t(n);
            break;
        }
    }
    if (Periodic)
        st.PrevInside = result == Inside;
    return result;
}

// Mandelbrot Z^2+C: z starts at the perturbation Q, c is the pixel.
struct MandelbrotZ2Level {
    template <class Test>
    static uint16_t fn(const KernelInputs& in, KernelState& st, double cr, double ci)
    {
        return quadraticLevel<Test, true>(in, st, in.PertZr, in.PertZi, cr, ci);
    }
};

// Julia: z starts at the pixel, c is ParamC.
struct JuliaLevel {
    template <class Test>
    static uint16_t fn(const KernelInputs& in, KernelState& st, double cr, double ci)
    {
        return quadraticLevel<Test, true>(in, st, cr, ci, in.ParamCr, in.ParamCi);
    }
};

// |C|^2 at or below this gives Z(1/C) the value 1 without iterating.
inline constexpr double InverseNearZero = 5e-300;

// K = (Cr / m0 + PertZr) + i (Ci / m0 + PertZi), m0 = Cr^2 + Ci^2: 1 over the conjugate of C, shifted by Q.
struct InverseConstant {
    double kr, ki;
    bool nearZero;
};
inline InverseConstant inverseConstant(const KernelInputs& in, double cr, double ci)
{
    const double m0 = cr * cr + ci * ci;
    if (m0 <= InverseNearZero)
        return {0, 0, true};
    return {cr / m0 + in.PertZr, ci / m0 + in.PertZi, false};
}

// Mandelbrot Z(1/C): z starts at 0, c is K. No periodicity checking.
struct InverseLevel {
    template <class Test>
    static uint16_t fn(const KernelInputs& in, KernelState& st, double cr, double ci)
    {
        const InverseConstant k = inverseConstant(in, cr, ci);
        if (k.nearZero)
            return 1;
        return quadraticLevel<Test, false>(in, st, 0.0, 0.0, k.kr, k.ki);
    }
};

}  // namespace engine::kernels
