#include "tools/imaging/BmpEncoder.h"

namespace tolvan::imaging {

using VSTGUI::Color;

void putLittleEndian(std::vector<unsigned char>& bytes, std::size_t offset, uint32_t value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
}

std::vector<unsigned char> encodeBmp(int32_t width, int32_t height, const std::vector<Color>& pixels, bool topDown)
{
    const auto stride = static_cast<std::size_t>((width * 3 + 3) & ~3);
    const std::size_t offset = 54;
    std::vector<unsigned char> bytes(offset + stride * static_cast<std::size_t>(height), 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    putLittleEndian(bytes, 2, static_cast<uint32_t>(bytes.size()), 4);
    putLittleEndian(bytes, 10, offset, 4);
    putLittleEndian(bytes, 14, 40, 4);
    putLittleEndian(bytes, 18, static_cast<uint32_t>(width), 4);
    putLittleEndian(bytes, 22, static_cast<uint32_t>(topDown ? -height : height), 4);
    putLittleEndian(bytes, 26, 1, 2);
    putLittleEndian(bytes, 28, 24, 2);
    for (int32_t y = 0; y < height; ++y) {
        const int32_t storedRow = topDown ? y : height - 1 - y;
        for (int32_t x = 0; x < width; ++x) {
            const Color c = pixels[static_cast<std::size_t>(y * width + x)];
            const std::size_t at =
                offset + stride * static_cast<std::size_t>(storedRow) + static_cast<std::size_t>(x) * 3;
            bytes[at] = c.blue;
            bytes[at + 1] = c.green;
            bytes[at + 2] = c.red;
        }
    }
    return bytes;
}

}  // namespace tolvan::imaging
