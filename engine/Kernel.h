#pragma once

#include <cstddef>
#include <cstdint>

namespace engine {

// Receives the iterates of the kernels that plot orbits, while an orbit view is open.
// Called on the computing thread, in pixel order.
class OrbitObserver {
public:
    virtual ~OrbitObserver() = default;
    virtual void beginOrbit() {}
    // The n-th iterate of the current pixel.
    virtual void plotOrbitPoint(int /*n*/, double /*zr*/, double /*zi*/) {}
    // The saved orbit of the distance kernels after their loop: count entries of each array.
    virtual void plotSavedOrbit(const double* /*xs*/, const double* /*ys*/, int /*count*/) {}
};

// Inputs that stay fixed during one computation; loaded by SelectKernel.
struct KernelInputs {
    double ParamCr = 0, ParamCi = 0;
    double PertZr = 0, PertZi = 0;
    double Step = 0;
    double DistThreshold = 0;  // Delta / 500 x Step
    uint16_t MaxIter = 0;
    uint16_t L = 4;            // EscapeLevelSq
    int32_t NewtonP = 3;
    uint8_t Bailout = 0;
    bool Periodicity = false;
};

// State one computing sequence carries from pixel to pixel. A worker thread owns its own copy.
struct KernelState {
    bool PrevInside = false;         // the previous pixel computed was inside
    double* XOrbit = nullptr;        // saved orbit of the distance kernels: MaxIter + 1 entries each
    double* YOrbit = nullptr;
    long double LastPotential = 0;   // the Potential kernel keeps its last value when one cannot be formed
    OrbitObserver* Orbit = nullptr;  // non-null while orbits are plotted
};

// A kernel computes the value of the pixel at (cr, ci). It must not allocate.
using KernelFn = uint16_t (*)(const KernelInputs&, KernelState&, double cr, double ci);

}  // namespace engine
