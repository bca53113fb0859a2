// The factory presets: a few useful settings, in real units, written once here; the LV2
// bundle's presets and the VST 2.x factory bank are both made from them at build time. The
// eight programs of the effect itself stay at the defaults.
#pragma once

#include <cstdint>
#include <iterator>
#include <string_view>

#include "effect/BandTable.h"
#include "effect/ControlTable.h"
#include "effect/ProgramRecord.h"

namespace factorypresets {

// A parameter's real value, in single precision as hosts' ports and the editor's knobs
// carry it; kNoParameter ends a preset's list.
struct PresetSetting {
    ParamId index = kNoParameter;
    float value = 0;
};

constexpr int32_t kMostSettings = 16;

struct FactoryPreset {
    const char* name;
    PresetSetting settings[kMostSettings];
};

constexpr const BandRow& rowOf(Band band) { return bandTable[static_cast<int32_t>(band)]; }
constexpr PresetSetting on(Band band) { return {rowOf(band).enabled, 1}; }
constexpr PresetSetting frequency(Band band, float hz) { return {rowOf(band).frequency, hz}; }
constexpr PresetSetting gain(Band band, float db) { return {rowOf(band).gain, db}; }
constexpr PresetSetting q(Band band, float value) { return {rowOf(band).q, value}; }
constexpr PresetSetting outputGain(float db) { return {kOutputGainParameter, db}; }
// A cut band's steeper slope: the top of its Q range, which the editor shows as "Edge".
constexpr PresetSetting edge(Band band)
{
    return {rowOf(band).q, static_cast<float>(controlTable[rowOf(band).q].maxValue)};
}

using enum Band;

// clang-format off
inline constexpr FactoryPreset factoryPresets[] = {
    {"Vocal Presence", {on(LowCut), frequency(LowCut, 90),
                        on(Peak2), frequency(Peak2, 3200), gain(Peak2, 3.5), q(Peak2, 1.2),
                        on(HiShelf), frequency(HiShelf, 10000), gain(HiShelf, 2)}},
    {"Low-End Clean-Up", {on(LowCut), frequency(LowCut, 40), edge(LowCut),
                          on(Peak1), frequency(Peak1, 300), gain(Peak1, -3), q(Peak1, 1.5)}},
    {"Gentle Air", {on(HiShelf), frequency(HiShelf, 12000), gain(HiShelf, 3), q(HiShelf, 0.5)}},
    {"Telephone Band", {on(LowCut), frequency(LowCut, 400), edge(LowCut),
                        on(HiCut), frequency(HiCut, 3400), edge(HiCut),
                        on(Peak2), frequency(Peak2, 1500), gain(Peak2, 4), q(Peak2, 1),
                        outputGain(-3)}},
    {"Warm Tilt", {on(Balance), frequency(Balance, 800), gain(Balance, -3), q(Balance, 0.5)}},
    {"Kick Punch", {on(Peak1), frequency(Peak1, 60), gain(Peak1, 4), q(Peak1, 1.4),
                    on(Peak2), frequency(Peak2, 350), gain(Peak2, -3), q(Peak2, 1),
                    on(Peak3), frequency(Peak3, 4000), gain(Peak3, 3), q(Peak3, 1.5)}},
    {"Guitar De-Mud", {on(LowCut), frequency(LowCut, 80),
                       on(Peak1), frequency(Peak1, 250), gain(Peak1, -3), q(Peak1, 1),
                       on(Peak3), frequency(Peak3, 3000), gain(Peak3, 2), q(Peak3, 0.8)}},
    {"Master Polish", {on(LowCut), frequency(LowCut, 25), edge(LowCut),
                       on(LowShelf), frequency(LowShelf, 80), gain(LowShelf, 1), q(LowShelf, 0.7),
                       on(HiShelf), frequency(HiShelf, 12000), gain(HiShelf, 1.5), q(HiShelf, 0.7),
                       outputGain(-1)}},
};
// clang-format on

// A VST 2.x bank holds exactly as many programs as the effect has.
static_assert(std::size(factoryPresets) == kNumPrograms);

// Every value is one the parameter can take, on its half steps where it has them; no
// parameter is set twice; every name fits a program's name.
static_assert([] {
    for (const FactoryPreset& preset : factoryPresets) {
        if (std::string_view(preset.name).size() >= kProgramNameSize) return false;
        bool seen[kNumParameters] = {};
        for (const PresetSetting& s : preset.settings) {
            if (s.index == kNoParameter) continue;
            if (s.index < 0 || s.index >= kNumParameters || seen[s.index] || !isStoredParameter(s.index)) return false;
            seen[s.index] = true;
            const ControlDescriptor& row = controlTable[s.index];
            if (s.value < row.minValue || s.value > row.maxValue) return false;
            if (row.curve == HalfStep && static_cast<int64_t>(s.value * 2) != s.value * 2.0f) return false;
        }
    }
    return true;
}());

}  // namespace factorypresets
