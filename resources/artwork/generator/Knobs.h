// The film-strip knobs: a dark cap with a pointer inside a value arc that sweeps 270°
// clockwise from lower left (value 0) to lower right (value 1).
#pragma once

#include "resources/artwork/generator/Canvas.h"

namespace tolvan::artwork {

struct KnobLook {
    // A bipolar knob lights its arc from the top (the centre value) towards the pointer;
    // any other knob lights it from the minimum.
    bool bipolar = false;
    // Small tick marks beside the arc, for knobs large enough to carry them.
    bool ticks = false;
};

// Angle of the pointer for a normalised value, in radians counter-clockwise from the
// positive x axis with y pointing up: 225° at 0, 90° at 0.5, −45° at 1.
double knobAngle(double value);

// Draws one image of a knob over the (square) canvas's background, the plate.
void drawKnob(Canvas& frame, const KnobLook& look, double value);

}  // namespace tolvan::artwork
