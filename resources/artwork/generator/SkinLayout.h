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
// The Reset button of the control table (row 8), the other button on the bare chassis.
inline constexpr Box kResetButton{630, 320, 651, 340};

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

// A short line in a curve colour of the graph, for its legend.
struct Swatch {
    Box box;
    Color color;
};

struct SkinLayout {
    std::vector<Box> plates;    // raised panels in the editor's panel colour
    std::vector<Box> recesses;  // sunken frames around the graph and the meter
    std::vector<SkinText> texts;
    std::vector<Box> screws;  // the box each corner screw is drawn into
    std::vector<Swatch> swatches;
    Box infoPanel;  // the inset behind the graph legend and the signal flow
};

SkinLayout layoutSkin(const Fonts& fonts);

}  // namespace tolvan::artwork
