#include "framework/COnOffButton.h"

#include "framework/CBitmap.h"
#include "framework/CDrawContext.h"

#include <cmath>

namespace VSTGUI {

COnOffButton::COnOffButton(const Rect& bounds, CControlListener* controlListener, int32_t controlTag, CBitmap* bitmap,
                           int32_t buttonStyle)
    : CControl(bounds, controlListener, controlTag, bitmap), style(buttonStyle)
{
}

void COnOffButton::draw(CDrawContext* context)
{
    // The bitmap holds the off and the on image, one above the other.
    if (background) background->setImageHeight(background->getHeight() / 2);
    const int32_t y = (value == 0.0f || !background) ? 0 : background->getHeight() / 2;
    drawBackgroundBitmap(context, {0, y});
    setDirty(false);
}

void COnOffButton::handleMouse(CDrawContext* context, Point, MouseButtons buttons)
{
    if (!acceptsLeftClick(context, buttons)) return;
    // Anything that truncates to 0 is off, so 0.5 switches on.
    value = std::trunc(value) == 0.0f ? 1.0f : 0.0f;
    if (style == kPostListenerUpdate) notifyInEdit(context);
    runIdle();
    if (style == kPreListenerUpdate) notifyInEdit(context);
}

bool COnOffButton::isKindOf(const char* className) const
{
    return isClassName(className, "COnOffButton") || CControl::isKindOf(className);
}

int32_t COnOffButton::getStyle() const { return style; }

void COnOffButton::setStyle(int32_t newStyle) { style = newStyle; }

}  // namespace VSTGUI
