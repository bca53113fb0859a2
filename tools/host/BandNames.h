// The command line's own spelling of the equaliser's settings, band by band:
// "peak1.frequency=3k", "lowcut.q=edge", "hishelf.enabled=on". It stands beside the
// hosts' names, which stay as hosts know them; those number the peaking bands' frequency
// rows from 0 ("Frequency Peak0") while their switches, gains and Qs count from 1, which
// this spelling does not.
#pragma once

#include <cstdint>

struct BandRow {
    const char* name;  // as typed, in lower case; shown with its capitals by the host names
    int32_t enabled;
    int32_t frequency;
    int32_t gain;  // -1: the cut filters have none
    int32_t q;
};

inline constexpr BandRow kBands[] = {
    {"lowcut", 11, 19, -1, 33}, {"lowshelf", 12, 20, 27, 34}, {"peak1", 13, 21, 28, 35}, {"peak2", 14, 22, 29, 36},
    {"peak3", 15, 23, 30, 37},  {"hishelf", 16, 24, 31, 38},  {"hicut", 17, 25, -1, 39}, {"balance", 18, 26, 32, 40},
};

// The band whose frequency, gain or Q index is, or nullptr (its switch is no such row).
inline const BandRow* bandShaping(int32_t index)
{
    for (const BandRow& band : kBands) {
        if (index == band.frequency || index == band.gain || index == band.q) return &band;
    }
    return nullptr;
}
