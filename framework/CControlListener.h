#pragma once
// The receiver of a control's user changes (the editor).

#include "framework/GraphicsTypes.h"

#include <cstdint>

namespace VSTGUI {

class CControl;
class CDrawContext;

class CControlListener {
public:
    virtual ~CControlListener() = default;
    // [UI thread] The user changed the control's value; context may be null.
    virtual void valueChanged(CDrawContext* context, CControl* control) = 0;
    // [UI thread] A click made with a modifier key; nonzero consumes it and the control does
    // nothing more.
    virtual int32_t modifierClicked(CDrawContext*, CControl*, MouseButtons) { return 0; }
};

}  // namespace VSTGUI
