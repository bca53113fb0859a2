#include "effect/ParameterValues.h"

#include <algorithm>
#include <cmath>

#include "dsp/Levels.h"

namespace {

// Not a rounded 0.25: subtracting just under a quarter before rounding to the nearest
// half step brings a value down to the multiple of 0.5 at or below it, while a value less
// than 0.00001 below a multiple (float noise from the normalised value) still counts as
// that multiple.
constexpr double kHalfStepOffset = 0.24999;

}  // namespace

const ControlDescriptor& findDescriptor(int32_t id)
{
    for (const ControlDescriptor* row = controlTable; row->name != nullptr; ++row) {
        if (row->id == id) return *row;
    }
    return controlTable[0];
}

double roundToHalfStep(double y)
{
    const bool negative = y < 0;
    const double n = std::trunc(2 * std::fabs(y) + 0.5);
    if (n == 0) return 0;
    return negative ? -0.5 * n : 0.5 * n;
}

double normalizedToReal(double v, int32_t id)
{
    const ControlDescriptor& row = findDescriptor(id);
    const double lo = row.minValue;
    const double hi = row.maxValue;
    if (row.kind == KindOnOffButton) return switchIsOn(v) ? hi : lo;
    const double y = lo + v * (hi - lo);
    switch (row.curve) {
    case Linear: return y;
    case HalfStep: return roundToHalfStep(y - kHalfStepOffset);
    case Decibel: return std::pow(levels::kDecibelBase, y);
    case Logarithmic: return std::exp(std::log(lo) + v * (std::log(hi) - std::log(lo)));
    default: return 0;
    }
}

double realToNormalized(double x, int32_t id)
{
    const ControlDescriptor& row = findDescriptor(id);
    const double lo = row.minValue;
    const double hi = row.maxValue;
    switch (row.curve) {
    case Linear:
    case HalfStep: return (x - lo) / (hi - lo);
    case Decibel: {
        const double d = x - lo;
        if (!(d > levels::kSmallestNormalFloat)) return levels::kSilenceDecibels / (hi - lo);
        return 20 * std::log10(d) / (hi - lo);
    }
    case Logarithmic: return (std::log(x) - std::log(lo)) / (std::log(hi) - std::log(lo));
    default: return -1;
    }
}

float storedValue(int32_t index, float v)
{
    const float inRange = std::clamp(v, 0.0f, 1.0f);
    if (!isSwitchParameter(index)) return inRange;
    return switchIsOn(inRange) ? 1.0f : 0.0f;
}
