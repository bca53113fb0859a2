// What the graph view draws over its background, close enough to judge the artwork: the
// level and frequency grid with its labels, the legend, an approximate response of the
// enabled bands and, on request, illustrative spectra as music would draw them.
#pragma once

#include "effect/ControlTable.h"
#include "resources/artwork/generator/Canvas.h"
#include "resources/artwork/generator/Typeface.h"

#include <array>

void drawGraphPreview(tolvan::artwork::Canvas& sheet, const tolvan::artwork::Fonts& fonts,
                      const tolvan::artwork::Box& view, const std::array<double, kNumParameters>& values,
                      bool withSpectra);
