#include "framework/BmpDecoder.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>

namespace VSTGUI {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;

uint32_t readLittleEndian(std::span<const unsigned char> bytes, std::size_t offset, std::size_t count)
{
    uint32_t value = 0;
    for (std::size_t i = count; i-- > 0;) value = (value << 8) | bytes[offset + i];
    return value;
}

}  // namespace

namespace {

// Where the rows of a well-formed file lie.
struct Layout {
    int32_t width = 0;
    int32_t height = 0;
    bool topDown = false;  // a negative height stores the rows top-down
    std::size_t pixelOffset = 0;
    std::size_t bytesPerPixel = 3;
    std::size_t stride = 0;  // bytes per stored row, padded to 4
};

// The layout of a complete, well-formed file, or false.
bool readLayout(std::span<const unsigned char> file, Layout& layout)
{
    if (file.size() < kFileHeaderSize + kInfoHeaderSize || file[0] != 'B' || file[1] != 'M') return false;
    const uint32_t pixelOffset = readLittleEndian(file, 10, 4);
    const uint32_t infoSize = readLittleEndian(file, 14, 4);
    const auto width = static_cast<int32_t>(readLittleEndian(file, 18, 4));
    const auto signedHeight = static_cast<int32_t>(readLittleEndian(file, 22, 4));
    const uint32_t planes = readLittleEndian(file, 26, 2);
    const uint32_t bitsPerPixel = readLittleEndian(file, 28, 2);
    const uint32_t compression = readLittleEndian(file, 30, 4);
    if (infoSize < kInfoHeaderSize || planes != 1 || (bitsPerPixel != 24 && bitsPerPixel != 32) || compression != 0)
        return false;
    const bool topDown = signedHeight < 0;
    const int64_t height = topDown ? -int64_t{signedHeight} : signedHeight;
    if (width <= 0 || height <= 0 || int64_t{width} * height > PixelSurface::kMaxPixels) return false;
    const std::size_t bytesPerPixel = bitsPerPixel / 8;
    const std::size_t stride = (static_cast<std::size_t>(width) * bytesPerPixel + 3) & ~std::size_t{3};
    if (pixelOffset < kFileHeaderSize + infoSize || pixelOffset > file.size() ||
        (file.size() - pixelOffset) / stride < static_cast<std::size_t>(height))
        return false;
    layout = {width, static_cast<int32_t>(height), topDown, pixelOffset, bytesPerPixel, stride};
    return true;
}

}  // namespace

bool readBmpSize(std::span<const unsigned char> file, int32_t& width, int32_t& height)
{
    Layout layout;
    if (!readLayout(file, layout)) return false;
    width = layout.width;
    height = layout.height;
    return true;
}

bool decodeBmp(std::span<const unsigned char> file, PixelSurface& image)
{
    return decodeBmpRows(file, 0, std::numeric_limits<int32_t>::max(), image);
}

bool decodeBmpRows(std::span<const unsigned char> file, int32_t firstRow, int32_t rowCount, PixelSurface& image)
{
    Layout layout;
    if (!readLayout(file, layout)) return false;
    const int32_t top = std::clamp(firstRow, 0, layout.height);
    const int32_t rows = static_cast<int32_t>(std::clamp<int64_t>(rowCount, 0, layout.height - top));
    // The loop below writes every pixel of it.
    PixelSurface decoded(layout.width, rows, PixelSurface::Unfilled{});
    for (int32_t y = 0; y < rows; ++y) {
        const int32_t imageRow = top + y;
        const int32_t storedRow = layout.topDown ? imageRow : layout.height - 1 - imageRow;
        const unsigned char* source =
            file.data() + layout.pixelOffset + layout.stride * static_cast<std::size_t>(storedRow);
        Pixel* target = decoded.row(y);
        for (int32_t x = 0; x < layout.width; ++x, source += layout.bytesPerPixel)
            target[x] = (Pixel{source[2]} << 16) | (Pixel{source[1]} << 8) | Pixel{source[0]};
    }
    image = std::move(decoded);
    return true;
}

PixelRows bmpPixelsInPlace(std::span<const unsigned char> file)
{
    // A stored pixel's bytes are blue, green, red and one that no reader of colours looks
    // at: on a little-endian machine that is a Pixel as it lies in memory.
    static_assert(std::endian::native == std::endian::little);
    Layout layout;
    if (!readLayout(file, layout) || layout.bytesPerPixel != sizeof(Pixel) || !layout.topDown) return {};
    const unsigned char* first = file.data() + layout.pixelOffset;
    if (reinterpret_cast<std::uintptr_t>(first) % alignof(Pixel) != 0) return {};
    return {reinterpret_cast<const Pixel*>(first), layout.width, layout.height};
}

}  // namespace VSTGUI
