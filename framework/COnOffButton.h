#pragma once
// A two-state switch: the bitmap holds the off image above the on image, and the view is
// as high as one image. A click toggles it; there is no drag.

#include "framework/CControl.h"

namespace VSTGUI {

// Styles: the listener hears the change after the idle cycle drew it, or before.
inline constexpr int32_t kPreListenerUpdate = 0;
inline constexpr int32_t kPostListenerUpdate = 1;

class COnOffButton : public CControl {
public:
    COnOffButton(const Rect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                 int32_t style = kPreListenerUpdate);

    void draw(CDrawContext* context) override;
    void handleMouse(CDrawContext* context, Point where, MouseButtons buttons) override;
    bool isKindOf(const char* className) const override;

    virtual int32_t getStyle() const;
    virtual void setStyle(int32_t newStyle);

private:
    int32_t style;
};

}  // namespace VSTGUI
