// The validator's side of the plug-in interface: the plug-in library is loaded and its
// effects driven through the hosting library, as a host does; the text sizes are the
// validator's own, what hosts really pass.
#pragma once

#include <cstdint>

#include "effect/PluginInterface.h"
#include "tools/hosting/HostedEffect.h"
#include "tools/hosting/PluginLibrary.h"

namespace validate {

using hosting::HostedEffect;
using hosting::PluginLibrary;

// Host buffer sizes for the text opcodes, terminator included: what hosts really pass.
constexpr int32_t kParameterTextSize = 8;  // effGetParamLabel, effGetParamDisplay
constexpr int32_t kProgramNameSize = 24;   // effGetProgramName, effGetProgramNameIndexed, effSetProgramName
constexpr int32_t kLongTextSize = 64;      // effect, vendor and product names, parameter names

// The size a host gives the text of a text opcode, 0 for the others.
int32_t hostTextSize(int32_t opcode);

}  // namespace validate
