#pragma once
// The software drawing surface: a block of 32-bit pixels that windows present and
// off-screen contexts and bitmaps keep, with the block operations drawing is made of.
// All coordinates here are device coordinates; every operation clips to the given clip
// rectangle and to the surface, so no rectangle can reach outside the pixels.

#include "framework/GraphicsTypes.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

namespace VSTGUI {

// One pixel, 0x00RRGGBB: the layout both 32-bit window-system images use.
using Pixel = uint32_t;

constexpr Pixel toPixel(Color c) { return (Pixel{c.red} << 16) | (Pixel{c.green} << 8) | Pixel{c.blue}; }

constexpr Color toColor(Pixel p)
{
    return {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p), 255};
}

class PixelSurface;

// Gives a surface's pixels back to the platform's surface memory, which needs their size.
struct SurfaceMemoryRelease {
    std::size_t bytes = 0;
    void operator()(uint32_t* pixels) const;
};

// Pixels to read, laid out as a surface's: height rows of width pixels, one after another.
// They are a surface's own, or pixels kept elsewhere (artwork stored in the library in this
// layout) read where they lie. A view holds no pixels: what it looks at must outlive it.
class PixelRows {
public:
    constexpr PixelRows() = default;
    constexpr PixelRows(const Pixel* first, int32_t width, int32_t height)
        : data(first), rowsWidth(width), rowsHeight(height)
    {
    }
    // A surface's pixels, as they are until it is resized or destroyed.
    PixelRows(const PixelSurface& surface);

    int32_t width() const { return rowsWidth; }
    int32_t height() const { return rowsHeight; }
    Rect bounds() const { return {0, 0, rowsWidth, rowsHeight}; }
    const Pixel* row(int32_t y) const
    {
        return data + static_cast<std::size_t>(y) * static_cast<std::size_t>(rowsWidth);
    }
    // The pixel at (x, y), or 0 outside.
    Pixel pixelAt(int32_t x, int32_t y) const
    {
        return x < 0 || y < 0 || x >= rowsWidth || y >= rowsHeight ? 0 : row(y)[x];
    }
    Color colorAt(int32_t x, int32_t y) const { return toColor(pixelAt(x, y)); }

private:
    const Pixel* data = nullptr;
    int32_t rowsWidth = 0;
    int32_t rowsHeight = 0;
};

class PixelSurface {
public:
    // Larger surfaces are refused (left at 0 x 0) rather than exhausting memory.
    static constexpr int64_t kMaxPixels = int64_t{1} << 26;

    // Asks for a surface whose pixels are left as the memory holds them, for a maker that
    // writes every pixel before the surface is read or shown (a decoded band of artwork):
    // filling it first would only be a wasted pass over fresh memory.
    struct Unfilled {};

    PixelSurface() = default;
    // Negative sizes count as 0; a size above kMaxPixels gives an empty surface.
    PixelSurface(int32_t width, int32_t height, Pixel fill = 0);
    PixelSurface(int32_t width, int32_t height, Unfilled);
    PixelSurface(const PixelSurface& other);
    PixelSurface& operator=(const PixelSurface& other);
    PixelSurface(PixelSurface&&) noexcept = default;
    PixelSurface& operator=(PixelSurface&&) noexcept = default;
    ~PixelSurface() = default;

    void resize(int32_t width, int32_t height, Pixel fill = 0);

    int32_t width() const { return surfaceWidth; }
    int32_t height() const { return surfaceHeight; }
    Rect bounds() const { return {0, 0, surfaceWidth, surfaceHeight}; }

    Pixel* row(int32_t y)
    {
        return pixelData.get() + static_cast<std::size_t>(y) * static_cast<std::size_t>(surfaceWidth);
    }
    const Pixel* row(int32_t y) const
    {
        return pixelData.get() + static_cast<std::size_t>(y) * static_cast<std::size_t>(surfaceWidth);
    }
    std::span<Pixel> pixels() { return {pixelData.get(), pixelCount()}; }
    std::span<const Pixel> pixels() const { return {pixelData.get(), pixelCount()}; }

    // The pixel at (x, y), or 0 outside the surface.
    Pixel pixelAt(int32_t x, int32_t y) const;
    Color colorAt(int32_t x, int32_t y) const { return toColor(pixelAt(x, y)); }

    void fill(Pixel value);

    // Fills the pixels of rect (right and bottom exclusive) inside clip.
    void fillRect(const Rect& rect, const Rect& clip, Pixel value);

    // Copies the area of source at sourceOrigin with the size of destination onto this
    // surface at destination, inside clip. Pixels that would come from outside the
    // source are left unchanged. The source may be this surface's own pixels.
    void copyFrom(PixelRows source, Point sourceOrigin, const Rect& destination, const Rect& clip);
    // As copyFrom, but source pixels equal to transparent are left out.
    void copyTransparentFrom(PixelRows source, Point sourceOrigin, const Rect& destination, const Rect& clip,
                             Pixel transparent);
    // As copyFrom, blending source over the destination with a constant opacity (0-255).
    void blendFrom(PixelRows source, Point sourceOrigin, const Rect& destination, const Rect& clip, uint8_t opacity);

    // Blends value into the pixels of a coverage mask (0-255 per pixel, maskWidth per row)
    // whose top-left pixel lands at origin, inside clip.
    void blendMask(const uint8_t* mask, int32_t maskWidth, int32_t maskHeight, Point origin, const Rect& clip,
                   Pixel value);

private:
    enum class Start { Zero, Unfilled };

    std::size_t pixelCount() const
    {
        return static_cast<std::size_t>(surfaceWidth) * static_cast<std::size_t>(surfaceHeight);
    }
    // New pixels of the size (checked as resize says), zero or unfilled.
    void allocate(int32_t width, int32_t height, Start start);

    int32_t surfaceWidth = 0;
    int32_t surfaceHeight = 0;
    // From the platform's surface memory, which hands out fresh pages as the system gives
    // them, already zero, so a black surface costs no pass over its memory until it is
    // drawn into.
    std::unique_ptr<Pixel[], SurfaceMemoryRelease> pixelData;
};

inline PixelRows::PixelRows(const PixelSurface& surface)
    : PixelRows(surface.pixels().data(), surface.width(), surface.height())
{
}

}  // namespace VSTGUI
