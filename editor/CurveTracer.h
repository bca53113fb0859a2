// How the analyser's power bins become the graph's curve points: one point per 1/24
// octave from the graph's lowest to its highest frequency. Points denser than the bins
// are interpolated with a natural cubic spline through the four bins around them; every
// other point takes the largest bin it covers. The per-point frequency work is done once
// per axis change in the point table; a trace only scans bins.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "dsp/Levels.h"

namespace graph {

// Level given to any power at or below the smallest normal float: far below any plot.
inline constexpr float kFloorDb = static_cast<float>(levels::kSilenceDecibels);
// A unit impulse analysed as the response measurement does it gives this bin power in
// dB, negated: adding it puts a flat response on the plot's middle line.
inline constexpr float kResponseCalibrationDb = 64.90357f;
// A falling spectrum keeps 85 % of the shown level and takes 15 % of the new one.
inline constexpr float kMemoryWeight = 0.85000002384f;
inline constexpr float kNewWeight = 0.14999998f;

// 2^(1/24): the step from one point to the next.
float pointStepRatio();
// 2^(-1/48): from a point's frequency to the lower edge of its step.
float halfStepFactor();

// 10 log10(power), or kFloorDb for powers at or below the smallest normal float.
float binDecibels(float power);

// One curve point, fixed for as long as the frequency axis stays.
struct PointEntry {
    int16_t x = 0;           // pixel column
    uint16_t interpBin = 0;  // first of the four spline knots' bins; 0 when the point takes a bin maximum
    uint16_t endBin = 0;     // first bin above the point's frequency
    float freq = 0.0f;       // the point's frequency, Hz
    float binPos = 0.0f;     // fLo's position in bins
    float fLo = 0.0f;        // half a step below freq
    float lnFLo = 0.0f;      // ln fLo
};

// The frequency axis of the plot and the analyser's bin layout, as the table needs them.
struct AxisLayout {
    float fMin = 20.0f;
    float fMax = 22050.0f;
    float lnFMin = 0.0f;
    float pixelsPerLn = 0.0f;
    int32_t plotLeft = 0;
    int32_t analyserSize = 4096;
    int32_t analyserRate = 44100;
};

struct PointTableShape {
    int32_t pointCount = 0;
    int32_t firstBin = 0;
};

// The number of points an axis from 20 Hz up to sampleRate / 2 needs, with room to spare.
int32_t pointCapacityFor(int32_t sampleRate);

// Fills table (its size is the capacity) for the axis; answers the points in use and the
// first bin the curves read. Interpolated points never reach past the last bin.
PointTableShape buildPointTable(std::span<PointEntry> table, const AxisLayout& axis);

// ln of every bin's frequency, 0 for bin 0: the spline's abscissas.
void fillBinLogFrequencies(std::span<float> lnBinFreq, int32_t analyserSize, int32_t analyserRate);

// A natural cubic spline (second derivative 0 at both ends) through four knots.
class NaturalSpline {
public:
    static constexpr int32_t kKnots = 4;

    void build(const float* x, const float* y);
    // The spline's value at x; between the first two knots below the first knot, and
    // between the last two above the last one.
    float evaluate(float x) const;

private:
    std::array<float, kKnots> knotX{};
    std::array<float, kKnots> knotY{};
    // Second derivative / 6 at each knot.
    std::array<float, kKnots> coefficient{};
};

// The level in dB under each point of the table: spline or bin maximum as the entry says.
// bins has binCount entries; levels receives one value per table entry.
void pointLevels(std::span<const PointEntry> table, int32_t firstBin, const float* bins, int32_t binCount,
                 const float* lnBinFreq, float* levels);

}  // namespace graph
