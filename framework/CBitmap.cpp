#include "framework/CBitmap.h"

#include "framework/BitmapResources.h"
#include "framework/BmpDecoder.h"
#include "framework/CDrawContext.h"

#include <algorithm>

namespace VSTGUI {

CBitmap::CBitmap(int32_t id) : resourceId(id)
{
    loadFromResource(id);
}

CBitmap::~CBitmap() = default;

void CBitmap::draw(CDrawContext* context, const Rect& destination, Point sourceOffset)
{
    if (!loaded || context == nullptr || context->getSurface() == nullptr)
        return;
    context->getSurface()->copyFrom(image, sourceOffset, context->toDevice(destination), context->getClipRect());
}

void CBitmap::drawTransparent(CDrawContext* context, const Rect& destination, Point sourceOffset)
{
    if (!loaded || context == nullptr || context->getSurface() == nullptr)
        return;
    context->getSurface()->copyTransparentFrom(image, sourceOffset, context->toDevice(destination),
                                               context->getClipRect(), toPixel(transparentColor));
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const Rect& destination, Point sourceOffset, uint8_t opacity)
{
    if (!loaded || context == nullptr || context->getSurface() == nullptr)
        return;
    context->getSurface()->blendFrom(image, sourceOffset, context->toDevice(destination), context->getClipRect(),
                                     opacity);
}

void CBitmap::unload()
{
    image = PixelSurface();
    width = 0;
    height = 0;
    loaded = false;
}

bool CBitmap::loadFromResource(int32_t id)
{
    unload();
    resourceId = id;
    const auto resources = bitmapResources();
    const auto found =
        std::find_if(resources.begin(), resources.end(), [id](const BitmapResource& r) { return r.id == id; });
    if (found == resources.end() || found->data == nullptr || !decodeBmp({found->data, found->size}, image))
        return false;
    width = image.width();
    height = image.height();
    loaded = true;
    return true;
}

bool CBitmap::loadFromPlatformSource(const void*)
{
    unload();
    return false;
}

}  // namespace VSTGUI
