#pragma once

#include <cstdint>

#include "engine/Catalogue.h"
#include "engine/Kernel.h"

// The bail-out tests of the selectable kernels. Each is a type with one static function, so that a
// kernel takes its test as a template parameter and never branches on the choice per iteration.
//
// `escaped` answers "does the test value exceed L?" for the current iterate (zr, zi) with its squares
// zr2 = zr * zr and zi2 = zi * zi already formed. The diagonal test of Epsilon and the two tests of And
// and Or mean "escape" whatever L is, including L = 65535 (the Volterra-Lotka default), so they answer
// true directly instead of returning a test value of 65535, which would not exceed that L.
namespace engine::bailout {

struct Mod {
    static bool escaped(double, double, double zr2, double zi2, double L) { return zr2 + zi2 > L; }
};

struct SqrZr {
    static bool escaped(double, double, double zr2, double, double L) { return zr2 > L; }
};

struct SqrZi {
    static bool escaped(double, double, double, double zi2, double L) { return zi2 > L; }
};

// Escapes at once when the iterate lies strictly within 0.01 of either diagonal.
struct Epsilon {
    static bool escaped(double zr, double zi, double zr2, double zi2, double L)
    {
        const double d = zr - zi;
        const double s = zr + zi;
        if ((-0.01 < d && d < 0.01) || (-0.01 < s && s < 0.01))
            return true;
        return zr2 + zi2 > L;
    }
};

struct And {
    static bool escaped(double, double, double zr2, double zi2, double L) { return zr2 > L && zi2 > L; }
};

struct Or {
    static bool escaped(double, double, double zr2, double zi2, double L) { return zr2 > L || zi2 > L; }
};

// Instantiates Family::fn<Test> for the test with index `bailout` (0 Mod .. 5 Or; anything else Mod).
// Family is a type with a static member template `fn` of KernelFn's signature.
template <class Family>
KernelFn byBailout(int bailout)
{
    switch (bailout) {
    case BailSqrZr: return &Family::template fn<SqrZr>;
    case BailSqrZi: return &Family::template fn<SqrZi>;
    case BailEpsilon: return &Family::template fn<Epsilon>;
    case BailAnd: return &Family::template fn<And>;
    case BailOr: return &Family::template fn<Or>;
    default: return &Family::template fn<Mod>;
    }
}

}  // namespace engine::bailout
