#pragma once
// A momentary button: it shows the pressed image while the mouse is held inside it and
// always comes back to 0. The pressed image lies frameHeight pixels below the released one.

#include "framework/CControl.h"

namespace VSTGUI {

class CKickButton : public CControl {
public:
    CKickButton(const Rect& size, CControlListener* listener, int32_t tag, int32_t frameHeight, CBitmap* background,
                Point offset = {});

    void draw(CDrawContext* context) override;
    void handleMouse(CDrawContext* context, Point where, MouseButtons buttons) override;
    bool isKindOf(const char* className) const override;

private:
    Point offset;
    int32_t frameHeight;
};

}  // namespace VSTGUI
