#include "tools/golden-images/FrameworkBitmaps.h"

#include "framework/BitmapResources.h"
#include "tools/imaging/BmpEncoder.h"

#include <array>
#include <vector>

namespace tolvan::test {
namespace {

using imaging::encodeBmp;

using Painter = Color (*)(int32_t x, int32_t y);

std::vector<unsigned char> paint(int32_t width, int32_t height, Painter painter)
{
    std::vector<Color> pixels;
    pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) pixels.push_back(painter(x, y));
    return encodeBmp(width, height, pixels, false);
}

Color gradient(int32_t x, int32_t y) { return {static_cast<uint8_t>(x * 2), static_cast<uint8_t>(y * 3), 90, 255}; }

Color twoImages(int32_t y, int32_t imageHeight, Color first, Color second) { return y < imageHeight ? first : second; }

struct Table {
    std::array<std::vector<unsigned char>, 7> files{
        paint(120, 60, gradient),
        paint(20, 100, [](int32_t, int32_t y) { return stripFrameColor(y / 20); }),
        paint(16, 32, [](int32_t, int32_t y) { return twoImages(y, 16, kSwitchOff, kSwitchOn); }),
        paint(12, 24, [](int32_t, int32_t y) { return twoImages(y, 12, kKickReleased, kKickPressed); }),
        paint(8, 80, [](int32_t, int32_t y) { return stripFrameColor(y / 8); }),
        paint(754, 374, [](int32_t x, int32_t y) { return gradient(x / 7, y / 5); }),
        paint(33, 1683,
              [](int32_t x, int32_t y) {
                  // A dial: a bright wedge that moves with the frame index over a dark disc.
                  const int32_t frame = y / 33;
                  return (x + y % 33) % 51 == frame ? kWhiteColor : Color{30, 30, 40, 255};
              }),
    };
    std::array<BitmapResource, 7> resources{{
        {kSceneBackground, files[0].data(), files[0].size()},
        {kKnobStrip, files[1].data(), files[1].size()},
        {kSwitchStrip, files[2].data(), files[2].size()},
        {kKickStrip, files[3].data(), files[3].size()},
        {kMeterStrip, files[4].data(), files[4].size()},
        {kSkinBackground, files[5].data(), files[5].size()},
        {kLargeKnobStrip, files[6].data(), files[6].size()},
    }};
};

}  // namespace

Color stripFrameColor(int32_t frame)
{
    return {static_cast<uint8_t>(20 + frame * 23), static_cast<uint8_t>(220 - frame * 19), 128, 255};
}

}  // namespace tolvan::test

namespace VSTGUI {

std::span<const BitmapResource> bitmapResources()
{
    static const tolvan::test::Table table;
    return table.resources;
}

}  // namespace VSTGUI
