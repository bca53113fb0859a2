#include "framework/DecodedBitmaps.h"

#include "framework/BmpDecoder.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace VSTGUI {
namespace {

// Keyed by the resource's bytes, not its id: ids belong to whichever table is linked in.
struct Cache {
    std::mutex mutex;
    std::map<const unsigned char*, std::weak_ptr<const PixelSurface>> images;
};

Cache& cache()
{
    static Cache instance;
    return instance;
}

}  // namespace

std::shared_ptr<const PixelSurface> decodedBitmap(const BitmapResource& resource)
{
    if (resource.data == nullptr)
        return nullptr;
    // Editors of different instances may open on different threads; the lock is held
    // through the decode so that two of them never decode the same resource at once.
    Cache& c = cache();
    const std::lock_guard lock(c.mutex);
    std::weak_ptr<const PixelSurface>& entry = c.images[resource.data];
    if (std::shared_ptr<const PixelSurface> shared = entry.lock())
        return shared;
    auto image = std::make_shared<PixelSurface>();
    if (!decodeBmp({resource.data, resource.size}, *image))
        return nullptr;
    entry = image;
    return image;
}

std::size_t decodedBitmapCount()
{
    Cache& c = cache();
    const std::lock_guard lock(c.mutex);
    return static_cast<std::size_t>(std::count_if(c.images.begin(), c.images.end(),
                                                   [](const auto& entry) { return !entry.second.expired(); }));
}

}  // namespace VSTGUI
