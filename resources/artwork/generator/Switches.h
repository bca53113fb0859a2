// The two-image switches and buttons: off (or released) image above on (or pressed).
// Each draws over the background already in the image: the plate, or the skin under it.
#pragma once

#include "resources/artwork/generator/Canvas.h"
#include "resources/artwork/generator/Typeface.h"

#include <string_view>

namespace tolvan::artwork {

enum class FilterIcon { LowCut, LowShelf, Peak, HiShelf, HiCut, Tilt };

// A band switch: a cap with the band's filter shape, lit when on.
void drawBandSwitch(Canvas& image, FilterIcon icon, bool on);

// A switch with an LED of the given colour and its name.
void drawLedSwitch(Canvas& image, const Fonts& fonts, std::string_view name, Color led, bool on);

// The equaliser's in/out switch: its name, and the state it is in.
void drawBypassSwitch(Canvas& image, const Fonts& fonts, bool equaliserIn);

// The Reset button, released or pressed.
void drawResetButton(Canvas& image, bool pressed);

// The information button that opens the manual, released or pressed.
void drawInfoButton(Canvas& image, const Fonts& fonts, bool pressed);

}  // namespace tolvan::artwork
