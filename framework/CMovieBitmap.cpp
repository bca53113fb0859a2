#include "framework/CMovieBitmap.h"

#include "framework/CBitmap.h"

#include <algorithm>

namespace VSTGUI {

CMovieBitmap::CMovieBitmap(const Rect& bounds, CControlListener* controlListener, int32_t controlTag, int32_t frames,
                           int32_t height, CBitmap* filmStrip, Point offset)
    : CControl(bounds, controlListener, controlTag, filmStrip), frameCount(frames), frameHeight(height)
{
    backOffset = offset;
}

int32_t CMovieBitmap::frameOffset() const
{
    if (!(value > 0.0f)) return 0;
    const int32_t index =
        truncateToInt(std::max(frameCount - 1, 0) * static_cast<double>(std::min(value.load(), 1.0f)) + 0.5);
    return truncateToInt(static_cast<double>(index) * frameHeight);
}

void CMovieBitmap::draw(CDrawContext* context)
{
    if (value > 1.0f) value = 1.0f;
    if (background) background->setImageHeight(frameHeight);
    drawBackgroundBitmap(context, {backOffset.x, wrappingAdd(backOffset.y, frameOffset())});
    setDirty(false);
}

bool CMovieBitmap::isKindOf(const char* className) const
{
    return isClassName(className, "CMovieBitmap") || CControl::isKindOf(className);
}

}  // namespace VSTGUI
