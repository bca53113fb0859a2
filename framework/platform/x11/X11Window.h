#pragma once
// The editor's child window inside the host's window on an X server. Its pixels are a
// software surface that the presenter puts on the screen; events are read by the shared
// connection, kept per window, and delivered to the window's procedure from the host's
// idle calls (processEvents) and the controls' mouse loops: there is no loop of our own.

#include "framework/platform/Platform.h"
#include "framework/platform/x11/X11Presenter.h"
#include "framework/platform/x11/XdndTarget.h"

#include "framework/platform/x11/XlibHeaders.h"

#include <array>
#include <deque>
#include <map>
#include <memory>
#include <optional>

namespace VSTGUI::x11 {

class Connection;

// The MouseButtons bits of an X event's or pointer query's key and button state. The server
// maps a left-handed pointer already: Button1 is the primary button.
MouseButtons mouseButtonsOf(unsigned state);
// [any thread] Milliseconds of the steady clock, wrapping like a 32-bit counter: the
// toolkit's ticks and the windows' timers.
uint32_t getTicks();

class X11Window final : public platform::Window {
public:
    // Null when parent is not a window of the display, or no usable visual exists.
    static std::unique_ptr<X11Window> create(Connection& connection, ::Window parent, int32_t width, int32_t height,
                                             platform::WindowProcedure procedure);
    ~X11Window() override;

    ::Window id() const { return xid; }
    uintptr_t nativeHandle() const override { return xid; }
    // The server no longer has the window (the host destroyed its own first, or the server
    // itself went away).
    void markGone();
    // Takes an event the connection read for this window.
    void handleEvent(const XEvent& event);

    // Delivery from the event pump; each returns whether it delivered anything.
    bool deliverDestroy();
    // A press starts a control's mouse loop inside this call: the loop's polls learn from
    // pressReleased whether the press has ended.
    bool deliverQueuedInput();
    bool deliverPaint();
    void fireDueTimers(uint32_t now);

    // [UI thread] While a press is being delivered: whether its release has come in behind
    // it (read from the server by the caller). A click shorter than the host's idle period
    // arrives as a press with its release already queued; the control must see the button
    // down first and then up, as the user did. False when no press is being delivered.
    static bool pressReleased();

    PixelSurface* acquireSurface() override;
    void releaseSurface(PixelSurface* surface) override;
    Point screenOrigin() const override;

    Rect getScreenRect() const override;
    void resize(int32_t width, int32_t height) override;
    void invalidate(const Rect& rect) override;
    void changesOnlyIn(const Rect& rect) override;
    void changesOnlyIn(const ChangedRows& rows) override;
    void holdPresents() override;
    void releasePresents() override;
    bool startTimer(uint32_t id, uint32_t intervalMilliseconds, platform::TimerProcedure procedure) override;
    void stopTimer(uint32_t id) override;
    void setCursor(platform::CursorShape shape) override;
    void setDropTarget(bool active) override;
    bool getEditorWindowPosition(Point& position) const override;
    bool getParentRect(Rect& rect) const override;
    int32_t popupMenu(Point where, const std::vector<std::string>& entries, int32_t checked) override;
    bool editText(const Rect& rect, std::string& text, std::size_t maxLength) override;
    void resizeHostWindows(int32_t width, int32_t height) override;

    bool usesSharedMemory() const { return presenter && presenter->usesSharedMemory(); }

private:
    X11Window(Connection& connection, ::Window xid, ::Window parent, Colormap colormap, Visual* visual, int depth,
              int32_t width, int32_t height, platform::WindowProcedure procedure);
    bool deliver(const platform::WindowEvent& event);
    // The window's rectangle in its parent's coordinates.
    bool windowGeometry(::Window window, Rect& rect) const;
    void forwardWheelToParent(const XButtonEvent& press);
    // Adds the limit's area (the whole surface without one) to what the next present
    // compares.
    void holdChanges();
    void presentHeldChanges();

    struct Timer {
        uint32_t interval;
        uint32_t due;
        platform::TimerProcedure procedure;
    };

    Connection& connection;
    Display* display;
    ::Window xid;
    ::Window parent;
    Colormap ownColormap;  // only when the parent's visual could not be used
    platform::WindowProcedure procedure;
    PixelSurface surface;
    std::unique_ptr<Presenter> presenter;
    Rect pendingPaint;
    Rect mustPresent;  // asked for by the server: sent even where nothing changed
    // Where the next present compares the surface with what the window shows; the whole
    // surface unless a caller promised less for that present.
    std::optional<ChangedArea> changesLimit;
    // The areas drawn since the last present, while the timers' drawings are held for one
    // present after them; their rectangles are disjoint.
    std::array<ChangedArea, 4> heldChanges{};
    std::size_t heldCount = 0;
    // Holds on presents that have not ended (holdPresents, and the timers' pass).
    int32_t presentHolds = 0;
    std::map<uint32_t, Timer> timers;
    std::map<platform::CursorShape, Cursor> cursors;
    std::deque<XEvent> input;
    XdndTarget dragTarget;
    bool dropTarget = false;
    bool alive = true;
    bool destroyDelivered = false;
};

}  // namespace VSTGUI::x11
