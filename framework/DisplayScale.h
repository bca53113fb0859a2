#pragma once
// The sizes the editor can be drawn at: the skin's own pixels, one and a half times and
// twice that, for the high-density screens of laptops and 4K monitors. Views, controls and
// the editor always work in the skin's logical coordinates; only the draw context, the
// bitmaps and the windows deal in device pixels.

#include <cmath>
#include <cstdint>

namespace VSTGUI {

// The value is the scale in percent.
enum class DisplayScale : int32_t { Normal = 100, OneAndAHalf = 150, Double = 200 };

inline constexpr DisplayScale kDisplayScales[] = {DisplayScale::Normal, DisplayScale::OneAndAHalf,
                                                  DisplayScale::Double};

constexpr int32_t percent(DisplayScale scale) { return static_cast<int32_t>(scale); }
constexpr double factor(DisplayScale scale) { return percent(scale) / 100.0; }

// The supported scale nearest to a factor the host or the screen gives (a tie goes to the
// larger scale); anything that is not a finite positive number means the skin's own size.
inline DisplayScale nearestDisplayScale(double requested)
{
    if (!std::isfinite(requested) || requested <= 0.0) {
        return DisplayScale::Normal;
    }
    DisplayScale nearest = DisplayScale::Normal;
    for (DisplayScale candidate : kDisplayScales) {
        if (std::abs(factor(candidate) - requested) <= std::abs(factor(nearest) - requested)) {
            nearest = candidate;
        }
    }
    return nearest;
}

// A logical coordinate in device pixels, rounded down, so that logical rectangles that tile
// the frame tile it in device pixels too. 754 x 374 becomes 1131 x 561 and 1508 x 748. The
// 64-bit form is exact for any coordinate a 32-bit point plus a 32-bit offset can make.
constexpr int64_t toDevice(int64_t logical, DisplayScale scale)
{
    const int64_t scaled = logical * percent(scale);
    const int64_t quotient = scaled / 100;
    return scaled % 100 < 0 ? quotient - 1 : quotient;
}

constexpr int32_t toDevice(int32_t logical, DisplayScale scale)
{
    return static_cast<int32_t>(toDevice(static_cast<int64_t>(logical), scale));
}

// A device coordinate (a mouse position) in logical coordinates: the logical pixel whose
// device pixels contain it, the largest x with toDevice(x) <= device.
constexpr int32_t toLogical(int32_t device, DisplayScale scale)
{
    // ceil((device + 1) * 100 / percent) - 1, exact for negative positions too.
    const int64_t numerator = (static_cast<int64_t>(device) + 1) * 100;
    const int64_t quotient = numerator / percent(scale);
    const int64_t ceiling = numerator % percent(scale) > 0 ? quotient + 1 : quotient;
    return static_cast<int32_t>(ceiling - 1);
}

// How many device pixels artwork that spans `logical` pixels is drawn with: the logical
// length times the scale, rounded up. A logical span of that length lands on
// toDevice(x + logical) - toDevice(x) device pixels, which is this or one less depending on
// x, so a bitmap of this size covers its control wherever the control sits. 33 becomes 50
// at 1.5x (not 49).
constexpr int32_t toDeviceExtent(int32_t logical, DisplayScale scale) { return -toDevice(-logical, scale); }

// The device row of a film strip's logical row. Every image of the strip is drawn
// toDeviceExtent(logicalFrameHeight) rows high and the images are stacked without gaps, so
// an image is never cut from the middle of its neighbour, whichever device rows the
// control covers: image i starts at i * toDeviceExtent(logicalFrameHeight). Rows inside an
// image map with toDevice. A bitmap that is not a strip is one image as high as the
// bitmap. The strip's device height is filmStripDeviceRow(its logical height, ...): a
// 50-row switch of two 25-row images is 76 rows at 1.5x; the Reset strip (two images of 20
// and one spare row) is 61.
constexpr int32_t filmStripDeviceRow(int32_t logicalRow, int32_t logicalFrameHeight, DisplayScale scale)
{
    if (logicalFrameHeight <= 0) return toDevice(logicalRow, scale);
    const int32_t image = logicalRow / logicalFrameHeight;
    const int32_t inside = logicalRow % logicalFrameHeight;
    return image * toDeviceExtent(logicalFrameHeight, scale) + toDevice(inside, scale);
}

}  // namespace VSTGUI
