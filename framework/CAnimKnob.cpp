#include "framework/CAnimKnob.h"

#include "framework/CBitmap.h"

#include <algorithm>

namespace VSTGUI {

CAnimKnob::CAnimKnob(const Rect& bounds, CControlListener* controlListener, int32_t controlTag, int32_t frames,
                     int32_t height, CBitmap* filmStrip, Point offset)
    : CKnob(bounds, controlListener, controlTag, filmStrip, nullptr, offset), frameCount(frames), frameHeight(height)
{
    inset = 0;
}

int32_t CAnimKnob::frameOffset() const
{
    if (!(value >= 0.0f) || frameHeight <= 0 || frameCount <= 1) return 0;
    const double span = static_cast<double>(frameHeight) * (frameCount - 1);
    const int32_t g = truncateToInt((inverse ? 1.0 - value : static_cast<double>(value)) * span);
    if (g <= 0) return 0;
    // Values above 1 would point below the strip's last image: show the last one.
    const int32_t last = truncateToInt(span);
    return std::min(g / frameHeight * frameHeight, last);
}

void CAnimKnob::draw(CDrawContext* context)
{
    if (background) background->setImageHeight(frameHeight);
    drawBackgroundBitmap(context, {0, frameOffset()});
    valueToPoint(lastDrawnPoint);
    setDirty(false);
}

bool CAnimKnob::isDirty() const
{
    if (!dirty) {
        Point point;
        valueToPoint(point);
        if (point == lastDrawnPoint) return false;
    }
    return CKnob::isDirty();
}

bool CAnimKnob::isKindOf(const char* className) const
{
    return isClassName(className, "CAnimKnob") || CKnob::isKindOf(className);
}

}  // namespace VSTGUI
