#include "effect/HostParameterText.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "effect/DisplayFormats.h"
#include "effect/ParameterValues.h"

namespace {

// The units the display formats end their texts with, longest first.
constexpr std::string_view kUnits[] = {"kHz", "Hz", "dB"};

struct SplitText {
    std::string_view value, unit;
};

// The editor's text of the value, split into number and unit; text holds the characters.
SplitText splitDisplayText(int32_t index, double v, char (&text)[kDisplayTextSize])
{
    const ControlDescriptor& row = findDescriptor(index);
    if (isSwitchParameter(index)) return {switchIsOn(v) ? "on" : "off", {}};
    if (row.format == nullptr) return {};
    row.format(static_cast<float>(normalizedToReal(v, index)), text);
    std::string_view all(text);
    for (std::string_view unit : kUnits) {
        if (all.size() > unit.size() && all.ends_with(unit)) {
            std::string_view number = all.substr(0, all.size() - unit.size());
            while (!number.empty() && number.back() == ' ') number.remove_suffix(1);
            return {number, unit};
        }
    }
    return {all, {}};
}

void copyPart(std::string_view part, char* text)
{
    const std::size_t length = std::min(part.size(), kHostParameterTextSize - 1);
    // An empty part may have no data at all, which memcpy must not be given.
    if (length > 0) std::memcpy(text, part.data(), length);
    text[length] = 0;
}

}  // namespace

void parameterValueText(int32_t index, double v, char* text)
{
    char buffer[kDisplayTextSize] = {};
    copyPart(splitDisplayText(index, v, buffer).value, text);
}

void parameterUnitText(int32_t index, double v, char* text)
{
    char buffer[kDisplayTextSize] = {};
    copyPart(splitDisplayText(index, v, buffer).unit, text);
}
