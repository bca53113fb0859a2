#pragma once
// A knob drawn as one image of a vertical film strip, chosen by the value; it turns like
// a CKnob.

#include "framework/CKnob.h"

namespace VSTGUI {

class CAnimKnob : public CKnob {
public:
    CAnimKnob(const Rect& size, CControlListener* listener, int32_t tag, int32_t frameCount, int32_t frameHeight,
              CBitmap* filmStrip, Point offset = {});

    void draw(CDrawContext* context) override;
    // A value change too small to move the handle point does not redraw.
    bool isDirty() const override;
    bool isKindOf(const char* className) const override;

    void setInverseBitmap(bool state) { inverse = state; }
    // The top of the strip image shown for the current value.
    int32_t frameOffset() const;

private:
    int32_t frameCount;
    int32_t frameHeight;
    bool inverse = false;
    Point lastDrawnPoint;
};

}  // namespace VSTGUI
