#include "dsp/FFT.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "dsp/DoublePair.h"

// Split-radix decimation in frequency. A block of N points is split into its even half
// (x[j] + x[j + N/2], an N/2-point transform) and two quarters that become the outputs
// 4m + 1 and 4m + 3 after a rotation by w^j and w^3j, w = exp(+2 pi i / N). The blocks
// are transformed depth first, which leaves the result in bit-reversed order, undone in
// place at the end. Points are (re, im) pairs held in one DoublePair, so every butterfly
// runs in double precision while the data stay floats between stages.
//
// Twiddles are not tabulated: each block steps through them with a complex rotation in
// double precision, starting from the exact step of its size. Over the longest run (1024
// steps at 4096 points) the rotation drifts by less than 1e-12, far below what the float
// data can resolve.

namespace {

using dsp::DoublePair;

constexpr double twoPi = 6.283185307179586;
constexpr double sqrtHalf = 0.7071067811865476;
// 2^30 points is beyond any use; the rotation steps of every size fit one small array.
constexpr int maxLevels = 31;

// The product of two points x and w (complex numbers as (re, im)).
DoublePair rotate(DoublePair x, DoublePair w) { return x * w.los() + x.swapped() * w.his().negatedLo(); }

// i * x for a point x.
DoublePair timesI(DoublePair x) { return x.swapped().negatedLo(); }

DoublePair loadPoint(const float* a, int j) { return DoublePair::fromFloats(a + 2 * j); }
void storePoint(float* a, int j, DoublePair x) { x.toFloats(a + 2 * j); }

void transform2(float* a)
{
    const DoublePair x0 = loadPoint(a, 0);
    const DoublePair x1 = loadPoint(a, 1);
    storePoint(a, 0, x0 + x1);
    storePoint(a, 1, x0 - x1);
}

// Four points, output in bit-reversed order (X0, X2, X1, X3).
void transform4(float* a)
{
    const DoublePair x0 = loadPoint(a, 0);
    const DoublePair x1 = loadPoint(a, 1);
    const DoublePair x2 = loadPoint(a, 2);
    const DoublePair x3 = loadPoint(a, 3);
    const DoublePair s02 = x0 + x2, d02 = x0 - x2, s13 = x1 + x3, d13 = timesI(x1 - x3);
    storePoint(a, 0, s02 + s13);
    storePoint(a, 1, s02 - s13);
    storePoint(a, 2, d02 + d13);
    storePoint(a, 3, d02 - d13);
}

// Eight points, output in bit-reversed order.
void transform8(float* a)
{
    const DoublePair x0 = loadPoint(a, 0), x1 = loadPoint(a, 1), x2 = loadPoint(a, 2), x3 = loadPoint(a, 3);
    const DoublePair x4 = loadPoint(a, 4), x5 = loadPoint(a, 5), x6 = loadPoint(a, 6), x7 = loadPoint(a, 7);
    // First split: even half e0..e3, quarters rotated by w^j and w^3j, w = exp(i pi / 4).
    const DoublePair e0 = x0 + x4, e1 = x1 + x5, e2 = x2 + x6, e3 = x3 + x7;
    const DoublePair t0 = x0 - x4, t1 = x1 - x5, u0 = timesI(x2 - x6), u1 = timesI(x3 - x7);
    const DoublePair h = DoublePair::splat(sqrtHalf);
    const DoublePair p0 = t0 + u0, q0 = t0 - u0;
    const DoublePair p1 = t1 + u1, q1 = t1 - u1;
    // w^1 = (1 + i) sqrt(1/2), w^3 = (-1 + i) sqrt(1/2).
    const DoublePair p1r = (p1 + timesI(p1)) * h;
    const DoublePair q1r = (timesI(q1) - q1) * h;
    storePoint(a, 4, p0 + p1r);
    storePoint(a, 5, p0 - p1r);
    storePoint(a, 6, q0 + q1r);
    storePoint(a, 7, q0 - q1r);
    const DoublePair s02 = e0 + e2, d02 = e0 - e2, s13 = e1 + e3, d13 = timesI(e1 - e3);
    storePoint(a, 0, s02 + s13);
    storePoint(a, 1, s02 - s13);
    storePoint(a, 2, d02 + d13);
    storePoint(a, 3, d02 - d13);
}

// The twiddle steps of a block of 2^k points: exp(+2 pi i / 2^k) and its cube.
struct Steps {
    DoublePair w1, w3;
};

void splitRadix(float* a, int points, int level, const Steps* steps)
{
    switch (points) {
    case 1: return;
    case 2: transform2(a); return;
    case 4: transform4(a); return;
    case 8: transform8(a); return;
    default: break;
    }
    const int quarter = points / 4;
    float* b = a + 2 * quarter;
    float* c = a + 4 * quarter;
    float* d = a + 6 * quarter;
    const Steps& step = steps[level];
    DoublePair w1 = DoublePair::set(1.0, 0.0);
    DoublePair w3 = w1;
    for (int j = 0; j < quarter; ++j) {
        const DoublePair xa = loadPoint(a, j), xb = loadPoint(b, j), xc = loadPoint(c, j), xd = loadPoint(d, j);
        storePoint(a, j, xa + xc);
        storePoint(b, j, xb + xd);
        const DoublePair t = xa - xc;
        const DoublePair u = timesI(xb - xd);
        storePoint(c, j, rotate(t + u, w1));
        storePoint(d, j, rotate(t - u, w3));
        w1 = rotate(w1, step.w1);
        w3 = rotate(w3, step.w3);
    }
    splitRadix(a, points / 2, level - 1, steps);
    splitRadix(c, quarter, level - 2, steps);
    splitRadix(d, quarter, level - 2, steps);
}

void swapPoints(float* a, uint32_t i, uint32_t j)
{
    uint64_t pi, pj;
    std::memcpy(&pi, a + 2 * i, sizeof pi);
    std::memcpy(&pj, a + 2 * j, sizeof pj);
    std::memcpy(a + 2 * i, &pj, sizeof pj);
    std::memcpy(a + 2 * j, &pi, sizeof pi);
}

// Bit reversal of the point indices, the reversed index stepped by exclusive or.
void bitReverse(float* a, uint32_t points)
{
    uint32_t j = 0;
    for (uint32_t i = 0; i < points; ++i) {
        if (i < j)
            swapPoints(a, i, j);
        uint32_t bit = points >> 1;
        while (bit != 0 && (j & bit) != 0) {
            j ^= bit;
            bit >>= 1;
        }
        j |= bit;
    }
}

} // namespace

void complexFFT(float* a, int n)
{
    if (a == nullptr || n < 4 || (n & (n - 1)) != 0)
        return;
    const int points = n / 2;
    int levels = 0;
    while ((1 << levels) < points)
        ++levels;
    if (levels >= maxLevels)
        return;
    Steps steps[maxLevels];
    for (int k = 0; k <= levels; ++k) {
        const double angle = twoPi / static_cast<double>(1u << k);
        steps[k] = {DoublePair::set(std::cos(angle), std::sin(angle)),
                    DoublePair::set(std::cos(3.0 * angle), std::sin(3.0 * angle))};
    }
    splitRadix(a, points, levels, steps);
    bitReverse(a, static_cast<uint32_t>(points));
}
