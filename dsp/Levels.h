// The level constants that the signal path, the parameter values, the graph and the meter
// share, each named once.
#pragma once

#include <cmath>

namespace levels {

// 10^(1/20): raising it to y dB gives the amplitude ratio.
inline constexpr double kDecibelBase = 1.1220184543019636;
// The smallest normal single-precision number: a level at or below it counts as silence,
// and a filter history at or below it is flushed to zero.
inline constexpr double kSmallestNormalFloat = 1.1754943508222875e-38;
// 20·log10 of the smallest normal float: the level of silence in decibels, and the power
// floor of the graph (10·log10 of the same power), far below anything plotted.
inline constexpr double kSilenceDecibels = -379.29779052734375;
// Stands in for the logarithm of zero or less, which has none.
inline constexpr double kLogOfNothing = -999.0;

// A history value at or below the smallest normal float becomes 0, so that a decaying
// filter never reaches the slow subnormal range.
inline double guardDenormal(double y) { return std::fabs(y) <= kSmallestNormalFloat ? 0.0 : y; }

}  // namespace levels
