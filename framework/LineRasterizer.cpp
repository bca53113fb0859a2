#include "framework/LineRasterizer.h"

#include "framework/WideArithmetic.h"

#include <algorithm>

namespace VSTGUI {

namespace {

struct PenStamp {
    const Rect& box;  // clip already intersected with the surface
    PixelSurface& surface;
    int32_t width;
    Pixel value;

    void operator()(int64_t x, int64_t y) const
    {
        if (width == 1) {
            if (x >= box.left && x < box.right && y >= box.top && y < box.bottom)
                surface.row(static_cast<int32_t>(y))[x] = value;
            return;
        }
        const int64_t half = width / 2;
        const int64_t left = std::max(x - half, int64_t{box.left});
        const int64_t right = std::min(x - half + width, int64_t{box.right});
        const int64_t top = std::max(y - half, int64_t{box.top});
        const int64_t bottom = std::min(y - half + width, int64_t{box.bottom});
        for (int64_t row = top; row < bottom; ++row)
            for (int64_t column = left; column < right; ++column)
                surface.row(static_cast<int32_t>(row))[column] = value;
    }
};

}  // namespace

void rasterizeLine(PixelSurface& surface, DevicePoint start, DevicePoint end, int32_t width, const Rect& clip,
                   Pixel value, bool includeEnd)
{
    const Rect box = clip.intersected(surface.bounds());
    if (box.isEmpty()) return;
    width = std::clamp(width, 1, kMaxPenWidth);
    const PenStamp stamp{box, surface, width, value};

    const int64_t dx = end.x - start.x;
    const int64_t dy = end.y - start.y;
    if (dx == 0 && dy == 0) {
        if (includeEnd) stamp(start.x, start.y);
        return;
    }

    // Walk the longer (major) axis one pixel per step; the minor coordinate of step t is
    // the exact rounding of t * minorDelta / steps, kept incrementally as a quotient and
    // a remainder so that the walk may start at any step.
    const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    const int64_t majorStart = xMajor ? start.x : start.y;
    const int64_t minorStart = xMajor ? start.y : start.x;
    const int64_t majorDelta = xMajor ? dx : dy;
    const int64_t minorDelta = xMajor ? dy : dx;
    const int64_t majorStep = majorDelta < 0 ? -1 : 1;
    const int64_t minorStep = minorDelta < 0 ? -1 : 1;
    const int64_t steps = majorDelta * majorStep;
    const int64_t rise = minorDelta * minorStep;

    // Steps whose stamp can touch the clip along the major axis.
    const int64_t half = width / 2;
    const int64_t reachLow = (xMajor ? box.left : box.top) - (width - 1 - half);
    const int64_t reachHigh = (xMajor ? box.right : box.bottom) - 1 + half;
    int64_t first = majorStep > 0 ? reachLow - majorStart : majorStart - reachHigh;
    int64_t last = majorStep > 0 ? reachHigh - majorStart : majorStart - reachLow;
    first = std::max<int64_t>(first, 0);
    last = std::min(last, includeEnd ? steps : steps - 1);
    if (first > last) return;

    const int64_t denominator = 2 * steps;
    int64_t quotient = 0;
    int64_t remainder = steps;
    if (first > 0) {
        // The product reaches 2^67 for lines between far-apart 33-bit coordinates; all
        // terms are positive here.
        const WideQuotient start = mulAddDivide(static_cast<uint64_t>(2 * first), static_cast<uint64_t>(rise),
                                                static_cast<uint64_t>(steps), static_cast<uint64_t>(denominator));
        quotient = static_cast<int64_t>(start.quotient);
        remainder = static_cast<int64_t>(start.remainder);
    }
    for (int64_t t = first; t <= last; ++t) {
        const int64_t major = majorStart + t * majorStep;
        const int64_t minor = minorStart + quotient * minorStep;
        if (xMajor)
            stamp(major, minor);
        else
            stamp(minor, major);
        remainder += 2 * rise;
        if (remainder >= denominator) {
            remainder -= denominator;
            ++quotient;
        }
    }
}

}  // namespace VSTGUI
