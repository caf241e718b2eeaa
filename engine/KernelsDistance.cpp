#include <algorithm>
#include <cmath>

#include "engine/Bailout.h"
#include "engine/Kernels.h"
#include "engine/KernelsQuadratic.h"

// The kernels of algorithms 1..5 for the types that have them. The recurrence is always z^2 + c, in
// IEEE double with the evaluation order of engine/KernelsQuadratic.h; start value and constant by type:
// Mandelbrot z0 = 0 (the perturbation is not used), c = C; Julia z0 = C, c = P; Z(1/C) z0 = 0, c = K,
// and |C|^2 up to 5e-300 gives the value 1 without iterating.
//
// The distance kernels need st.XOrbit and st.YOrbit with MaxIter + 1 entries each (SelectKernel sees to it).
namespace engine::kernels {
namespace {

// Escape radius squared of the distance and potential kernels; the escape level is not used.
inline constexpr double DistanceRadiusSq = 100000.0;

struct Start {
    double zr, zi, ar, ai;
};

struct MandelbrotKind {
    static bool start(const KernelInputs&, double cr, double ci, Start& s)
    {
        s = {0, 0, cr, ci};
        return true;
    }
    using Level = MandelbrotZ2Level;  // the Z^2+C Level kernel, which starts at the perturbation
};

struct JuliaKind {
    static bool start(const KernelInputs& in, double cr, double ci, Start& s)
    {
        s = {cr, ci, in.ParamCr, in.ParamCi};
        return true;
    }
    using Level = JuliaLevel;
};

struct InverseKind {
    // False when C is too close to 0: the value is then 1.
    static bool start(const KernelInputs& in, double cr, double ci, Start& s)
    {
        const InverseConstant k = inverseConstant(in, cr, ci);
        s = {0, 0, k.kr, k.ki};
        return !k.nearZero;
    }
    using Level = InverseLevel;
};

// Outcome of the distance estimate: the value 1 for a Z(1/C) pixel at 0, "not escaped", or a distance.
enum class Estimate { NearZero, NotEscaped, Escaped };

// Steps 1..4 of the distance estimate. Iterates z^2 + c from the start value, saving every iterate in
// the orbit arrays, until |z|^2 > 100000 or n = MaxIter; the saved orbit is plotted when orbits are on.
// For an escaped point: dz = 0, then for j = 0 .. n-1: dz = (2 * orbit[j]) * dz + 1, formed as
// ((2*xr) * dzr - (2*xi) * dzi + 1) + i((2*xr) * dzi + (2*xi) * dzr); dist = (sqrt(m) * log(m)) / |dz|
// with |dz| = sqrt(dzr*dzr + dzi*dzi).
template <class Kind>
Estimate estimate(const KernelInputs& in, KernelState& st, double cr, double ci, double& dist)
{
    Start s;
    if (!Kind::start(in, cr, ci, s))
        return Estimate::NearZero;
    const int maxIter = in.MaxIter;
    if (maxIter < 1)
        return Estimate::NotEscaped;
    double* const xo = st.XOrbit;
    double* const yo = st.YOrbit;
    OrbitObserver* const orbit = st.Orbit;
    if (orbit)
        orbit->beginOrbit();

    double zr = s.zr, zi = s.zi;
    xo[0] = zr;
    yo[0] = zi;
    double zr2 = zr * zr, zi2 = zi * zi;
    double m;
    int n = 0;
    for (;;) {
        zi = 2 * zr * zi + s.ai;
        zr = zr2 - zi2 + s.ar;
        ++n;
        xo[n] = zr;
        yo[n] = zi;
        zr2 = zr * zr;
        zi2 = zi * zi;
        m = zr2 + zi2;
        if (n >= maxIter || m > DistanceRadiusSq)
            break;
    }
    if (orbit)
        orbit->plotSavedOrbit(xo, yo, maxIter + 1);
    if (!(m > DistanceRadiusSq))
        return Estimate::NotEscaped;

    double dzr = 0, dzi = 0;
    for (int j = 0; j < n; ++j) {
        const double ar = 2 * xo[j];
        const double ai = 2 * yo[j];
        const double r = ar * dzr - ai * dzi + 1;
        dzi = ar * dzi + ai * dzr;
        dzr = r;
    }
    dist = std::sqrt(m) * std::log(m) / std::sqrt(dzr * dzr + dzi * dzi);
    return Estimate::Escaped;
}

// Distance: 255 when the point lies at least DistThreshold from the set, otherwise 65535. A point that
// does not escape is 65535 whatever the threshold (also for a threshold of 0).
template <class Kind>
uint16_t distanceValue(const KernelInputs& in, KernelState& st, double cr, double ci)
{
    double dist = 0;
    switch (estimate<Kind>(in, st, cr, ci, dist)) {
    case Estimate::NearZero: return 1;
    case Estimate::NotEscaped: return Inside;
    case Estimate::Escaped: break;
    }
    return dist >= in.DistThreshold ? 255 : Inside;
}

template <class Kind>
struct Distance {
    template <class Test>
    static uint16_t fn(const KernelInputs& in, KernelState& st, double cr, double ci)
    {
        return distanceValue<Kind>(in, st, cr, ci);
    }
};

// Level+Distance: 65535 within the distance band, else the type's Level count with the selected test.
template <class Kind>
struct LevelDistance {
    template <class Test>
    static uint16_t fn(const KernelInputs& in, KernelState& st, double cr, double ci)
    {
        if (distanceValue<Kind>(in, st, cr, ci) != 255)
            return Inside;
        return Kind::Level::template fn<Test>(in, st, cr, ci);
    }
};

// Color Distance: 65535 not escaped; 0 closer than the threshold (or no distance could be formed);
// otherwise the distance in tenths of a pixel step, (10 * dist) / Step rounded to nearest, ties to even,
// held at 65534 so that a far point never reads as inside.
template <class Kind>
struct ColorDistance {
    template <class Test>
    static uint16_t fn(const KernelInputs& in, KernelState& st, double cr, double ci)
    {
        double dist = 0;
        switch (estimate<Kind>(in, st, cr, ci, dist)) {
        case Estimate::NearZero: return 1;
        case Estimate::NotEscaped: return Inside;
        case Estimate::Escaped: break;
        }
        if (!(dist >= in.DistThreshold))
            return 0;
        const double tenths = std::nearbyint(10 * dist / in.Step);
        if (!(tenths < 65534.0))
            return 65534;  // also for an infinite or undefined quotient
        return tenths > 0 ? uint16_t(tenths) : 0;
    }
};

// Binary: iterate with the selected test; 0 when the last iterate has Re z = 0, 65535 when the limit was
// reached, else 0 for Im z >= 0 and 255 for Im z < 0. Plots its orbit.
template <class Kind>
struct Binary {
    template <class Test>
    static uint16_t fn(const KernelInputs& in, KernelState& st, double cr, double ci)
    {
        Start s;
        if (!Kind::start(in, cr, ci, s))
            return 1;
        const double L = in.L;
        const int maxIter = in.MaxIter;
        OrbitObserver* const orbit = st.Orbit;
        if (orbit)
            orbit->beginOrbit();
        double zr = s.zr, zi = s.zi;
        double zr2 = zr * zr, zi2 = zi * zi;
        int n = 0;
        for (;;) {
            zi = 2 * zr * zi + s.ai;
            zr = zr2 - zi2 + s.ar;
            ++n;
            zr2 = zr * zr;
            zi2 = zi * zi;
            const bool escaped = Test::escaped(zr, zi, zr2, zi2, L);
            if (orbit)
                orbit->plotOrbitPoint(n, zr, zi);
            if (n >= maxIter || escaped)
                break;
        }
        if (zr == 0)
            return 0;
        if (n >= maxIter)
            return Inside;
        return zi >= 0 ? 0 : 255;
    }
};

// Potential (Mandelbrot only): z = 0, z^2 + C until |z|^2 > 100000 or the limit; then, in long double,
// P = MaxIter - (log2(m) / 2^n) / Step. When 2^n, the quotient or P cannot be represented, P keeps the
// last value formed (st.LastPotential). Value Round(P) - 1 (nearest, ties to even) when Round(P) >= 1,
// else 0, held within 0 .. MaxIter - 1.
struct Potential {
    template <class Test>
    static uint16_t fn(const KernelInputs& in, KernelState& st, double cr, double ci)
    {
        const int maxIter = in.MaxIter;
        double zr = 0, zi = 0, zr2 = 0, zi2 = 0, m = 0;
        int n = 0;
        for (;;) {
            zi = 2 * zr * zi + ci;
            zr = zr2 - zi2 + cr;
            ++n;
            zr2 = zr * zr;
            zi2 = zi * zi;
            m = zr2 + zi2;
            if (n >= maxIter || m > DistanceRadiusSq)
                break;
        }
        if (n >= maxIter)
            return Inside;

        using Ext = long double;
        const Ext pow2 = std::ldexp(Ext(1), n);
        if (std::isfinite(pow2)) {
            const Ext q = std::log2(Ext(m)) / pow2;
            const Ext p = Ext(maxIter) - q / Ext(in.Step);
            if (std::isfinite(q) && std::isfinite(p))
                st.LastPotential = p;
        }
        const Ext rounded = std::nearbyint(st.LastPotential);
        if (!(rounded >= 1))
            return 0;
        return uint16_t(std::min<Ext>(rounded - 1, Ext(maxIter - 1)));
    }
};

template <class Kind>
KernelFn forKind(int algorithm, int bail)
{
    switch (algorithm) {
    case AlgDistance: return &Distance<Kind>::template fn<bailout::Mod>;  // no bail-out test
    case AlgLevelDistance: return bailout::byBailout<LevelDistance<Kind>>(bail);
    case AlgBinary: return bailout::byBailout<Binary<Kind>>(bail);
    case AlgColorDistance: return &ColorDistance<Kind>::template fn<bailout::Mod>;
    default: return nullptr;
    }
}

}  // namespace

KernelFn algorithmKernel(TypeId type, int algorithm, int bail)
{
    switch (type) {
    case TypeId::Mandelbrot:
        if (algorithm == AlgPotential)
            return &Potential::fn<bailout::Mod>;
        return forKind<MandelbrotKind>(algorithm, bail);
    case TypeId::Julia: return forKind<JuliaKind>(algorithm, bail);
    case TypeId::MandelbrotInverse:
        return algorithm == AlgColorDistance ? nullptr : forKind<InverseKind>(algorithm, bail);
    default: return nullptr;
    }
}

}  // namespace engine::kernels
