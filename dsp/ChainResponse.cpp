// The chain's magnitude response for the graph, evaluated from the sections' coefficients
// at the bins of a 4096-point transform: what an impulse run through the chain and
// transformed would give if the frame held the whole impulse response, without the
// truncation of a response that rings longer than the frame and without the float
// rounding of the audio path's buffers between sections.
#include <array>
#include <cmath>
#include <numbers>

#include "dsp/EqualiserChain.h"

namespace {

constexpr int points = ChainDesign::responsePoints;
// Points evaluated at a time: the products of one chunk stay in the first-level cache
// while every section multiplies into them.
constexpr int chunk = 256;
static_assert(points % chunk == 0);

// cos w at each point, built once per process; on first use, the magic static's guard
// serialises the threads that measure.
const std::array<double, points>& cosines()
{
    static const std::array<double, points> table = [] {
        std::array<double, points> c{};
        for (int k = 0; k < points; ++k) c[k] = std::cos(std::numbers::pi * k / points);
        return c;
    }();
    return table;
}

// |b0 + b1 z^-1 + b2 z^-2|^2 on the unit circle as a quadratic in c = cos w:
// (b0 - b2)^2 + b1^2 + 2 b1 (b0 + b2) c + 4 b0 b2 c^2.
struct PowerQuadratic {
    double c0, c1, c2;
};

PowerQuadratic powerOf(double b0, double b1, double b2)
{
    return {(b0 - b2) * (b0 - b2) + b1 * b1, 2.0 * b1 * (b0 + b2), 4.0 * b0 * b2};
}

}  // namespace

void ChainDesign::powerResponse(float* power) const
{
    std::array<PowerQuadratic, sectionCount> numerators{}, denominators{};
    int n = 0;
    for (int k = 0; k < sectionCount; ++k) {
        if (!active[k]) continue;
        const StereoSection& s = sections[k];
        numerators[n] = powerOf(s.nb0[0], s.nb1[0], s.nb2[0]);
        denominators[n] = powerOf(1.0, s.na1[0], s.na2[0]);
        ++n;
    }
    const double gain = active[balanceSection] ? balanceMakeup * balanceMakeup : 1.0;
    const std::array<double, points>& cosine = cosines();
    // The products of the numerators and of the denominators are divided once a point;
    // ten sections of stable designs stay far from double's range at both ends.
    for (int start = 0; start < points; start += chunk) {
        std::array<double, chunk> num, den;
        num.fill(gain);
        den.fill(1.0);
        const double* c = cosine.data() + start;
        for (int j = 0; j < n; ++j) {
            const PowerQuadratic b = numerators[j], a = denominators[j];
            for (int i = 0; i < chunk; ++i) {
                num[i] *= (b.c2 * c[i] + b.c1) * c[i] + b.c0;
                den[i] *= (a.c2 * c[i] + a.c1) * c[i] + a.c0;
            }
        }
        for (int i = 0; i < chunk; ++i) power[start + i] = static_cast<float>(num[i] / den[i]);
    }
}
