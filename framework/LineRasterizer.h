#pragma once
// Straight lines on a pixel surface, with the pixel rules of the window system the
// skin was drawn for: a one-pixel line covers the pixels from its start up to, but not
// including, its end; a wider pen stamps a square of its width centred on every pixel of
// the path, end included. (Above 1x a logically one-pixel line is drawn with a wider
// device pen and still leaves its end out, so the caller says which.)

#include "framework/PixelSurface.h"

#include <cstdint>

namespace VSTGUI {

// A line end in device coordinates; 64 bits, so that a local point plus any drawing
// offset is exact.
struct DevicePoint {
    int64_t x = 0;
    int64_t y = 0;
};

// Pens wider than this are drawn this wide: nothing here needs more, and the cost of a
// line grows with the square of the width.
inline constexpr int32_t kMaxPenWidth = 64;

// Draws from start towards end inside clip, the end pixel's stamp only when includeEnd.
// Width 0 or less counts as 1. Only the part of the line that can reach the clip is
// walked, however long the line is.
void rasterizeLine(PixelSurface& surface, DevicePoint start, DevicePoint end, int32_t width, const Rect& clip,
                   Pixel value, bool includeEnd);

}  // namespace VSTGUI
