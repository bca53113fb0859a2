// The equaliser's eight bands in signal order, each with the parameters that drive it and
// the design it runs. The parameter path, the state changes and the chain walk this table
// instead of naming the bands one by one.
#pragma once

#include <cstdint>

#include "effect/ControlTable.h"

enum class Band : int32_t { LowCut, LowShelf, Peak1, Peak2, Peak3, HiShelf, Balance, HiCut };

enum class BandDesign : int32_t {
    LowCut,  // high-pass cut filter
    LowShelf,
    Peak,
    HighShelf,
    Balance,  // a high shelf whose output is brought back down by half its gain
    HighCut,  // low-pass cut filter
};

struct BandRow {
    Band band;
    BandDesign design;
    ParamId enabled, frequency, gain, q;
};

inline constexpr BandRow bandTable[] = {
    {Band::LowCut, BandDesign::LowCut, kLowCutEnabled, kLowCutFrequency, kNoParameter, kLowCutQ},
    {Band::LowShelf, BandDesign::LowShelf, kLowShelfEnabled, kLowShelfFrequency, kLowShelfGain, kLowShelfQ},
    {Band::Peak1, BandDesign::Peak, kPeak1Enabled, kPeak1Frequency, kPeak1Gain, kPeak1Q},
    {Band::Peak2, BandDesign::Peak, kPeak2Enabled, kPeak2Frequency, kPeak2Gain, kPeak2Q},
    {Band::Peak3, BandDesign::Peak, kPeak3Enabled, kPeak3Frequency, kPeak3Gain, kPeak3Q},
    {Band::HiShelf, BandDesign::HighShelf, kHiShelfEnabled, kHiShelfFrequency, kHiShelfGain, kHiShelfQ},
    {Band::Balance, BandDesign::Balance, kBalanceEnabled, kBalanceFrequency, kBalanceGain, kBalanceQ},
    {Band::HiCut, BandDesign::HighCut, kHiCutEnabled, kHiCutFrequency, kNoParameter, kHiCutQ},
};

constexpr bool drivesBand(const BandRow& row, int32_t index)
{
    return index == row.enabled || index == row.frequency || index == row.gain || index == row.q;
}

// The table lists the bands in signal order, once each.
static_assert([] {
    int32_t expected = 0;
    for (const BandRow& row : bandTable) {
        if (static_cast<int32_t>(row.band) != expected++) return false;
    }
    return expected == 8;
}());
