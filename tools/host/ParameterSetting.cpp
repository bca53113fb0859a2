#include "tools/host/ParameterSetting.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "effect/ParameterValues.h"
#include "tools/host/BandNames.h"
#include "tools/host/ToolError.h"

namespace {

// Case, blanks, underscores and hyphens do not tell names apart on a command line.
std::string folded(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        if (c != ' ' && c != '_' && c != '-') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::size_t editDistance(const std::string& a, const std::string& b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

enum class Unit { None, Hertz, Decibel };

Unit unitOf(int32_t index)
{
    const StringConvert format = controlTable[index].format;
    if (format == formatFrequency) return Unit::Hertz;
    if (format == formatDecibels) return Unit::Decibel;
    return Unit::None;
}

std::string number(double x)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", x);
    return text;
}

std::string rangeText(int32_t index)
{
    const ControlDescriptor& row = controlTable[index];
    const char* unit = unitOf(index) == Unit::Hertz ? " Hz" : unitOf(index) == Unit::Decibel ? " dB" : "";
    std::string text = number(row.minValue) + " to " + number(row.maxValue) + unit;
    if (row.format == formatCutQ) text += " (Edge from 0.79)";
    return text;
}

double readSwitch(const std::string& name, const std::string& value)
{
    const std::string v = folded(value);
    if (v == "on" || v == "1" || v == "true" || v == "yes") return 1;
    if (v == "off" || v == "0" || v == "false" || v == "no") return 0;
    throw UsageError(name + " is a switch: give on or off, not \"" + value + "\"");
}

// A number in the parameter's units, the unit optional: "6", "+6dB", "3.2kHz", "12k", "120Hz".
double readReal(int32_t index, const std::string& name, const std::string& value)
{
    const ControlDescriptor& row = controlTable[index];
    if (row.format == formatCutQ && folded(value) == "edge") return row.maxValue;
    const char* start = value.c_str();
    char* end = nullptr;
    double x = std::strtod(start, &end);
    const std::string unit = folded(trimmed(end));
    bool unitFits = unit.empty();
    if (unitOf(index) == Unit::Hertz) {
        if (unit == "hz") unitFits = true;
        if (unit == "k" || unit == "khz") {
            x *= 1000;
            unitFits = true;
        }
    }
    if (unitOf(index) == Unit::Decibel && unit == "db") unitFits = true;
    if (end == start || !unitFits || !std::isfinite(x)) {
        throw UsageError(name + " takes " + rangeText(index) + ", not \"" + value + "\"");
    }
    return x;
}

// The float the host sends for a real value: the nearest one from which the effect's own
// mapping gives back that value (on the half-step rows, the next float up if the nearest
// lands just below the step).
float normalizedFor(int32_t index, double real)
{
    float v = static_cast<float>(std::clamp(realToNormalized(real, index), 0.0, 1.0));
    if (controlTable[index].curve == HalfStep) {
        while (normalizedToReal(v, index) < real && v < 1.0f) v = std::nextafter(v, 2.0f);
    }
    return v;
}

// "band.aspect" as an index, -1 when asked is not in that form; throws UsageError for a
// band or aspect that does not exist.
int32_t bandSpelling(const std::string& asked)
{
    const auto dot = asked.find('.');
    if (dot == std::string::npos) return -1;
    const std::string bandName = folded(asked.substr(0, dot));
    const std::string aspect = folded(asked.substr(dot + 1));
    std::string bands;
    for (const BandRow& band : kBands) {
        bands += std::string(bands.empty() ? "" : ", ") + band.name;
        if (bandName != band.name) continue;
        if (aspect == "enabled" || aspect == "on") return band.enabled;
        if (aspect == "frequency" || aspect == "freq") return band.frequency;
        if (aspect == "q") return band.q;
        if (aspect == "gain" && band.gain >= 0) return band.gain;
        throw UsageError("--set " + asked + ": " + band.name + " has " +
                         (band.gain >= 0 ? "enabled, frequency, gain and q" : "enabled, frequency and q (no gain)"));
    }
    throw UsageError("--set " + asked + ": no band \"" + asked.substr(0, dot) + "\"; the bands are " + bands);
}

}  // namespace

std::vector<std::string> settableNames(const std::vector<std::string>& hostNames)
{
    std::vector<std::string> names(hostNames.size());
    for (std::size_t index = 0; index < hostNames.size(); ++index) {
        const auto i = static_cast<int32_t>(index);
        if (!hostNames[index].empty()) {
            names[index] = hostNames[index];
        } else if (i < kNumParameters && i != kResetParameter &&
                   (controlTable[i].kind == KindOnOffButton || controlTable[i].kind == KindAnimKnob)) {
            names[index] = trimmed(controlTable[i].name);
        }
    }
    return names;
}

std::vector<std::string> closeNames(const std::string& asked, const std::vector<std::string>& names)
{
    const std::string key = folded(asked);
    std::vector<std::pair<std::size_t, std::string>> found;
    for (const std::string& name : names) {
        if (name.empty()) continue;
        const std::string candidate = folded(name);
        const std::size_t distance = editDistance(key, candidate);
        const bool contains = !key.empty() && candidate.find(key) != std::string::npos;
        if (contains || distance <= std::max<std::size_t>(2, key.size() / 3)) found.emplace_back(distance, name);
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> out;
    for (std::size_t i = 0; i < found.size() && i < 5; ++i) out.push_back(found[i].second);
    return out;
}

ParameterSetting parseSetting(const std::string& text, const std::vector<std::string>& names)
{
    const auto equals = text.find('=');
    if (equals == std::string::npos) throw UsageError("--set takes NAME=VALUE, not \"" + text + "\"");
    const std::string asked = trimmed(text.substr(0, equals));
    const std::string value = trimmed(text.substr(equals + 1));

    int32_t index = -1;
    const bool numeric = !asked.empty() && std::all_of(asked.begin(), asked.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
    if (const int32_t band = bandSpelling(asked); band >= 0) {
        index = band;
    } else if (numeric) {
        const long n = std::strtol(asked.c_str(), nullptr, 10);
        if (n >= static_cast<long>(names.size()) || n >= kNumParameters) {
            throw UsageError("no parameter " + asked + ": the indices run from 0 to " +
                             std::to_string(names.size() - 1));
        }
        index = static_cast<int32_t>(n);
        if (names[index].empty()) throw UsageError("parameter " + asked + " holds no setting");
    } else {
        for (std::size_t i = 0; i < names.size() && i < kNumParameters; ++i) {
            if (!names[i].empty() && folded(names[i]) == folded(asked)) index = static_cast<int32_t>(i);
        }
        if (index < 0) {
            const std::vector<std::string> close = closeNames(asked, names);
            std::string message = "no parameter named \"" + asked + "\"";
            for (std::size_t i = 0; i < close.size(); ++i) message += (i == 0 ? "; close: " : ", ") + close[i];
            if (close.empty()) message += " (tolvan-host info lists them)";
            throw UsageError(message);
        }
    }

    const std::string& name = names[index];
    if (value.empty()) throw UsageError(name + " needs a value after =");
    const ControlDescriptor& row = controlTable[index];
    double real = isSwitchParameter(index) ? readSwitch(name, value) : readReal(index, name, value);
    if (row.curve == HalfStep) real = roundToHalfStep(real);
    // Range ends are single-precision numbers widened; a typed 0.1 is the same Q.
    const double tolerance = 1e-6 * std::max(1.0, std::fabs(row.maxValue));
    if (real < row.minValue - tolerance || real > row.maxValue + tolerance) {
        throw UsageError(name + " takes " + rangeText(index) + "; " + value + " is out of range");
    }
    const float normalized = normalizedFor(index, std::clamp(real, row.minValue, row.maxValue));
    return {index, normalized, normalizedToReal(normalized, index)};
}

std::string displayText(int32_t index, double real)
{
    if (index < 0 || index >= kNumParameters) return "";
    const ControlDescriptor& row = controlTable[index];
    if (isSwitchParameter(index)) return switchIsOn(real) ? "on" : "off";
    if (row.format == nullptr) return number(real);
    char text[kDisplayTextSize] = "";
    row.format(static_cast<float>(real), text);
    return text;
}
