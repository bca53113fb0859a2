#include "editor/CurveTracer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace graph {

namespace {

// Stand-in for the logarithm of a frequency at or below 0 Hz: far off any axis.

double safeLog(double value) { return value > 0.0 ? std::log(value) : levels::kLogOfNothing; }

// Truncation toward zero into a pixel column, saturated to the table's 16 bits.
int16_t toColumn(double x)
{
    const double clamped = std::clamp(std::isnan(x) ? 0.0 : x, -32768.0, 32767.0);
    return static_cast<int16_t>(clamped);
}

double binFrequency(int32_t bin, const AxisLayout& axis)
{
    return static_cast<double>(bin) * axis.analyserRate / axis.analyserSize;
}

}  // namespace

float pointStepRatio()
{
    static const float ratio = static_cast<float>(std::pow(2.0, 0.0416666679084301));
    return ratio;
}

float halfStepFactor()
{
    static const float factor = static_cast<float>(1.0 / std::pow(2.0, 0.02083333395421505));
    return factor;
}

float binDecibels(float power)
{
    if (!(power > static_cast<float>(levels::kSmallestNormalFloat))) return kFloorDb;
    return 10.0f * std::log10(power);
}

int32_t pointCapacityFor(int32_t sampleRate)
{
    const float r = pointStepRatio();
    float low = 440.0f;
    while (low / r >= 20.0f) low /= r;
    // Steps counted as integers: the same as 24 log2(high / low), without its rounding.
    const int32_t nyquist = sampleRate / 2;
    int32_t steps = 0;
    for (float f = low * r; f <= static_cast<float>(nyquist); f *= r) ++steps;
    return steps + 64;
}

PointTableShape buildPointTable(std::span<PointEntry> table, const AxisLayout& axis)
{
    std::fill(table.begin(), table.end(), PointEntry{});
    const int32_t binCount = axis.analyserSize / 2;
    PointTableShape shape;
    if (binCount < 4 || axis.analyserRate <= 0) return shape;
    // The largest bin below fMin, never past the bins that exist.
    while (shape.firstBin + 1 < binCount && binFrequency(shape.firstBin + 1, axis) < axis.fMin) ++shape.firstBin;

    const float r = pointStepRatio();
    const float half = halfStepFactor();
    // The spline's four knots must lie within the bins.
    const int32_t lastKnotStart = binCount - NaturalSpline::kKnots;
    int32_t bin = shape.firstBin;
    int32_t p = 0;
    for (float f = axis.fMin; f <= axis.fMax && p < static_cast<int32_t>(table.size()); f *= r, ++p) {
        bool interpolate = true;
        while (bin < binCount && binFrequency(bin, axis) <= f) {
            ++bin;
            interpolate = false;
        }
        PointEntry& e = table[static_cast<size_t>(p)];
        e.freq = f;
        e.endBin = static_cast<uint16_t>(bin);
        e.fLo = f * half;
        e.lnFLo = static_cast<float>(safeLog(e.fLo));
        e.binPos = static_cast<float>(static_cast<double>(axis.analyserSize) * e.fLo / axis.analyserRate);
        e.x = toColumn((e.lnFLo - axis.lnFMin) * axis.pixelsPerLn + axis.plotLeft + 0.5f);
        if (interpolate)
            e.interpBin =
                static_cast<uint16_t>(std::clamp(static_cast<int32_t>(e.binPos) - 1, 1, std::max(lastKnotStart, 1)));
    }
    shape.pointCount = p;
    return shape;
}

void fillBinLogFrequencies(std::span<float> lnBinFreq, int32_t analyserSize, int32_t analyserRate)
{
    for (size_t k = 0; k < lnBinFreq.size(); ++k)
        lnBinFreq[k] =
            k == 0 ? 0.0f : static_cast<float>(safeLog(static_cast<double>(k) * analyserRate / analyserSize));
}

void NaturalSpline::build(const float* x, const float* y)
{
    std::copy(x, x + kKnots, knotX.begin());
    std::copy(y, y + kKnots, knotY.begin());
    coefficient.fill(0.0f);
    float h[kKnots - 1];
    float s[kKnots - 1];
    for (int32_t i = 0; i < kKnots - 1; ++i) {
        h[i] = x[i + 1] - x[i];
        // Knots that coincide leave the spline straight.
        if (!(h[i] > 0.0f)) return;
        s[i] = (y[i + 1] - y[i]) / h[i];
    }
    // The two inner knots' equations, with c at both ends 0:
    //   2 (h0 + h1) c1 + h1 c2 = s1 - s0
    //   h1 c1 + 2 (h1 + h2) c2 = s2 - s1
    const float d1 = 2.0f * (h[0] + h[1]);
    const float r1 = s[1] - s[0];
    const float d2 = 2.0f * (h[1] + h[2]) - h[1] * h[1] / d1;
    const float r2 = (s[2] - s[1]) - h[1] * r1 / d1;
    coefficient[2] = r2 / d2;
    coefficient[1] = (r1 - h[1] * coefficient[2]) / d1;
}

float NaturalSpline::evaluate(float x) const
{
    auto lo = static_cast<int32_t>(std::lower_bound(knotX.begin(), knotX.end(), x) - knotX.begin());
    lo = std::min(lo, kKnots - 1);
    if (lo > 0) --lo;
    const float h = knotX[lo + 1] - knotX[lo];
    if (h == 0.0f) return 0.0f;
    const float t = x - knotX[lo];
    const float c0 = coefficient[lo];
    const float c1 = coefficient[lo + 1];
    return knotY[lo] + t * ((knotY[lo + 1] - knotY[lo]) / h - h * (2.0f * c0 + c1)) + t * t * 3.0f * c0 +
           t * t * t * (c1 - c0) / h;
}

void pointLevels(std::span<const PointEntry> table, int32_t firstBin, const float* bins, int32_t binCount,
                 const float* lnBinFreq, float* levels)
{
    NaturalSpline spline;
    int32_t splineStart = -1;
    int32_t bin = firstBin;
    for (size_t p = 0; p < table.size(); ++p) {
        const PointEntry& e = table[p];
        if (e.interpBin != 0) {
            // Consecutive points share their knots; build the spline once for them.
            if (e.interpBin != splineStart) {
                const int32_t d = e.interpBin;
                float knotLevels[NaturalSpline::kKnots];
                for (int32_t i = 0; i < NaturalSpline::kKnots; ++i) knotLevels[i] = binDecibels(bins[d + i]);
                spline.build(lnBinFreq + d, knotLevels);
                splineStart = d;
            }
            levels[p] = spline.evaluate(e.lnFLo);
        } else if (bin < e.endBin) {
            const int32_t end = std::min<int32_t>(e.endBin, binCount);
            float largest = 0.0f;
            for (; bin < end; ++bin) largest = std::max(largest, bins[bin]);
            bin = e.endBin;
            levels[p] = binDecibels(largest);
        } else {
            levels[p] = kFloorDb;
        }
    }
}

}  // namespace graph
