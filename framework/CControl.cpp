#include "framework/CControl.h"

#include "framework/CBitmap.h"
#include "framework/CDrawContext.h"
#include "framework/CFrame.h"
#include "framework/platform/Platform.h"

#include <algorithm>
#include <limits>

namespace VSTGUI {
namespace {

// Some systems report a very short double-click time; a reset must stay deliberate.
constexpr uint32_t kMinimumDoubleClickInterval = 250;

}  // namespace

CControl::CControl(const Rect& bounds, CControlListener* controlListener, int32_t controlTag, CBitmap* bitmap)
    : CView(bounds), listener(controlListener), tag(controlTag),
      doubleClickInterval(static_cast<int32_t>(
          std::min<uint32_t>(std::max(platform::services().getDoubleClickTime(), kMinimumDoubleClickInterval),
                             static_cast<uint32_t>(std::numeric_limits<int32_t>::max()))))
{
    if (bitmap) {
        bitmap->retain();
        background = bitmap;
    }
    setDirty(true);
}

bool CControl::isDirty() const { return value != oldValue || CView::isDirty(); }

void CControl::setDirty(bool state)
{
    CView::setDirty(state);
    if (state)
        oldValue = value == -1.0f ? 0.0f : -1.0f;
    else
        oldValue = value;
}

bool CControl::isKindOf(const char* className) const
{
    return isClassName(className, "CControl") || CView::isKindOf(className);
}

void CControl::runIdle()
{
    if (parentFrame) parentFrame->runIdleCycle();
}

void CControl::beginEdit()
{
    if (!parentFrame) return;
    parentFrame->setFocusView(this);
    parentFrame->beginParameterEdit(tag);
}

void CControl::endEdit()
{
    if (parentFrame) parentFrame->endParameterEdit(tag);
}

void CControl::setBackOffset(Point offset) { backOffset = offset; }

void CControl::copyBackOffset() { backOffset = size.topLeft(); }

void CControl::setWheelIncrement(float increment) { wheelIncrement = increment; }

float CControl::getWheelIncrement() const { return wheelIncrement; }

void CControl::clampValue()
{
    if (value > vmax)
        value = vmax;
    else if (value < vmin)
        value = vmin;
}

bool CControl::checkResetGesture(CDrawContext* context, MouseButtons buttons)
{
    if (buttons == ButtonLeft) {
        if (!registerClick()) return false;
    } else if (buttons != (ButtonLeft | ModControl)) {
        return false;
    }
    beginEdit();
    value = getDefaultValue();
    notifyIfDirty(context);
    endEdit();
    return true;
}

bool CControl::registerClick()
{
    const uint32_t ticks = parentFrame ? parentFrame->getTicks() : 0;
    // The distance is taken on the wrapping tick counter, so a pair across the counter's
    // wrap still counts.
    const bool paired = hasFirstClick && ticks - firstClickTime < static_cast<uint32_t>(doubleClickInterval);
    // A completed pair starts no new one; any other click is the first of the next pair.
    hasFirstClick = !paired;
    firstClickTime = ticks;
    return paired;
}

bool CControl::acceptsLeftClick(CDrawContext* context, MouseButtons& buttons)
{
    if (!mouseEnabled) return false;
    if (buttons == kPollMouseButtons) buttons = CDrawContext::getMouseButtons();
    return (buttons & ButtonLeft) && !offerModifierClick(context, buttons);
}

bool CControl::offerModifierClick(CDrawContext* context, MouseButtons buttons)
{
    return listener && (buttons & kModifierMask) != 0 && listener->modifierClicked(context, this, buttons) != 0;
}

void CControl::notifyListener(CDrawContext* context)
{
    if (listener) listener->valueChanged(context, this);
}

void CControl::notifyInEdit(CDrawContext* context)
{
    if (!listener) return;
    beginEdit();
    notifyListener(context);
    endEdit();
}

void CControl::notifyIfDirty(CDrawContext* context)
{
    if (isDirty()) notifyListener(context);
}

}  // namespace VSTGUI
