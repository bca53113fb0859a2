// An RGB drawing surface for the artwork, with anti-aliased filling of shapes given as
// signed distance functions, and its encoding as a 24-bit bitmap file. The artwork is drawn
// in the skin's logical pixels; a canvas at a display scale holds that many more device
// pixels and samples every shape at its device pixels' centres, so the same drawing code
// gives sharp artwork at every scale.
#pragma once

#include "framework/DisplayScale.h"
#include "resources/artwork/generator/DetMath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <vector>

namespace tolvan::artwork {

// Channel values 0..255, kept as doubles until the image is written so that layered
// blending does not accumulate rounding.
struct Color {
    double r = 0, g = 0, b = 0;
};

constexpr Color rgb(int r, int g, int b) { return {double(r), double(g), double(b)}; }

constexpr Color mix(Color a, Color b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

constexpr Color scaled(Color c, double factor) { return {c.r * factor, c.g * factor, c.b * factor}; }

// Pixel rectangle; right and bottom are exclusive.
struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr bool empty() const { return right <= left || bottom <= top; }
    constexpr bool intersects(const Box& o) const
    {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    constexpr bool contains(const Box& o) const
    {
        return left <= o.left && top <= o.top && o.right <= right && o.bottom <= bottom;
    }
    constexpr Box inflated(int d) const { return {left - d, top - d, right + d, bottom + d}; }
    constexpr Box united(const Box& o) const
    {
        if (empty()) return o;
        if (o.empty()) return *this;
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
    }
    constexpr bool operator==(const Box&) const = default;
};

// Fraction of a pixel covered by a shape edge at signed distance d (pixels, negative inside).
inline double coverage(double d) { return std::clamp(0.5 - d, 0.0, 1.0); }

namespace shape {
template <class Shape>
struct Soft;
}

// A soft shape's value is already a fraction of its blur, which scales with the drawing.
template <class Shape>
inline constexpr bool isSoftShape = false;
template <class Shape>
inline constexpr bool isSoftShape<shape::Soft<Shape>> = true;

using VSTGUI::DisplayScale;

class Canvas {
public:
    // A canvas of width x height logical pixels, toDeviceExtent of each in device pixels.
    Canvas(int width, int height, Color fill = {}, DisplayScale scale = DisplayScale::Normal);
    // A canvas with a device height of its own: a film strip of whole images.
    Canvas(int width, int height, int deviceHeight, Color fill, DisplayScale scale);

    // The logical size, which the drawing code lays its shapes out in.
    int width() const { return width_; }
    int height() const { return height_; }
    Box bounds() const { return {0, 0, width_, height_}; }
    DisplayScale scale() const { return scale_; }

    // Pixels are addressed in device pixels.
    int deviceWidth() const { return deviceWidth_; }
    int deviceHeight() const { return deviceHeight_; }
    Color pixel(int x, int y) const { return pixels_[index(x, y)]; }
    void set(int x, int y, Color c) { pixels_[index(x, y)] = c; }
    void blend(int x, int y, Color c, double alpha);

    // Paints paint(x, y) over every pixel of the logical area that the shape covers,
    // weighted by the pixel's coverage; shape(x, y) is the signed distance in logical
    // pixels from the device pixel's centre, paint(x, y) is sampled there too. An edge
    // stays one device pixel wide at every scale; a soft shape's blur scales with it.
    template <class Shape, class Paint>
    void fill(Box area, Shape&& shape, Paint&& paint, double opacity = 1.0)
    {
        const double factor = VSTGUI::factor(scale_);
        const double toDevicePixels = isSoftShape<std::remove_cvref_t<Shape>> ? 1.0 : factor;
        area = clip(toDeviceBox(area));
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                const double cx = (x + 0.5) / factor;
                const double cy = (y + 0.5) / factor;
                const double a = coverage(shape(cx, cy) * toDevicePixels) * opacity;
                if (a > 0) blend(x, y, paint(cx, cy), a);
            }
        }
    }

    template <class Shape>
    void fill(Box area, Shape&& shape, Color color, double opacity = 1.0)
    {
        fill(
            area, shape, [color](double, double) { return color; }, opacity);
    }

    // Opaque copy of another canvas with its top-left corner at device pixel (x, y).
    void paste(const Canvas& source, int x, int y);
    // The logical area as a canvas of its own at the same scale, from the device pixel
    // that holds its top-left corner.
    Canvas crop(Box area) const;
    // The device pixels that a logical area touches.
    Box toDeviceBox(Box area) const;

    // The complete bytes of an uncompressed 32-bit top-down .bmp file: each pixel blue,
    // green, red and 0, the layout the plug-in's surfaces hold, rows from offset 64 on.
    std::vector<std::uint8_t> encodeBmp() const;
    // The device pixels as 0x00RRGGBB, row after row from the top: what a .bmp file holds.
    std::vector<std::uint32_t> devicePixels() const;

private:
    std::size_t index(int x, int y) const { return static_cast<std::size_t>(y) * deviceWidth_ + x; }
    Box clip(Box area) const;

    int width_;
    int height_;
    DisplayScale scale_;
    int deviceWidth_;
    int deviceHeight_;
    std::vector<Color> pixels_;
};

// Signed distance functions; each returns a callable (x, y) -> distance.
namespace shape {

inline auto circle(double cx, double cy, double radius)
{
    return [=](double x, double y) { return std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) - radius; };
}

inline auto roundedRect(double left, double top, double right, double bottom, double radius)
{
    return [=](double x, double y) {
        const double hx = (right - left) * 0.5 - radius;
        const double hy = (bottom - top) * 0.5 - radius;
        const double qx = std::abs(x - (left + right) * 0.5) - hx;
        const double qy = std::abs(y - (top + bottom) * 0.5) - hy;
        const double ox = std::max(qx, 0.0);
        const double oy = std::max(qy, 0.0);
        return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - radius;
    };
}

inline auto rect(double left, double top, double right, double bottom)
{
    return roundedRect(left, top, right, bottom, 0.0);
}

// Distance from a point to the segment a-b, minus half the stroke width: a stroke with round caps.
inline double segmentDistance(double x, double y, double ax, double ay, double bx, double by)
{
    const double dx = bx - ax;
    const double dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    const double t = len2 > 0 ? std::clamp(((x - ax) * dx + (y - ay) * dy) / len2, 0.0, 1.0) : 0.0;
    const double px = ax + t * dx - x;
    const double py = ay + t * dy - y;
    return std::sqrt(px * px + py * py);
}

inline auto stroke(double ax, double ay, double bx, double by, double width)
{
    return [=](double x, double y) { return segmentDistance(x, y, ax, ay, bx, by) - width * 0.5; };
}

struct Point {
    double x, y;
};

// A stroked polyline through points, with round joins and caps.
inline auto polyline(std::vector<Point> points, double width)
{
    return [points = std::move(points), width](double x, double y) {
        double best = 1e9;
        for (std::size_t i = 1; i < points.size(); ++i)
            best = std::min(best, segmentDistance(x, y, points[i - 1].x, points[i - 1].y, points[i].x, points[i].y));
        return best - width * 0.5;
    };
}

// A closed filled polygon (even-odd rule), exact distance to its outline.
inline auto polygon(std::vector<Point> points)
{
    return [points = std::move(points)](double x, double y) {
        double best = 1e9;
        bool inside = false;
        for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const Point& a = points[i];
            const Point& b = points[j];
            best = std::min(best, segmentDistance(x, y, a.x, a.y, b.x, b.y));
            if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
        }
        return inside ? -best : best;
    };
}

// Distance to the centre line of an arc of radius r around (cx, cy) that starts at
// `startDegrees` (counter-clockwise from the positive x axis, y up) and runs clockwise
// from `from` to `to` degrees past the start, with round ends.
inline double arcDistance(double x, double y, double cx, double cy, double r, double startDegrees, double from,
                          double to)
{
    const double dx = x - cx;
    const double dy = cy - y;
    double past = startDegrees - arcTangent2(dy, dx) * (180.0 / kPi);
    while (past < 0) past += 360.0;
    while (past >= 360.0) past -= 360.0;
    if (past >= from && past <= to) return std::abs(std::sqrt(dx * dx + dy * dy) - r);
    const auto endDistance = [&](double degreesPast) {
        const double a = degrees(startDegrees - degreesPast);
        const double ex = cx + r * cosine(a);
        const double ey = cy - r * sine(a);
        return std::sqrt((x - ex) * (x - ex) + (y - ey) * (y - ey));
    };
    return std::min(endDistance(from), endDistance(to));
}

inline auto arc(double cx, double cy, double r, double startDegrees, double from, double to, double width)
{
    return [=](double x, double y) { return arcDistance(x, y, cx, cy, r, startDegrees, from, to) - width * 0.5; };
}

// The shape with its edge blurred over `softness` logical pixels: for glows and shadows.
template <class Shape>
struct Soft {
    Shape s;
    double softness;
    double operator()(double x, double y) const { return s(x, y) / softness; }
};

template <class Shape>
auto soft(Shape s, double softness)
{
    return Soft<Shape>{s, softness};
}

template <class A, class B>
auto subtract(A a, B b)
{
    return [=](double x, double y) { return std::max(a(x, y), -b(x, y)); };
}

template <class A, class B>
auto intersect(A a, B b)
{
    return [=](double x, double y) { return std::max(a(x, y), b(x, y)); };
}

}  // namespace shape

// A paint that runs from `upper` at y = top to `lower` at y = bottom.
inline auto verticalGradient(double top, double bottom, Color upper, Color lower)
{
    return [=](double, double y) { return mix(upper, lower, std::clamp((y - top) / (bottom - top), 0.0, 1.0)); };
}

}  // namespace tolvan::artwork
