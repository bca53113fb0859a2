#include "framework/PixelSurface.h"

#include "framework/platform/SurfaceMemory.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace VSTGUI {

namespace {

// Blends two channels with weight 0-255 for a; rounds to nearest.
constexpr uint32_t mixChannel(uint32_t a, uint32_t b, uint32_t weight)
{
    const uint32_t sum = a * weight + b * (255 - weight) + 128;
    return (sum + (sum >> 8)) >> 8;
}

constexpr Pixel mixPixel(Pixel a, Pixel b, uint32_t weight)
{
    return (mixChannel((a >> 16) & 0xFF, (b >> 16) & 0xFF, weight) << 16) |
           (mixChannel((a >> 8) & 0xFF, (b >> 8) & 0xFF, weight) << 8) | mixChannel(a & 0xFF, b & 0xFF, weight);
}

// The part of a block transfer that lies inside the clip, the destination and the
// source; computed in 64 bits so that no input can overflow.
struct BlitArea {
    int32_t destX = 0;
    int32_t destY = 0;
    int32_t sourceX = 0;
    int32_t sourceY = 0;
    int32_t width = 0;
    int32_t height = 0;
};

BlitArea clipBlit(PixelRows source, Point sourceOrigin, const Rect& destination, const Rect& clip,
                  const PixelSurface& target)
{
    const Rect box = clip.intersected(target.bounds());
    // Shift from destination to source coordinates.
    const int64_t shiftX = int64_t{sourceOrigin.x} - destination.left;
    const int64_t shiftY = int64_t{sourceOrigin.y} - destination.top;
    const int64_t left = std::max({int64_t{destination.left}, int64_t{box.left}, -shiftX});
    const int64_t top = std::max({int64_t{destination.top}, int64_t{box.top}, -shiftY});
    const int64_t right = std::min({int64_t{destination.right}, int64_t{box.right}, source.width() - shiftX});
    const int64_t bottom = std::min({int64_t{destination.bottom}, int64_t{box.bottom}, source.height() - shiftY});
    if (right <= left || bottom <= top) return {};
    return {static_cast<int32_t>(left),         static_cast<int32_t>(top),          static_cast<int32_t>(left + shiftX),
            static_cast<int32_t>(top + shiftY), static_cast<int32_t>(right - left), static_cast<int32_t>(bottom - top)};
}

// Visits the rows of a block transfer in an order that is safe when source and target
// are the same pixels and the areas overlap.
template <typename RowFunction>
void forEachBlitRow(PixelRows source, PixelSurface& target, const BlitArea& area, RowFunction&& function)
{
    const bool bottomUp = source.row(0) == std::as_const(target).row(0) && area.destY > area.sourceY;
    for (int32_t i = 0; i < area.height; ++i) {
        const int32_t row = bottomUp ? area.height - 1 - i : i;
        function(source.row(area.sourceY + row) + area.sourceX, target.row(area.destY + row) + area.destX);
    }
}

}  // namespace

PixelSurface::PixelSurface(int32_t width, int32_t height, Pixel fill) { resize(width, height, fill); }

PixelSurface::PixelSurface(int32_t width, int32_t height, Unfilled) { allocate(width, height, Start::Unfilled); }

PixelSurface::PixelSurface(const PixelSurface& other)
{
    allocate(other.surfaceWidth, other.surfaceHeight, Start::Unfilled);
    std::copy_n(other.pixelData.get(), pixelCount(), pixelData.get());
}

PixelSurface& PixelSurface::operator=(const PixelSurface& other)
{
    if (this != &other) *this = PixelSurface(other);
    return *this;
}

void SurfaceMemoryRelease::operator()(Pixel* pixels) const { platform::freeSurfaceMemory(pixels, bytes); }

void PixelSurface::allocate(int32_t width, int32_t height, Start start)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (int64_t{width} * height > kMaxPixels) width = height = 0;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    Pixel* pixels = nullptr;
    if (count > 0) {
        pixels = static_cast<Pixel*>(platform::allocateSurfaceMemory(count * sizeof(Pixel), start == Start::Zero));
        if (pixels == nullptr) throw std::bad_alloc();
    }
    pixelData = std::unique_ptr<Pixel[], SurfaceMemoryRelease>(pixels, SurfaceMemoryRelease{count * sizeof(Pixel)});
    surfaceWidth = width;
    surfaceHeight = height;
}

void PixelSurface::resize(int32_t width, int32_t height, Pixel fill)
{
    allocate(width, height, Start::Zero);
    if (fill != 0) this->fill(fill);
}

Pixel PixelSurface::pixelAt(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= surfaceWidth || y >= surfaceHeight) return 0;
    return row(y)[x];
}

void PixelSurface::fill(Pixel value) { std::fill_n(pixelData.get(), pixelCount(), value); }

void PixelSurface::fillRect(const Rect& rect, const Rect& clip, Pixel value)
{
    const Rect area = rect.intersected(clip).intersected(bounds());
    if (area.isEmpty()) return;
    for (int32_t y = area.top; y < area.bottom; ++y) std::fill(row(y) + area.left, row(y) + area.right, value);
}

void PixelSurface::copyFrom(PixelRows source, Point sourceOrigin, const Rect& destination, const Rect& clip)
{
    const BlitArea area = clipBlit(source, sourceOrigin, destination, clip, *this);
    const auto bytes = static_cast<std::size_t>(area.width) * sizeof(Pixel);
    forEachBlitRow(source, *this, area, [bytes](const Pixel* from, Pixel* to) { std::memmove(to, from, bytes); });
}

void PixelSurface::copyTransparentFrom(PixelRows source, Point sourceOrigin, const Rect& destination, const Rect& clip,
                                       Pixel transparent)
{
    const BlitArea area = clipBlit(source, sourceOrigin, destination, clip, *this);
    const Pixel key = transparent & 0xFFFFFF;
    forEachBlitRow(source, *this, area, [&area, key](const Pixel* from, Pixel* to) {
        for (int32_t x = 0; x < area.width; ++x)
            if ((from[x] & 0xFFFFFF) != key) to[x] = from[x];
    });
}

void PixelSurface::blendFrom(PixelRows source, Point sourceOrigin, const Rect& destination, const Rect& clip,
                             uint8_t opacity)
{
    const BlitArea area = clipBlit(source, sourceOrigin, destination, clip, *this);
    forEachBlitRow(source, *this, area, [&area, opacity](const Pixel* from, Pixel* to) {
        for (int32_t x = 0; x < area.width; ++x) to[x] = mixPixel(from[x], to[x], opacity);
    });
}

void PixelSurface::blendMask(const uint8_t* mask, int32_t maskWidth, int32_t maskHeight, Point origin, const Rect& clip,
                             Pixel value)
{
    if (mask == nullptr || maskWidth <= 0 || maskHeight <= 0) return;
    const Rect box = clip.intersected(bounds());
    const int64_t left = std::max(int64_t{origin.x}, int64_t{box.left});
    const int64_t top = std::max(int64_t{origin.y}, int64_t{box.top});
    const int64_t right = std::min(int64_t{origin.x} + maskWidth, int64_t{box.right});
    const int64_t bottom = std::min(int64_t{origin.y} + maskHeight, int64_t{box.bottom});
    for (int64_t y = top; y < bottom; ++y) {
        const uint8_t* coverage = mask + (y - origin.y) * maskWidth;
        Pixel* target = row(static_cast<int32_t>(y));
        for (int64_t x = left; x < right; ++x) {
            const uint32_t weight = coverage[x - origin.x];
            if (weight == 255)
                target[x] = value;
            else if (weight != 0)
                target[x] = mixPixel(value, target[x], weight);
        }
    }
}

}  // namespace VSTGUI
