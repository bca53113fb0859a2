#include "resources/artwork/generator/Meter.h"

#include "resources/artwork/generator/Palette.h"

namespace tolvan::artwork::meter {

namespace {

constexpr Color kSafe = rgb(72, 222, 112);
constexpr Color kHot = rgb(246, 206, 64);
constexpr Color kOver = rgb(255, 72, 60);

Color zoneColor(double x)
{
    if (x < levelX(-6.0)) return kSafe;
    if (x < levelX(0.0)) return kHot;
    return kOver;
}

}  // namespace

void drawImage(Canvas& image, int index)
{
    const double w = image.width();
    const double h = image.height();
    const Box all = image.bounds();
    image.fill(all, shape::rect(0, 0, w, h), verticalGradient(0, h, rgb(6, 8, 10), rgb(14, 17, 21)));

    const double level = kMinDb + kDbPerImage * index;
    const double litRight = levelX(level);
    // Cells: the lit part of each cell runs up to the level, the rest glows faintly.
    for (double x = kBarLeft; x < kBarRight - 0.5; x += kCell) {
        const double cellRight = x + kCell - 1.0;
        const auto cell = shape::rect(x, kBarTop, cellRight, kBarBottom);
        const Color c = zoneColor(x);
        image.fill(all, cell, mix(c, rgb(8, 10, 12), 0.84));
        if (litRight > x) {
            const auto lit = shape::intersect(cell, shape::rect(x - 1, kBarTop - 1, litRight, kBarBottom + 1));
            image.fill(all, lit, verticalGradient(kBarTop, kBarBottom, mix(c, rgb(255, 255, 255), 0.35), c));
        }
    }

    // The scale: a tick every 3 dB, longer every 6 dB; 0 dB crosses the bar.
    for (int dB = -24; dB <= 12; dB += 2) {
        const double x = tickX(dB);
        const bool major = dB % 6 == 0;
        image.fill(all, shape::rect(x - 0.5, kTicksTop, x + 0.5, kTicksTop + (major ? 6.0 : 3.0)), palette::legend,
                   major ? 0.9 : 0.5);
    }
    // The 0 dB mark runs through the dark pixel between two cells, so it hides no level.
    const double zero = tickX(0.0);
    image.fill(all, shape::rect(zero - 0.5, kBarTop - 4.0, zero + 0.5, kTicksTop + 8.0), rgb(255, 236, 230));
    image.fill(all, shape::polygon({{zero - 3.0, 2.0}, {zero + 3.0, 2.0}, {zero, 5.5}}), kOver);
    image.fill(all, shape::polygon({{zero - 3.0, h - 2.0}, {zero + 3.0, h - 2.0}, {zero, h - 5.5}}), kOver);
}

}  // namespace tolvan::artwork::meter
