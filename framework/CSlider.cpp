#include "framework/CSlider.h"

#include "framework/CBitmap.h"
#include "framework/CDrawContext.h"

#include <algorithm>

namespace VSTGUI {

CSlider::CSlider(const Rect& bounds, CControlListener* controlListener, int32_t controlTag, int32_t minPos,
                 int32_t maxPos, CBitmap* handleBitmap, CBitmap* bitmap, Point offset, int32_t sliderStyle)
    : CControl(bounds, controlListener, controlTag, bitmap), handle(handleBitmap), minPosition(minPos),
      maxPosition(maxPos), style(sliderStyle)
{
    if (handle) handle->retain();
    backOffset = offset;
}

CSlider::~CSlider()
{
    if (handle) handle->release();
}

int32_t CSlider::handleLength() const
{
    if (!handle) return 0;
    return isHorizontal() ? handle->getWidth() : handle->getHeight();
}

float CSlider::valueAt(float position) const
{
    const float range = static_cast<float>(maxPosition - minPosition);
    float fraction = range > 0.0f ? (position - static_cast<float>(minPosition)) / range : 0.0f;
    if (isInverted()) fraction = 1.0f - fraction;
    return vmin + fraction * (vmax - vmin);
}

Rect CSlider::handleRect() const
{
    const float span = vmax - vmin;
    float fraction = span != 0.0f ? (value - vmin) / span : 0.0f;
    fraction = std::clamp(fraction == fraction ? fraction : 0.0f, 0.0f, 1.0f);
    if (isInverted()) fraction = 1.0f - fraction;
    const int32_t lead = minPosition + truncateToInt(fraction * static_cast<float>(maxPosition - minPosition) + 0.5f);
    const int32_t w = handle ? handle->getWidth() : 0;
    const int32_t h = handle ? handle->getHeight() : 0;
    if (isHorizontal()) return Rect::fromSize({lead, size.top + offsetHandle.y}, w, h);
    return Rect::fromSize({size.left + offsetHandle.x, lead}, w, h);
}

void CSlider::draw(CDrawContext* context)
{
    if (context) {
        drawBackgroundBitmap(context, backOffset);
        if (handle) handle->drawTransparent(context, handleRect(), {0, 0});
    }
    setDirty(false);
}

void CSlider::handleMouse(CDrawContext* context, Point where, MouseButtons buttons)
{
    if (!acceptsLeftClick(context, buttons) || checkResetGesture(context, buttons)) return;
    // Where inside the handle the pointer holds it: its middle after a free click.
    int32_t grab = handleLength() / 2;
    if (!freeClick) {
        const Rect current = handleRect();
        if (!current.containsInclusive(where)) return;
        grab = along(where) - along(current.topLeft());
    }
    beginEdit();
    bool fine = false;
    float fineStartValue = 0.0f;
    float fineStartPosition = 0.0f;
    do {
        const float position = static_cast<float>(along(where) - grab);
        const bool shift = (buttons & ModShift) != 0;
        if (shift && !fine) {
            fineStartValue = value;
            fineStartPosition = position;
        }
        fine = shift;
        value =
            fine ? fineStartValue + (valueAt(position) - valueAt(fineStartPosition)) / zoomFactor : valueAt(position);
        clampValue();
        if (listener) notifyIfDirty(context);
        getMouseLocation(context, where);
        runIdle();
        buttons = CDrawContext::getMouseButtons();
    } while (buttons & ButtonLeft);
    endEdit();
}

bool CSlider::isKindOf(const char* className) const
{
    return isClassName(className, "CSlider") || CControl::isKindOf(className);
}

void CSlider::setOffsetHandle(Point offset)
{
    offsetHandle = offset;
    setDirty(true);
}

void CSlider::setFreeClick(bool state) { freeClick = state; }

bool CSlider::getFreeClick() const { return freeClick; }

void CSlider::setZoomFactor(float factor) { zoomFactor = factor > 0.0f ? factor : 1.0f; }

float CSlider::getZoomFactor() const { return zoomFactor; }

}  // namespace VSTGUI
