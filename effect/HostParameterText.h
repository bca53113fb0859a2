// The texts a host shows for a parameter in its own views (generic editors, automation
// lanes, control surfaces): the real value as the editor's value display writes it, with
// the unit apart. Both fit the 8 bytes hosts pass for them.
#pragma once

#include <cstddef>

#include "effect/ControlTable.h"

// Host buffer size of the display and label opcodes, terminator included.
constexpr std::size_t kHostParameterTextSize = 8;

// The value of parameter index at normalised value v without its unit: "640", "4.00",
// "-6.0", "Edge", "on" or "off" for a switch; empty for a parameter without a value text.
void parameterValueText(int32_t index, double v, char* text);
// Its unit: "Hz", "kHz", "dB", or empty.
void parameterUnitText(int32_t index, double v, char* text);
