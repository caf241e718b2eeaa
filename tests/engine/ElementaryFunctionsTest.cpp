#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "EngineTestUtil.h"
#include "engine/ElementaryFunctions.h"
#include "engine/Isa.h"
#include "engine/SimdKernels.h"

// The elementary functions of the fn(Z)C kernels against the C library: a table of chosen arguments, a
// dense sweep, special values, the same bits whatever the call site, no C library call in the kernels'
// object, and how many pixels of the default fn(Z)C views the change of functions moves.
namespace {

using document::TFractal;

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double dblMax = std::numeric_limits<double>::max();

// The largest error, in units in the last place, allowed against the C library: glibc's sinh and cosh
// are themselves up to 1.9 ulp from the exact value, ours within 0.52.
constexpr double maxUlpSinCos = 1, maxUlpExp = 1, maxUlpHyperbolic = 2;
// The largest error allowed against the exact value (a long double reference, itself within 1/2048 ulp):
// the polynomials of sin and cos give up to 0.77 ulp; exp, sinh and cosh round once a value within
// 2^-64 (exp up to 0.75 ulp on subnormal results, rounded twice).
constexpr double maxExactSinCos = 0.8, maxExactExp = 0.76, maxExactHyperbolic = 0.55;

// Distance in representable doubles between a and b; 0 for two NaNs, a huge value for one NaN.
double ulpDistance(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b) ? 0 : 1e300;
    if (a == b)
        return 0;
    // Doubles ordered as integers: the negative ones mirrored below zero.
    auto ordered = [](double x) {
        const int64_t i = std::bit_cast<int64_t>(x);
        return i < 0 ? std::numeric_limits<int64_t>::min() - i : i;
    };
    const int64_t ia = ordered(a), ib = ordered(b);
    // The difference in unsigned arithmetic: exact even across the whole range.
    return double(ia > ib ? uint64_t(ia) - uint64_t(ib) : uint64_t(ib) - uint64_t(ia));
}

// Error of v against a long double reference, in ulps of the double nearest the reference (subnormal
// ulps below 2^-1022); 0 when both are the same infinity or both NaN.
double ulpError(double v, long double reference)
{
    const double r = double(reference);
    if (std::isnan(v) || std::isnan(r))
        return std::isnan(v) && std::isnan(r) ? 0 : 1e300;
    if (std::isinf(v) || std::isinf(r))
        return v == r ? 0 : 1e300;
    int e = 0;
    std::frexp(r, &e);
    const long double ulp = std::ldexp(1.0L, std::max(e - 53, -1074));
    return double(std::fabs((long double)v - reference) / ulp);
}

struct Function {
    const char* name;
    double (*ours)(double);
    double (*library)(double);
    long double (*exact)(long double);  // 64-bit mantissa: 1/2048 ulp of a double
    double maxUlp;    // against the C library
    double maxExact;  // against the exact value
};

const std::array<Function, 5> functions{{
    {"sin", engine::elem::sin, [](double x) { return std::sin(x); }, [](long double x) { return std::sin(x); },
     maxUlpSinCos, maxExactSinCos},
    {"cos", engine::elem::cos, [](double x) { return std::cos(x); }, [](long double x) { return std::cos(x); },
     maxUlpSinCos, maxExactSinCos},
    {"exp", engine::elem::exp, [](double x) { return std::exp(x); }, [](long double x) { return std::exp(x); },
     maxUlpExp, maxExactExp},
    {"sinh", engine::elem::sinh, [](double x) { return std::sinh(x); }, [](long double x) { return std::sinh(x); },
     maxUlpHyperbolic, maxExactHyperbolic},
    {"cosh", engine::elem::cosh, [](double x) { return std::cosh(x); }, [](long double x) { return std::cosh(x); },
     maxUlpHyperbolic, maxExactHyperbolic},
}};

const Function& function(const std::string& name)
{
    return *std::find_if(functions.begin(), functions.end(), [&](const Function& f) { return name == f.name; });
}

TEST(ElementaryFunctions, TableOfArgumentsAgainstTheLibrary)
{
    std::vector<double> args = {
        0.0, -0.0, 5e-324, -5e-324, 1e-300, 1e-20, -1e-9, 3.7e-9, 1e-5, 0.1, 0.25,
        -0.34657359027997264, 0.34657359027997264, 0.3499999999, 0.35, 0.5, 0.7853981633974483,
        0.7853981633974484, -0.78539816339744828, 1, -1, 1.0397207708399179, 2, 2.5, 3, 10, -10,
        21.999999999999996, 22, 22.000000000000004, 30, 100, -317, 317, 354.89, 700, 709.0,
        709.782712893384, -708.39, -708.4, -709, -720, -745.1, -745.1332191019411, -745.13321910194111,
        -745.13321910194122, -745.2, 1e4, -1e5, 1e5, 823549.6, -823549.7, 1647099.2, 1647099.4, 1.7e6,
        1e7, 1e15, 1e22, -1e22, 1e300, dblMax, -dblMax};
    // Doubles nearest multiples of pi/2, where the reduction cancels most bits, and their neighbours.
    for (double k : {1.0, 2.0, 3.0, 4.0, 5.0, 7.0, 100.0, 1000.0, 6366.0, 63661.0, 1e6, 1e9}) {
        const double x = k * 1.5707963267948966;
        args.insert(args.end(), {x, std::nextafter(x, inf), std::nextafter(x, 0.0), -x});
    }
    for (const Function& f : functions) {
        for (double x : args) {
            SCOPED_TRACE(std::string(f.name) + "(" + std::to_string(x) + ") bits " +
                         std::to_string(std::bit_cast<uint64_t>(x)));
            const double got = f.ours(x), want = f.library(x);
            EXPECT_LE(ulpDistance(got, want), f.maxUlp) << std::hexfloat << got << " vs " << want;
            EXPECT_LE(ulpError(got, f.exact(x)), f.maxExact) << std::hexfloat << got;
            // Never a different class of value: a sign, a zero, an infinity that the library has not.
            EXPECT_EQ(std::signbit(got), std::signbit(want));
            EXPECT_EQ(std::isinf(got), std::isinf(want));
            EXPECT_EQ(got == 0, want == 0);
        }
    }
}

// The double closest to a multiple of pi/2 (x = 6381956970095103 2^797, the remainder about 2^-61):
// the remainder, worked out in exact integer arithmetic, is 0x1.14ae72e6ba22fp-61 in the quadrant 1
// (glibc 2.36 gives a cosine 8 ulp away here).
TEST(ElementaryFunctions, HardestReductionIsExact)
{
    const double x = 6381956970095103.0 * std::ldexp(1.0, 797);
    EXPECT_EQ(engine::elem::cos(x), -0x1.14ae72e6ba22fp-61);
    EXPECT_EQ(engine::elem::cos(-x), -0x1.14ae72e6ba22fp-61);
    EXPECT_EQ(engine::elem::sin(x), 1.0);
    EXPECT_EQ(engine::elem::sin(-x), -1.0);
}

TEST(ElementaryFunctions, SpecialValues)
{
    namespace elem = engine::elem;
    struct Row {
        const char* function;
        double x, expected;  // NaN: any NaN
    };
    const double largestFiniteExp = 709.782712893384;
    const Row rows[] = {
        {"sin", nan, nan}, {"sin", inf, nan}, {"sin", -inf, nan}, {"sin", -0.0, -0.0}, {"sin", 0.0, 0.0},
        {"cos", nan, nan}, {"cos", inf, nan}, {"cos", -inf, nan}, {"cos", -0.0, 1.0}, {"cos", 5e-324, 1.0},
        {"exp", nan, nan}, {"exp", inf, inf}, {"exp", -inf, 0.0}, {"exp", 0.0, 1.0}, {"exp", -0.0, 1.0},
        {"exp", std::nextafter(largestFiniteExp, inf), inf}, {"exp", 710, inf}, {"exp", 1e300, inf},
        {"exp", -746, 0.0}, {"exp", -1e300, 0.0},
        {"sinh", nan, nan}, {"sinh", inf, inf}, {"sinh", -inf, -inf}, {"sinh", -0.0, -0.0},
        {"sinh", 710.475860073944, inf},
        {"sinh", -710.475860073944, -inf}, {"sinh", 1e300, inf}, {"sinh", 1e-300, 1e-300},
        {"cosh", nan, nan}, {"cosh", inf, inf}, {"cosh", -inf, inf}, {"cosh", 0.0, 1.0},
        {"cosh", 710.475860073944, inf}, {"cosh", -710.475860073944, inf}, {"cosh", -1e300, inf},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.function) + "(" + std::to_string(r.x) + ")");
        const double got = function(r.function).ours(r.x);
        if (std::isnan(r.expected)) {
            EXPECT_TRUE(std::isnan(got)) << got;
        } else {
            EXPECT_EQ(std::bit_cast<uint64_t>(got), std::bit_cast<uint64_t>(r.expected)) << got;
        }
    }
    // The largest argument whose exponential is finite, and gradual underflow below -708.4.
    EXPECT_TRUE(std::isfinite(elem::exp(largestFiniteExp)));
    EXPECT_GT(elem::exp(largestFiniteExp), 1.79e308);
    // The largest arguments of sinh and cosh with a finite value.
    EXPECT_GT(elem::sinh(710.4758600739439), 1.79e308);
    EXPECT_LT(elem::sinh(-710.4758600739439), -1.79e308);
    EXPECT_GT(elem::cosh(-710.4758600739439), 1.79e308);
    EXPECT_TRUE(std::isfinite(elem::sinh(710.4758600739439)) && std::isfinite(elem::cosh(710.4758600739439)));
    for (double x : {-709.0, -720.0, -740.0, -745.0}) {
        SCOPED_TRACE(x);
        const double e = elem::exp(x);
        EXPECT_EQ(std::fpclassify(e), FP_SUBNORMAL) << e;
        EXPECT_LE(ulpDistance(e, std::exp(x)), 1);
    }
}

// A million pseudo-random arguments per function over the range the kernels reach (|x| up to 400 for
// sin and cos, the whole range of exp, sinh and cosh), 200000 over wider ranges; prints the largest
// error against the C library and against the exact value.
TEST(ElementaryFunctions, DenseSweepAgainstTheLibrary)
{
    struct Range {
        const char* function;
        double lo, hi;
        int count = 1000000;
    };
    const Range ranges[] = {
        {"sin", -400, 400},           {"sin", -1e5, 1e5, 200000}, {"sin", -1e300, 1e300, 200000},
        {"cos", -400, 400},           {"cos", -1e5, 1e5, 200000}, {"cos", -1e22, 1e22, 200000},
        {"exp", -746, 710},           {"exp", -3, 3, 200000},     {"sinh", -711, 711},
        {"sinh", -23, 23, 200000},    {"cosh", -711, 711},        {"cosh", -23, 23, 200000},
    };
    std::mt19937_64 random(20261210);
    for (const Range& r : ranges) {
        const Function& f = function(r.function);
        std::uniform_real_distribution<double> uniform(r.lo, r.hi);
        double worst = 0, worstAt = 0, worstExact = 0, worstExactLibrary = 0;
        long differing = 0;
        const int count = r.count;
        for (int i = 0; i < count; ++i) {
            const double x = uniform(random);
            const double ours = f.ours(x), library = f.library(x);
            const double e = ulpDistance(ours, library);
            differing += e > 0;
            if (e > worst)
                worst = e, worstAt = x;
            const long double exact = f.exact(x);
            worstExact = std::max(worstExact, ulpError(ours, exact));
            worstExactLibrary = std::max(worstExactLibrary, ulpError(library, exact));
        }
        std::printf("%-5s on [%g, %g]: max %g ulp from the C library (at %.17g), %ld of %d differ; "
                    "from the exact value: ours %.3f ulp, the C library's %.3f ulp\n",
                    f.name, r.lo, r.hi, worst, worstAt, differing, count, worstExact, worstExactLibrary);
        SCOPED_TRACE(std::string(f.name) + " on [" + std::to_string(r.lo) + ", " + std::to_string(r.hi) + "]");
        EXPECT_LE(worst, f.maxUlp) << "at " << worstAt;
        EXPECT_LE(worstExact, f.maxExact);
    }
}

// The same bits whatever the call: direct, through a pointer the compiler cannot see through, in a
// vectorisable loop, sin and cos from the combined sincos, sinh and cosh from sinhcosh.
TEST(ElementaryFunctions, SameBitsAtEveryCallSite)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> uniform(-800, 800);
    std::uniform_real_distribution<double> small(-1, 1);
    std::vector<double> xs(4096);
    for (size_t i = 0; i < xs.size(); ++i)
        xs[i] = i % 2 ? uniform(random) : small(random);
    xs.insert(xs.end(), {0.0, -0.0, 1e-310, 1e-8, -0.3499999, 0.35, 21.99, 22, -22, 710.4758600739439,
                         710.475860073944, 1e22, 1e300, inf, -inf, nan});
    for (const Function& f : functions) {
        SCOPED_TRACE(f.name);
        double (*volatile through)(double) = f.ours;
        std::vector<double> looped(xs.size());
        std::transform(xs.begin(), xs.end(), looped.begin(), f.ours);
        for (size_t i = 0; i < xs.size(); ++i) {
            const uint64_t direct = std::bit_cast<uint64_t>(f.ours(xs[i]));
            ASSERT_EQ(direct, std::bit_cast<uint64_t>(through(xs[i]))) << xs[i];
            ASSERT_EQ(direct, std::bit_cast<uint64_t>(looped[i])) << xs[i];
        }
    }
    for (double x : xs) {
        double s, c;
        engine::elem::sincos(x, s, c);
        ASSERT_EQ(std::bit_cast<uint64_t>(s), std::bit_cast<uint64_t>(engine::elem::sin(x))) << x;
        ASSERT_EQ(std::bit_cast<uint64_t>(c), std::bit_cast<uint64_t>(engine::elem::cos(x))) << x;
        double sh, ch;
        engine::elem::sinhcosh(x, sh, ch);
        ASSERT_EQ(std::bit_cast<uint64_t>(sh), std::bit_cast<uint64_t>(engine::elem::sinh(x))) << x;
        ASSERT_EQ(std::bit_cast<uint64_t>(ch), std::bit_cast<uint64_t>(engine::elem::cosh(x))) << x;
    }
}

// The vectorised functions of the fn(Z)C lanes give the scalar functions' bits, for every instruction
// set of this CPU: on random arguments, on arguments at each bound where the scalar functions change
// path (tiny, no reduction, the reduction's cancellation test, exact reduction, 0.35, 22, overflow) and
// on both sides of it, and near multiples of pi/2 where the reduction cancels.
TEST(ElementaryFunctions, LanesGiveTheScalarBits)
{
    std::vector<double> xs;
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> wide(-800, 800), small(-1, 1), unit(0, 1);
    for (int i = 0; i < 20000; ++i)
        xs.push_back(i % 3 == 0 ? wide(random) : i % 3 == 1 ? small(random) : std::ldexp(small(random), -int(60 * unit(random))));
    for (double b : {0x1p-54, 0x1p-26, 0x1.921fcp-1, 0.78539816339744828, 0.35, 22.0, 704.0, 709.782712893384,
                     710.4758600739439, 745.1332191019412, 0x1.921fbp+20, 0x1p52, 1e22, 1e300, dblMax, 5e-324,
                     2.2250738585072014e-308}) {
        double x = b;
        for (int i = 0; i < 3; ++i)
            x = std::nextafter(x, 0.0);
        for (int i = 0; i < 7; ++i, x = std::nextafter(x, inf))
            xs.insert(xs.end(), {x, -x});
    }
    // Near n pi/2: exactly at the double nearest, a few ulps away, and at |x| 2^-16.5 away, where the
    // cancellation test of the reduction is decided by exponents.
    for (int n = 1; n < 3000; n += n < 40 ? 1 : 37) {
        const double x = n * 1.5707963267948966;
        for (double d : {0.0, 1e-16 * x, -3e-16 * x, 0x1.6a09e667f3bcdp-17 * x, -0x1.6a09e667f3bcdp-17 * x,
                         0x1p-16 * x, 0x1p-17 * x})
            xs.insert(xs.end(), {x + d, -(x + d)});
    }
    // Arguments a little past where the reduction takes its second piece of pi/2 (x - n pi/2 just above
    // |x| 2^-17 but with an exponent 17 below x's), whose results the second piece changes.
    for (double x : {0x1.b90f1b79549f9p+15, 0x1.2beeaf7dbb227p+16, 0x1.25dbd91ebf27cp+14, 0x1.39f5b6c60a03ap+13,
                     0x1.f224843cefc43p+12, 0x1.50cc4e0cf971cp+15})
        xs.insert(xs.end(), {x, -x});
    xs.insert(xs.end(), {0.0, -0.0, inf, -inf, nan, -nan});

    using Lanes = void (*)(engine::simd::Elementary, const double*, double*, double*, size_t);
    const std::pair<engine::Isa, Lanes> isas[] = {{engine::Isa::Sse2, engine::simd::sse2Elementary},
                                                  {engine::Isa::Avx2, engine::simd::avx2Elementary},
                                                  {engine::Isa::Avx512, engine::simd::avx512Elementary}};
    auto same = [](double a, double b) { return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b) || (a != a && b != b); };
    int tested = 0;
    for (const auto& [isa, lanes] : isas) {
        if (!engine::isaAvailable(isa))
            continue;
        ++tested;
        SCOPED_TRACE("instruction set " + std::to_string(int(isa)));
        std::vector<double> a(xs.size()), b(xs.size());
        lanes(engine::simd::Elementary::SinCos, xs.data(), a.data(), b.data(), xs.size());
        for (size_t i = 0; i < xs.size(); ++i) {
            double s, c;
            engine::elem::sincos(xs[i], s, c);
            ASSERT_TRUE(same(a[i], s) && same(b[i], c)) << "sincos(" << xs[i] << "): " << a[i] << " " << b[i] << " for " << s << " " << c;
        }
        lanes(engine::simd::Elementary::SinhCosh, xs.data(), a.data(), b.data(), xs.size());
        for (size_t i = 0; i < xs.size(); ++i) {
            double sh, ch;
            engine::elem::sinhcosh(xs[i], sh, ch);
            ASSERT_TRUE(same(a[i], sh) && same(b[i], ch)) << "sinhcosh(" << xs[i] << "): " << a[i] << " " << b[i] << " for " << sh << " " << ch;
        }
        lanes(engine::simd::Elementary::Exp, xs.data(), a.data(), b.data(), xs.size());
        for (size_t i = 0; i < xs.size(); ++i)
            ASSERT_TRUE(same(a[i], engine::elem::exp(xs[i]))) << "exp(" << xs[i] << "): " << a[i] << " for " << engine::elem::exp(xs[i]);
    }
    EXPECT_GT(tested, 0);  // every x86-64 has SSE2
}

// The object of the fn(Z)C kernels in the core library calls no sine, cosine or exponential of the C
// library (nm lists the symbols it needs).
TEST(ElementaryFunctions, KernelsCallNoLibraryFunction)
{
    const std::string command = std::string("nm -A ") + VOREX_CORE_ARCHIVE + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    pclose(pipe);  // nm's status is 1 when some member has no symbol at all
    const std::vector<std::string> forbidden = {"sin", "cos", "sincos", "tan", "exp", "expm1", "exp2", "sinh",
                                                "cosh", "pow", "__sin_finite", "__cos_finite", "__exp_finite",
                                                "__sinh_finite", "__cosh_finite"};
    int kernelSymbols = 0;
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos)
            end = output.size();
        const std::string line = output.substr(start, end - start);
        start = end + 1;
        if (line.find(":KernelsTypes.cpp.o:") == std::string::npos)
            continue;
        ++kernelSymbols;
        if (line.find(" U ") == std::string::npos)  // defined here
            continue;
        std::string symbol = line.substr(line.find_last_of(' ') + 1);
        symbol = symbol.substr(0, symbol.find('@'));
        for (const std::string& name : forbidden) {
            for (const std::string& variant : {name, name + "f", name + "l"})
                EXPECT_NE(symbol, variant) << line;
        }
    }
    // The member was found: it defines the kernels.
    EXPECT_GT(kernelSymbols, 0) << output.substr(0, 2000);
}

// An independent fn(Z)C Level loop over the functions of Math (the C library's or ours): z = fn(z) m,
// from the start value, until |z|^2 exceeds 100000 (exp: L) or MaxIter is reached.
struct LibraryMath {
    static double sin(double x) { return std::sin(x); }
    static double cos(double x) { return std::cos(x); }
    static double sinh(double x) { return std::sinh(x); }
    static double cosh(double x) { return std::cosh(x); }
    static double exp(double x) { return std::exp(x); }
};
struct OurMath {
    static double sin(double x) { return engine::elem::sin(x); }
    static double cos(double x) { return engine::elem::cos(x); }
    static double sinh(double x) { return engine::elem::sinh(x); }
    static double cosh(double x) { return engine::elem::cosh(x); }
    static double exp(double x) { return engine::elem::exp(x); }
};

template <class Math>
uint16_t fnLevel(int fn, double zr, double zi, double mr, double mi, int maxIter, double L)
{
    const double limit = fn == engine::FnExp ? L : 100000.0;
    for (int n = 1;; ++n) {
        const double x = zr, y = zi;
        double fr = 0, fi = 0;
        switch (fn) {
        case engine::FnSin: fr = Math::sin(x) * Math::cosh(y), fi = Math::cos(x) * Math::sinh(y); break;
        case engine::FnCos: fr = Math::cos(x) * Math::cosh(y), fi = -(Math::sin(x) * Math::sinh(y)); break;
        case engine::FnSinh: fr = Math::sinh(x) * Math::cos(y), fi = Math::cosh(x) * Math::sin(y); break;
        case engine::FnCosh: fr = Math::cosh(x) * Math::cos(y), fi = Math::sinh(x) * Math::sin(y); break;
        default: {
            const double e = Math::exp(x);
            fr = e * Math::cos(y), fi = e * Math::sin(y);
        }
        }
        zr = fr * mr - fi * mi;
        zi = fr * mi + fi * mr;
        if (n >= maxIter)
            return 65535;
        if (zr * zr + zi * zi > limit)
            return uint16_t(n);
    }
}

// The values of every rowStep-th row of the image, row by row.
template <class Math>
std::vector<uint16_t> fnImage(const TFractal& f, bool julia, int rowStep = 1)
{
    const engine::FractalParams& p = f.Params;
    std::vector<uint16_t> v;
    for (int r = 0; r < p.Height; r += rowStep) {
        for (int c = 0; c < p.Width; ++c) {
            const double cr = f.pixelX(c), ci = f.pixelY(r);
            v.push_back(julia ? fnLevel<Math>(p.FunctionIndex, cr, ci, p.ParamCr, p.ParamCi, p.MaxIter, p.EscapeLevelSq)
                              : fnLevel<Math>(p.FunctionIndex, p.PertZr, p.PertZi, cr, ci, p.MaxIter, p.EscapeLevelSq));
        }
    }
    return v;
}

// Each default view of the fn(Z)C types (every function, 640 x 480) computed by the engine equals the
// independent loop over our functions pixel for pixel; against the C library's functions a few pixels
// move, and the test prints how many.
TEST(ElementaryFunctions, DefaultFnViewsAgainstTheLibrary)
{
    for (int type : {int(engine::TypeId::MandelbrotFn), int(engine::TypeId::JuliaFn)}) {
        for (int fn = 0; fn < engine::FunctionCount; ++fn) {
            SCOPED_TRACE("type " + std::to_string(type) + " function " + std::to_string(fn));
            enginetest::Scene s;
            s.type = type;
            s.function = fn;
            s.width = 640;
            s.height = 480;
            TFractal f;
            enginetest::configure(f, s);
            ASSERT_EQ(enginetest::computeAll(f), engine::ComputeEnd::Completed);
            const std::vector<uint16_t> engineValues = enginetest::values(f);
            const bool julia = type == int(engine::TypeId::JuliaFn);
            // The loop below computes what the engine computes (checked on every 8th row, for time).
            const std::vector<uint16_t> ours = fnImage<OurMath>(f, julia, 8);
            for (size_t i = 0; i < ours.size(); ++i) {
                const size_t row = i / size_t(s.width) * 8, col = i % size_t(s.width);
                ASSERT_EQ(ours[i], engineValues[row * size_t(s.width) + col]) << "row " << row << " column " << col;
            }
            const std::vector<uint16_t> library = fnImage<LibraryMath>(f, julia);
            long moved = 0;
            for (size_t i = 0; i < library.size(); ++i)
                moved += library[i] != engineValues[i];
            std::printf("type %d function %d: %ld of %zu pixels differ from the C library's functions\n", type,
                        fn, moved, library.size());
            RecordProperty("moved_type" + std::to_string(type) + "_fn" + std::to_string(fn), int(moved));
            // The functions agree to within an ulp: the pixels that move are those on the edge of a
            // chaotic boundary, a small part of the image.
            EXPECT_LT(moved, long(library.size() / 50));
        }
    }
}

}  // namespace
