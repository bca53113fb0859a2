// The one table that defines every host parameter and every control of the editor.
// The row number is the host's parameter index (ParamId below); the editor builds its whole
// layout from the same rows.
#pragma once

#include <cstdint>

#include "effect/DisplayFormats.h"
#include "resources/artwork/BitmapIds.h"

// The host's parameter indices, one name for each row. Hosts pass plain integers, so the
// functions that take an index take an int32_t and compare it with these.
// clang-format off
enum ParamId : int32_t {
    kNoParameter = -1,              // a band's missing gain (the cut bands have none)
    kDummyParameter = 0,
    kSpareParameter = 1,            // the graph's row: stores nothing
    kDocumentationParameter = 2,    // the meter's row: opens the manual
    kPreAnalyserParameter = 3,      // feeds the input analyser
    kPostAnalyserParameter = 4,     // feeds the output analyser
    kSlopeParameter = 5,            // the graph's slope, range and shift
    kRangeParameter = 6,
    kShiftParameter = 7,
    kResetParameter = 8,            // resets the current program, reads 0
    kBypassParameter = 9,           // 1 runs the equaliser, 0 takes it out
    kOutputGainParameter = 10,      // output gain in dB
    kLowCutEnabled = 11, kLowShelfEnabled, kPeak1Enabled, kPeak2Enabled, kPeak3Enabled, kHiShelfEnabled,
    kHiCutEnabled, kBalanceEnabled,
    kLowCutFrequency = 19, kLowShelfFrequency, kPeak1Frequency, kPeak2Frequency, kPeak3Frequency,
    kHiShelfFrequency, kHiCutFrequency, kBalanceFrequency,
    kLowShelfGain = 27, kPeak1Gain, kPeak2Gain, kPeak3Gain, kHiShelfGain, kBalanceGain,
    kLowCutQ = 33, kLowShelfQ, kPeak1Q, kPeak2Q, kPeak3Q, kHiShelfQ, kHiCutQ, kBalanceQ,
};
// clang-format on

constexpr int32_t kNumParameters = 41;
static_assert(kBalanceQ == kNumParameters - 1);
constexpr int32_t kNumPrograms = 8;

// Whether a host or program value of the parameter is stored: the spare, the manual's and
// Reset's never are.
constexpr bool isStoredParameter(int32_t index)
{
    return index != kSpareParameter && index != kDocumentationParameter && index != kResetParameter;
}

// What the editor builds for a row.
enum ControlKind : int32_t {
    KindNone = 0,
    KindKnob = 1,
    KindAnimKnob = 2,
    KindVerticalSlider = 3,
    KindOnOffButton = 4,
    KindKickButton = 5,
    KindOptionMenu = 6,
    KindGraph = 7,
    KindMeter = 8,
};

// How a normalised value 0..1 maps to the real value of a row.
enum CurveKind : int32_t {
    Linear = 0,
    HalfStep = 1,
    Decibel = 2,
    Logarithmic = 3,
};

// Writes the text of a real value; at most 7 characters and the terminator for the
// ranges of this table.
using StringConvert = void (*)(float value, char* text);

struct ControlDescriptor {
    int32_t id;
    const char* name;
    int32_t kind;
    int32_t bitmap;
    int32_t secondBitmap;
    int32_t x, y;
    bool showNameLabel;
    int32_t nameLabelDx, nameLabelDy;
    bool hasValueDisplay;
    int32_t valueDx, valueDy;
    StringConvert format;
    double defaultValue;
    double minValue;
    double maxValue;
    int32_t curve;
    const char* menuEntries;
};

// The rows and the small helpers that spell them.
namespace controlrows {

// Q ranges and defaults are single-precision numbers widened to double, as the editor's
// knobs and the host carry them.
constexpr double q(float value) { return value; }

constexpr StringConvert dB = formatDecibels;
constexpr StringConvert Hz = formatFrequency;
constexpr StringConvert num = formatNumber;
constexpr StringConvert cutQ = formatCutQ;

// A row with neither value display nor name label.
constexpr ControlDescriptor plain(int32_t id, const char* name, int32_t kind, int32_t bitmap, int32_t x, int32_t y,
                                  double defaultValue)
{
    return {id, name, kind, bitmap, -1, x, y, false, 0, 0, false, 0, 0, nullptr, defaultValue, 0, 1, Linear, nullptr};
}

// A knob with a value display valueDy pixels below its top.
constexpr ControlDescriptor knob(int32_t id, const char* name, int32_t bitmap, int32_t x, int32_t y, int32_t valueDy,
                                 StringConvert format, double defaultValue, double minValue, double maxValue,
                                 int32_t curve)
{
    return {id,   name, KindAnimKnob, bitmap, -1,           x,        y,        false, 0,      0,
            true, 0,    valueDy,      format, defaultValue, minValue, maxValue, curve, nullptr};
}

// The 41 rows followed by the terminator (id −1, name null).
// clang-format off
inline constexpr ControlDescriptor controlTable[kNumParameters + 1] = {
    plain(0, "Dummy", KindNone, -1, 0, 0, 0),
    plain(0, "FFTGrap", KindGraph, bitmapid::graph, 35, 11, 0),
    plain(0, "VuMeter", KindMeter, bitmapid::meter, 590, 54, 0),
    plain(3, "PRE ", KindOnOffButton, bitmapid::pre, 435, 20, 1),
    plain(4, "POST", KindOnOffButton, bitmapid::post, 435, 50, 1),
    knob(5, "SLOPE", bitmapid::analyserKnob, 435, 100, 52, dB, 4, 0, 10, HalfStep),
    knob(6, "RANGE", bitmapid::analyserKnob, 495, 25, 52, dB, 60, 24, 120, HalfStep),
    knob(7, "SHIFT", bitmapid::analyserKnob, 495, 100, 52, dB, 20, -40, 60, HalfStep),
    plain(8, "Reset", KindKickButton, bitmapid::reset, 630, 320, 0),
    plain(9, "Bypass (local)", KindOnOffButton, bitmapid::bypass, 465, 190, 1),
    knob(10, "Output Gain", bitmapid::outputKnob, 458, 250, 81, dB, 0, -18, 18, HalfStep),
    plain(11, "Enabled LowCut", KindOnOffButton, bitmapid::lowCut, 56, 170, 0),
    plain(12, "Enabled LowShelf", KindOnOffButton, bitmapid::lowShelf, 96, 170, 0),
    plain(13, "Enabled Peak1", KindOnOffButton, bitmapid::peak, 156, 170, 0),
    plain(14, "Enabled Peak2", KindOnOffButton, bitmapid::peak, 196, 170, 0),
    plain(15, "Enabled Peak3", KindOnOffButton, bitmapid::peak, 236, 170, 0),
    plain(16, "Enabled HiShelf", KindOnOffButton, bitmapid::hiShelf, 296, 170, 0),
    plain(17, "Enabled HiCut", KindOnOffButton, bitmapid::hiCut, 336, 170, 0),
    plain(18, "Enabled Balance", KindOnOffButton, bitmapid::balance, 396, 170, 0),
    knob(19, "Frequency LowCut", bitmapid::frequencyKnob, 60, 200, 34, Hz, 60, 20, 20000, Logarithmic),
    knob(20, "Frequency LowShelf", bitmapid::frequencyKnob, 100, 200, 34, Hz, 150, 20, 1000, Logarithmic),
    knob(21, "Frequency Peak0", bitmapid::frequencyKnob, 160, 200, 34, Hz, 100, 20, 20000, Logarithmic),
    knob(22, "Frequency Peak1", bitmapid::frequencyKnob, 200, 200, 34, Hz, 640, 20, 20000, Logarithmic),
    knob(23, "Frequency Peak2", bitmapid::frequencyKnob, 240, 200, 34, Hz, 4000, 20, 20000, Logarithmic),
    knob(24, "Frequency HiShelf", bitmapid::frequencyKnob, 300, 200, 34, Hz, 2500, 500, 20000, Logarithmic),
    knob(25, "Frequency HiCut", bitmapid::frequencyKnob, 340, 200, 34, Hz, 8000, 20, 20000, Logarithmic),
    knob(26, "Frequency Balance", bitmapid::frequencyKnob, 400, 200, 34, Hz, 1000, 100, 10000, Logarithmic),
    knob(27, "Gain LowShelf", bitmapid::gainKnob, 100, 250, 34, dB, 0, -18, 18, HalfStep),
    knob(28, "Gain Peak1", bitmapid::gainKnob, 160, 250, 34, dB, 0, -18, 18, HalfStep),
    knob(29, "Gain Peak2", bitmapid::gainKnob, 200, 250, 34, dB, 0, -18, 18, HalfStep),
    knob(30, "Gain Peak3", bitmapid::gainKnob, 240, 250, 34, dB, 0, -18, 18, HalfStep),
    knob(31, "Gain HiShelf", bitmapid::gainKnob, 300, 250, 34, dB, 0, -18, 18, HalfStep),
    knob(32, "Gain Balance", bitmapid::gainKnob, 400, 250, 34, dB, 0, -18, 18, HalfStep),
    knob(33, "Q LowCut", bitmapid::frequencyKnob, 60, 300, 34, cutQ, q(0.7f), q(0.1f), q(0.8f), Logarithmic),
    knob(34, "Q LowShelf", bitmapid::frequencyKnob, 100, 300, 34, num, q(0.7f), q(0.1f), 1.0, Logarithmic),
    knob(35, "Q Peak1", bitmapid::frequencyKnob, 160, 300, 34, num, q(0.3f), q(0.1f), 4.0, Logarithmic),
    knob(36, "Q Peak2", bitmapid::frequencyKnob, 200, 300, 34, num, q(0.3f), q(0.1f), 4.0, Logarithmic),
    knob(37, "Q Peak3", bitmapid::frequencyKnob, 240, 300, 34, num, q(0.3f), q(0.1f), 4.0, Logarithmic),
    knob(38, "Q HiShelf", bitmapid::frequencyKnob, 300, 300, 34, num, q(0.7f), q(0.1f), 1.0, Logarithmic),
    knob(39, "Q HiCut", bitmapid::frequencyKnob, 340, 300, 34, cutQ, q(0.7f), q(0.1f), q(0.8f), Logarithmic),
    knob(40, "Q Balance", bitmapid::frequencyKnob, 400, 300, 34, num, q(0.5f), q(0.2f), 1.0, Logarithmic),
    {-1, nullptr, KindNone, -1, -1, 0, 0, false, 0, 0, false, 0, 0, nullptr, 0, 0, 0, Linear, nullptr},
};
// clang-format on

}  // namespace controlrows

using controlrows::controlTable;

// Exactly one row per host parameter precedes the terminator.
constexpr int32_t countControlRows()
{
    int32_t rows = 0;
    while (controlTable[rows].name != nullptr) ++rows;
    return rows;
}
static_assert(countControlRows() == kNumParameters && controlTable[kNumParameters].id == -1);

// Height of every value display under a knob.
constexpr int32_t kValueDisplayHeight = 11;
