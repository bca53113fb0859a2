#include "tools/imaging/PngFiles.h"

#include <stb_image.h>
#include <stb_image_write.h>

#include <vector>

namespace tolvan::imaging {

using namespace VSTGUI;

namespace {

// The pixels as the encoder takes them: three bytes a pixel, rows top first.
std::vector<unsigned char> rgbOf(const PixelSurface& pixels)
{
    std::vector<unsigned char> rgb;
    rgb.reserve(static_cast<std::size_t>(pixels.width()) * static_cast<std::size_t>(pixels.height()) * 3);
    for (int32_t y = 0; y < pixels.height(); ++y)
        for (int32_t x = 0; x < pixels.width(); ++x) {
            const Color c = pixels.colorAt(x, y);
            rgb.insert(rgb.end(), {c.red, c.green, c.blue});
        }
    return rgb;
}

}  // namespace

bool writePng(const std::string& path, const PixelSurface& pixels)
{
    const std::vector<unsigned char> rgb = rgbOf(pixels);
    return stbi_write_png(path.c_str(), pixels.width(), pixels.height(), 3, rgb.data(), pixels.width() * 3) != 0;
}

std::vector<unsigned char> encodePng(const PixelSurface& pixels)
{
    const std::vector<unsigned char> rgb = rgbOf(pixels);
    std::vector<unsigned char> png;
    const auto append = [](void* context, void* data, int size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        auto& out = *static_cast<std::vector<unsigned char>*>(context);
        out.insert(out.end(), bytes, bytes + size);
    };
    if (stbi_write_png_to_func(append, &png, pixels.width(), pixels.height(), 3, rgb.data(), pixels.width() * 3) == 0)
        png.clear();
    return png;
}

bool readPng(const std::string& path, PixelSurface& pixels)
{
    int width = 0;
    int height = 0;
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &width, &height, &channels, 3);
    if (!data) return false;
    pixels.resize(width, height);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const unsigned char* p = data + (static_cast<std::size_t>(y) * width + x) * 3;
            pixels.row(y)[x] = toPixel({p[0], p[1], p[2], 255});
        }
    stbi_image_free(data);
    return true;
}

}  // namespace tolvan::imaging
