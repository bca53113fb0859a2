#pragma once
// The plain value types every view and drawing operation shares: rectangles, points,
// colours, the mouse-button bits and the table of standard fonts.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace VSTGUI {

// Coordinates wrap instead of overflowing, so that no rectangle arithmetic on bad
// input is undefined behaviour; the drawing back end clips whatever results.
constexpr int32_t wrappingAdd(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

constexpr int32_t wrappingSub(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

struct Point {
    int32_t x = 0;
    int32_t y = 0;

    constexpr Point() = default;
    constexpr Point(int32_t px, int32_t py) : x(px), y(py) {}

    constexpr Point& offset(int32_t dx, int32_t dy)
    {
        x = wrappingAdd(x, dx);
        y = wrappingAdd(y, dy);
        return *this;
    }
    constexpr Point& offset(Point by) { return offset(by.x, by.y); }

    friend constexpr Point operator+(Point a, Point b) { return a.offset(b); }
    friend constexpr Point operator-(Point a, Point b) { return a.offset(wrappingSub(0, b.x), wrappingSub(0, b.y)); }
    friend constexpr bool operator==(Point, Point) = default;
};

// Right and bottom are exclusive: width = right - left, height = bottom - top.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    constexpr Rect() = default;
    constexpr Rect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}
    // A rectangle of the given size with its top-left corner at origin.
    static constexpr Rect fromSize(Point origin, int32_t width, int32_t height)
    {
        return {origin.x, origin.y, wrappingAdd(origin.x, width), wrappingAdd(origin.y, height)};
    }

    constexpr int32_t width() const { return wrappingSub(right, left); }
    constexpr int32_t height() const { return wrappingSub(bottom, top); }
    constexpr Point topLeft() const { return {left, top}; }
    // True when the rectangle covers no pixel (zero or negative width or height).
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }

    constexpr Rect& offset(int32_t dx, int32_t dy)
    {
        left = wrappingAdd(left, dx);
        right = wrappingAdd(right, dx);
        top = wrappingAdd(top, dy);
        bottom = wrappingAdd(bottom, dy);
        return *this;
    }
    constexpr Rect& offset(Point by) { return offset(by.x, by.y); }
    constexpr Rect offsetBy(Point by) const { return Rect(*this).offset(by); }
    constexpr Rect offsetBy(int32_t dx, int32_t dy) const { return Rect(*this).offset(dx, dy); }

    // The common part of both rectangles; when they do not meet, the result keeps
    // its left and top and collapses to zero width or height.
    constexpr Rect intersected(const Rect& other) const
    {
        Rect r{std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
               std::min(bottom, other.bottom)};
        r.right = std::max(r.right, r.left);
        r.bottom = std::max(r.bottom, r.top);
        return r;
    }
    // The smallest rectangle that holds both; an empty one adds nothing, so that the union
    // of a region grown from nothing is the parts added.
    constexpr Rect united(const Rect& other) const
    {
        if (isEmpty()) return other;
        if (other.isEmpty()) return *this;
        return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
                std::max(bottom, other.bottom)};
    }

    // Point inside with all four edges inclusive, as hit tests and mouse areas use it.
    constexpr bool containsInclusive(Point p) const
    {
        return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
    }
    // Point inside with right and bottom exclusive, as pixels are.
    constexpr bool containsPixel(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }

    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

// Red, green, blue and alpha bytes in that order; equality compares all four. Where a
// colour reaches pixels, the alpha byte is dropped.
struct Color {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 255;

    friend constexpr bool operator==(const Color&, const Color&) = default;
};

// The standard colour table.
inline constexpr Color kTransparentColor{255, 255, 255, 0};
inline constexpr Color kBlackColor{0, 0, 0, 255};
inline constexpr Color kWhiteColor{255, 255, 255, 255};
inline constexpr Color kGreyColor{127, 127, 127, 255};
inline constexpr Color kRedColor{255, 0, 0, 255};
inline constexpr Color kGreenColor{0, 255, 0, 255};
inline constexpr Color kBlueColor{0, 0, 255, 255};
inline constexpr Color kYellowColor{255, 255, 0, 255};
inline constexpr Color kCyanColor{0, 255, 255, 255};
inline constexpr Color kMagentaColor{255, 0, 255, 255};

// The bit set of mouse buttons and modifier keys that the controls poll. A handler that
// receives kPollMouseButtons asks CDrawContext::getMouseButtons itself.
using MouseButtons = int32_t;
inline constexpr MouseButtons ButtonLeft = 1;
inline constexpr MouseButtons ButtonMiddle = 2;
inline constexpr MouseButtons ButtonRight = 4;
inline constexpr MouseButtons ModShift = 8;
inline constexpr MouseButtons ModControl = 16;
inline constexpr MouseButtons ModAlt = 32;
inline constexpr MouseButtons ModCommand = 64;
inline constexpr MouseButtons kPollMouseButtons = -1;

// What a window system reports of each button and modifier, as the bit set: the one place
// where the back ends' masks meet the bits.
constexpr MouseButtons mouseButtons(bool left, bool middle, bool right, bool shift, bool control, bool alt)
{
    return (left ? ButtonLeft : 0) | (middle ? ButtonMiddle : 0) | (right ? ButtonRight : 0) | (shift ? ModShift : 0) |
           (control ? ModControl : 0) | (alt ? ModAlt : 0);
}

// Index into the standard font table, 0-7; anything else selects font 0.
using FontIndex = int32_t;

// Font style bits of CDrawContext::setFont.
inline constexpr int32_t kFontStyleBold = 1;
inline constexpr int32_t kFontStyleItalic = 2;
inline constexpr int32_t kFontStyleUnderline = 4;

struct StandardFont {
    std::string_view face;
    int32_t size;     // character height in pixels
    bool alwaysBold;  // drawn bold whatever the style bits say
    bool decorative;  // a decorative rather than a Swiss family
};

inline constexpr std::array<StandardFont, 8> kStandardFonts{{
    {"Arial", 12, true, false},
    {"Arial", 18, false, false},
    {"Arial", 14, false, false},
    {"Arial", 12, false, false},
    {"Arial", 11, false, false},
    {"Arial", 10, false, false},
    {"Arial", 9, false, false},
    {"Symbol", 13, false, true},
}};

inline constexpr FontIndex kFontCount = static_cast<FontIndex>(kStandardFonts.size());

// Horizontal text alignments of CDrawContext::drawString; any other value aligns left.
inline constexpr int32_t kAlignLeft = 0;
inline constexpr int32_t kAlignCenter = 1;
inline constexpr int32_t kAlignRight = 2;

}  // namespace VSTGUI
