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

CBitmap::CBitmap(int32_t id) : resourceId(id)
{
    loadFromResource(id);
}

CBitmap::~CBitmap() = default;

void CBitmap::draw(CDrawContext* context, const Rect& destination, Point sourceOffset)
{
    if (!loaded || context == nullptr || context->getSurface() == nullptr)
        return;
    context->getSurface()->copyFrom(*image, sourceOffset, context->toDevice(destination), context->getClipRect());
}

void CBitmap::drawTransparent(CDrawContext* context, const Rect& destination, Point sourceOffset)
{
    if (!loaded || context == nullptr || context->getSurface() == nullptr)
        return;
    context->getSurface()->copyTransparentFrom(*image, sourceOffset, context->toDevice(destination),
                                               context->getClipRect(), toPixel(transparentColor));
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const Rect& destination, Point sourceOffset, uint8_t opacity)
{
    if (!loaded || context == nullptr || context->getSurface() == nullptr)
        return;
    context->getSurface()->blendFrom(*image, sourceOffset, context->toDevice(destination), context->getClipRect(),
                                     opacity);
}

void CBitmap::unload()
{
    image.reset();
    width = 0;
    height = 0;
    loaded = false;
}

bool CBitmap::loadFromResource(int32_t id)
{
    unload();
    resourceId = id;
    const BitmapResource* found = findResource(id);
    if (found == nullptr)
        return false;
    image = decodedBitmap(*found);
    if (image == nullptr)
        return false;
    width = image->width();
    height = image->height();
    loaded = true;
    return true;
}

bool CBitmap::resourceSize(int32_t id, int32_t& width, int32_t& height)
{
    const BitmapResource* found = findResource(id);
    return found != nullptr && readBmpSize({found->data, found->size}, width, height);
}

const PixelSurface& CBitmap::pixels() const
{
    static const PixelSurface none;
    return image != nullptr ? *image : none;
}

bool CBitmap::loadFromPlatformSource(const void*)
{
    unload();
    return false;
}

}  // namespace VSTGUI
