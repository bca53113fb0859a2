// Which part of a bitmap each kind of control shows for its value, as the editor's
// controls cut them.
#pragma once

#include <algorithm>

namespace contact_sheet {

// A film-strip knob: image floor(v · (frames − 1)), computed in pixels as the knob does,
// so a value of exactly 1 shows the last image; a negative value shows the first.
inline int knobImageTop(double value, int frames, int frameHeight)
{
    if (value < 0) return 0;
    const int span = frameHeight * (frames - 1);
    const int g = static_cast<int>(static_cast<float>(value) * span);
    return std::min(g / frameHeight, frames - 1) * frameHeight;
}

// A film-strip display such as the level meter: the nearest image, values above 1 as 1.
inline int displayImageTop(double value, int frames, int frameHeight)
{
    if (value <= 0) return 0;
    return static_cast<int>((frames - 1) * std::min(value, 1.0) + 0.5) * frameHeight;
}

// An on/off switch: the top image for 0, the bottom one for anything else.
inline int switchImageTop(double value, int bitmapHeight) { return value == 0 ? 0 : bitmapHeight / 2; }

}  // namespace contact_sheet
