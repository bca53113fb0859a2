// Where the skin puts its plates, recesses and labels, worked out around the rectangles
// the editor covers with its controls and value displays.
#pragma once

#include "resources/artwork/generator/Canvas.h"
#include "resources/artwork/generator/Typeface.h"

#include <string>
#include <vector>

namespace tolvan::artwork {

// The information button: the editor places it 32 pixels from the right and 3 from the
// bottom of the 754 x 374 frame.
inline constexpr Box kInfoButton{661, 355, 722, 371};

// Every rectangle the editor draws a control into: one per row of the control table with
// a bitmap (graph and meter included), and the information button.
std::vector<Box> controlRects();
// Every value display: 11 pixels high, from x − 2 to x + width + 2, at y + valueDy.
std::vector<Box> valueDisplayRects();

enum class Align { Left, Centre, Right };

struct SkinText {
    std::string text;
    bool bold = true;
    double size = 8;
    double tracking = 0;
    Color color;
    double x = 0;  // left edge, centre or right edge, by align
    int baseline = 0;
    Align align = Align::Left;
    Box ink;  // the pixels the text touches, filled in by layoutSkin
    double penX = 0;
};

struct SkinLayout {
    std::vector<Box> plates;    // raised panels in the editor's panel colour
    std::vector<Box> recesses;  // sunken frames around the graph and the meter
    std::vector<SkinText> texts;
    std::vector<Box> screws;  // the box each corner screw is drawn into
};

SkinLayout layoutSkin(const Fonts& fonts);

}  // namespace tolvan::artwork
