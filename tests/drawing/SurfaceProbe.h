#pragma once
// Reading drawn pixels back in the drawing tests.

#include "framework/PixelSurface.h"

#include <ostream>
#include <string>

namespace VSTGUI {

// Readable rectangles and points in test failures.
inline void PrintTo(const Rect& r, std::ostream* out)
{
    *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
inline void PrintTo(Point p, std::ostream* out) { *out << "(" << p.x << ", " << p.y << ")"; }

}  // namespace VSTGUI

namespace tolvan::test {

// The area of the surface as text, one line per row: '#' where the pixel differs from
// background, '.' elsewhere.
inline std::string sketch(const VSTGUI::PixelSurface& surface, const VSTGUI::Rect& area, VSTGUI::Pixel background)
{
    std::string text;
    for (int32_t y = area.top; y < area.bottom; ++y) {
        for (int32_t x = area.left; x < area.right; ++x) text += surface.pixelAt(x, y) == background ? '.' : '#';
        text += '\n';
    }
    return text;
}

// The smallest rectangle around every pixel that differs from background; empty when none.
inline VSTGUI::Rect inkBounds(const VSTGUI::PixelSurface& surface, VSTGUI::Pixel background)
{
    VSTGUI::Rect box{surface.width(), surface.height(), 0, 0};
    for (int32_t y = 0; y < surface.height(); ++y)
        for (int32_t x = 0; x < surface.width(); ++x)
            if (surface.pixelAt(x, y) != background)
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                       std::max(box.bottom, y + 1)};
    return box.isEmpty() ? VSTGUI::Rect{} : box;
}

inline int countPixels(const VSTGUI::PixelSurface& surface, VSTGUI::Pixel value)
{
    int count = 0;
    for (const VSTGUI::Pixel p : surface.pixels()) count += p == value ? 1 : 0;
    return count;
}

}  // namespace tolvan::test
