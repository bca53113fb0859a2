// The editor's background: chassis, plates, recesses and every label.
#pragma once

#include "resources/artwork/generator/Canvas.h"
#include "resources/artwork/generator/Typeface.h"

namespace tolvan::artwork {

void drawSkin(Canvas& image, const Fonts& fonts);

}  // namespace tolvan::artwork
