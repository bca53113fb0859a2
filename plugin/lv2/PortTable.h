// The LV2 plug-in's ports: two audio inputs, two audio outputs, one control input for
// every parameter that shapes the sound or what the editor shows, and the output level.
// Saved sessions refer to ports by symbol and hosts by number, so both stay as they are;
// a new port goes at the end.
#pragma once

#include <array>
#include <cstdint>
#include <iterator>

#include "effect/ControlTable.h"

namespace lv2ports {

// The plug-in's URI: the one name hosts and sessions know it by.
inline constexpr char kPluginUri[] = "urn:tolvan:kr-tolvan";
// Its user interface: the editor, in the host's X11 window.
inline constexpr char kUiUri[] = "urn:tolvan:kr-tolvan#ui";

constexpr uint32_t kInputLeft = 0;
constexpr uint32_t kInputRight = 1;
constexpr uint32_t kOutputLeft = 2;
constexpr uint32_t kOutputRight = 3;
constexpr uint32_t kFirstControlPort = 4;

// A control input: the row of the control table whose real value it carries.
struct ControlPort {
    ParamId row;
    const char* symbol;
    const char* name;
};

// The bands in signal order, each with its switch, frequency, gain where it has one, and Q.
inline constexpr ControlPort controlPorts[] = {
    {kBypassParameter, "enabled", "Enabled"},
    {kOutputGainParameter, "output_gain", "Output Gain"},
    {kLowCutEnabled, "lowcut_on", "Low Cut On"},
    {kLowCutFrequency, "lowcut_freq", "Low Cut Frequency"},
    {kLowCutQ, "lowcut_q", "Low Cut Q"},
    {kLowShelfEnabled, "lowshelf_on", "Low Shelf On"},
    {kLowShelfFrequency, "lowshelf_freq", "Low Shelf Frequency"},
    {kLowShelfGain, "lowshelf_gain", "Low Shelf Gain"},
    {kLowShelfQ, "lowshelf_q", "Low Shelf Q"},
    {kPeak1Enabled, "peak1_on", "Peak 1 On"},
    {kPeak1Frequency, "peak1_freq", "Peak 1 Frequency"},
    {kPeak1Gain, "peak1_gain", "Peak 1 Gain"},
    {kPeak1Q, "peak1_q", "Peak 1 Q"},
    {kPeak2Enabled, "peak2_on", "Peak 2 On"},
    {kPeak2Frequency, "peak2_freq", "Peak 2 Frequency"},
    {kPeak2Gain, "peak2_gain", "Peak 2 Gain"},
    {kPeak2Q, "peak2_q", "Peak 2 Q"},
    {kPeak3Enabled, "peak3_on", "Peak 3 On"},
    {kPeak3Frequency, "peak3_freq", "Peak 3 Frequency"},
    {kPeak3Gain, "peak3_gain", "Peak 3 Gain"},
    {kPeak3Q, "peak3_q", "Peak 3 Q"},
    {kHiShelfEnabled, "highshelf_on", "High Shelf On"},
    {kHiShelfFrequency, "highshelf_freq", "High Shelf Frequency"},
    {kHiShelfGain, "highshelf_gain", "High Shelf Gain"},
    {kHiShelfQ, "highshelf_q", "High Shelf Q"},
    {kBalanceEnabled, "balance_on", "Balance On"},
    {kBalanceFrequency, "balance_freq", "Balance Frequency"},
    {kBalanceGain, "balance_gain", "Balance Gain"},
    {kBalanceQ, "balance_q", "Balance Q"},
    {kHiCutEnabled, "highcut_on", "High Cut On"},
    {kHiCutFrequency, "highcut_freq", "High Cut Frequency"},
    {kHiCutQ, "highcut_q", "High Cut Q"},
    {kPreAnalyserParameter, "analyser_pre", "Analyser PRE"},
    {kPostAnalyserParameter, "analyser_post", "Analyser POST"},
    {kSlopeParameter, "analyser_slope", "Analyser Slope"},
    {kRangeParameter, "analyser_range", "Analyser Range"},
    {kShiftParameter, "analyser_shift", "Analyser Shift"},
};

constexpr uint32_t kNumControlPorts = static_cast<uint32_t>(std::size(controlPorts));
// The output's peak level in dBFS over the last block, for hosts' own meters.
constexpr uint32_t kLevelPort = kFirstControlPort + kNumControlPorts;
constexpr uint32_t kNumPorts = kLevelPort + 1;

// The control port that carries each parameter row, or kNoPort for the rows without one.
constexpr uint32_t kNoPort = UINT32_MAX;
inline constexpr std::array<uint32_t, kNumParameters> portOfRow = [] {
    std::array<uint32_t, kNumParameters> ports{};
    ports.fill(kNoPort);
    for (uint32_t i = 0; i < kNumControlPorts; ++i) ports[controlPorts[i].row] = kFirstControlPort + i;
    return ports;
}();

// What the level port reads for silence.
constexpr float kSilenceLevelDb = -120.0f;

// Every stored parameter has exactly one port, except the two that only the editor's own
// buttons use (the manual's and Reset, which are actions, not settings) and the unused row 0.
static_assert([] {
    int32_t uses[kNumParameters] = {};
    for (const ControlPort& port : controlPorts) {
        if (port.row < 0 || port.row >= kNumParameters || !isStoredParameter(port.row)) return false;
        ++uses[port.row];
    }
    for (int32_t row = 1; row < kNumParameters; ++row) {
        if (uses[row] != (isStoredParameter(row) ? 1 : 0)) return false;
    }
    return uses[0] == 0;
}());

}  // namespace lv2ports
