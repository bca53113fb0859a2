#include "framework/BmpDecoder.h"

#include <cstdint>

namespace VSTGUI {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;

uint32_t readLittleEndian(std::span<const unsigned char> bytes, std::size_t offset, std::size_t count)
{
    uint32_t value = 0;
    for (std::size_t i = count; i-- > 0;)
        value = (value << 8) | bytes[offset + i];
    return value;
}

}  // namespace

bool decodeBmp(std::span<const unsigned char> file, PixelSurface& image)
{
    if (file.size() < kFileHeaderSize + kInfoHeaderSize || file[0] != 'B' || file[1] != 'M')
        return false;
    const uint32_t pixelOffset = readLittleEndian(file, 10, 4);
    const uint32_t infoSize = readLittleEndian(file, 14, 4);
    const auto width = static_cast<int32_t>(readLittleEndian(file, 18, 4));
    const auto signedHeight = static_cast<int32_t>(readLittleEndian(file, 22, 4));
    const uint32_t planes = readLittleEndian(file, 26, 2);
    const uint32_t bitsPerPixel = readLittleEndian(file, 28, 2);
    const uint32_t compression = readLittleEndian(file, 30, 4);
    if (infoSize < kInfoHeaderSize || planes != 1 || bitsPerPixel != 24 || compression != 0)
        return false;
    // A negative height stores the rows top-down.
    const bool topDown = signedHeight < 0;
    const int64_t height = topDown ? -int64_t{signedHeight} : signedHeight;
    if (width <= 0 || height <= 0 || int64_t{width} * height > PixelSurface::kMaxPixels)
        return false;
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    if (pixelOffset < kFileHeaderSize + infoSize || pixelOffset > file.size() ||
        (file.size() - pixelOffset) / stride < static_cast<std::size_t>(height))
        return false;

    PixelSurface decoded(width, static_cast<int32_t>(height));
    for (int32_t y = 0; y < decoded.height(); ++y) {
        const int32_t storedRow = topDown ? y : decoded.height() - 1 - y;
        const unsigned char* source = file.data() + pixelOffset + stride * static_cast<std::size_t>(storedRow);
        Pixel* target = decoded.row(y);
        for (int32_t x = 0; x < width; ++x, source += 3)
            target[x] = (Pixel{source[2]} << 16) | (Pixel{source[1]} << 8) | Pixel{source[0]};
    }
    image = std::move(decoded);
    return true;
}

}  // namespace VSTGUI
