#include "resources/artwork/generator/Skin.h"

#include "resources/artwork/generator/Palette.h"
#include "resources/artwork/generator/SkinLayout.h"

#include <cstdint>

namespace tolvan::artwork {

namespace {

// A fixed pseudo-random sequence for the chassis grain, the same on every machine.
class Grain {
public:
    double next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<double>(state_ >> 11) / static_cast<double>(1ull << 53) - 0.5;
    }

private:
    std::uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

// A brushed dark chassis: a vertical gradient with fine horizontal grain.
void drawChassis(Canvas& image)
{
    // The grain is one value per device pixel: as fine at every scale.
    Grain grain;
    const int deviceWidth = image.deviceWidth();
    const int deviceHeight = image.deviceHeight();
    for (int y = 0; y < deviceHeight; ++y) {
        const double streak = grain.next() * 1.6;
        const Color base = mix(palette::chassisTop, palette::chassisBottom, double(y) / (deviceHeight - 1));
        for (int x = 0; x < deviceWidth; ++x) {
            const double d = streak + grain.next() * 1.2;
            image.set(x, y, {base.r + d, base.g + d, base.b + d});
        }
    }
    const Box all = image.bounds();
    const int w = image.width();
    const int h = image.height();
    image.fill(all, shape::subtract(shape::rect(0, 0, w, h), shape::rect(1, 1, w - 1, h - 1)), rgb(60, 66, 74));
    image.fill(all, shape::subtract(shape::rect(1, 1, w - 1, h - 1), shape::rect(2, 2, w - 2, h - 2)), rgb(8, 9, 11));
}

// A screw head of radius 4 (4.4 with its shadow) around (cx, cy).
void drawScrew(Canvas& image, double cx, double cy)
{
    const Box all = image.bounds();
    image.fill(all, shape::circle(cx, cy + 0.6, 4.4), rgb(8, 9, 11), 0.8);
    image.fill(all, shape::circle(cx, cy, 4.0), verticalGradient(cy - 4, cy + 4, rgb(110, 116, 124), rgb(44, 48, 54)));
    image.fill(all, shape::stroke(cx - 2.4, cy + 1.4, cx + 2.4, cy - 1.4, 1.1), rgb(24, 26, 30));
}

// A raised plate: soft shadow on the chassis, a light top-left edge, a dark bottom-right
// edge and a flat face in exactly the panel colour.
void drawPlate(Canvas& image, const Box& b)
{
    const Box area = b.inflated(6);
    const double l = b.left, t = b.top, r = b.right, bo = b.bottom;
    constexpr double radius = 5;
    image.fill(area, shape::soft(shape::roundedRect(l, t + 2, r, bo + 2, radius), 3.0), rgb(0, 0, 0), 0.5);
    image.fill(area, shape::roundedRect(l, t, r, bo, radius), palette::plateShade);
    image.fill(area, shape::roundedRect(l, t, r - 1, bo - 1, radius), palette::plateHighlight);
    image.fill(area, shape::roundedRect(l + 1, t + 1, r - 1, bo - 1, radius - 1), palette::plate);
}

// A sunken frame: dark at the top edge, catching light at the bottom edge.
void drawRecess(Canvas& image, const Box& b)
{
    const Box area = b.inflated(3);
    const double l = b.left, t = b.top, r = b.right, bo = b.bottom;
    image.fill(area, shape::roundedRect(l - 1, t - 1, r + 1, bo + 1, 5), rgb(70, 78, 88));
    image.fill(area, shape::roundedRect(l - 1, t - 1, r + 1, bo, 5), rgb(6, 7, 9));
    image.fill(area, shape::roundedRect(l, t, r, bo, 4), palette::recess);
}

// A shallow panel set into the chassis, a little darker than it, with a fine rim.
void drawInset(Canvas& image, const Box& b)
{
    const Box area = b.inflated(2);
    const double l = b.left, t = b.top, r = b.right, bo = b.bottom;
    image.fill(area, shape::roundedRect(l - 1, t - 1, r + 1, bo + 1, 6), rgb(46, 52, 60));
    image.fill(area, shape::roundedRect(l - 1, t - 1, r + 1, bo, 6), rgb(12, 14, 17));
    image.fill(area, shape::roundedRect(l, t, r, bo, 5), verticalGradient(t, bo, rgb(20, 24, 29), rgb(17, 20, 24)));
}

}  // namespace

void drawSkin(Canvas& image, const Fonts& fonts)
{
    drawChassis(image);
    const SkinLayout layout = layoutSkin(fonts);
    for (const Box& plate : layout.plates) drawPlate(image, plate);
    for (const Box& recess : layout.recesses) drawRecess(image, recess);
    drawInset(image, layout.infoPanel);
    for (const Swatch& swatch : layout.swatches)
        image.fill(swatch.box.inflated(1),
                   shape::roundedRect(swatch.box.left, swatch.box.top, swatch.box.right, swatch.box.bottom, 1.0),
                   swatch.color);
    for (const Box& screw : layout.screws)
        drawScrew(image, (screw.left + screw.right) * 0.5, (screw.top + screw.bottom) * 0.5);
    for (const SkinText& t : layout.texts) {
        const Typeface& face = t.bold ? *fonts.bold : *fonts.regular;
        face.draw(image, t.text, t.penX, t.baseline, t.size, t.color, t.tracking);
    }
}

}  // namespace tolvan::artwork
