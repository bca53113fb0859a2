#pragma once
// A handle bitmap dragged along a track between a minimum and a maximum handle position
// (in the parent's coordinates). Vertical by default with the value growing upwards; Shift
// drags ten times finer.

#include "framework/CControl.h"

namespace VSTGUI {

// Slider style bits.
inline constexpr int32_t kSliderHorizontal = 0x1;
inline constexpr int32_t kSliderVertical = 0x2;
inline constexpr int32_t kSliderGrowsLeft = 0x10;  // with kSliderGrowsUp: the value grows towards top or left
inline constexpr int32_t kSliderGrowsUp = 0x40;
inline constexpr int32_t kSliderDefaultStyle = kSliderGrowsUp | kSliderVertical;

class CSlider : public CControl {
public:
    // minPosition and maxPosition are where the handle's top (left) edge may go.
    CSlider(const Rect& size, CControlListener* listener, int32_t tag, int32_t minPosition, int32_t maxPosition,
            CBitmap* handle, CBitmap* background, Point offset = {}, int32_t style = kSliderDefaultStyle);
    ~CSlider() override;

    void draw(CDrawContext* context) override;
    void handleMouse(CDrawContext* context, Point where, MouseButtons buttons) override;
    bool isKindOf(const char* className) const override;

    virtual void setOffsetHandle(Point offset);
    virtual void setFreeClick(bool state);
    virtual bool getFreeClick() const;
    virtual void setZoomFactor(float factor);
    virtual float getZoomFactor() const;

    // The handle's rectangle for the current value.
    Rect handleRect() const;

private:
    bool isHorizontal() const { return (style & kSliderHorizontal) != 0; }
    bool isInverted() const { return (style & (kSliderGrowsLeft | kSliderGrowsUp)) != 0; }
    int32_t along(Point p) const { return isHorizontal() ? p.x : p.y; }
    int32_t handleLength() const;
    // The value for a handle whose leading edge is at position.
    float valueAt(float position) const;

    CBitmap* handle;
    int32_t minPosition;
    int32_t maxPosition;
    int32_t style;
    Point offsetHandle;
    bool freeClick = true;
    float zoomFactor = 10.0f;
};

// Behaves exactly like CSlider.
class CVerticalSlider : public CSlider {
public:
    using CSlider::CSlider;
};

}  // namespace VSTGUI
