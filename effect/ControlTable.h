// The one table that defines every host parameter and every control of the editor.
// The row number is the host's parameter index (ParamId); the editor builds its whole
// layout from the same rows.
#pragma once

#include <cstdint>

using ParamId = int32_t;

constexpr int32_t kNumParameters = 41;
constexpr int32_t kNumPrograms = 8;

// Parameters with a role of their own in the parameter path.
constexpr ParamId kSpareParameter = 1;          // the graph's row: stores nothing
constexpr ParamId kDocumentationParameter = 2;  // the meter's row: opens the manual
constexpr ParamId kResetParameter = 8;          // resets the current program, reads 0

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

// The 41 rows followed by the terminator (id −1, name null).
extern const ControlDescriptor controlTable[kNumParameters + 1];

// Height of every value display under a knob.
constexpr int32_t kValueDisplayHeight = 11;
