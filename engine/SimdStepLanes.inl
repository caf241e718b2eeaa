// The lane engine of the Level kernels whose recurrence is not z^2 + c (engine/KernelsLevelLoop.h,
// engine/KernelsTypes.cpp, engine/KernelsNewton.cpp). Included by each instruction-set module after
// engine/SimdLanes.inl, in the same namespace, with the same Isa.
//
// One generic loop, StepLanes, over a Step type that holds the recurrence: its per-lane state besides
// the iterate (previous iterate, running constant, multiplier), its constants in vectors, how a pixel
// starts, and one step on vectors with the scalar kernel's operations in the scalar kernel's order. As
// in the z^2 + c lanes, NV vectors of W lanes are in flight and each lane walks a row from left to right
// (so PrevInside runs through the row in serial order); a lane's n is the shared iteration clock minus
// the clock at its pixel's start. A vector with finished lanes goes to memory, its lanes store their
// values and start their next pixels in scalar code, and it comes back.
// Most pixels of most views escape within a few steps, where finishing a pixel in a lane costs far more
// than the steps: each row is first swept as the z^2 + c rows are (engine/SimdLanes.inl, sweep()),
// neighbouring pixels side by side for a few dozen steps, and the lanes walk only the pixels left.

#include "engine/SimdElementary.inl"

namespace engine::simd::VOREX_SIMD_NS {
namespace {

// The vectors of one step's constants and state: the iterate (zr, zi) and NS more per lane.
// Every Step has:
//   static constexpr int NS;                     // per-lane state besides the iterate
//   static constexpr bool Converges;             // next() may report convergence
//   struct K { explicit K(const KernelInputs&); ... };  // constants in vectors
//   static void start(const KernelInputs&, double x, double y, double& zr, double& zi, double* s);
//                                                // the pixel (x, y): start value and state (s[0..NS-1])
//   static M next(const K&, V& zr, V& zi, V* s); // one step; the lanes that converged (Converges only)

// Z C (1 - Z), Mandelbrot: z starts at Q + (0.5 + 0.5i), m = C; Julia: z starts at C, m = P.
// w = (1 - zr) + i(1 - zi); t = z * m; z = t * w (complex products as (ac - bd) + i(ad + bc)).
template <bool Julia>
struct SZC {
    static constexpr int NS = 2;  // mr, mi
    static constexpr bool Converges = false;
    struct K {
        V one;
        explicit K(const KernelInputs&) : one(Isa::set1(1.0)) {}
    };
    static void start(const KernelInputs& in, double x, double y, double& zr, double& zi, double* s)
    {
        if (Julia) {
            zr = x, zi = y, s[0] = in.ParamCr, s[1] = in.ParamCi;
        } else {
            zr = in.PertZr + 0.5, zi = in.PertZi + 0.5, s[0] = x, s[1] = y;
        }
    }
    static void startV(const KernelInputs& in, V x, V y, V& zr, V& zi, V* s)
    {
        if (Julia) {
            zr = x, zi = y, s[0] = Isa::set1(in.ParamCr), s[1] = Isa::set1(in.ParamCi);
        } else {
            zr = Isa::set1(in.PertZr + 0.5), zi = Isa::set1(in.PertZi + 0.5), s[0] = x, s[1] = y;
        }
    }
    [[gnu::always_inline]] static M next(const K& k, V& zr, V& zi, V* s)
    {
        const V wr = Isa::sub(k.one, zr);
        const V wi = Isa::sub(k.one, zi);
        const V tr = Isa::sub(Isa::mul(zr, s[0]), Isa::mul(zi, s[1]));
        const V ti = Isa::add(Isa::mul(zr, s[1]), Isa::mul(zi, s[0]));
        zr = Isa::sub(Isa::mul(tr, wr), Isa::mul(ti, wi));
        zi = Isa::add(Isa::mul(tr, wi), Isa::mul(ti, wr));
        return Isa::fromBits(0);
    }
};

// Magnetism, q = P: a = z^2 + q - 1, b = 2z + q - 2, d = |b|^2; u + iv = conj(a / b) when d > 5e-324,
// else z; z' = (u*u - v*v) + i(2u * v); converged when |z' - z|^2 < 1e-5.
struct SMagnetism {
    static constexpr int NS = 0;
    static constexpr bool Converges = true;
    struct K {
        V qr, qi, one, two, tiny, close;
        explicit K(const KernelInputs& in)
            : qr(Isa::set1(in.ParamCr)), qi(Isa::set1(in.ParamCi)), one(Isa::set1(1.0)), two(Isa::set1(2.0)),
              tiny(Isa::set1(5e-324)), close(Isa::set1(1e-5))
        {
        }
    };
    static void start(const KernelInputs&, double x, double y, double& zr, double& zi, double*) { zr = x, zi = y; }
    static void startV(const KernelInputs&, V x, V y, V& zr, V& zi, V*) { zr = x, zi = y; }
    [[gnu::always_inline]] static M next(const K& k, V& zr, V& zi, V*)
    {
        const V tr = Isa::add(zr, zr);
        const V ar = Isa::sub(Isa::add(Isa::sub(Isa::mul(zr, zr), Isa::mul(zi, zi)), k.qr), k.one);
        const V ai = Isa::add(Isa::mul(tr, zi), k.qi);
        const V br = Isa::sub(Isa::add(tr, k.qr), k.two);
        const V bi = Isa::add(Isa::add(zi, zi), k.qi);
        const V d = Isa::add(Isa::mul(br, br), Isa::mul(bi, bi));
        const M divide = Isa::gt(d, k.tiny);
        const V u = Isa::blend(divide, zr, Isa::div(Isa::add(Isa::mul(ar, br), Isa::mul(ai, bi)), d));
        const V v = Isa::blend(divide, zi, Isa::div(Isa::sub(Isa::mul(ar, bi), Isa::mul(ai, br)), d));
        const V nr = Isa::sub(Isa::mul(u, u), Isa::mul(v, v));
        const V ni = Isa::mul(Isa::add(u, u), v);
        const V dr = Isa::sub(nr, zr);
        const V di = Isa::sub(ni, zi);
        zr = nr;
        zi = ni;
        return Isa::lt(Isa::add(Isa::mul(dr, dr), Isa::mul(di, di)), k.close);
    }
};

// Man-of-war: z starts at C + Q, w and c at C; z' = ((zr*zr - zi*zi) + wr) + cr, (2zr * zi + wi) + ci;
// then w = the previous z.
struct SManOfWar {
    static constexpr int NS = 4;  // wr, wi, cr, ci
    static constexpr bool Converges = false;
    struct K {
        explicit K(const KernelInputs&) {}
    };
    static void start(const KernelInputs& in, double x, double y, double& zr, double& zi, double* s)
    {
        zr = x + in.PertZr, zi = y + in.PertZi, s[0] = x, s[1] = y, s[2] = x, s[3] = y;
    }
    static void startV(const KernelInputs& in, V x, V y, V& zr, V& zi, V* s)
    {
        zr = Isa::add(x, Isa::set1(in.PertZr)), zi = Isa::add(y, Isa::set1(in.PertZi));
        s[0] = x, s[1] = y, s[2] = x, s[3] = y;
    }
    [[gnu::always_inline]] static M next(const K&, V& zr, V& zi, V* s)
    {
        const V nr = Isa::add(Isa::add(Isa::sub(Isa::mul(zr, zr), Isa::mul(zi, zi)), s[0]), s[2]);
        const V ni = Isa::add(Isa::add(Isa::mul(Isa::add(zr, zr), zi), s[1]), s[3]);
        s[0] = zr;
        s[1] = zi;
        zr = nr;
        zi = ni;
        return Isa::fromBits(0);
    }
};

// Phoenix, p = ParamCr and q = ParamCi as reals, y starts at Q:
// z' = ((zr*zr - zi*zi) + p) + q*yr, (2zr * zi) + q*yi; then y = the previous z.
struct SPhoenix {
    static constexpr int NS = 2;  // yr, yi
    static constexpr bool Converges = false;
    struct K {
        V p, q;
        explicit K(const KernelInputs& in) : p(Isa::set1(in.ParamCr)), q(Isa::set1(in.ParamCi)) {}
    };
    static void start(const KernelInputs& in, double x, double y, double& zr, double& zi, double* s)
    {
        zr = x, zi = y, s[0] = in.PertZr, s[1] = in.PertZi;
    }
    static void startV(const KernelInputs& in, V x, V y, V& zr, V& zi, V* s)
    {
        zr = x, zi = y, s[0] = Isa::set1(in.PertZr), s[1] = Isa::set1(in.PertZi);
    }
    [[gnu::always_inline]] static M next(const K& k, V& zr, V& zi, V* s)
    {
        const V nr = Isa::add(Isa::add(Isa::sub(Isa::mul(zr, zr), Isa::mul(zi, zi)), k.p), Isa::mul(k.q, s[0]));
        const V ni = Isa::add(Isa::mul(Isa::add(zr, zr), zi), Isa::mul(k.q, s[1]));
        s[0] = zr;
        s[1] = zi;
        zr = nr;
        zi = ni;
        return Isa::fromBits(0);
    }
};

// Phoenix 2, y starts at 0: z' = ((zr*zr - zi*zi) + (pr*yr - pi*yi)) + qr, ((2zr * zi) + (pr*yi + pi*yr)) + qi;
// then y = the previous z.
struct SPhoenix2 {
    static constexpr int NS = 2;  // yr, yi
    static constexpr bool Converges = false;
    struct K {
        V pr, pi, qr, qi;
        explicit K(const KernelInputs& in)
            : pr(Isa::set1(in.ParamCr)), pi(Isa::set1(in.ParamCi)), qr(Isa::set1(in.PertZr)), qi(Isa::set1(in.PertZi))
        {
        }
    };
    static void start(const KernelInputs&, double x, double y, double& zr, double& zi, double* s)
    {
        zr = x, zi = y, s[0] = 0, s[1] = 0;
    }
    static void startV(const KernelInputs&, V x, V y, V& zr, V& zi, V* s)
    {
        zr = x, zi = y, s[0] = Isa::set1(0.0), s[1] = Isa::set1(0.0);
    }
    [[gnu::always_inline]] static M next(const K& k, V& zr, V& zi, V* s)
    {
        const V py_r = Isa::sub(Isa::mul(k.pr, s[0]), Isa::mul(k.pi, s[1]));
        const V py_i = Isa::add(Isa::mul(k.pr, s[1]), Isa::mul(k.pi, s[0]));
        const V nr = Isa::add(Isa::add(Isa::sub(Isa::mul(zr, zr), Isa::mul(zi, zi)), py_r), k.qr);
        const V ni = Isa::add(Isa::add(Isa::mul(Isa::add(zr, zr), zi), py_i), k.qi);
        s[0] = zr;
        s[1] = zi;
        zr = nr;
        zi = ni;
        return Isa::fromBits(0);
    }
};

// Spider: z starts at C + Q, c at C; z' = (zr*zr - zi*zi) + cr, (2zr * zi) + ci; then c = c / 2 + z'.
struct SSpider {
    static constexpr int NS = 2;  // cr, ci
    static constexpr bool Converges = false;
    struct K {
        V two;
        explicit K(const KernelInputs&) : two(Isa::set1(2.0)) {}
    };
    static void start(const KernelInputs& in, double x, double y, double& zr, double& zi, double* s)
    {
        zr = x + in.PertZr, zi = y + in.PertZi, s[0] = x, s[1] = y;
    }
    static void startV(const KernelInputs& in, V x, V y, V& zr, V& zi, V* s)
    {
        zr = Isa::add(x, Isa::set1(in.PertZr)), zi = Isa::add(y, Isa::set1(in.PertZi)), s[0] = x, s[1] = y;
    }
    [[gnu::always_inline]] static M next(const K& k, V& zr, V& zi, V* s)
    {
        const V nr = Isa::add(Isa::sub(Isa::mul(zr, zr), Isa::mul(zi, zi)), s[0]);
        const V ni = Isa::add(Isa::mul(Isa::add(zr, zr), zi), s[1]);
        zr = nr;
        zi = ni;
        s[0] = Isa::add(Isa::div(s[0], k.two), zr);
        s[1] = Isa::add(Isa::div(s[1], k.two), zi);
        return Isa::fromBits(0);
    }
};

// Volterra-Lotka, one Heun step with h = ParamCr, k = ParamCi on (x, y) = (zr, zi):
// a = x - x*y, b = x*y - y, u = x + k*a, v = y + k*b, x' = x + (h/2)*((u - u*v) + a), y' = y + (h/2)*((u*v - v) + b).
struct SVolterra {
    static constexpr int NS = 0;
    static constexpr bool Converges = false;
    struct K {
        V k, h2;
        explicit K(const KernelInputs& in) : k(Isa::set1(in.ParamCi)), h2(Isa::set1(in.ParamCr / 2)) {}
    };
    static void start(const KernelInputs&, double x, double y, double& zr, double& zi, double*) { zr = x, zi = y; }
    static void startV(const KernelInputs&, V x, V y, V& zr, V& zi, V*) { zr = x, zi = y; }
    [[gnu::always_inline]] static M next(const K& c, V& x, V& y, V*)
    {
        const V xy = Isa::mul(x, y);
        const V a = Isa::sub(x, xy);
        const V b = Isa::sub(xy, y);
        const V u = Isa::add(x, Isa::mul(c.k, a));
        const V v = Isa::add(y, Isa::mul(c.k, b));
        const V uv = Isa::mul(u, v);
        const V nx = Isa::add(x, Isa::mul(c.h2, Isa::add(Isa::sub(u, uv), a)));
        const V ny = Isa::add(y, Isa::mul(c.h2, Isa::add(Isa::sub(uv, v), b)));
        x = nx;
        y = ny;
        return Isa::fromBits(0);
    }
};

// Newton, p = 3: s = z0^2, d = |z0|^4; when d > 5e-324, z = (2/3 x + sr / (3d)) + i(2/3 y - si / (3d)),
// else z stays. Converged when the measure of the step is not at least 1e-30 (a NaN measure too).
// Measure 0: |dz|^2, 1: dRe^2, 2: dIm^2.
template <int Measure>
struct SNewton3 {
    static constexpr int NS = 0;
    static constexpr bool Converges = true;
    struct K {
        V twoThirds, three, tiny, below;
        explicit K(const KernelInputs&)
            : twoThirds(Isa::set1(2.0 / 3.0)), three(Isa::set1(3.0)), tiny(Isa::set1(5e-324)), below(Isa::set1(1e-30))
        {
        }
    };
    static void start(const KernelInputs&, double x, double y, double& zr, double& zi, double*) { zr = x, zi = y; }
    static void startV(const KernelInputs&, V x, V y, V& zr, V& zi, V*) { zr = x, zi = y; }
    [[gnu::always_inline]] static M next(const K& k, V& zr, V& zi, V*)
    {
        const V x = zr, y = zi;
        const V xx = Isa::mul(x, x), yy = Isa::mul(y, y);
        const V sr = Isa::sub(xx, yy);
        const V si = Isa::mul(Isa::add(x, x), y);
        const V m = Isa::add(xx, yy);
        const V d = Isa::mul(m, m);
        const M move = Isa::gt(d, k.tiny);
        const V d3 = Isa::mul(k.three, d);
        zr = Isa::blend(move, x, Isa::add(Isa::mul(k.twoThirds, x), Isa::div(sr, d3)));
        zi = Isa::blend(move, y, Isa::sub(Isa::mul(k.twoThirds, y), Isa::div(si, d3)));
        const V dr = Isa::sub(zr, x), di = Isa::sub(zi, y);
        V measure;
        if (Measure == 1)
            measure = Isa::mul(dr, dr);
        else if (Measure == 2)
            measure = Isa::mul(di, di);
        else
            measure = Isa::add(Isa::mul(dr, dr), Isa::mul(di, di));
        return Isa::nge(measure, k.below);
    }
};

// The test of a kernel without escape: never.
struct TNever {
    static M esc(V, V, V, V, V) { return Isa::fromBits(0); }
};

// fn(Z) C, Function 0..4 = sin, cos, sinh, cosh, exp (engine/SimdElementary.inl). Mandelbrot: z starts
// at Q, m = C; Julia: z starts at C, m = P. z' = (fr*mr - fi*mi) + i(fr*mi + fi*mr).
template <int Function, bool Julia>
struct SFn {
    static constexpr int NS = 2;  // mr, mi
    static constexpr bool Converges = false;
    // Each step costs far more than the sweep's bookkeeping, and far from 0 the functions take the
    // scalar path: the sweep sets ended lanes to 0.
    static constexpr bool Costly = true;
    struct K {
        explicit K(const KernelInputs&) {}
    };
    static void start(const KernelInputs& in, double x, double y, double& zr, double& zi, double* s)
    {
        if (Julia) {
            zr = x, zi = y, s[0] = in.ParamCr, s[1] = in.ParamCi;
        } else {
            zr = in.PertZr, zi = in.PertZi, s[0] = x, s[1] = y;
        }
    }
    static void startV(const KernelInputs& in, V x, V y, V& zr, V& zi, V* s)
    {
        if (Julia) {
            zr = x, zi = y, s[0] = Isa::set1(in.ParamCr), s[1] = Isa::set1(in.ParamCi);
        } else {
            zr = Isa::set1(in.PertZr), zi = Isa::set1(in.PertZi), s[0] = x, s[1] = y;
        }
    }
    [[gnu::always_inline]] static M next(const K&, V& zr, V& zi, V* s)
    {
        V fr, fi;
        fnV<Function>(zr, zi, fr, fi);
        zr = Isa::sub(Isa::mul(fr, s[0]), Isa::mul(fi, s[1]));
        zi = Isa::add(Isa::mul(fr, s[1]), Isa::mul(fi, s[0]));
        return Isa::fromBits(0);
    }
};

// sin, cos, sinh and cosh of the fn(Z)C types end when |z|^2 > 100000, whatever L.
struct TFixedRadius {
    static M esc(V, V, V zr2, V zi2, V) { return Isa::gt(Isa::add(zr2, zi2), Isa::set1(100000.0)); }
};

template <int NV, class Step, class Test, bool Periodic>
class StepLanes {
public:
    static constexpr int W = Isa::W;
    static constexpr int NL = NV * W;
    static constexpr int NS = Step::NS;
    static constexpr int NSA = NS > 0 ? NS : 1;
    static constexpr bool CostlyStep = requires { Step::Costly; };

    StepLanes(const LaneJob& job, LaneRows& rows)
        : m_job(job), m_rows(rows), m_in(*job.in), m_maxIter(job.in->MaxIter), m_tracksPrev(job.interval > 0)
    {
    }

    void run()
    {
        for (int v = 0; v < NV; ++v)
            alive[v] = 0;
        for (int l = 0; l < NL; ++l) {
            alive[l / W] |= 1 << (l % W);
            ++m_live;
            if (startRow(l))
                nextPixel(l);
        }
        const typename Step::K k(m_in);
        const V L = Isa::set1(double(m_in.L));
        const V one = Isa::set1(1.0);
        V vzr[NV], vzi[NV], vs[NV][NSA], vdead[NV], vsaved[NV], vsnap[NV], vgap[NV];
        M valive[NV], cyc[NV], doneM[NV];
#pragma GCC unroll 8
        for (int v = 0; v < NV; ++v) {
            load(v, vzr, vzi, vs, vdead, vsaved, vsnap, vgap);
            valive[v] = Isa::fromBits(alive[v]);
        }
        V clockV = Isa::set1(m_clock);
        while (m_live > 0) {
            long long steps = 0;  // in a register: the clock, a member, would go through memory on every step
            for (;;) {
                clockV = Isa::add(clockV, one);
                ++steps;
                M any = Isa::fromBits(0);
#pragma GCC unroll 8
                for (int v = 0; v < NV; ++v) {
                    const M conv = Step::next(k, vzr[v], vzi[v], vs[v]);
                    const V zr2 = Isa::mul(vzr[v], vzr[v]);
                    const V zi2 = Isa::mul(vzi[v], vzi[v]);
                    M done = Isa::mor(Isa::ge(clockV, vdead[v]), Test::esc(vzr[v], vzi[v], zr2, zi2, L));
                    if (Step::Converges)
                        done = Isa::mor(done, conv);
                    if (Periodic) {
                        const V m = Isa::add(zr2, zi2);
                        cyc[v] = Isa::eq(m, vsaved[v]);
                        const M snap = Isa::eq(clockV, vsnap[v]);
                        vsaved[v] = Isa::blend(snap, vsaved[v], m);
                        vsnap[v] = Isa::blend(snap, vsnap[v], Isa::add(vsnap[v], vgap[v]));
                        vgap[v] = Isa::blend(snap, vgap[v], Isa::add(vgap[v], one));
                        done = Isa::mor(done, cyc[v]);
                    }
                    doneM[v] = Isa::mand(done, valive[v]);
                    any = Isa::mor(any, doneM[v]);
                }
                if (Isa::bits(any) != 0)
                    break;
            }
            m_clock += double(steps);
#pragma GCC unroll 8
            for (int v = 0; v < NV; ++v) {
                const int ev = Isa::bits(doneM[v]);
                if (ev == 0)
                    continue;
                store(v, vzr, vzi, vs, vdead, vsaved, vsnap, vgap);
                events(v, ev, Periodic ? Isa::bits(cyc[v]) : 0);
                load(v, vzr, vzi, vs, vdead, vsaved, vsnap, vgap);
                valive[v] = Isa::fromBits(alive[v]);
            }
            if (!m_rows.running())
                return;
        }
    }

private:
    const LaneJob m_job;
    LaneRows& m_rows;
    const KernelInputs m_in;
    const int m_maxIter;
    const bool m_tracksPrev;  // the kernel records PrevInside (it has periodicity checking)
    int m_live = 0;
    double m_clock = 0;

    alignas(64) double zr[NL], zi[NL], s[NSA][NL];
    alignas(64) double dead[NL];
    alignas(64) double saved[NL], snapAt[NL], gap[NL];
    alignas(64) double start[NL];
    alignas(64) double ci[NL];
    int alive[NV];
    int row[NL], col[NL];
    bool prev[NL];
    bool swept[NL];       // the lane's row was swept: its settled pixels are skipped
    int m_sweepRest = 0;  // rows still to take without a sweep
    uint16_t* out[NL];

    void load(int v, V* vzr, V* vzi, V (*vs)[NSA], V* vdead, V* vsaved, V* vsnap, V* vgap)
    {
        const int o = v * W;
        vzr[v] = Isa::load(zr + o);
        vzi[v] = Isa::load(zi + o);
        for (int j = 0; j < NS; ++j)
            vs[v][j] = Isa::load(s[j] + o);
        vdead[v] = Isa::load(dead + o);
        if (Periodic) {
            vsaved[v] = Isa::load(saved + o);
            vsnap[v] = Isa::load(snapAt + o);
            vgap[v] = Isa::load(gap + o);
        }
    }

    void store(int v, V* vzr, V* vzi, V (*vs)[NSA], V* vdead, V* vsaved, V* vsnap, V* vgap)
    {
        const int o = v * W;
        Isa::store(zr + o, vzr[v]);
        Isa::store(zi + o, vzi[v]);
        for (int j = 0; j < NS; ++j)
            Isa::store(s[j] + o, vs[v][j]);
        Isa::store(dead + o, vdead[v]);
        if (Periodic) {
            Isa::store(saved + o, vsaved[v]);
            Isa::store(snapAt + o, vsnap[v]);
            Isa::store(gap + o, vgap[v]);
        }
    }

    // The lanes of vector v in `bits` ended their pixels (a cycle found in `cycBits`).
    __attribute__((noinline)) void events(int v, int bits, int cycBits)
    {
        while (bits != 0) {
            const int i = __builtin_ctz(unsigned(bits));
            bits &= bits - 1;
            const int l = v * W + i;
            const int n = int(m_clock - start[l]);
            const uint16_t value = (((cycBits >> i) & 1) != 0 || n >= m_maxIter) ? InsideValue : uint16_t(n);
            out[l][col[l]] = value;
            if (m_tracksPrev)
                prev[l] = value == InsideValue;
            nextPixel(l);
        }
    }

    // A lane with nothing left to do: its done bits are masked off.
    void kill(int l)
    {
        alive[l / W] &= ~(1 << (l % W));
        zr[l] = zi[l] = 0;
        for (int j = 0; j < NS; ++j)
            s[j][l] = 0;
        dead[l] = __builtin_inf();
        saved[l] = __builtin_nan("");
        snapAt[l] = __builtin_inf();
        gap[l] = 0;
        --m_live;
    }

    bool startRow(int l)
    {
        const int r = m_rows.takeRow();
        if (r < 0) {
            kill(l);
            return false;
        }
        row[l] = r;
        col[l] = m_job.colFirst - 1;
        prev[l] = m_job.guess;
        ci[l] = m_job.topY - double(r) * m_job.step;
        out[l] = m_job.data + size_t(r) * m_job.stride;
        swept[l] = false;
        if (m_sweepRest > 0) {
            --m_sweepRest;
        } else {
            swept[l] = true;
            const int settled = sweep(out[l], ci[l]);
            if (settled * 4 < m_job.colLast - m_job.colFirst + 1)
                m_sweepRest = SweepPause;  // few quick pixels here: the next rows are walked alone
        }
        return true;
    }

    // Moves lane l to the next column its row still needs and returns it (past colLast at the row's
    // end). The pixels a sweep settled are skipped; they all escaped (or converged), so PrevInside after
    // them is false.
    int advance(int l)
    {
        int c = col[l] + 1;
        if (swept[l]) {
            const uint16_t* const o = out[l];
            const int from = c;
            c = firstUnsettled(o, c, m_job.colLast);
            if (c != from)
                prev[l] = false;
        }
        col[l] = c;
        return c;
    }

    // The sweep of a row: blocks of W neighbouring pixels iterate side by side for at most SweepIterations.
    // A pixel that ends there before MaxIter, by its test or by converging, with no cycle that a
    // periodicity check could have seen, has the same value whether the check runs or not, so whatever
    // PrevInside it gets in serial order: its value is stored at once. Every other pixel is marked 0, a
    // value no Level kernel gives, and left to the lanes. Returns the number of pixels settled.
    int sweep(uint16_t* values, double y)
    {
        const int last = m_job.colLast;
        const int limit = m_maxIter - 1 < SweepIterations ? m_maxIter - 1 : SweepIterations;
        int settled = 0, c = m_job.colFirst;
        if (limit >= 1) {
            // Blocks whose pixels all end at the first step (most of them, in most views) are stored at
            // once; the others iterate in groups, a few dozen blocks at a time. Steps that cost far more
            // than this bookkeeping take every block in groups.
            constexpr int Chunk = 64;
            int live[Chunk];
            while (c + W - 1 <= last) {
                int count = 0;
                for (; count < Chunk && c + W - 1 <= last; c += W) {
                    // Without a branch: the values of a block that goes on are stored again by its group.
                    const bool done = !CostlyStep && firstStepSettles(values, c, y);
                    settled += done ? W : 0;
                    live[count] = c;
                    count += done ? 0 : 1;
                }
                int i = 0;
                for (; i + SweepGroup <= count; i += SweepGroup)
                    settled += sweepBlocks<SweepGroup>(values, live + i, y, limit);
                switch (count - i) {
                case 3: settled += sweepBlocks<3>(values, live + i, y, limit); break;
                case 2: settled += sweepBlocks<2>(values, live + i, y, limit); break;
                case 1: settled += sweepBlocks<1>(values, live + i, y, limit); break;
                default: break;
                }
            }
        }
        for (; c <= last; ++c)
            values[c] = 0;
        return settled;
    }

    // The first step of the block from column c: stores 1 for each of its pixels and returns whether every
    // one ends there by its test or by converging (and none meets the first snapshot, 0, as a cycle). The
    // sweep's limit is at least 1.
    bool firstStepSettles(uint16_t* values, int c, double y)
    {
        const typename Step::K k(m_in);
        V zr, zi, st[NSA];
        Step::startV(m_in, blockX(c, m_job.step, m_job.leftX), Isa::set1(y), zr, zi, st);
        const M conv = Step::next(k, zr, zi, st);
        const V zr2 = Isa::mul(zr, zr), zi2 = Isa::mul(zi, zi);
        M end = Test::esc(zr, zi, zr2, zi2, Isa::set1(double(m_in.L)));
        if (Step::Converges)
            end = Isa::mor(end, conv);
        if (Periodic)
            end = Isa::mandnot(end, Isa::eq(Isa::add(zr2, zi2), Isa::set1(0.0)));
        for (int i = 0; i < W; ++i)
            values[c + i] = 1;
        return Isa::bits(end) == (1 << W) - 1;
    }

    // G blocks from the columns cols[0..G-1], in step.
    template <int G>
    int sweepBlocks(uint16_t* values, const int* cols, double y, int limit)
    {
        const typename Step::K k(m_in);
        const V L = Isa::set1(double(m_in.L)), zero = Isa::set1(0.0);
        const V yV = Isa::set1(y);
        V zr[G], zi[G], st[G][NSA], value[G], saved[G];
        M open[G];  // lanes not settled yet, and not seen in a cycle
        const M all = Isa::fromBits((1 << W) - 1);
        for (int g = 0; g < G; ++g) {
            Step::startV(m_in, blockX(cols[g], m_job.step, m_job.leftX), yV, zr[g], zi[g], st[g]);
            value[g] = zero;
            saved[g] = zero;
            open[g] = all;
        }
        int snapAt = m_job.interval, gap = m_job.interval;
        for (int n = 1; n <= limit; ++n) {
            const V nV = Isa::set1(double(n));
            const bool snap = n == snapAt;
            M any = Isa::fromBits(0);
#pragma GCC unroll 4
            for (int g = 0; g < G; ++g) {
                if (Isa::bits(open[g]) == 0)
                    continue;  // settled: its values are final
                const M conv = Step::next(k, zr[g], zi[g], st[g]);
                const V zr2 = Isa::mul(zr[g], zr[g]);
                const V zi2 = Isa::mul(zi[g], zi[g]);
                M end = Test::esc(zr[g], zi[g], zr2, zi2, L);
                if (Step::Converges)
                    end = Isa::mor(end, conv);
                M settle = Isa::mand(end, open[g]);
                if (Periodic) {
                    const V m = Isa::add(zr2, zi2);
                    const M cyc = Isa::eq(m, saved[g]);
                    if (snap)
                        saved[g] = m;
                    settle = Isa::mandnot(settle, cyc);
                    end = Isa::mor(end, cyc);
                }
                value[g] = Isa::blend(settle, value[g], nV);
                open[g] = Isa::mandnot(open[g], end);
                if constexpr (CostlyStep) {
                    // Ended lanes go on with z = 0, where the step is cheap, rather than far out.
                    zr[g] = Isa::blend(open[g], zero, zr[g]);
                    zi[g] = Isa::blend(open[g], zero, zi[g]);
                }
                any = Isa::mor(any, open[g]);
            }
            if (snap) {
                snapAt += gap;
                ++gap;
            }
            if (Isa::bits(any) == 0)
                break;
        }
        int settled = 0;
        for (int g = 0; g < G; ++g) {
            settled += W - __builtin_popcount(unsigned(Isa::bits(open[g])));
            Isa::storeU16(values + cols[g], value[g]);
        }
        return settled;
    }

    // Moves lane l to its next pixel (taking a new row at the end of its row) and loads the pixel's start.
    void nextPixel(int l)
    {
        for (;;) {
            if (advance(l) > m_job.colLast) {
                m_rows.rowDone(row[l], m_job.guess, prev[l]);
                if (!startRow(l))
                    return;
                continue;
            }
            const double x = double(col[l]) * m_job.step + m_job.leftX;
            double state[NSA];
            Step::start(m_in, x, ci[l], zr[l], zi[l], state);
            for (int j = 0; j < NS; ++j)
                s[j][l] = state[j];
            start[l] = m_clock;
            dead[l] = m_clock + m_maxIter;
            if (Periodic) {
                if (prev[l]) {
                    saved[l] = 0;
                    snapAt[l] = m_clock + m_job.interval;
                    gap[l] = m_job.interval;
                } else {
                    saved[l] = __builtin_nan("");
                    snapAt[l] = __builtin_inf();
                    gap[l] = 0;
                }
            }
            return;
        }
    }
};

template <int NV, class Step, class Test, bool Periodic>
void runStepLanes(const LaneJob& job, LaneRows& rows)
{
    StepLanes<NV, Step, Test, Periodic> lanes(job, rows);
    lanes.run();
}

template <int NV, class Step>
LaneRunner stepByTest(int bailout)
{
    switch (bailout) {  // engine::Bailout: 1 SqrZr, 2 SqrZi, 3 Epsilon, 4 And, 5 Or, otherwise Mod
    case 1: return &runStepLanes<NV, Step, TSqrZr, false>;
    case 2: return &runStepLanes<NV, Step, TSqrZi, false>;
    case 3: return &runStepLanes<NV, Step, TEpsilon, false>;
    case 4: return &runStepLanes<NV, Step, TAnd, false>;
    case 5: return &runStepLanes<NV, Step, TOr, false>;
    default: return &runStepLanes<NV, Step, TMod, false>;
    }
}

template <int NV, bool Julia>
LaneRunner fnRunner(int function)
{
    switch (function) {  // engine::Function: 0 sin, 1 cos, 2 sinh, 3 cosh, 4 exp
    case 0: return &runStepLanes<NV, SFn<0, Julia>, TFixedRadius, false>;
    case 1: return &runStepLanes<NV, SFn<1, Julia>, TFixedRadius, false>;
    case 2: return &runStepLanes<NV, SFn<2, Julia>, TFixedRadius, false>;
    case 3: return &runStepLanes<NV, SFn<3, Julia>, TFixedRadius, false>;
    case 4: return &runStepLanes<NV, SFn<4, Julia>, TMod, false>;
    default: return nullptr;
    }
}

// The runner of a job with a step (job.recurrence != LaneStep::None), nullptr when there is none.
template <int NV>
LaneRunner stepRunnerFor(const LaneJob& job)
{
    if (job.in == nullptr || job.in->MaxIter < 1 || job.colFirst > job.colLast || job.kernel != LaneKernel::Level)
        return nullptr;
    switch (job.recurrence) {
    case LaneStep::MandelbrotZC:
        return job.periodic ? &runStepLanes<NV, SZC<false>, TMod, true> : &runStepLanes<NV, SZC<false>, TMod, false>;
    case LaneStep::JuliaZC:
        return job.periodic ? &runStepLanes<NV, SZC<true>, TMod, true> : &runStepLanes<NV, SZC<true>, TMod, false>;
    case LaneStep::Magnetism: return stepByTest<NV, SMagnetism>(job.bailout);
    case LaneStep::ManOfWar: return stepByTest<NV, SManOfWar>(job.bailout);
    case LaneStep::Phoenix: return stepByTest<NV, SPhoenix>(job.bailout);
    case LaneStep::Phoenix2: return stepByTest<NV, SPhoenix2>(job.bailout);
    case LaneStep::Spider: return stepByTest<NV, SSpider>(job.bailout);
    case LaneStep::Volterra: return stepByTest<NV, SVolterra>(job.bailout);
    case LaneStep::Newton3:
        switch (job.bailout) {
        case 1: return &runStepLanes<NV, SNewton3<1>, TNever, false>;
        case 2: return &runStepLanes<NV, SNewton3<2>, TNever, false>;
        default: return &runStepLanes<NV, SNewton3<0>, TNever, false>;
        }
    case LaneStep::MandelbrotFn: return fnRunner<NV, false>(job.function);
    case LaneStep::JuliaFn: return fnRunner<NV, true>(job.function);
    case LaneStep::None: break;
    }
    return nullptr;
}

}  // namespace
}  // namespace engine::simd::VOREX_SIMD_NS
