#pragma once
// A display that shows one image of a vertical film strip, chosen by the value rounded to
// the nearest image (the level meter's base). It ignores the mouse.

#include "framework/CControl.h"

namespace VSTGUI {

class CMovieBitmap : public CControl {
public:
    CMovieBitmap(const Rect& size, CControlListener* listener, int32_t tag, int32_t frameCount, int32_t frameHeight,
                 CBitmap* filmStrip, Point offset = {});

    // A value above 1 is stored back as 1.
    void draw(CDrawContext* context) override;
    bool isKindOf(const char* className) const override;

    // The top of the strip image shown for the current value.
    int32_t frameOffset() const;

protected:
    int32_t frameCount;
    int32_t frameHeight;
};

}  // namespace VSTGUI
