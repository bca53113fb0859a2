#include "framework/CKickButton.h"

#include "framework/CBitmap.h"
#include "framework/CDrawContext.h"

namespace VSTGUI {

CKickButton::CKickButton(const Rect& bounds, CControlListener* controlListener, int32_t controlTag, int32_t imageHeight,
                         CBitmap* bitmap, Point sourceOffset)
    : CControl(bounds, controlListener, controlTag, bitmap), offset(sourceOffset), frameHeight(imageHeight)
{
}

void CKickButton::draw(CDrawContext* context)
{
    clampValue();
    if (background) background->setImageHeight(frameHeight);
    Point source = offset;
    if (value != 0.0f) source.y = wrappingAdd(source.y, frameHeight);
    drawBackgroundBitmap(context, source);
    setDirty(false);
}

void CKickButton::handleMouse(CDrawContext* context, Point where, MouseButtons buttons)
{
    if (!mouseEnabled) return;
    if (buttons == kPollMouseButtons) buttons = CDrawContext::getMouseButtons();
    if (offerModifierClick(context, buttons) || !(buttons & ButtonLeft)) return;
    const float entry = value;
    beginEdit();
    if (CDrawContext::getMouseButtons() == ButtonLeft) {
        const float pressed = entry == 0.0f ? 1.0f : 0.0f;
        do {
            value = size.containsInclusive(where) ? pressed : entry;
            if (listener) notifyIfDirty(context);
            getMouseLocation(context, where);
            runIdle();
        } while (CDrawContext::getMouseButtons() == ButtonLeft);
    } else {
        // Released already, or pressed with a modifier: a click without tracking.
        value = value == 0.0f ? 1.0f : 0.0f;
        notifyListener(context);
    }
    value = 0.0f;
    notifyListener(context);
    endEdit();
}

bool CKickButton::isKindOf(const char* className) const
{
    return isClassName(className, "CKickButton") || CControl::isKindOf(className);
}

}  // namespace VSTGUI
