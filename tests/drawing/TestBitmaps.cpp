#include "tests/drawing/TestBitmaps.h"

#include "framework/BitmapResources.h"
#include "tools/imaging/BmpEncoder.h"

#include <array>

namespace tolvan::test {

using imaging::encodeBmp;
using imaging::putLittleEndian;
using VSTGUI::Color;
using VSTGUI::DisplayScale;

Color pictureColor(int32_t x, int32_t y)
{
    return {static_cast<uint8_t>(10 + 40 * x), static_cast<uint8_t>(20 + 60 * y), static_cast<uint8_t>(7 * x + y), 255};
}

Color stripColor(int32_t frame)
{
    return {static_cast<uint8_t>(50 * (frame + 1)), 0, static_cast<uint8_t>(200 - 50 * frame), 255};
}

Color doubledStripColor(int32_t frame)
{
    return {static_cast<uint8_t>(50 * (frame + 1)), 255, static_cast<uint8_t>(200 - 50 * frame), 255};
}

Color tallColor(int32_t x, int32_t y)
{
    return {static_cast<uint8_t>(80 * x), static_cast<uint8_t>(y), static_cast<uint8_t>(255 - 2 * y), 255};
}

namespace {

std::vector<Color> picture(int32_t width, int32_t height, Color (*colorAt)(int32_t, int32_t))
{
    std::vector<Color> pixels;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) pixels.push_back(colorAt(x, y));
    return pixels;
}

std::vector<unsigned char> truncated()
{
    auto bytes = encodeBmp(5, 3, picture(5, 3, pictureColor), false);
    bytes.resize(bytes.size() - 16);
    return bytes;
}

std::vector<unsigned char> withHeader(uint32_t offset, uint32_t value, int count)
{
    auto bytes = encodeBmp(5, 3, picture(5, 3, pictureColor), false);
    putLittleEndian(bytes, offset, value, count);
    return bytes;
}

const std::array<std::vector<unsigned char>, 11>& files()
{
    static const std::array<std::vector<unsigned char>, 11> all{
        encodeBmp(5, 3, picture(5, 3, pictureColor), false),
        encodeBmp(5, 3, picture(5, 3, pictureColor), true),
        encodeBmp(4, 12, picture(4, 12, [](int32_t, int32_t y) { return stripColor(y / 4); }), false),
        truncated(),
        withHeader(28, 8, 2),
        [] {
            auto bytes = withHeader(18, 100000, 4);
            putLittleEndian(bytes, 22, 100000, 4);
            return bytes;
        }(),
        encodeBmp(3, 1,
                  picture(3, 1, [](int32_t x, int32_t) { return x == 1 ? VSTGUI::kRedColor : VSTGUI::kWhiteColor; }),
                  false),
        encodeBmp(3, 100, picture(3, 100, tallColor), false),
        encodeBmp(2, 9, picture(2, 9, [](int32_t, int32_t y) { return stripColor(y / 3); }), false),
        encodeBmp(8, 24, picture(8, 24, [](int32_t, int32_t y) { return doubledStripColor(y / 8); }), false),
        encodeBmp(3, 15, picture(3, 15, [](int32_t, int32_t y) { return doubledStripColor(y / 5); }), false),
    };
    return all;
}

}  // namespace

}  // namespace tolvan::test

namespace VSTGUI {

std::span<const BitmapResource> bitmapResources()
{
    static const auto table = [] {
        const auto& all = tolvan::test::files();
        std::array<BitmapResource, 11> resources{};
        for (std::size_t i = 0; i < 9; ++i) resources[i] = {static_cast<int32_t>(i + 1), all[i].data(), all[i].size()};
        // Artwork of their own above 1x: the film strip at 2x, the odd strip at 1.5x.
        resources[9] = {tolvan::test::kFilmStripBitmap, all[9].data(), all[9].size(), DisplayScale::Double};
        resources[10] = {tolvan::test::kOddStripBitmap, all[10].data(), all[10].size(), DisplayScale::OneAndAHalf};
        return resources;
    }();
    return table;
}

}  // namespace VSTGUI
