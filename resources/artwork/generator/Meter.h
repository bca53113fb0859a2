// The level meter strip: 73 images of a horizontal bar, image i showing −24 + 0.5·i dB.
#pragma once

#include "resources/artwork/generator/Canvas.h"

namespace tolvan::artwork::meter {

inline constexpr double kMinDb = -24.0;
inline constexpr double kMaxDb = 12.0;
inline constexpr double kDbPerImage = 0.5;
// 2.5 pixels per dB, so that every 2 dB is one cell of 4 lit pixels and a dark one, and
// the zone edges at −6 and 0 dB fall on cell edges.
inline constexpr double kBarLeft = 5.0;
inline constexpr double kBarRight = 95.0;
inline constexpr double kCell = 5.0;
inline constexpr double kBarTop = 9.0;
inline constexpr double kBarBottom = 25.0;
inline constexpr double kTicksTop = 28.0;

// Horizontal position of a level inside an image, in pixels from its left edge.
constexpr double levelX(double dB) { return kBarLeft + (kBarRight - kBarLeft) * (dB - kMinDb) / (kMaxDb - kMinDb); }

// Horizontal centre of the scale mark of a level: in the dark pixel between two cells.
constexpr double tickX(double dB) { return levelX(dB) - 0.5; }

// Draws image `index` (0 = −24 dB and below, 48 = 0 dB, 72 = +12 dB and above).
void drawImage(Canvas& image, int index);

}  // namespace tolvan::artwork::meter
