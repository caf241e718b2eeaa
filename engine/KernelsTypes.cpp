#include <type_traits>

#include "engine/Bailout.h"
#include "engine/ElementaryFunctions.h"
#include "engine/Kernels.h"
#include "engine/KernelsLevelLoop.h"

// Level kernels of the types 3, 4, 6, 7, 11, 12, 14, 15, 16 and 17, in IEEE double.
//
// Evaluation order. A complex product (a + ib)(c + id) is always (a*c - b*d) + i(a*d + b*c), and every
// other expression is evaluated left to right as written in the step's comment; z^2 is
// (zr*zr - zi*zi) + i((2*zr)*zi). A vectorised engine must keep these orders to give the same values.
namespace engine::kernels {
namespace {

// ZC(1-Z): w = (1 - zr) + i(1 - zi) from the iterate before the step; z = (z * m) * w, m = C or P.
struct StepZC {
    double mr, mi;
    void next(double& zr, double& zi) const
    {
        const double wr = 1 - zr;
        const double wi = 1 - zi;
        const double tr = zr * mr - zi * mi;
        const double ti = zr * mi + zi * mr;
        zr = tr * wr - ti * wi;
        zi = tr * wi + ti * wr;
    }
    bool converged() const { return false; }
};

struct MandelbrotZC {
    static uint16_t fn(const KernelInputs& in, KernelState& st, double cr, double ci)
    {
        return levelLoop<bailout::Mod, false, 10>(in, st, in.PertZr + 0.5, in.PertZi + 0.5, StepZC{cr, ci});
    }
};

struct JuliaZC {
    static uint16_t fn(const KernelInputs& in, KernelState& st, double cr, double ci)
    {
        return levelLoop<bailout::Mod, false, 3>(in, st, cr, ci, StepZC{in.ParamCr, in.ParamCi});
    }
};

// fn(z) for z = x + iy, one struct per function, with the elementary functions of
// engine/ElementaryFunctions.h (never the C library's, whose values change from one library to the
// next); the sine and cosine of one argument come from one reduction, sinh and cosh from one e^|x|.
struct FnSinT {
    static void eval(double x, double y, double& fr, double& fi)
    {
        double s, c, sh, ch;
        elem::sincos(x, s, c);
        elem::sinhcosh(y, sh, ch);
        fr = s * ch;
        fi = c * sh;
    }
};
struct FnCosT {
    static void eval(double x, double y, double& fr, double& fi)
    {
        double s, c, sh, ch;
        elem::sincos(x, s, c);
        elem::sinhcosh(y, sh, ch);
        fr = c * ch;
        fi = -(s * sh);
    }
};
struct FnSinhT {
    static void eval(double x, double y, double& fr, double& fi)
    {
        double s, c, sh, ch;
        elem::sincos(y, s, c);
        elem::sinhcosh(x, sh, ch);
        fr = sh * c;
        fi = ch * s;
    }
};
struct FnCoshT {
    static void eval(double x, double y, double& fr, double& fi)
    {
        double s, c, sh, ch;
        elem::sincos(y, s, c);
        elem::sinhcosh(x, sh, ch);
        fr = ch * c;
        fi = sh * s;
    }
};
struct FnExpT {
    static void eval(double x, double y, double& fr, double& fi)
    {
        double s, c;
        elem::sincos(y, s, c);
        const double e = elem::exp(x);
        fr = e * c;
        fi = e * s;
    }
};

// z = fn(z) * m, m = C (Mandelbrot) or P (Julia).
template <class Fn>
struct StepFn : NoConvergence {
    double mr, mi;
    StepFn(double r, double i) : mr(r), mi(i) {}
    void next(double& zr, double& zi) const
    {
        double fr, fi;
        Fn::eval(zr, zi, fr, fi);
        zr = fr * mr - fi * mi;
        zi = fr * mi + fi * mr;
    }
};

// sin, cos, sinh and cosh run until |z|^2 > 100000 whatever L; exp compares with L.
template <class Fn>
using FnTest = std::conditional_t<std::is_same_v<Fn, FnExpT>, bailout::Mod, FixedRadius>;

template <class Fn, bool Julia>
uint16_t fnKernel(const KernelInputs& in, KernelState& st, double cr, double ci)
{
    if (Julia)
        return levelLoop<FnTest<Fn>, false, 0>(in, st, cr, ci, StepFn<Fn>(in.ParamCr, in.ParamCi));
    return levelLoop<FnTest<Fn>, false, 0>(in, st, in.PertZr, in.PertZi, StepFn<Fn>(cr, ci));
}

// Magnetism, q = P: a = z^2 + q - 1, b = 2z + q - 2, d = |b|^2; u + iv = conj(a / b) formed as
// ((ar*br + ai*bi) / d) + i((ar*bi - ai*br) / d) when d > 5e-324, else z; z' = (u*u - v*v) + i(2*u*v).
// Converged when |z' - z|^2 = (z'r - zr)^2 + (z'i - zi)^2 < 1e-5.
struct StepMagnetism {
    double qr, qi;
    double dist2 = 1;
    void next(double& zr, double& zi)
    {
        const double ar = zr * zr - zi * zi + qr - 1;
        const double ai = 2 * zr * zi + qi;
        const double br = 2 * zr + qr - 2;
        const double bi = 2 * zi + qi;
        const double d = br * br + bi * bi;
        double u = zr, v = zi;
        if (d > 5e-324) {
            u = (ar * br + ai * bi) / d;
            v = (ar * bi - ai * br) / d;
        }
        const double nr = u * u - v * v;
        const double ni = 2 * u * v;
        const double dr = nr - zr;
        const double di = ni - zi;
        dist2 = dr * dr + di * di;
        zr = nr;
        zi = ni;
    }
    bool converged() const { return dist2 < 1e-5; }
};

struct Magnetism {
    template <class Test>
    static uint16_t fn(const KernelInputs& in, KernelState& st, double cr, double ci)
    {
        return levelLoop<Test, true, 0>(in, st, cr, ci, StepMagnetism{in.ParamCr, in.ParamCi});
    }
};

// Man-of-war: z' = (zr*zr - zi*zi + wr + cr) + i(2*zr*zi + wi + ci), then w = the previous z.
struct StepManOfWar : NoConvergence {
    double wr, wi, cr, ci;
    StepManOfWar(double r, double i) : wr(r), wi(i), cr(r), ci(i) {}
    void next(double& zr, double& zi)
    {
        const double nr = zr * zr - zi * zi + wr + cr;
        const double ni = 2 * zr * zi + wi + ci;
        wr = zr;
        wi = zi;
        zr = nr;
        zi = ni;
    }
};

struct ManOfWar {
    template <class Test>
    static uint16_t fn(const KernelInputs& in, KernelState& st, double cr, double ci)
    {
        return levelLoop<Test, true, 0>(in, st, cr + in.PertZr, ci + in.PertZi, StepManOfWar(cr, ci));
    }
};

// Phoenix with p = ParamCr and q = ParamCi as reals: z' = (zr*zr - zi*zi + p + q*yr) + i(2*zr*zi + q*yi),
// then y = the previous z; y starts at Q.
struct StepPhoenix : NoConvergence {
    double p, q, yr, yi;
    StepPhoenix(double p_, double q_, double yr_, double yi_) : p(p_), q(q_), yr(yr_), yi(yi_) {}
    void next(double& zr, double& zi)
    {
        const double nr = zr * zr - zi * zi + p + q * yr;
        const double ni = 2 * zr * zi + q * yi;
        yr = zr;
        yi = zi;
        zr = nr;
        zi = ni;
    }
};

struct Phoenix {
    template <class Test>
    static uint16_t fn(const KernelInputs& in, KernelState& st, double cr, double ci)
    {
        return levelLoop<Test, true, 0>(in, st, cr, ci, StepPhoenix(in.ParamCr, in.ParamCi, in.PertZr, in.PertZi));
    }
};

// Phoenix 2: z' = (zr*zr - zi*zi + (pr*yr - pi*yi) + qr) + i(2*zr*zi + (pr*yi + pi*yr) + qi),
// then y = the previous z; y starts at 0.
struct StepPhoenix2 : NoConvergence {
    double pr, pi, qr, qi;
    double yr = 0, yi = 0;
    StepPhoenix2(double a, double b, double c, double d) : pr(a), pi(b), qr(c), qi(d) {}
    void next(double& zr, double& zi)
    {
        const double nr = zr * zr - zi * zi + (pr * yr - pi * yi) + qr;
        const double ni = 2 * zr * zi + (pr * yi + pi * yr) + qi;
        yr = zr;
        yi = zi;
        zr = nr;
        zi = ni;
    }
};

struct Phoenix2 {
    template <class Test>
    static uint16_t fn(const KernelInputs& in, KernelState& st, double cr, double ci)
    {
        return levelLoop<Test, true, 0>(in, st, cr, ci, StepPhoenix2(in.ParamCr, in.ParamCi, in.PertZr, in.PertZi));
    }
};

// Spider: z' = (zr*zr - zi*zi + cr) + i(2*zr*zi + ci), then c = (cr / 2 + z'r) + i(ci / 2 + z'i); c starts at C.
struct StepSpider : NoConvergence {
    double cr, ci;
    StepSpider(double r, double i) : cr(r), ci(i) {}
    void next(double& zr, double& zi)
    {
        const double nr = zr * zr - zi * zi + cr;
        const double ni = 2 * zr * zi + ci;
        zr = nr;
        zi = ni;
        cr = cr / 2 + zr;
        ci = ci / 2 + zi;
    }
};

struct Spider {
    template <class Test>
    static uint16_t fn(const KernelInputs& in, KernelState& st, double cr, double ci)
    {
        return levelLoop<Test, true, 0>(in, st, cr + in.PertZr, ci + in.PertZi, StepSpider(cr, ci));
    }
};

// Volterra-Lotka, one Heun step with h = ParamCr, k = ParamCi on (x, y) = (zr, zi):
// a = x - x*y, b = x*y - y, u = x + k*a, v = y + k*b, x' = x + (h/2)*(u - u*v + a), y' = y + (h/2)*(u*v - v + b).
struct StepVolterra : NoConvergence {
    double h, k;
    StepVolterra(double h_, double k_) : h(h_), k(k_) {}
    void next(double& x, double& y) const
    {
        const double a = x - x * y;
        const double b = x * y - y;
        const double u = x + k * a;
        const double v = y + k * b;
        const double nx = x + (h / 2) * (u - u * v + a);
        const double ny = y + (h / 2) * (u * v - v + b);
        x = nx;
        y = ny;
    }
};

struct Volterra {
    template <class Test>
    static uint16_t fn(const KernelInputs& in, KernelState& st, double cr, double ci)
    {
        return levelLoop<Test, true, 0>(in, st, cr, ci, StepVolterra(in.ParamCr, in.ParamCi));
    }
};

}  // namespace

KernelFn zcLevel(bool julia)
{
    return julia ? &JuliaZC::fn : &MandelbrotZC::fn;
}

KernelFn fnLevel(bool julia, int function)
{
    switch (function) {
    case FnSin: return julia ? &fnKernel<FnSinT, true> : &fnKernel<FnSinT, false>;
    case FnCos: return julia ? &fnKernel<FnCosT, true> : &fnKernel<FnCosT, false>;
    case FnSinh: return julia ? &fnKernel<FnSinhT, true> : &fnKernel<FnSinhT, false>;
    case FnCosh: return julia ? &fnKernel<FnCoshT, true> : &fnKernel<FnCoshT, false>;
    case FnExp: return julia ? &fnKernel<FnExpT, true> : &fnKernel<FnExpT, false>;
    default: return nullptr;
    }
}

KernelFn otherLevel(TypeId type, int bailout)
{
    switch (type) {
    case TypeId::Magnetism: return bailout::byBailout<Magnetism>(bailout);
    case TypeId::ManOfWar: return bailout::byBailout<ManOfWar>(bailout);
    case TypeId::Phoenix: return bailout::byBailout<Phoenix>(bailout);
    case TypeId::Phoenix2: return bailout::byBailout<Phoenix2>(bailout);
    case TypeId::Spider: return bailout::byBailout<Spider>(bailout);
    case TypeId::VolterraLotka: return bailout::byBailout<Volterra>(bailout);
    default: return nullptr;
    }
}

}  // namespace engine::kernels
