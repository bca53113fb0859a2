#include "framework/CKnob.h"

#include "framework/CBitmap.h"
#include "framework/CDrawContext.h"
#include "framework/CFrame.h"

#include <cmath>
#include <numbers>

namespace VSTGUI {
namespace {

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;
// Pixels of linear drag for the whole range: at the press, and after the buttons or
// modifiers changed during the drag.
constexpr float kLinearRange = 360.0f;
constexpr float kLinearRangeAfterChange = 200.0f;
// Shift slows the wheel and the keys down tenfold.
constexpr float kFineStep = 0.1f;

int32_t handleInsetFor(const CBitmap* bitmap) { return truncateToInt(bitmap->getWidth() * 0.5 + 2.5); }

}  // namespace

CKnob::CKnob(const Rect& bounds, CControlListener* controlListener, int32_t controlTag, CBitmap* bitmap,
             CBitmap* handle, Point offset)
    : CControl(bounds, controlListener, controlTag, bitmap), handleBitmap(handle),
      radius(static_cast<float>(bounds.width()) * 0.5f)
{
    if (handleBitmap) {
        handleBitmap->retain();
        inset = handleInsetFor(handleBitmap);
    }
    backOffset = offset;
    wantsFocus = true;
    compute();
}

CKnob::~CKnob()
{
    if (handleBitmap) handleBitmap->release();
}

void CKnob::compute()
{
    halfAngle = (kTwoPi - std::fabs(rangeAngle)) * 0.5f;
    aCoef = (vmax - vmin) / rangeAngle;
    bCoef = vmin - aCoef * startAngle;
}

void CKnob::valueToPoint(Point& point) const
{
    const float angle = (value - bCoef) / aCoef;
    const float reach = radius - static_cast<float>(inset);
    point.x = truncateToInt(radius + std::cos(angle) * reach + 0.5f);
    point.y = truncateToInt(radius - std::sin(angle) * reach + 0.5f);
}

float CKnob::valueFromPoint(Point point) const
{
    float alpha = std::atan2(radius - static_cast<float>(point.y), static_cast<float>(point.x) - radius);
    if (alpha < 0.0f) alpha += kTwoPi;
    const float beta = alpha - startAngle;
    const auto wrapped = [](float angle) {
        if (angle < 0.0f) return angle + kTwoPi;
        if (angle > kTwoPi) return angle - kTwoPi;
        return angle;
    };
    // The dead zone is split at its middle: each half gives the value of the end of the
    // sweep that it touches.
    if (rangeAngle < 0.0f) {
        const float gamma = beta - rangeAngle;
        const float delta = wrapped(gamma);
        if (delta > halfAngle - rangeAngle) return vmax;
        if (delta > -rangeAngle) return vmin;
        float g = gamma;
        if (gamma > halfAngle - rangeAngle)
            g = gamma - kTwoPi;
        else if (gamma < -halfAngle)
            g = gamma + kTwoPi;
        return vmax + aCoef * g;
    }
    const float delta = wrapped(beta);
    if (delta > rangeAngle + halfAngle) return vmin;
    if (delta > rangeAngle) return vmax;
    float b = beta;
    if (beta > rangeAngle + halfAngle)
        b = beta - kTwoPi;
    else if (beta < -halfAngle)
        b = beta + kTwoPi;
    return vmin + aCoef * b;
}

void CKnob::draw(CDrawContext* context)
{
    if (context) {
        drawBackgroundBitmap(context, backOffset);
        drawHandle(context);
    }
    setDirty(false);
}

void CKnob::drawHandle(CDrawContext* context)
{
    Point tip;
    valueToPoint(tip);
    if (handleBitmap) {
        const int32_t w = handleBitmap->getWidth();
        const int32_t h = handleBitmap->getHeight();
        const Point corner{size.left + tip.x - w / 2, size.top + tip.y - h / 2};
        handleBitmap->drawTransparent(context, Rect::fromSize(corner, w, h), {0, 0});
        return;
    }
    const Point centre{size.left + size.width() / 2, size.top + size.height() / 2};
    context->setFrameColor(shadowHandleColor);
    context->moveTo({size.left + tip.x - 1, size.top + tip.y});
    context->lineTo({centre.x - 1, centre.y});
    context->setFrameColor(handleColor);
    context->moveTo({size.left + tip.x, size.top + tip.y - 1});
    context->lineTo({centre.x, centre.y - 1});
}

void CKnob::handleMouse(CDrawContext* context, Point where, MouseButtons buttons)
{
    if (!acceptsLeftClick(context, buttons) || checkResetGesture(context, buttons)) return;

    float startValue = oldValue;
    float entryValue = value;
    const float halfRange = (vmax - vmin) * 0.5f;
    float coefficient = (vmax - vmin) / kLinearRange;
    MouseButtons oldButtons = buttons;
    const bool altHeld = (buttons & ModAlt) != 0;
    const bool linearMode = (parentFrame ? parentFrame->getKnobMode() : 0) == kLinearMode;
    const bool linear = linearMode != altHeld;
    Point first;
    if (linear) {
        const float range = (buttons & ModShift) ? kLinearRange * zoomFactor : kLinearRange;
        coefficient = (vmax - vmin) / range;
        first = where;
    } else {
        startValue = valueFromPoint(where - size.topLeft());
    }

    Point last{-1, -1};
    beginEdit();
    do {
        buttons = CDrawContext::getMouseButtons();
        if (where != last) {
            last = where;
            if (linear) {
                const float diff =
                    static_cast<float>(wrappingAdd(wrappingSub(where.x, first.x), wrappingSub(first.y, where.y)));
                if (buttons != oldButtons) {
                    // Rebase the entry value so that the new scale does not make the value jump.
                    const float range =
                        (buttons & ModShift) ? kLinearRangeAfterChange * zoomFactor : kLinearRangeAfterChange;
                    oldButtons = buttons;
                    const float newCoefficient = (vmax - vmin) / range;
                    entryValue += diff * (coefficient - newCoefficient);
                    coefficient = newCoefficient;
                }
                value = diff * coefficient + entryValue;
                clampValue();
            } else {
                value = valueFromPoint(where - size.topLeft());
                // No wrap from one end of the sweep to the other.
                if (startValue - value > halfRange)
                    value = vmax;
                else if (value - startValue > halfRange)
                    value = vmin;
                else
                    startValue = value;
            }
            if (listener) notifyIfDirty(context);
        }
        getMouseLocation(context, where);
        runIdle();
    } while (buttons & ButtonLeft);
    endEdit();
}

bool CKnob::wheel(CDrawContext* context, Point, float distance)
{
    if (!mouseEnabled) return false;
    const float step = wheelIncrement * distance;
    applyStep(context, (CDrawContext::getMouseButtons() & ModShift) ? step * kFineStep : step);
    return true;
}

int32_t CKnob::keyDown(const KeyCode& key)
{
    float direction = 0.0f;
    switch (key.virt) {
    case VirtualKey::Left:
    case VirtualKey::Down: direction = -1.0f; break;
    case VirtualKey::Up:
    case VirtualKey::Right: direction = 1.0f; break;
    default: return kKeyNotHandled;
    }
    float step = direction * wheelIncrement;
    if (key.modifiers & ModShift) step *= kFineStep;
    applyStep(nullptr, step);
    return 1;
}

void CKnob::applyStep(CDrawContext* context, float step)
{
    value += step;
    clampValue();
    if (isDirty()) notifyInEdit(context);
}

bool CKnob::isKindOf(const char* className) const
{
    return isClassName(className, "CKnob") || CControl::isKindOf(className);
}

void CKnob::setMin(float newValue)
{
    CControl::setMin(newValue);
    compute();
    setDirty(true);
}

void CKnob::setMax(float newValue)
{
    CControl::setMax(newValue);
    compute();
    setDirty(true);
}

void CKnob::setStartAngle(float angle)
{
    startAngle = angle;
    compute();
    setDirty(true);
}

float CKnob::getStartAngle() const { return startAngle; }

void CKnob::setRangeAngle(float angle)
{
    rangeAngle = angle;
    compute();
    setDirty(true);
}

float CKnob::getRangeAngle() const { return rangeAngle; }

void CKnob::setInsetValue(int32_t newInset) { inset = newInset; }

void CKnob::setHandleShadowColor(Color color)
{
    shadowHandleColor = color;
    setDirty(true);
}

void CKnob::setHandleColor(Color color)
{
    handleColor = color;
    setDirty(true);
}

void CKnob::setHandleBitmap(CBitmap* bitmap)
{
    if (bitmap) bitmap->retain();
    if (handleBitmap) handleBitmap->release();
    handleBitmap = bitmap;
    if (handleBitmap) inset = handleInsetFor(handleBitmap);
}

void CKnob::setZoomFactor(float factor) { zoomFactor = factor; }

float CKnob::getZoomFactor() const { return zoomFactor; }

}  // namespace VSTGUI
