#include "resources/artwork/generator/Knobs.h"

#include "resources/artwork/generator/DetMath.h"
#include "resources/artwork/generator/Palette.h"

#include <algorithm>

namespace tolvan::artwork {

namespace {

constexpr double kStartDegrees = 225.0;
constexpr double kSweepDegrees = 270.0;

auto arc(double c, double r, double from, double to, double width)
{
    return shape::arc(c, c, r, kStartDegrees, from, to, width);
}

}  // namespace

double knobAngle(double value) { return degrees(kStartDegrees - kSweepDegrees * value); }

void drawKnob(Canvas& frame, const KnobLook& look, double value)
{
    const double size = frame.width();
    const double c = size * 0.5;
    const Box all = frame.bounds();

    const double arcWidth = std::max(2.2, size * 0.075);
    const double tickRoom = look.ticks ? size * 0.06 : 0.0;
    const double arcRadius = c - arcWidth * 0.5 - 1.0 - tickRoom;
    const double bodyRadius = arcRadius - arcWidth * 0.5 - std::max(1.6, size * 0.05);

    if (look.ticks) {
        for (int i = 0; i <= 12; ++i) {
            const double a = knobAngle(i / 12.0);
            const double inner = arcRadius + arcWidth * 0.5 + 1.5;
            const double outer = c - (i % 6 == 0 ? 0.5 : 1.5);
            frame.fill(all,
                       shape::stroke(c + inner * cosine(a), c - inner * sine(a), c + outer * cosine(a),
                                     c - outer * sine(a), i % 6 == 0 ? 1.4 : 1.0),
                       palette::engraving, i % 6 == 0 ? 0.9 : 0.55);
        }
    }

    // The unlit track, then the lit part of it with a faint glow.
    frame.fill(all, arc(c, arcRadius, 0, kSweepDegrees, arcWidth), rgb(30, 40, 52));
    const double at = kSweepDegrees * std::clamp(value, 0.0, 1.0);
    const double origin = look.bipolar ? kSweepDegrees * 0.5 : 0.0;
    const double from = std::min(origin, at);
    const double to = std::max(origin, at);
    if (to - from > 0.01) {
        frame.fill(all, shape::soft(arc(c, arcRadius, from, to, arcWidth * 1.6), arcWidth * 0.9), palette::accentGlow,
                   0.35);
        frame.fill(all, arc(c, arcRadius, from, to, arcWidth), palette::accent);
    }

    // Cap: a soft shadow below, a lit rim and a slightly domed face.
    frame.fill(all, shape::soft(shape::circle(c, c + size * 0.035, bodyRadius + 0.5), std::max(1.0, size * 0.04)),
               rgb(10, 14, 20), 0.6);
    frame.fill(all, shape::circle(c, c, bodyRadius),
               verticalGradient(c - bodyRadius, c + bodyRadius, rgb(104, 112, 124), rgb(26, 29, 34)));
    const double faceRadius = bodyRadius - std::max(1.2, size * 0.045);
    frame.fill(all, shape::circle(c, c, faceRadius),
               verticalGradient(c - faceRadius, c + faceRadius, rgb(58, 63, 72), rgb(40, 44, 51)));

    const double a = knobAngle(value);
    const double tipX = cosine(a);
    const double tipY = -sine(a);
    const double inner = faceRadius * 0.28;
    const double outer = bodyRadius - 0.6;
    frame.fill(all,
               shape::stroke(c + inner * tipX, c + inner * tipY, c + outer * tipX, c + outer * tipY,
                             std::max(1.7, size * 0.06)),
               palette::pointer);
}

}  // namespace tolvan::artwork
