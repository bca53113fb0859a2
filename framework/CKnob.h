#pragma once
// The rotary knob: a background with a drawn handle (a line pair or a handle bitmap) whose
// angle follows the value. It turns by circular or linear dragging (the host's knob mode,
// Alt swaps them, Shift drags finer), by the wheel and by the arrow keys.
//
// Angles are counter-clockwise from the positive x axis with y pointing up: by default the
// minimum sits at lower left (225 degrees), the maximum at lower right (-45 degrees) and
// the 90 degree dead zone at the bottom.

#include "framework/CControl.h"

namespace VSTGUI {

// The knob mode for linear dragging; any other mode drags circularly.
inline constexpr int32_t kLinearMode = 2;

class CKnob : public CControl {
public:
    CKnob(const Rect& size, CControlListener* listener, int32_t tag, CBitmap* background, CBitmap* handle,
          Point offset = {});
    ~CKnob() override;

    void draw(CDrawContext* context) override;
    void handleMouse(CDrawContext* context, Point where, MouseButtons buttons) override;
    bool wheel(CDrawContext* context, Point where, float distance) override;
    int32_t keyDown(const KeyCode& key) override;
    bool isKindOf(const char* className) const override;
    // The angle mapping follows every range change.
    void setMin(float value) override;
    void setMax(float value) override;

    virtual void drawHandle(CDrawContext* context);
    virtual void setStartAngle(float angle);
    virtual float getStartAngle() const;
    virtual void setRangeAngle(float angle);
    virtual float getRangeAngle() const;
    // The handle's tip for the current value, relative to the bounds' top-left corner.
    virtual void valueToPoint(Point& point) const;
    // The value a point (relative to the bounds' top-left corner) points at.
    virtual float valueFromPoint(Point point) const;
    virtual void setInsetValue(int32_t value);
    virtual void setHandleShadowColor(Color color);
    virtual void setHandleColor(Color color);
    virtual void setHandleBitmap(CBitmap* bitmap);
    virtual void setZoomFactor(float factor);
    virtual float getZoomFactor() const;

    int32_t getInsetValue() const { return inset; }

protected:
    void compute();
    // A wheel or key step: the value moves, is clamped, and a change is reported as one edit.
    void applyStep(CDrawContext* context, float step);

    Color handleColor = kWhiteColor;
    Color shadowHandleColor = kGreyColor;
    CBitmap* handleBitmap = nullptr;
    int32_t inset = 3;
    float startAngle = 3.9269907f;
    float rangeAngle = -4.712389f;
    float halfAngle = 0.0f;
    float aCoef = 0.0f;
    float bCoef = 0.0f;
    float radius;
    float zoomFactor = 1.5f;
};

}  // namespace VSTGUI
