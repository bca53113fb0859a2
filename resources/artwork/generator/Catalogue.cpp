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
Canvas strip(const BitmapFormat& format, DisplayScale scale, DrawImage&& drawImage, const Canvas* background = nullptr)
{
    using VSTGUI::filmStripDeviceRow;
    Canvas out(format.width, format.height(), filmStripDeviceRow(format.height(), format.frameHeight, scale),
               palette::plate, scale);
    for (int i = 0; i < format.frames; ++i) {
        Canvas image = background ? *background : Canvas(format.width, format.frameHeight, palette::plate, scale);
        drawImage(image, i);
        out.paste(image, 0, filmStripDeviceRow(i * format.frameHeight, format.frameHeight, scale));
    }
    return out;
}

// A knob strip's image i shows the normalised value i / (frames − 1).
Canvas knobStrip(const BitmapFormat& format, DisplayScale scale, const KnobLook& look)
{
    return strip(format, scale, [&](Canvas& image, int i) { drawKnob(image, look, double(i) / (format.frames - 1)); });
}

Canvas bandSwitch(const BitmapFormat& format, DisplayScale scale, FilterIcon icon)
{
    return strip(format, scale, [&](Canvas& image, int i) { drawBandSwitch(image, icon, i == 1); });
}

// The skin under a button that sits on the chassis, so that the button's corners blend in.
Canvas skinUnder(const Box& where, const Fonts& fonts, DisplayScale scale)
{
    const BitmapFormat& skin = *findBitmap(bitmap::skin);
    Canvas image(skin.width, skin.frameHeight, {}, scale);
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

Canvas renderBitmap(const BitmapFormat& format, const Fonts& fonts, DisplayScale scale)
{
    switch (format.id) {
    case bitmap::skin: return strip(format, scale, [&](Canvas& image, int) { drawSkin(image, fonts); });
    case bitmap::graph: return strip(format, scale, [](Canvas& image, int) { drawGraphBackground(image); });
    case bitmap::meter: return strip(format, scale, [](Canvas& image, int i) { meter::drawImage(image, i); });
    case bitmap::pre:
        return strip(format, scale,
                     [&](Canvas& image, int i) { drawLedSwitch(image, fonts, "PRE", palette::source, i == 1); });
    case bitmap::post:
        return strip(format, scale,
                     [&](Canvas& image, int i) { drawLedSwitch(image, fonts, "POST", palette::output, i == 1); });
    case bitmap::bypass:
        return strip(format, scale, [&](Canvas& image, int i) { drawBypassSwitch(image, fonts, i == 1); });
    case bitmap::reset: {
        const Canvas background = skinUnder(kResetButton, fonts, scale);
        return strip(
            format, scale, [](Canvas& image, int i) { drawResetButton(image, i == 1); }, &background);
    }
    case bitmap::balance: return bandSwitch(format, scale, FilterIcon::Tilt);
    case bitmap::hiShelf: return bandSwitch(format, scale, FilterIcon::HiShelf);
    case bitmap::lowCut: return bandSwitch(format, scale, FilterIcon::LowCut);
    case bitmap::lowShelf: return bandSwitch(format, scale, FilterIcon::LowShelf);
    case bitmap::hiCut: return bandSwitch(format, scale, FilterIcon::HiCut);
    case bitmap::peak: return bandSwitch(format, scale, FilterIcon::Peak);
    case bitmap::frequencyKnob: return knobStrip(format, scale, {.bipolar = false, .ticks = false});
    case bitmap::gainKnob: return knobStrip(format, scale, {.bipolar = true, .ticks = false});
    case bitmap::outputKnob: return knobStrip(format, scale, {.bipolar = true, .ticks = true});
    case bitmap::analyserKnob: return knobStrip(format, scale, {.bipolar = false, .ticks = false});
    case bitmap::info: {
        const Canvas background = skinUnder(kInfoButton, fonts, scale);
        return strip(
            format, scale, [&](Canvas& image, int i) { drawInfoButton(image, fonts, i == 1); }, &background);
    }
    default: return Canvas(format.width, format.height(), {}, scale);
    }
}

}  // namespace tolvan::artwork
