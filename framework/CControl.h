#pragma once
// The base of every control: a floating-point value with range and default, a tag, the
// listener that hears user changes, the bracketing of a gesture as a parameter edit, the
// reset gesture (Ctrl+click or double click), and dirtiness that follows the value. All
// of it runs on the editor window's thread.

#include "framework/CControlListener.h"
#include "framework/CView.h"

#include <atomic>

namespace VSTGUI {

class CControl : public CView {
public:
    CControl(const Rect& size, CControlListener* listener, int32_t tag, CBitmap* background = nullptr);

    // True when the value differs from the value at the last draw, or the flag is set.
    bool isDirty() const override;
    void setDirty(bool state) override;
    bool isKindOf(const char* className) const override;

    // One pass of the frame's paced idle cycle; modal mouse loops call it on every pass.
    virtual void runIdle();
    // [any thread] Stores the value as given: no clamping, no notification.
    virtual void setValue(float newValue) { value = newValue; }
    // [any thread]
    virtual float getValue() const { return value; }
    virtual void setMin(float newValue) { vmin = newValue; }
    virtual float getMin() const { return vmin; }
    virtual void setMax(float newValue) { vmax = newValue; }
    virtual float getMax() const { return vmax; }
    virtual void setOldValue(float newValue) { oldValue = newValue; }
    virtual float getOldValue() const { return oldValue; }
    virtual void setDefaultValue(float newValue) { defaultValue = newValue; }
    virtual float getDefaultValue() const { return defaultValue; }
    virtual void setTag(int32_t newTag) { tag = newTag; }
    virtual int32_t getTag() const { return tag; }
    // Takes the keyboard focus and tells the editor that the parameter's edit starts.
    virtual void beginEdit();
    virtual void endEdit();
    virtual void setBackOffset(Point offset);
    // The background offset becomes the bounds' top-left corner.
    virtual void copyBackOffset();
    virtual void setWheelIncrement(float increment);
    virtual float getWheelIncrement() const;
    virtual void clampValue();
    // Ctrl+left click, or a left click within the double-click interval of the previous
    // one, resets the value to the default; true when it did.
    virtual bool checkResetGesture(CDrawContext* context, MouseButtons buttons);

    CControlListener* getListener() const { return listener; }
    void setListener(CControlListener* newListener) { listener = newListener; }
    Point getBackOffset() const { return backOffset; }
    int32_t getDoubleClickInterval() const { return doubleClickInterval; }

protected:
    // Counts a plain left click: true when it completes a double click with the previous
    // one (which then starts no new pair), false when it is the first of a possible pair.
    bool registerClick();
    // The start of a control's press: polls the buttons when asked to; true when the control
    // is enabled, the left button is down and the listener did not consume a modifier click.
    bool acceptsLeftClick(CDrawContext* context, MouseButtons& buttons);
    // Offers a click with a modifier key (Shift, Ctrl, Alt, Command) to the listener;
    // true when the listener consumed it.
    bool offerModifierClick(CDrawContext* context, MouseButtons buttons);
    // Tells the listener, when there is one, that the value changed.
    void notifyListener(CDrawContext* context);
    // notifyListener, but only when the value differs from the one last drawn.
    void notifyIfDirty(CDrawContext* context);
    // A whole edit at once: begin, notify, end; nothing without a listener.
    void notifyInEdit(CDrawContext* context);

    CControlListener* listener;
    int32_t tag;
    float oldValue = 1.0f;
    float defaultValue = 0.5f;
    // An atomic, so that a value set from another thread is read whole and the next draw
    // shows the latest one. The editor itself no longer does that: it hands a host's
    // changes from other threads to the UI thread and sets its controls there.
    std::atomic<float> value{0.0f};
    float vmin = 0.0f;
    float vmax = 1.0f;
    float wheelIncrement = 0.1f;
    // The first click of a possible double click: whether there is one, and its tick. Every
    // tick value is a valid time, so the flag is kept apart from it.
    bool hasFirstClick = false;
    uint32_t firstClickTime = 0;
    int32_t doubleClickInterval;
    Point backOffset;
};

// Truncates towards zero like a C cast, but a value outside the 32-bit range saturates and
// NaN gives 0, so that no value a host or a listener sets is undefined behaviour.
constexpr int32_t truncateToInt(double x)
{
    if (!(x == x)) return 0;
    if (x >= 2147483647.0) return 2147483647;
    if (x <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int32_t>(x);
}

// The modifier keys whose clicks are offered to the listener first.
inline constexpr MouseButtons kModifierMask = ModShift | ModControl | ModAlt | ModCommand;

}  // namespace VSTGUI
