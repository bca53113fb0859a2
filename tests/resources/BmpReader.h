// Reads the bitmap files of the resource table back into pixels, independently of the
// generator's own writer, so that the tests check the files a loader will see.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tolvan::test {

struct Rgb {
    std::uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;  // top row first

    Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Null unless the bytes are a complete uncompressed .bmp file of 24 or 32 bits per pixel,
// rows bottom-up or top-down, whose sizes agree with each other.
inline std::optional<Bitmap> readBmp(const unsigned char* data, std::size_t size)
{
    const auto u16 = [&](std::size_t at) { return std::uint32_t(data[at]) | std::uint32_t(data[at + 1]) << 8; };
    const auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
    if (size < 54 || data[0] != 'B' || data[1] != 'M' || u32(2) != size || u32(14) != 40) return std::nullopt;
    const auto width = static_cast<std::int32_t>(u32(18));
    const auto signedHeight = static_cast<std::int32_t>(u32(22));
    const bool topDown = signedHeight < 0;
    const int height = topDown ? -signedHeight : signedHeight;
    const std::uint32_t bits = u16(28);
    if (width <= 0 || height <= 0 || u16(26) != 1 || (bits != 24 && bits != 32) || u32(30) != 0) return std::nullopt;
    const std::size_t bytesPerPixel = bits / 8;
    const std::size_t offset = u32(10);
    const std::size_t stride = (static_cast<std::size_t>(width) * bytesPerPixel + 3) & ~std::size_t{3};
    if (offset < 54 || offset + stride * height != size) return std::nullopt;
    Bitmap bitmap{width, height, {}};
    bitmap.pixels.reserve(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = data + offset + stride * (topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x, row += bytesPerPixel) bitmap.pixels.push_back({row[2], row[1], row[0]});
    }
    return bitmap;
}

}  // namespace tolvan::test
