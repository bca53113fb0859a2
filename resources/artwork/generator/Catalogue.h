// Every bitmap of the plug-in: its resource id, the size of one image and how many
// images are stacked vertically in it, and the function that draws it.
#pragma once

#include "resources/artwork/BitmapIds.h"
#include "resources/artwork/generator/Canvas.h"
#include "resources/artwork/generator/Typeface.h"

#include <array>
#include <cstdint>

namespace tolvan::artwork {

struct BitmapFormat {
    std::int32_t id;
    int width;
    int frameHeight;
    int frames;
    // Rows below the last image; only the Reset button has one (41 rows, two images of 20).
    int spareRows = 0;

    constexpr int height() const { return frameHeight * frames + spareRows; }
};

namespace bitmap = ::bitmapid;

inline constexpr std::array<BitmapFormat, 18> kBitmaps = {{
    {bitmap::skin, 754, 374, 1},
    {bitmap::graph, 391, 151, 1},
    {bitmap::meter, 100, 43, 73},
    {bitmap::pre, 50, 25, 2},
    {bitmap::post, 50, 25, 2},
    {bitmap::bypass, 72, 36, 2},
    {bitmap::reset, 21, 20, 2, 1},
    {bitmap::balance, 40, 25, 2},
    {bitmap::hiShelf, 40, 25, 2},
    {bitmap::lowCut, 40, 25, 2},
    {bitmap::lowShelf, 40, 25, 2},
    {bitmap::hiCut, 40, 25, 2},
    {bitmap::peak, 40, 25, 2},
    {bitmap::frequencyKnob, 33, 33, 51},
    {bitmap::gainKnob, 33, 33, 73},
    {bitmap::outputKnob, 81, 81, 73},
    {bitmap::analyserKnob, 49, 49, 49},
    {bitmap::info, 61, 16, 2},
}};

// Null for an id that is not a bitmap of the plug-in.
const BitmapFormat* findBitmap(std::int32_t id);

// The complete bitmap at a scale: all images stacked, the first on top, each image
// toDeviceExtent(frameHeight) rows high.
Canvas renderBitmap(const BitmapFormat& format, const Fonts& fonts, DisplayScale scale = DisplayScale::Normal);

}  // namespace tolvan::artwork
