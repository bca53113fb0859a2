// Lookup of a parameter's row and the two mappings between its normalised value (0..1,
// what the host, the programs and the controls carry) and its real value (hertz,
// decibels, Q, switch state). The mappings do not clamp.
#pragma once

#include "effect/ControlTable.h"

// The row whose id equals id; row 0 ("Dummy") for any id not in the table.
const ControlDescriptor& findDescriptor(int32_t id);

double normalizedToReal(double v, int32_t id);
double realToNormalized(double x, int32_t id);

// Rounds to the nearest multiple of 0.5, halves away from zero.
double roundToHalfStep(double y);

// A switch (a row the editor shows as an on/off button) is on from 0.5 up, off below.
// The sound, the editor's button and the host's text all follow this one rule, and the
// real value of a switch is its state, 1 or 0.
constexpr double kSwitchThreshold = 0.5;
constexpr bool isSwitchParameter(int32_t index)
{
    return index >= 0 && index < kNumParameters && controlTable[index].kind == KindOnOffButton;
}
constexpr bool switchIsOn(double v) { return v >= kSwitchThreshold; }

// The normalised value that parameter index keeps when it is given v: v brought into
// 0..1, and for a switch its state, so that reading it back tells what the effect does.
float storedValue(int32_t index, float v);
