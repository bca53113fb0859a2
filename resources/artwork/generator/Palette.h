// The colours of the skin. The plate colour is the editor's panel colour: the value
// displays fill themselves with it, so every plate under a display must be exactly this.
#pragma once

#include "resources/artwork/generator/Canvas.h"

namespace tolvan::artwork::palette {

inline constexpr Color plate = rgb(64, 88, 112);
inline constexpr Color plateHighlight = rgb(96, 122, 148);
inline constexpr Color plateShade = rgb(38, 52, 68);

inline constexpr Color chassisTop = rgb(34, 39, 46);
inline constexpr Color chassisBottom = rgb(22, 26, 31);
inline constexpr Color recess = rgb(9, 11, 14);

inline constexpr Color engraving = rgb(196, 210, 224);  // labels on the plates
inline constexpr Color legend = rgb(142, 156, 172);     // labels on the chassis
inline constexpr Color valueText = rgb(208, 208, 208);  // the editor's value text colour

inline constexpr Color accent = rgb(255, 170, 58);  // lit arcs, lit band switches
inline constexpr Color accentGlow = rgb(255, 128, 24);
inline constexpr Color source = rgb(128, 255, 128);  // the graph's PRE curve
inline constexpr Color output = rgb(255, 69, 62);    // the graph's POST curve
inline constexpr Color active = rgb(96, 232, 120);

inline constexpr Color capTop = rgb(62, 68, 78);
inline constexpr Color capBottom = rgb(36, 40, 47);
inline constexpr Color capLitTop = rgb(92, 70, 40);
inline constexpr Color capLitBottom = rgb(58, 42, 24);
inline constexpr Color capEdge = rgb(18, 21, 25);
inline constexpr Color unlitIcon = rgb(122, 134, 148);
inline constexpr Color pointer = rgb(244, 244, 240);

}  // namespace tolvan::artwork::palette
