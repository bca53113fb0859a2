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
