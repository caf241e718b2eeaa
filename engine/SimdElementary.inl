// sin and cos, sinh and cosh, and exp of W doubles at once, for the fn(Z)C lanes. Included by each
// instruction-set module after its Isa, in the same namespace.
//
// The arithmetic is that of engine/ElementaryFunctions.h, instantiated on a vector (VD below): the same
// operations in the same order, so every lane gets the bits of the scalar function. The scalar
// functions branch on the argument; here every lane takes the common path, the other cases are picked
// lane by lane with blends (tiny arguments, no reduction needed, sinh and cosh above 22), and the lanes
// whose argument needs a path the vectors do not take (reduction of a huge argument or one that cancels
// many bits, results near overflow, infinities, NaN) are recomputed by the scalar function.

#include "engine/ElementaryFunctions.h"

namespace engine::simd::VOREX_SIMD_NS {
namespace {

// -x, exact (signed zeros included).
inline V negate(V x) { return Isa::mul(x, Isa::set1(-1.0)); }

// A vector of doubles with the arithmetic operators of double.
struct VD {
    V v;
    VD() = default;
    VD(V x) : v(x) {}
    VD(double x) : v(Isa::set1(x)) {}
    friend VD operator+(VD a, VD b) { return Isa::add(a.v, b.v); }
    friend VD operator-(VD a, VD b) { return Isa::sub(a.v, b.v); }
    friend VD operator*(VD a, VD b) { return Isa::mul(a.v, b.v); }
    friend VD operator/(VD a, VD b) { return Isa::div(a.v, b.v); }
    friend VD operator-(VD a) { return negate(a.v); }
};

namespace el = engine::elem::detail;
constexpr int W = Isa::W;

// |x| < bound, false for NaN.
inline M magnitudeBelow(V x, double bound)
{
    return Isa::mand(Isa::lt(x, Isa::set1(bound)), Isa::gt(x, Isa::set1(-bound)));
}

// The largest whole number at or below x, for |x| < 2^51.
inline V floorV(V x)
{
    const V r = el::roundToInteger(VD(x)).v;
    return Isa::blend(Isa::gt(r, x), r, Isa::sub(r, Isa::set1(1.0)));
}

// The table entries 2^(j/32) = th + tl and 2^k of m = 32 k + j, lane by lane (|m| < 2^15).
inline void expTableEntries(V md, V& th, V& tl, V& p2k)
{
    const V q = Isa::mul(md, Isa::set1(1.0 / 32));  // exact
    const V k = floorV(q);
    const V j2 = Isa::mul(Isa::sub(md, Isa::mul(k, Isa::set1(32.0))), Isa::set1(2.0));
    th = Isa::gather(&el::expTable[0][0], j2);
    tl = Isa::gather(&el::expTable[0][1], j2);
    p2k = Isa::pow2(k);
}

// The lanes of `redo` recomputed by the scalar f(x, a, b).
template <class F>
[[gnu::noinline]] void scalarLanes(M redo, V x, V& a, V& b, F f)
{
    alignas(64) double xs[W], as[W], bs[W];
    Isa::store(xs, x);
    Isa::store(as, a);
    Isa::store(bs, b);
    int bits = Isa::bits(redo);
    while (bits != 0) {
        const int i = __builtin_ctz(unsigned(bits));
        bits &= bits - 1;
        f(xs[i], as[i], bs[i]);
    }
    a = Isa::load(as);
    b = Isa::load(bs);
}

// Bounds on |x| as the scalar functions test them (the high word of |x| against a constant).
constexpr double TwoPowMinus26 = 0x1p-26;
constexpr double QuarterPi = 0x1.921fcp-1;          // first double whose high word is above pi/4's
constexpr double ReducibleLimit = 0x1.921fbp+20;    // 2^20 pi/2, from where the reduction is exact
constexpr double ExpVectorLimit = 704.0;            // e^x and e^x / 2 stay normal, far from overflow

// Each function skips the paths that no lane takes: the values are the same, the work is not.
inline void sincosV(V x, V& s, V& c)
{
    constexpr int all = (1 << W) - 1;
    const M tiny = magnitudeBelow(x, TwoPowMinus26);
    if (Isa::bits(tiny) == all) {
        s = x;
        c = Isa::set1(1.0);
        return;
    }
    const M direct = magnitudeBelow(x, QuarterPi);  // no reduction
    const M reducible = magnitudeBelow(x, ReducibleLimit);
    const V zero = Isa::set1(0.0);
    // Lanes of other paths compute from 0: no subnormal operands, which cost far more than the rest.
    const V xs = Isa::blend(Isa::mandnot(reducible, tiny), zero, x);
    M redo = Isa::fromBits(0);
    if (Isa::bits(direct) == all) {
        s = el::kernelSinNoTail(VD(xs)).v;
        c = el::kernelCos(VD(xs), VD(zero)).v;
    } else {
        VD fn, r, w, y0;
        el::reduceFirst(VD(xs), fn, r, w, y0);
        // The scalar reduction takes more pieces of pi/2 when y0 lost more than 16 bits to cancellation
        // (exponent of x minus exponent of y0 above 16). |y0| >= |x| 2^-16 excludes that; the lanes
        // below it go to the scalar function, which decides.
        const V bound = Isa::mul(Isa::max(xs, negate(xs)), Isa::set1(0x1p-16));
        const M cancels = Isa::mandnot(Isa::mand(Isa::lt(y0.v, bound), Isa::gt(y0.v, negate(bound))), direct);
        redo = Isa::mor(Isa::mandnot(Isa::fromBits(all), reducible), cancels);
        const V head = Isa::blend(direct, y0.v, xs);
        const V tail = Isa::blend(direct, el::reducedTail(r, w, y0).v, zero);
        // The quadrant n mod 4 = fn - 4 floor(fn / 4); 0 without reduction.
        const V quarter = Isa::mul(fn.v, Isa::set1(0.25));
        const V q = Isa::blend(direct, Isa::sub(fn.v, Isa::mul(floorV(quarter), Isa::set1(4.0))), zero);
        const M q1 = Isa::eq(q, Isa::set1(1.0)), q2 = Isa::eq(q, Isa::set1(2.0)), q3 = Isa::eq(q, Isa::set1(3.0));
        V ks = el::kernelSinWithTail(VD(head), VD(tail)).v;
        if (Isa::bits(direct) != 0)
            ks = Isa::blend(direct, ks, el::kernelSinNoTail(VD(head)).v);
        const V kc = el::kernelCos(VD(head), VD(tail)).v;
        const M odd = Isa::mor(q1, q3);
        const V s0 = Isa::blend(odd, ks, kc), c0 = Isa::blend(odd, kc, ks);
        s = Isa::blend(Isa::mor(q2, q3), s0, negate(s0));
        c = Isa::blend(Isa::mor(q1, q2), c0, negate(c0));
    }
    s = Isa::blend(tiny, s, x);
    c = Isa::blend(tiny, c, Isa::set1(1.0));
    if (Isa::bits(redo) != 0)
        scalarLanes(redo, x, s, c, [](double a, double& sa, double& ca) { engine::elem::sincos(a, sa, ca); });
}

inline void sinhcoshV(V x, V& sh, V& ch)
{
    constexpr int all = (1 << W) - 1;
    const M tiny = magnitudeBelow(x, TwoPowMinus26);
    if (Isa::bits(tiny) == all) {
        sh = x;
        ch = Isa::set1(1.0);
        return;
    }
    const M inRange = magnitudeBelow(x, ExpVectorLimit);
    const V ax = Isa::blend(Isa::mandnot(inRange, tiny), Isa::set1(0.0), Isa::max(x, negate(x)));
    const M small = Isa::lt(ax, Isa::set1(22.0));  // (e^a -+ e^-a) / 2; above, e^a / 2
    const M series = Isa::lt(ax, Isa::set1(0.35));   // sinh by its series
    const V md = el::expIndex(VD(ax)).v;
    V th, tl, p2k;
    expTableEntries(md, th, tl, p2k);
    VD hi, lo;
    el::expCore(VD(ax), VD(md), VD(th), VD(tl), hi, lo);
    V s, c;
    if (Isa::bits(small) != 0) {
        VD eh, el_, ih, il;
        el::expAndInverseCore(hi, lo, VD(Isa::blend(small, Isa::set1(1.0), p2k)), eh, el_, ih, il);
        c = el::halfSum<true>(eh, el_, ih, il).v;
        const int b = Isa::bits(series);
        if (b == all)
            s = el::sinhSmall(VD(ax)).v;
        else if (b == 0)
            s = el::halfSum<false>(eh, el_, ih, il).v;
        else
            s = Isa::blend(series, el::halfSum<false>(eh, el_, ih, il).v, el::sinhSmall(VD(ax)).v);
    }
    if (Isa::bits(small) != all) {
        const V large = (VD(Isa::add(hi.v, lo.v)) * VD(Isa::mul(p2k, Isa::set1(0.5)))).v;
        s = Isa::bits(small) == 0 ? large : Isa::blend(small, large, s);
        c = Isa::bits(small) == 0 ? large : Isa::blend(small, large, c);
    }
    sh = Isa::blend(Isa::lt(x, Isa::set1(0.0)), s, negate(s));
    sh = Isa::blend(tiny, sh, x);
    ch = Isa::blend(tiny, c, Isa::set1(1.0));
    const M redo = Isa::mandnot(Isa::fromBits(all), inRange);
    if (Isa::bits(redo) != 0)
        scalarLanes(redo, x, sh, ch, [](double a, double& sa, double& ca) { engine::elem::sinhcosh(a, sa, ca); });
}

inline V expV(V x)
{
    const M tiny = magnitudeBelow(x, 0x1p-54);
    const M inRange = magnitudeBelow(x, ExpVectorLimit);
    const V xs = Isa::blend(Isa::mandnot(inRange, tiny), Isa::set1(0.0), x);
    const V md = el::expIndex(VD(xs)).v;
    V th, tl, p2k;
    expTableEntries(md, th, tl, p2k);
    VD hi, lo;
    el::expCore(VD(xs), VD(md), VD(th), VD(tl), hi, lo);
    V e = Isa::mul(Isa::add(hi.v, lo.v), p2k);
    e = Isa::blend(tiny, e, Isa::add(Isa::set1(1.0), x));
    const M redo = Isa::mandnot(Isa::fromBits((1 << W) - 1), inRange);
    if (Isa::bits(redo) != 0) {
        V unused = e;
        scalarLanes(redo, x, e, unused, [](double a, double& ea, double&) { ea = engine::elem::exp(a); });
    }
    return e;
}

// fn(x + iy) = fr + i fi for the function index of the fn(Z)C types (sin, cos, sinh, cosh, exp), as
// the scalar kernels form it.
template <int Function>
[[gnu::always_inline]] inline void fnV(V x, V y, V& fr, V& fi)
{
    if constexpr (Function == 4) {
        V s, c;
        sincosV(y, s, c);
        const V e = expV(x);
        fr = Isa::mul(e, c);
        fi = Isa::mul(e, s);
    } else {
        V s, c, sh, ch;
        if constexpr (Function <= 1) {
            sincosV(x, s, c);
            sinhcoshV(y, sh, ch);
        } else {
            sincosV(y, s, c);
            sinhcoshV(x, sh, ch);
        }
        switch (Function) {
        case 0: fr = Isa::mul(s, ch), fi = Isa::mul(c, sh); break;
        case 1: fr = Isa::mul(c, ch), fi = negate(Isa::mul(s, sh)); break;
        case 2: fr = Isa::mul(sh, c), fi = Isa::mul(ch, s); break;
        default: fr = Isa::mul(ch, c), fi = Isa::mul(sh, s); break;
        }
    }
}

// The functions above over arrays (engine::simd::*Elementary).
inline void elementaryOver(Elementary which, const double* x, double* a, double* b, size_t n)
{
    for (size_t i = 0; i < n; i += W) {
        alignas(64) double xs[W], as[W], bs[W];
        for (int j = 0; j < W; ++j)
            xs[j] = i + j < n ? x[i + j] : 0.0;
        V va = Isa::set1(0.0), vb = Isa::set1(0.0);
        switch (which) {
        case Elementary::SinCos: sincosV(Isa::load(xs), va, vb); break;
        case Elementary::SinhCosh: sinhcoshV(Isa::load(xs), va, vb); break;
        case Elementary::Exp: va = expV(Isa::load(xs)); break;
        }
        Isa::store(as, va);
        Isa::store(bs, vb);
        for (int j = 0; j < W && i + j < n; ++j) {
            a[i + j] = as[j];
            if (which != Elementary::Exp)
                b[i + j] = bs[j];
        }
    }
}

}  // namespace
}  // namespace engine::simd::VOREX_SIMD_NS
