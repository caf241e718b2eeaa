#pragma once

// An independent rendering of the z^2 + c kernels, written for the tests straight from the description
// of the algorithms (Level with the six bail-out tests, Distance, Color Distance, Binary, Level+Distance)
// without reading or calling the engine's kernels. Plain double arithmetic in the order the description
// gives it (Zr*Zr - Zi*Zi + Cr; the imaginary part 2 Zr Zi + Ci formed here as xy + xy, which rounds the
// same; |dz| as sqrt(dzr^2 + dzi^2)), so the results must agree with the engine value for value.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace reference {

// The bail-out table: the value the loop compares with L ("escape" is 65535).
inline double testValue(int bailout, double x, double y, double L)
{
    const double x2 = x * x, y2 = y * y;
    switch (bailout) {
    case 1: return x2;
    case 2: return y2;
    case 3: return (std::fabs(x - y) < 0.01 || std::fabs(x + y) < 0.01) ? 65535.0 : x2 + y2;
    case 4: return (x2 > L && y2 > L) ? 65535.0 : 0.0;
    case 5: return (x2 > L || y2 > L) ? 65535.0 : 0.0;
    default: return x2 + y2;
    }
}

struct Point {
    double re, im;
};

// z' = z^2 + a, one step.
inline Point square(Point z, Point a)
{
    const double xy = z.re * z.im;
    return {z.re * z.re - z.im * z.im + a.re, xy + xy + a.im};
}

// Level: the number of the first iterate whose test value exceeds L, 65535 when the MaxIter-th is reached.
inline uint16_t level(Point z, Point a, int maxIter, double L, int bailout)
{
    int n = 0;
    while (true) {
        z = square(z, a);
        n += 1;
        if (n == maxIter)
            return 65535;
        if (testValue(bailout, z.re, z.im, L) > L)
            return uint16_t(n);
    }
}

struct Estimate {
    bool escaped;
    double dist;
};

// The distance estimate with the fixed escape radius 100000 and the derivative dz = 2 z_j dz + 1.
inline Estimate estimate(Point z0, Point a, int maxIter)
{
    std::vector<Point> orbit{z0};
    Point z = z0;
    double m;
    do {
        z = square(z, a);
        orbit.push_back(z);
        m = z.re * z.re + z.im * z.im;
    } while (int(orbit.size()) - 1 != maxIter && m <= 100000);
    if (m <= 100000)
        return {false, 0};
    double dr = 0, di = 0;
    for (size_t j = 0; j + 1 < orbit.size(); ++j) {
        const double pr = orbit[j].re * dr - orbit[j].im * di;
        const double pi = orbit[j].re * di + orbit[j].im * dr;
        dr = pr + pr + 1;
        di = pi + pi;
    }
    return {true, std::sqrt(m) * std::log(m) / std::sqrt(dr * dr + di * di)};
}

inline uint16_t distance(Point z0, Point a, int maxIter, double threshold)
{
    const Estimate e = estimate(z0, a, maxIter);
    return e.escaped && e.dist >= threshold ? 255 : 65535;
}

inline uint16_t colorDistance(Point z0, Point a, int maxIter, double threshold, double step)
{
    const Estimate e = estimate(z0, a, maxIter);
    if (!e.escaped)
        return 65535;
    if (e.dist < threshold)
        return 0;
    return uint16_t(std::min(std::nearbyint(10 * e.dist / step), 65534.0));
}

inline uint16_t binary(Point z, Point a, int maxIter, double L, int bailout)
{
    int n = 0;
    do {
        z = square(z, a);
        n += 1;
    } while (n != maxIter && !(testValue(bailout, z.re, z.im, L) > L));
    if (z.re == 0)
        return 0;
    if (n == maxIter)
        return 65535;
    return z.im < 0 ? 255 : 0;
}

}  // namespace reference
