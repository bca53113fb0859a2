// Every bitmap of the plug-in: its resource id, the size of one image and how many
// images are stacked vertically in it, and the function that draws it.
#pragma once

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

namespace bitmap {
inline constexpr std::int32_t skin = 11030;
inline constexpr std::int32_t graph = 131;
inline constexpr std::int32_t meter = 133;
inline constexpr std::int32_t pre = 11004;
inline constexpr std::int32_t post = 11005;
inline constexpr std::int32_t bypass = 11006;
inline constexpr std::int32_t reset = 11007;
inline constexpr std::int32_t balance = 11010;
inline constexpr std::int32_t hiShelf = 11011;
inline constexpr std::int32_t lowCut = 11012;
inline constexpr std::int32_t lowShelf = 11013;
inline constexpr std::int32_t hiCut = 11014;
inline constexpr std::int32_t peak = 11015;
inline constexpr std::int32_t frequencyKnob = 11020;
inline constexpr std::int32_t gainKnob = 11021;
inline constexpr std::int32_t outputKnob = 11022;
inline constexpr std::int32_t analyserKnob = 11024;
inline constexpr std::int32_t info = 11043;
}  // namespace bitmap

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

// The complete bitmap: all images stacked, the first on top.
Canvas renderBitmap(const BitmapFormat& format, const Fonts& fonts);

}  // namespace tolvan::artwork
