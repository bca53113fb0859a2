// The equaliser's eight bands in signal order, each with the parameters that drive it and
// the design it runs. The parameter path, the state changes and the chain walk this table
// instead of naming the bands one by one.
#pragma once

#include <cstdint>

#include "effect/ControlTable.h"

enum class Band : int32_t { LowCut, LowShelf, Peak1, Peak2, Peak3, HiShelf, Balance, HiCut };

enum class BandDesign : int32_t {
    LowCut,     // high-pass cut filter
    LowShelf,
    Peak,
    HighShelf,
    Balance,    // a high shelf whose output is brought back down by half its gain
    HighCut,    // low-pass cut filter
};

// The cut bands have no gain parameter.
constexpr ParamId kNoParameter = -1;

struct BandRow {
    Band band;
    BandDesign design;
    ParamId enabled, frequency, gain, q;
};

inline constexpr BandRow bandTable[] = {
    {Band::LowCut, BandDesign::LowCut, 11, 19, kNoParameter, 33},
    {Band::LowShelf, BandDesign::LowShelf, 12, 20, 27, 34},
    {Band::Peak1, BandDesign::Peak, 13, 21, 28, 35},
    {Band::Peak2, BandDesign::Peak, 14, 22, 29, 36},
    {Band::Peak3, BandDesign::Peak, 15, 23, 30, 37},
    {Band::HiShelf, BandDesign::HighShelf, 16, 24, 31, 38},
    {Band::Balance, BandDesign::Balance, 18, 26, 32, 40},
    {Band::HiCut, BandDesign::HighCut, 17, 25, kNoParameter, 39},
};

constexpr bool drivesBand(const BandRow& row, ParamId index) {
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
