// The background of the spectrum and response graph. The graph view draws its grid,
// labels and curves on top, inside and around the plot area.
#pragma once

#include "resources/artwork/generator/Canvas.h"

namespace tolvan::artwork {

// The plot area inside the graph background (the view's rectangle moved in by 32 left,
// 16 top, 20 right and 20 bottom).
inline constexpr Box kPlotArea{32, 16, 371, 131};

void drawGraphBackground(Canvas& image);

}  // namespace tolvan::artwork
