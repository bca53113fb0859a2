// Sound through both editions for the LV2 tests: the same scene rendered by the VST 2.x
// library and by the LV2 plug-in, and a comparison to the bit.
#pragma once

#include <gtest/gtest.h>

#include <lv2/core/lv2.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "effect/BandTable.h"
#include "effect/ParameterValues.h"
#include "tests/lv2/Lv2TestHost.h"
#include "tools/hosting/HostedEffect.h"
#include "tools/hosting/PluginLibrary.h"

namespace lv2test {

// The parameter a port's symbol names, worked out from the effect's own band table
// rather than from the adapter's port list: "peak1_freq" is the frequency of the band
// Peak1. -1 for a symbol that names none.
inline int32_t rowOfSymbol(std::string_view symbol)
{
    constexpr std::pair<std::string_view, int32_t> single[] = {
        {"enabled", kBypassParameter}, {"output_gain", kOutputGainParameter},
        {"analyser_pre", 3},           {"analyser_post", 4},
        {"analyser_slope", 5},         {"analyser_range", 6},
        {"analyser_shift", 7}};
    for (const auto& [name, row] : single) {
        if (symbol == name) return row;
    }
    constexpr std::pair<std::string_view, Band> bands[] = {
        {"lowcut", Band::LowCut}, {"lowshelf", Band::LowShelf}, {"peak1", Band::Peak1},     {"peak2", Band::Peak2},
        {"peak3", Band::Peak3},   {"highshelf", Band::HiShelf}, {"balance", Band::Balance}, {"highcut", Band::HiCut}};
    const std::size_t split = symbol.rfind('_');
    if (split == std::string_view::npos) return -1;
    const std::string_view band = symbol.substr(0, split), part = symbol.substr(split + 1);
    for (const auto& [name, which] : bands) {
        if (band != name) continue;
        const BandRow& row = bandTable[static_cast<int32_t>(which)];
        if (part == "on") return row.enabled;
        if (part == "freq") return row.frequency;
        if (part == "gain") return row.gain;
        if (part == "q") return row.q;
    }
    return -1;
}

struct ControlPortInfo {
    uint32_t index;
    std::string symbol;
    int32_t row;
};

// The control inputs as lilv reads them from the bundle.
inline const std::vector<ControlPortInfo>& controlInputs()
{
    static const std::vector<ControlPortInfo> ports = [] {
        Lv2World& w = Lv2World::shared();
        LilvNode* control = w.uri(LV2_CORE__ControlPort);
        LilvNode* input = w.uri(LV2_CORE__InputPort);
        std::vector<ControlPortInfo> found;
        for (uint32_t i = 0; w.plugin != nullptr && i < lilv_plugin_get_num_ports(w.plugin); ++i) {
            const LilvPort* port = lilv_plugin_get_port_by_index(w.plugin, i);
            if (!lilv_port_is_a(w.plugin, port, control) || !lilv_port_is_a(w.plugin, port, input)) continue;
            const std::string symbol = lilv_node_as_string(lilv_port_get_symbol(w.plugin, port));
            found.push_back({i, symbol, rowOfSymbol(symbol)});
        }
        lilv_node_free(control);
        lilv_node_free(input);
        return found;
    }();
    return ports;
}

inline float low(int32_t row) { return static_cast<float>(controlTable[row].minValue); }
inline float high(int32_t row) { return static_cast<float>(controlTable[row].maxValue); }

// Real values by parameter row, as a user sets them.
using Settings = std::map<int32_t, float>;

using Stereo = std::array<std::vector<float>, 2>;

inline Stereo noise(std::size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> v(-0.5f, 0.5f);
    Stereo x;
    for (std::vector<float>& channel : x) {
        channel.resize(n);
        for (float& s : channel) s = v(rng);
    }
    return x;
}

// A setting of every control port: switches on or off, gains on their half steps, the
// rest anywhere in its range on its curve.
inline Settings randomSettings(std::mt19937& rng)
{
    Settings settings;
    for (const ControlPortInfo& port : controlInputs()) {
        const ControlDescriptor& row = controlTable[port.row];
        float value;
        if (isSwitchParameter(port.row)) {
            value = static_cast<float>(rng() % 2);
        } else if (row.curve == HalfStep) {
            const auto steps = static_cast<unsigned>((row.maxValue - row.minValue) * 2);
            value = static_cast<float>(row.minValue + 0.5 * (rng() % (steps + 1)));
        } else {
            std::uniform_real_distribution<double> v(std::log(row.minValue), std::log(row.maxValue));
            value = std::clamp(static_cast<float>(std::exp(v(rng))), low(port.row), high(port.row));
        }
        settings[port.row] = value;
    }
    return settings;
}

// One setting per phase; the phases take equal shares of the blocks, the last one the rest.
// The settings are real values, or with `normalised` the VST 2.x library's own values.
struct Scene {
    double rate;
    std::vector<Settings> phases;
    std::vector<uint32_t> blocks;
    bool normalised = false;
    std::size_t blocksPerPhase() const { return std::max<std::size_t>(1, blocks.size() / phases.size()); }
    std::size_t samples() const
    {
        std::size_t n = 0;
        for (uint32_t b : blocks) n += b;
        return n;
    }
};

// Loaded once and never unloaded: the library carries its own C++ runtime.
inline const hosting::PluginLibrary& vstLibrary()
{
    static const hosting::PluginLibrary* library = new hosting::PluginLibrary(TOLVAN_PLUGIN_PATH);
    return *library;
}

// The scene through the VST 2.x library, with each real value given as the normalised
// value that stands for it.
inline Stereo renderVst(const Scene& scene, const Stereo& input)
{
    hosting::HostedEffect effect(vstLibrary());
    Stereo out{std::vector<float>(input[0].size()), std::vector<float>(input[1].size())};
    if (effect.get() == nullptr) return out;
    effect.dispatch(effOpen);
    effect.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(scene.rate));
    effect.dispatch(effSetBlockSize, 0, 4096);
    effect.dispatch(effMainsChanged, 0, 1);
    std::size_t at = 0;
    for (std::size_t b = 0; b < scene.blocks.size(); ++b) {
        if (b % scene.blocksPerPhase() == 0 && b / scene.blocksPerPhase() < scene.phases.size()) {
            for (const auto& [row, value] : scene.phases[b / scene.blocksPerPhase()]) {
                effect.set(row, scene.normalised ? value : static_cast<float>(realToNormalized(value, row)));
            }
        }
        float* in[2] = {const_cast<float*>(input[0].data() + at), const_cast<float*>(input[1].data() + at)};
        float* o[2] = {out[0].data() + at, out[1].data() + at};
        effect->processReplacing(effect.get(), in, o, static_cast<int32_t>(scene.blocks[b]));
        at += scene.blocks[b];
    }
    return out;
}

// The same scene through the LV2 plug-in, with the real values on its ports. `overrides`
// puts raw values (NaN, infinities) on ports of a phase after its settings.
inline Stereo renderLv2(const Scene& scene, const Stereo& input, bool activate = true,
                        const std::map<std::size_t, Settings>& overrides = {})
{
    Lv2Instance plugin(scene.rate);
    Stereo out{std::vector<float>(input[0].size()), std::vector<float>(input[1].size())};
    if (!plugin.valid()) return out;
    plugin.connectControls();
    if (activate) plugin.activate();
    std::map<int32_t, uint32_t> portOf;
    for (const ControlPortInfo& port : controlInputs()) portOf[port.row] = port.index;
    std::size_t at = 0;
    for (std::size_t b = 0; b < scene.blocks.size(); ++b) {
        const std::size_t phase = b / scene.blocksPerPhase();
        if (b % scene.blocksPerPhase() == 0 && phase < scene.phases.size()) {
            for (const auto& [row, real] : scene.phases[phase]) plugin.values[portOf.at(row)] = real;
            if (auto raw = overrides.find(phase); raw != overrides.end()) {
                for (const auto& [row, value] : raw->second) plugin.values[portOf.at(row)] = value;
            }
        }
        plugin.run(input[0].data() + at, input[1].data() + at, out[0].data() + at, out[1].data() + at, scene.blocks[b]);
        at += scene.blocks[b];
    }
    return out;
}

// Bit for bit, NaN included; the first difference is reported.
inline ::testing::AssertionResult sameBits(const Stereo& a, const Stereo& b)
{
    for (int c = 0; c < 2; ++c) {
        if (a[c].size() != b[c].size()) return ::testing::AssertionFailure() << "lengths differ";
        for (std::size_t i = 0; i < a[c].size(); ++i) {
            if (std::memcmp(&a[c][i], &b[c][i], sizeof(float)) != 0) {
                return ::testing::AssertionFailure()
                       << "channel " << c << " sample " << i << ": " << a[c][i] << " against " << b[c][i];
            }
        }
    }
    return ::testing::AssertionSuccess();
}

inline bool allFinite(const Stereo& x)
{
    for (const std::vector<float>& channel : x) {
        for (float s : channel) {
            if (!std::isfinite(s)) return false;
        }
    }
    return true;
}

inline std::vector<uint32_t> evenBlocks(uint32_t length, std::size_t count)
{
    return std::vector<uint32_t>(count, length);
}

// Every band switched on, so that each band's settings are heard.
inline Settings allBandsOn()
{
    Settings settings;
    for (const BandRow& row : bandTable) settings[row.enabled] = 1;
    return settings;
}

}  // namespace lv2test
