#include "framework/DecodedBitmaps.h"

#include "framework/BmpDecoder.h"

#include <algorithm>
#include <map>

namespace VSTGUI {
namespace {

// Keyed by the resource's bytes, not its id: ids belong to whichever table is linked in.
struct Cache {
    std::mutex mutex;
    std::map<const unsigned char*, std::weak_ptr<const DecodedBitmap>> images;
};

Cache& cache()
{
    static Cache instance;
    return instance;
}

int32_t bandCount(int32_t height) { return (height + DecodedBitmap::kBandHeight - 1) / DecodedBitmap::kBandHeight; }

// A packed band is exactly one of ours.
static_assert(DecodedBitmap::kBandHeight == packed::kBandHeight);

}  // namespace

DecodedBitmap::DecodedBitmap(std::span<const unsigned char> bytes, int32_t width, int32_t height)
    : source(bytes), imageWidth(width), imageHeight(height), bands(std::make_unique<Band[]>(bandCount(height)))
{
}

DecodedBitmap::DecodedBitmap(PixelRows stored)
    : source(stored), imageWidth(stored.width()), imageHeight(stored.height())
{
}

DecodedBitmap::DecodedBitmap(packed::PackedImage image)
    : imageWidth(image.width()), imageHeight(image.height()), bands(std::make_unique<Band[]>(bandCount(image.height())))
{
    source = std::move(image);
}

PixelRows DecodedBitmap::band(int32_t index) const
{
    const int32_t top = index * kBandHeight;
    if (const auto* stored = std::get_if<PixelRows>(&source))
        return {stored->row(top), imageWidth, std::min(kBandHeight, imageHeight - top)};
    Band& b = bands[static_cast<std::size_t>(index)];
    std::call_once(b.decoded, [&] {
        if (const auto* file = std::get_if<std::span<const unsigned char>>(&source)) {
            decodeBmpRows(*file, top, kBandHeight, b.pixels);
        } else {
            std::get<packed::PackedImage>(source).decodeBand(index, b.pixels);
        }
    });
    return b.pixels;
}

Color DecodedBitmap::colorAt(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= imageWidth || y >= imageHeight) return toColor(0);
    return band(y / kBandHeight).colorAt(x, y % kBandHeight);
}

std::shared_ptr<const DecodedBitmap> decodedBitmap(const BitmapResource& resource)
{
    if (resource.data == nullptr) return nullptr;
    // Editors of different instances may open on different threads; the lock makes them
    // find one image per resource.
    Cache& c = cache();
    const std::lock_guard lock(c.mutex);
    std::weak_ptr<const DecodedBitmap>& entry = c.images[resource.data];
    if (std::shared_ptr<const DecodedBitmap> shared = entry.lock()) return shared;
    const std::span<const unsigned char> file{resource.data, resource.size};
    if (packed::isPackedImage(file)) {
        packed::PackedImage image;
        if (!image.parse(file)) return nullptr;
        auto shared = std::make_shared<const DecodedBitmap>(std::move(image));
        entry = shared;
        return shared;
    }
    std::shared_ptr<const DecodedBitmap> image;
    int32_t width = 0;
    int32_t height = 0;
    if (const PixelRows stored = bmpPixelsInPlace(file); stored.width() > 0)
        image = std::make_shared<const DecodedBitmap>(stored);
    else if (readBmpSize(file, width, height))
        image = std::make_shared<const DecodedBitmap>(file, width, height);
    else
        return nullptr;
    entry = image;
    return image;
}

std::size_t decodedBitmapCount()
{
    Cache& c = cache();
    const std::lock_guard lock(c.mutex);
    return static_cast<std::size_t>(
        std::count_if(c.images.begin(), c.images.end(), [](const auto& entry) { return !entry.second.expired(); }));
}

}  // namespace VSTGUI
