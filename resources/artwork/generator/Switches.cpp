#include "resources/artwork/generator/Switches.h"

#include "resources/artwork/generator/Palette.h"

#include <vector>

namespace tolvan::artwork {

namespace {

struct CapLook {
    Color top;
    Color bottom;
};

constexpr CapLook kCapUp{palette::capTop, palette::capBottom};
constexpr CapLook kCapLit{palette::capLitTop, palette::capLitBottom};
// A pressed cap is lit from below: the same colours, upside down.
constexpr CapLook kCapDown{rgb(30, 34, 40), rgb(52, 57, 66)};

// A raised rounded cap on whatever the image holds already: soft shadow, dark edge, gradient face, top highlight.
void drawCap(Canvas& image, double left, double top, double right, double bottom, double radius, const CapLook& look)
{
    const Box all = image.bounds();
    image.fill(all, shape::soft(shape::roundedRect(left, top + 1.0, right, bottom + 1.0, radius), 1.5), rgb(16, 22, 30),
               0.55);
    image.fill(all, shape::roundedRect(left, top, right, bottom, radius), palette::capEdge);
    image.fill(all, shape::roundedRect(left + 1, top + 1, right - 1, bottom - 1, radius - 1),
               verticalGradient(top, bottom, look.top, look.bottom));
    image.fill(all,
               shape::intersect(shape::roundedRect(left + 1, top + 1, right - 1, bottom - 1, radius - 1),
                                shape::rect(left, top, right, top + 2)),
               rgb(255, 255, 255), 0.10);
}

void drawLed(Canvas& image, double cx, double cy, double radius, Color color, bool lit)
{
    const Box all = image.bounds();
    if (lit) image.fill(all, shape::soft(shape::circle(cx, cy, radius + 1.5), 2.5), color, 0.45);
    image.fill(all, shape::circle(cx, cy, radius + 0.8), rgb(12, 14, 17));
    image.fill(all, shape::circle(cx, cy, radius), lit ? color : mix(color, rgb(20, 22, 26), 0.78));
    if (lit)
        image.fill(all, shape::circle(cx - radius * 0.3, cy - radius * 0.3, radius * 0.45), rgb(255, 255, 255), 0.55);
}

// The response shape of each band as a height 0..1 over a log-frequency position 0..1;
// boosts rise from near the bottom, cuts fall from near the top. Only square roots and
// cosines, so the icons stay reproducible.
double iconCurve(FilterIcon icon, double u)
{
    const auto smoothRamp = [](double a, double sharpness) { return (a + std::sqrt(a * a + sharpness)) * 0.5; };
    const auto smoothStep = [](double t) {
        t = std::clamp(t, 0.0, 1.0);
        return t * t * (3.0 - 2.0 * t);
    };
    switch (icon) {
    case FilterIcon::LowCut: return 0.78 - 2.6 * smoothRamp(0.42 - u, 0.006);
    case FilterIcon::HiCut: return 0.78 - 2.6 * smoothRamp(u - 0.58, 0.006);
    case FilterIcon::LowShelf: return 0.2 + 0.62 * (1.0 - smoothStep((u - 0.22) / 0.5));
    case FilterIcon::HiShelf: return 0.2 + 0.62 * smoothStep((u - 0.28) / 0.5);
    case FilterIcon::Peak: {
        const double t = std::clamp((u - 0.5) / 0.34, -1.0, 1.0);
        return 0.14 + 0.78 * 0.5 * (1.0 + cosine(kPi * t));
    }
    case FilterIcon::Tilt: return 0.3 + 0.62 * u;
    }
    return 0.5;
}

}  // namespace

void drawBandSwitch(Canvas& image, FilterIcon icon, bool on)
{
    const double w = image.width();
    const double h = image.height();
    drawCap(image, 3, 2, w - 3, h - 2, 4, on ? kCapLit : kCapUp);

    const double left = 8.5;
    const double right = w - 8.5;
    const double top = 6.5;
    const double bottom = h - 6.5;
    const Box inner{4, 3, static_cast<int>(w) - 4, static_cast<int>(h) - 3};
    std::vector<shape::Point> points;
    constexpr int kSamples = 40;
    for (int i = 0; i <= kSamples; ++i) {
        const double u = double(i) / kSamples;
        const double v = std::clamp(iconCurve(icon, u), -0.1, 1.0);
        points.push_back({left + u * (right - left), bottom - v * (bottom - top)});
    }
    const auto curve = shape::polyline(points, on ? 1.8 : 1.5);
    if (on) image.fill(inner, shape::soft(curve, 2.2), palette::accentGlow, 0.5);
    image.fill(inner, curve, on ? palette::accent : palette::unlitIcon);
    if (icon == FilterIcon::Tilt) {
        // The tilt pivots about its centre frequency: a see-saw on its fulcrum.
        const double cx = (left + right) * 0.5;
        const double cy = bottom - iconCurve(icon, 0.5) * (bottom - top) + 1.5;
        image.fill(inner, shape::polygon({{cx, cy}, {cx - 3.5, bottom + 0.5}, {cx + 3.5, bottom + 0.5}}),
                   on ? palette::accent : palette::unlitIcon);
    }
}

void drawLedSwitch(Canvas& image, const Fonts& fonts, std::string_view name, Color led, bool on)
{
    const double w = image.width();
    const double h = image.height();
    drawCap(image, 2, 2, w - 2, h - 2, 4, on ? CapLook{rgb(70, 76, 86), rgb(42, 46, 54)} : kCapUp);
    drawLed(image, 10.5, h * 0.5, 3.0, led, on);
    const double size = 9.5;
    const double tracking = 0.5;
    const double textWidth = fonts.bold->width(name, size, tracking);
    const double x = 17 + (w - 3 - 17 - textWidth) * 0.5;
    fonts.bold->draw(image, name, x, static_cast<int>(h * 0.5 + fonts.bold->capHeight(size) * 0.5 + 0.5), size,
                     on ? rgb(240, 240, 236) : rgb(150, 160, 172), tracking);
}

void drawBypassSwitch(Canvas& image, const Fonts& fonts, bool equaliserIn)
{
    const double w = image.width();
    const double h = image.height();
    drawCap(image, 3, 3, w - 3, h - 3, 5, equaliserIn ? CapLook{rgb(70, 76, 86), rgb(42, 46, 54)} : kCapUp);
    const double nameSize = 9;
    const std::string_view name = "BYPASS";
    fonts.bold->draw(image, name, (w - fonts.bold->width(name, nameSize, 0.8)) * 0.5, 15, nameSize, rgb(196, 204, 214),
                     0.8);

    const Color led = equaliserIn ? palette::active : palette::accent;
    const std::string_view state = equaliserIn ? "EQ ACTIVE" : "BYPASSED";
    const double stateSize = 8;
    const double stateWidth = fonts.bold->width(state, stateSize, 0.3);
    const double x = (w - stateWidth + 10) * 0.5;
    drawLed(image, x - 7, 24, 2.6, led, true);
    fonts.bold->draw(image, state, x, 27, stateSize, mix(led, rgb(255, 255, 255), 0.25), 0.3);
}

void drawResetButton(Canvas& image, bool pressed)
{
    const double w = image.width();
    const double h = image.height();
    const Box all = image.bounds();
    const double cx = w * 0.5;
    const double cy = h * 0.5;
    image.fill(all, shape::soft(shape::circle(cx, cy + 1, 8.5), 1.5), rgb(16, 22, 30), 0.55);
    image.fill(all, shape::circle(cx, cy, 8.5), palette::capEdge);
    const CapLook& look = pressed ? kCapDown : kCapUp;
    image.fill(all, shape::circle(cx, cy, 7.5), verticalGradient(cy - 7.5, cy + 7.5, look.top, look.bottom));

    // A circular arrow: three quarters of a circle with a head at its clockwise end.
    const Color ink = pressed ? palette::accent : rgb(200, 208, 218);
    image.fill(all, shape::arc(cx, cy, 4.0, 90.0, 40.0, 320.0, 1.5), ink);
    const double hx = cx + 4.0 * cosine(degrees(50.0));
    const double hy = cy - 4.0 * sine(degrees(50.0));
    image.fill(all, shape::polygon({{hx - 3.2, hy - 1.2}, {hx + 1.6, hy - 2.8}, {hx + 0.4, hy + 2.4}}), ink);
}

void drawInfoButton(Canvas& image, const Fonts& fonts, bool pressed)
{
    const double w = image.width();
    const double h = image.height();
    const Box all = image.bounds();
    drawCap(image, 1, 1, w - 1, h - 1, 3, pressed ? kCapDown : kCapUp);
    const Color ink = pressed ? palette::accent : rgb(206, 214, 224);
    const double cx = 9.5;
    const double cy = h * 0.5;
    image.fill(all, shape::subtract(shape::circle(cx, cy, 5.0), shape::circle(cx, cy, 3.9)), ink);
    image.fill(all, shape::circle(cx, cy - 2.1, 0.75), ink);
    image.fill(all, shape::stroke(cx, cy - 0.5, cx, cy + 2.4, 1.3), ink);
    const std::string_view text = "MANUAL";
    const double size = 8.5;
    fonts.bold->draw(image, text, 17 + (w - 3 - 17 - fonts.bold->width(text, size, 0.7)) * 0.5,
                     static_cast<int>(cy + fonts.bold->capHeight(size) * 0.5 + 0.5), size, ink, 0.7);
}

}  // namespace tolvan::artwork
