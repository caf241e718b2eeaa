#pragma once

#include <cstdint>

#include "engine/Catalogue.h"
#include "engine/Kernel.h"
#include "engine/KernelsQuadratic.h"

// The common loop of the Level kernels whose recurrence is not z^2 + c: one generic loop over a
// Step object that holds the recurrence's own state (previous iterate, running constant, ...).
//
// Loop, from the start value (zr, zi):
//     next iterate (Step::next), n = n + 1, orbit point when Plot, periodicity when Interval > 0,
//     n >= MaxIter -> 65535, Test::escaped on the new iterate -> n, Step::converged() -> n.
namespace engine::kernels {

// Base for the steps that never converge.
struct NoConvergence {
    bool converged() const { return false; }
};

// Plot: the kernel draws its orbit while st.Orbit is set. Interval: periodicity start interval, 0 = none;
// a kernel with periodicity checking records PrevInside.
template <class Test, bool Plot, int Interval, class Step>
inline uint16_t levelLoop(const KernelInputs& in, KernelState& st, double zr, double zi, Step step)
{
    const double L = in.L;
    const int maxIter = in.MaxIter;
    OrbitObserver* const orbit = st.Orbit;
    if constexpr (Plot) {
        if (orbit)
            orbit->beginOrbit();
    }
    PeriodicityCheck period(Interval > 0 && in.Periodicity && st.PrevInside, Interval);

    uint16_t result;
    for (int n = 1;; ++n) {
        step.next(zr, zi);
        const double zr2 = zr * zr;
        const double zi2 = zi * zi;
        if constexpr (Plot) {
            if (orbit)
                orbit->plotOrbitPoint(n, zr, zi);
        }
        if (Interval > 0 && period.cycle(zr2 + zi2)) {
            result = Inside;
            break;
        }
        if (n >= maxIter) {
            result = Inside;
            break;
        }
        if (Test::escaped(zr, zi, zr2, zi2, L) || step.converged()) {
            result = uint16_t(n);
            break;
        }
    }
    if (Interval > 0)
        st.PrevInside = result == Inside;
    return result;
}

// Test of the kernels with the fixed limit 100000 on |z|^2, whatever L.
struct FixedRadius {
    static bool escaped(double, double, double zr2, double zi2, double) { return zr2 + zi2 > 100000.0; }
};

}  // namespace engine::kernels
