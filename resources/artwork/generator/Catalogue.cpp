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
Canvas strip(const BitmapFormat& format, DrawImage&& drawImage, const Canvas* background = nullptr)
{
    Canvas out(format.width, format.height(), palette::plate);
    for (int i = 0; i < format.frames; ++i) {
        Canvas image = background ? *background : Canvas(format.width, format.frameHeight, palette::plate);
        drawImage(image, i);
        out.paste(image, 0, i * format.frameHeight);
    }
    return out;
}

// A knob strip's image i shows the normalised value i / (frames − 1).
Canvas knobStrip(const BitmapFormat& format, const KnobLook& look)
{
    return strip(format, [&](Canvas& image, int i) { drawKnob(image, look, double(i) / (format.frames - 1)); });
}

Canvas bandSwitch(const BitmapFormat& format, FilterIcon icon)
{
    return strip(format, [&](Canvas& image, int i) { drawBandSwitch(image, icon, i == 1); });
}

// The skin under a button that sits on the chassis, so that the button's corners blend in.
Canvas skinUnder(const Box& where, const Fonts& fonts)
{
    const BitmapFormat& skin = *findBitmap(bitmap::skin);
    Canvas image(skin.width, skin.frameHeight);
    drawSkin(image, fonts);
    return image.crop(where);
}

}  // namespace

const BitmapFormat* findBitmap(std::int32_t id)
{
    for (const BitmapFormat& format : kBitmaps)
        if (format.id == id) return &format;
    return nullptr;
}

Canvas renderBitmap(const BitmapFormat& format, const Fonts& fonts)
{
    switch (format.id) {
    case bitmap::skin: return strip(format, [&](Canvas& image, int) { drawSkin(image, fonts); });
    case bitmap::graph: return strip(format, [](Canvas& image, int) { drawGraphBackground(image); });
    case bitmap::meter: return strip(format, [](Canvas& image, int i) { meter::drawImage(image, i); });
    case bitmap::pre:
        return strip(format,
                     [&](Canvas& image, int i) { drawLedSwitch(image, fonts, "PRE", palette::source, i == 1); });
    case bitmap::post:
        return strip(format,
                     [&](Canvas& image, int i) { drawLedSwitch(image, fonts, "POST", palette::output, i == 1); });
    case bitmap::bypass: return strip(format, [&](Canvas& image, int i) { drawBypassSwitch(image, fonts, i == 1); });
    case bitmap::reset: {
        const Canvas background = skinUnder(kResetButton, fonts);
        return strip(
            format, [](Canvas& image, int i) { drawResetButton(image, i == 1); }, &background);
    }
    case bitmap::balance: return bandSwitch(format, FilterIcon::Tilt);
    case bitmap::hiShelf: return bandSwitch(format, FilterIcon::HiShelf);
    case bitmap::lowCut: return bandSwitch(format, FilterIcon::LowCut);
    case bitmap::lowShelf: return bandSwitch(format, FilterIcon::LowShelf);
    case bitmap::hiCut: return bandSwitch(format, FilterIcon::HiCut);
    case bitmap::peak: return bandSwitch(format, FilterIcon::Peak);
    case bitmap::frequencyKnob: return knobStrip(format, {.bipolar = false, .ticks = false});
    case bitmap::gainKnob: return knobStrip(format, {.bipolar = true, .ticks = false});
    case bitmap::outputKnob: return knobStrip(format, {.bipolar = true, .ticks = true});
    case bitmap::analyserKnob: return knobStrip(format, {.bipolar = false, .ticks = false});
    case bitmap::info: {
        const Canvas background = skinUnder(kInfoButton, fonts);
        return strip(
            format, [&](Canvas& image, int i) { drawInfoButton(image, fonts, i == 1); }, &background);
    }
    default: return Canvas(format.width, format.height());
    }
}

}  // namespace tolvan::artwork
