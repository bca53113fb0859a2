#include "resources/artwork/generator/Catalogue.h"

#include "resources/artwork/generator/GraphBackground.h"
#include "resources/artwork/generator/Knobs.h"
#include "resources/artwork/generator/Meter.h"
#include "resources/artwork/generator/Palette.h"
#include "resources/artwork/generator/Skin.h"
#include "resources/artwork/generator/SkinLayout.h"
#include "resources/artwork/generator/Switches.h"

namespace tolvan::artwork {

namespace {

// Draws every image of a strip with drawImage(image canvas, index) over a copy of the
// background and stacks them; spare rows below them are plate.
template <class DrawImage>
Canvas strip(const BitmapSpec& spec, DrawImage&& drawImage, const Canvas* background = nullptr) {
    Canvas out(spec.width, spec.height(), palette::plate);
    for (int i = 0; i < spec.frames; ++i) {
        Canvas image = background ? *background : Canvas(spec.width, spec.frameHeight, palette::plate);
        drawImage(image, i);
        out.paste(image, 0, i * spec.frameHeight);
    }
    return out;
}

// A knob strip's image i shows the normalised value i / (frames − 1).
Canvas knobStrip(const BitmapSpec& spec, const KnobLook& look) {
    return strip(spec, [&](Canvas& image, int i) { drawKnob(image, look, double(i) / (spec.frames - 1)); });
}

Canvas bandSwitch(const BitmapSpec& spec, FilterIcon icon) {
    return strip(spec, [&](Canvas& image, int i) { drawBandSwitch(image, icon, i == 1); });
}

// The skin under a button that sits on the chassis, so that the button's corners blend in.
Canvas skinUnder(const Box& where, const Fonts& fonts) {
    const BitmapSpec& skin = *findBitmap(bitmap::skin);
    Canvas image(skin.width, skin.frameHeight);
    drawSkin(image, fonts);
    return image.crop(where);
}

}  // namespace

const BitmapSpec* findBitmap(std::int32_t id) {
    for (const BitmapSpec& spec : kBitmaps)
        if (spec.id == id) return &spec;
    return nullptr;
}

Canvas renderBitmap(const BitmapSpec& spec, const Fonts& fonts) {
    switch (spec.id) {
        case bitmap::skin: return strip(spec, [&](Canvas& image, int) { drawSkin(image, fonts); });
        case bitmap::graph: return strip(spec, [](Canvas& image, int) { drawGraphBackground(image); });
        case bitmap::meter: return strip(spec, [](Canvas& image, int i) { meter::drawImage(image, i); });
        case bitmap::pre:
            return strip(spec, [&](Canvas& image, int i) { drawLedSwitch(image, fonts, "PRE", palette::source, i == 1); });
        case bitmap::post:
            return strip(spec, [&](Canvas& image, int i) { drawLedSwitch(image, fonts, "POST", palette::output, i == 1); });
        case bitmap::bypass:
            return strip(spec, [&](Canvas& image, int i) { drawBypassSwitch(image, fonts, i == 1); });
        case bitmap::reset: {
            const Canvas background = skinUnder(kResetButton, fonts);
            return strip(spec, [](Canvas& image, int i) { drawResetButton(image, i == 1); }, &background);
        }
        case bitmap::balance: return bandSwitch(spec, FilterIcon::Tilt);
        case bitmap::hiShelf: return bandSwitch(spec, FilterIcon::HiShelf);
        case bitmap::lowCut: return bandSwitch(spec, FilterIcon::LowCut);
        case bitmap::lowShelf: return bandSwitch(spec, FilterIcon::LowShelf);
        case bitmap::hiCut: return bandSwitch(spec, FilterIcon::HiCut);
        case bitmap::peak: return bandSwitch(spec, FilterIcon::Peak);
        case bitmap::frequencyKnob: return knobStrip(spec, {.bipolar = false, .ticks = false});
        case bitmap::gainKnob: return knobStrip(spec, {.bipolar = true, .ticks = false});
        case bitmap::outputKnob: return knobStrip(spec, {.bipolar = true, .ticks = true});
        case bitmap::analyserKnob: return knobStrip(spec, {.bipolar = false, .ticks = false});
        case bitmap::info: {
            const Canvas background = skinUnder(kInfoButton, fonts);
            return strip(spec, [&](Canvas& image, int i) { drawInfoButton(image, fonts, i == 1); }, &background);
        }
        default: return Canvas(spec.width, spec.height());
    }
}

}  // namespace tolvan::artwork
