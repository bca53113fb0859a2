#include "dsp/FFT.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "dsp/DoublePair.h"

// Split-radix decimation in frequency. A block of N points is split into its even half
// (x[j] + x[j + N/2], an N/2-point transform) and two quarters that become the outputs
// 4m + 1 and 4m + 3 after a rotation by w^j and w^3j, w = exp(+2 pi i / N). The blocks
// are transformed depth first, which leaves the result in bit-reversed order, undone at
// the end. Points are (re, im) pairs held in one DoublePair, so every butterfly runs in
// double precision; between stages the data are doubles in a workspace.
//
// Twiddles are not kept between calls. Blocks of up to 512 points, which make up most of
// the work, read theirs from an 8 KB table on the stack, built per call by a rotation
// recurrence in double precision; larger blocks step through theirs with the same
// recurrence. Over the longest run (1024 steps at 4096 points) the recurrence drifts by
// less than 1e-12, far below what float data can resolve.

namespace {

using dsp::DoublePair;

constexpr double twoPi = 6.283185307179586;
constexpr double sqrtHalf = 0.7071067811865476;
// 2^30 points is beyond any use; the rotation steps of every size fit one small array.
constexpr int maxLevels = 31;
// Blocks of 2^tableLevel points or fewer take their twiddles from the table.
constexpr int tableLevel = 8;
constexpr int tableSize = (1 << tableLevel) / 4;

// A twiddle w = (c, s) in the form that multiplies a point x = (re, im) in two products:
// x * w = x * (c, c) + swap(x) * (-s, s).
struct Twiddle {
    DoublePair re, im;
};

Twiddle twiddleOf(DoublePair w) { return {w.los(), w.his().negatedLo()}; }

DoublePair rotate(DoublePair x, const Twiddle& w) { return x * w.re + x.swapped() * w.im; }

// i * x for a point x.
DoublePair timesI(DoublePair x) { return x.swapped().negatedLo(); }

struct Plan {
    // Per level k: the twiddle steps exp(+2 pi i / 2^k) and exp(+6 pi i / 2^k).
    Twiddle step1[maxLevels], step3[maxLevels];
    // w^j and w^3j of a block of 2^tableLevel points; smaller blocks take every 2^m-th.
    Twiddle table1[tableSize], table3[tableSize];
};

DoublePair loadPoint(const float* a, int j) { return DoublePair::fromFloats(a + 2 * j); }
void storePoint(float* a, int j, DoublePair x) { x.toFloats(a + 2 * j); }
DoublePair loadPoint(const double* a, int j) { return DoublePair::load(a + 2 * j); }
void storePoint(double* a, int j, DoublePair x) { x.store(a + 2 * j); }

template <class T>
void transform2(T* a)
{
    const DoublePair x0 = loadPoint(a, 0);
    const DoublePair x1 = loadPoint(a, 1);
    storePoint(a, 0, x0 + x1);
    storePoint(a, 1, x0 - x1);
}

// Four points, output in bit-reversed order (X0, X2, X1, X3).
void transform4(DoublePair x0, DoublePair x1, DoublePair x2, DoublePair x3, DoublePair* out)
{
    const DoublePair s02 = x0 + x2, d02 = x0 - x2, s13 = x1 + x3, d13 = timesI(x1 - x3);
    out[0] = s02 + s13;
    out[1] = s02 - s13;
    out[2] = d02 + d13;
    out[3] = d02 - d13;
}

template <class T>
void transform4(T* a)
{
    DoublePair out[4];
    transform4(loadPoint(a, 0), loadPoint(a, 1), loadPoint(a, 2), loadPoint(a, 3), out);
    for (int j = 0; j < 4; ++j) storePoint(a, j, out[j]);
}

// Eight points, output in bit-reversed order.
template <class T>
void transform8(T* a)
{
    DoublePair x[8];
    for (int j = 0; j < 8; ++j) x[j] = loadPoint(a, j);
    // First split: the even half, and the quarters rotated by w^j and w^3j, w = exp(i pi / 4).
    const DoublePair t0 = x[0] - x[4], t1 = x[1] - x[5], u0 = timesI(x[2] - x[6]), u1 = timesI(x[3] - x[7]);
    const DoublePair h = DoublePair::splat(sqrtHalf);
    const DoublePair p0 = t0 + u0, q0 = t0 - u0;
    const DoublePair p1 = t1 + u1, q1 = t1 - u1;
    // w = (1 + i) sqrt(1/2), w^3 = (-1 + i) sqrt(1/2).
    const DoublePair p1r = (p1 + timesI(p1)) * h;
    const DoublePair q1r = (timesI(q1) - q1) * h;
    storePoint(a, 4, p0 + p1r);
    storePoint(a, 5, p0 - p1r);
    storePoint(a, 6, q0 + q1r);
    storePoint(a, 7, q0 - q1r);
    DoublePair out[4];
    transform4(x[0] + x[4], x[1] + x[5], x[2] + x[6], x[3] + x[7], out);
    for (int j = 0; j < 4; ++j) storePoint(a, j, out[j]);
}

// One split of a block: from (a, b, c, d) of the source into the same places of the
// target, which may be the source itself.
template <class S, class T>
void butterfly(const S* a, const S* b, const S* c, const S* d, T* ta, T* tb, T* tc, T* td, int j, const Twiddle& w1,
               const Twiddle& w3)
{
    const DoublePair xa = loadPoint(a, j), xb = loadPoint(b, j), xc = loadPoint(c, j), xd = loadPoint(d, j);
    storePoint(ta, j, xa + xc);
    storePoint(tb, j, xb + xd);
    const DoublePair t = xa - xc;
    const DoublePair u = timesI(xb - xd);
    storePoint(tc, j, rotate(t + u, w1));
    storePoint(td, j, rotate(t - u, w3));
}

// The first stage of a block of 2^level points, from source into target.
template <class S, class T>
void splitBlock(const S* a, T* t, int points, int level, const Plan& plan)
{
    const int quarter = points / 4;
    const S *b = a + 2 * quarter, *c = a + 4 * quarter, *d = a + 6 * quarter;
    T *tb = t + 2 * quarter, *tc = t + 4 * quarter, *td = t + 6 * quarter;
    if (level <= tableLevel) {
        const int stride = 1 << (tableLevel - level);
        for (int j = 0; j < quarter; ++j)
            butterfly(a, b, c, d, t, tb, tc, td, j, plan.table1[j * stride], plan.table3[j * stride]);
        return;
    }
    DoublePair w1 = DoublePair::set(1.0, 0.0), w3 = w1;
    for (int j = 0; j < quarter; ++j) {
        butterfly(a, b, c, d, t, tb, tc, td, j, twiddleOf(w1), twiddleOf(w3));
        w1 = rotate(w1, plan.step1[level]);
        w3 = rotate(w3, plan.step3[level]);
    }
}

template <class T>
void splitRadix(T* a, int points, int level, const Plan& plan)
{
    switch (points) {
    case 1: return;
    case 2: transform2(a); return;
    case 4: transform4(a); return;
    case 8: transform8(a); return;
    default: break;
    }
    splitBlock(a, a, points, level, plan);
    const int quarter = points / 4;
    T* c = a + 4 * quarter;
    T* d = a + 6 * quarter;
    splitRadix(a, points / 2, level - 1, plan);
    splitRadix(c, quarter, level - 2, plan);
    splitRadix(d, quarter, level - 2, plan);
}

// The reversed index is stepped by exclusive or, without an index table.
uint32_t nextReversed(uint32_t j, uint32_t points)
{
    uint32_t bit = points >> 1;
    while (bit != 0 && (j & bit) != 0) {
        j ^= bit;
        bit >>= 1;
    }
    return j | bit;
}

int levelsOf(int n)
{
    if (n < 4 || (n & (n - 1)) != 0) return -1;
    int levels = 0;
    while ((2 << levels) < n) ++levels;
    return levels < maxLevels ? levels : -1;
}

void makePlan(Plan& plan, int levels)
{
    for (int k = 0; k <= std::max(levels, tableLevel); ++k) {
        const double angle = twoPi / static_cast<double>(1u << k);
        plan.step1[k] = twiddleOf(DoublePair::set(std::cos(angle), std::sin(angle)));
        plan.step3[k] = twiddleOf(DoublePair::set(std::cos(3.0 * angle), std::sin(3.0 * angle)));
    }
    if (levels < 4) return;
    DoublePair w1 = DoublePair::set(1.0, 0.0), w3 = w1;
    for (int j = 0; j < tableSize; ++j) {
        plan.table1[j] = twiddleOf(w1);
        plan.table3[j] = twiddleOf(w3);
        w1 = rotate(w1, plan.step1[tableLevel]);
        w3 = rotate(w3, plan.step3[tableLevel]);
    }
}

}  // namespace

void complexFFT(float* a, int n, double* workspace)
{
    const int levels = levelsOf(n);
    if (a == nullptr || workspace == nullptr || levels < 0) return;
    Plan plan;
    makePlan(plan, levels);
    const auto points = static_cast<uint32_t>(n / 2);
    if (points <= 8) {
        for (uint32_t i = 0; i < points; ++i) loadPoint(a, static_cast<int>(i)).store(workspace + 2 * i);
        splitRadix(workspace, n / 2, levels, plan);
    } else {
        // The first stage reads the floats, so the way in costs no pass of its own.
        const int quarter = n / 8;
        splitBlock(a, workspace, n / 2, levels, plan);
        splitRadix(workspace, n / 4, levels - 1, plan);
        splitRadix(workspace + 4 * quarter, quarter, levels - 2, plan);
        splitRadix(workspace + 6 * quarter, quarter, levels - 2, plan);
    }
    // The way out undoes the bit reversal.
    for (uint32_t i = 0, j = 0; i < points; ++i, j = nextReversed(j, points))
        storePoint(a, static_cast<int>(j), DoublePair::load(workspace + 2 * i));
}
