#include "framework/CBitmap.h"

#include "framework/BitmapResources.h"
#include "framework/BmpDecoder.h"
#include "framework/DecodedBitmaps.h"
#include "framework/CDrawContext.h"

#include <algorithm>

namespace VSTGUI {
namespace {

const BitmapResource* findResource(int32_t id)
{
    const auto resources = bitmapResources();
    const auto found =
        std::find_if(resources.begin(), resources.end(), [id](const BitmapResource& r) { return r.id == id; });
    return found != resources.end() && found->data != nullptr ? &*found : nullptr;
}

}  // namespace

CBitmap::CBitmap(int32_t id) : resourceId(id) { loadFromResource(id); }

CBitmap::~CBitmap() = default;

template <typename Blit>
void CBitmap::drawBands(CDrawContext* context, const Rect& destination, Point sourceOffset, Blit blit) const
{
    if (!loaded || context == nullptr || context->getSurface() == nullptr) return;
    const Rect device = context->toDevice(destination);
    const Rect clip = context->getClipRect();
    // The source rows that land inside the clip; rows outside the image are left out, as
    // the blits leave them.
    const int64_t shown = std::min<int64_t>(device.bottom, clip.bottom) - device.top;
    const int64_t hidden = std::max<int64_t>(int64_t{clip.top} - device.top, 0);
    const int64_t firstRow = std::max<int64_t>(int64_t{sourceOffset.y} + hidden, 0);
    const int64_t endRow = std::min<int64_t>(int64_t{sourceOffset.y} + shown, height);
    constexpr int64_t kBand = DecodedBitmap::kBandHeight;
    for (int64_t row = firstRow; row < endRow;) {
        const int64_t bandTop = row / kBand * kBand;
        const int64_t bandEnd = std::min(bandTop + kBand, endRow);
        const auto top = static_cast<int32_t>(device.top + (row - sourceOffset.y));
        const auto bottom = static_cast<int32_t>(device.top + (bandEnd - sourceOffset.y));
        blit(*context->getSurface(), decoded->band(static_cast<int32_t>(row / kBand)),
             Point{sourceOffset.x, static_cast<int32_t>(row - bandTop)}, Rect{device.left, top, device.right, bottom},
             clip);
        row = bandEnd;
    }
}

void CBitmap::draw(CDrawContext* context, const Rect& destination, Point sourceOffset)
{
    drawBands(context, destination, sourceOffset,
              [](PixelSurface& target, const PixelSurface& band, Point offset, const Rect& part, const Rect& clip) {
                  target.copyFrom(band, offset, part, clip);
              });
}

void CBitmap::drawTransparent(CDrawContext* context, const Rect& destination, Point sourceOffset)
{
    const Pixel transparent = toPixel(transparentColor);
    drawBands(context, destination, sourceOffset,
              [transparent](PixelSurface& target, const PixelSurface& band, Point offset, const Rect& part,
                            const Rect& clip) { target.copyTransparentFrom(band, offset, part, clip, transparent); });
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const Rect& destination, Point sourceOffset, uint8_t opacity)
{
    drawBands(context, destination, sourceOffset,
              [opacity](PixelSurface& target, const PixelSurface& band, Point offset, const Rect& part,
                        const Rect& clip) { target.blendFrom(band, offset, part, clip, opacity); });
}

void CBitmap::unload()
{
    decoded.reset();
    width = 0;
    height = 0;
    loaded = false;
}

bool CBitmap::loadFromResource(int32_t id)
{
    unload();
    resourceId = id;
    const BitmapResource* found = findResource(id);
    if (found == nullptr) return false;
    decoded = decodedBitmap(*found);
    if (decoded == nullptr) return false;
    width = decoded->width();
    height = decoded->height();
    loaded = true;
    return true;
}

bool CBitmap::resourceSize(int32_t id, int32_t& width, int32_t& height)
{
    const BitmapResource* found = findResource(id);
    return found != nullptr && readBmpSize({found->data, found->size}, width, height);
}

Color CBitmap::colorAt(int32_t x, int32_t y) const { return decoded != nullptr ? decoded->colorAt(x, y) : toColor(0); }

bool CBitmap::loadFromPlatformSource(const void*)
{
    unload();
    return false;
}

}  // namespace VSTGUI
