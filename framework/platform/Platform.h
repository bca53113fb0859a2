#pragma once
// Everything the view framework takes from the operating system, in one place: time,
// the mouse and modifier poll, the cursor, the module's own path, opening a document,
// and a child window inside the host's window with paint, button-press, wheel, destroy,
// timers, cursor shapes and a drop target. Each back end (headless, x11, win32) is one
// folder under framework/platform/ that implements exactly this header: its windows and
// its table of services, which it hands the toolkit as the program loads. The back ends
// depend on the toolkit, never the other way round. Above the seam there are only our
// Rect, Point, Color, MouseButtons and opaque handles.

#include "framework/ChangedRows.h"
#include "framework/DrawingWindow.h"
#include "framework/GraphicsTypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace VSTGUI::platform {

// The host's window that the editor's child window lives in; opaque above the seam.
using ParentWindow = void*;

enum class CursorShape : int32_t {
    Default = 0,  // the cursor that was current before the first change
    Busy = 1,
    ResizeHorizontal = 2,
    ResizeVertical = 3,
    Move = 4,
    ResizeDiagonalNeSw = 5,
    ResizeDiagonalNwSe = 6,
    NotAllowed = 8,
    Hand = 9,
};

// What is being dragged over a window: text counts as one item, files as one item each.
struct DropData {
    enum class Kind : int32_t { Unknown = 0, Text = 1, Files = 2 };
    Kind kind = Kind::Unknown;
    int32_t itemCount = 0;
};

struct WindowEvent {
    enum class Kind : int32_t {
        Paint,       // updateRect needs drawing (client coordinates)
        ButtonDown,  // a mouse button went down at where (client coordinates)
        Wheel,       // the wheel turned by distance notches (up positive) at where (screen coordinates);
                     // the back end hands it on to the parent window as well, whatever the result
        Destroy,     // the window is going away (the host destroyed its own window first, or we did)
        DragEnter,   // drop names what is dragged; positions come from getCursorPosition
        DragMove,
        DragLeave,
        Drop,
        ScaleChanged,  // the window's scale factor changed (it moved to another monitor, or the
                       // user changed the setting); scaleFactor holds the new one
    };
    Kind kind = Kind::Paint;
    Rect updateRect;
    Point where;
    // ButtonDown: the buttons and modifier keys as the press happened, the pressed button
    // included. A poll at delivery time could already find a short click released.
    MouseButtons buttons = 0;
    float distance = 0.0f;
    const DropData* drop = nullptr;
    double scaleFactor = 0.0;
};

class Window;

// A captionless window of the host's that wraps the editor's window and is at most this
// much larger than it, in width and in height, is part of the host's editor window;
// anything larger is the host's own.
inline constexpr int32_t kWrapperMargin = 60;

// Receives every event of a window. Returns true when the event was handled; for
// DragEnter and DragMove, true accepts the drag (the drag shows as a move).
using WindowProcedure = bool (*)(Window& window, const WindowEvent& event);
using TimerProcedure = void (*)(Window& window, uint32_t timerId);

// A child window of the host's window, at (0, 0) of its parent. Its pixels are the
// DrawingWindow surface: a draw context on the window acquires it and releasing it
// presents what was drawn. Destroying the object destroys the window (the procedure
// gets Destroy first unless the window is already gone).
class Window : public DrawingWindow {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window() = default;

    // [UI thread] The slot that leads from the window to its owner; null gets events
    // default processing only.
    void setUserData(void* data) { userData = data; }
    void* getUserData() const { return userData; }

    // [UI thread] The window system's own id of the window (an X11 window), for hosts that
    // embed it by that id; 0 where there is none.
    virtual uintptr_t nativeHandle() const { return 0; }
    // [UI thread] The window's rectangle in screen coordinates.
    virtual Rect getScreenRect() const = 0;
    // [UI thread] The scale factor the window system asks of this window's contents (1.0 at
    // 96 dots per inch, 2.0 at 192); 0 when the window has none of its own and the
    // screen's applies (Services::screenScaleFactor).
    virtual double scaleFactor() const { return 0.0; }
    // [UI thread] Resizes the window, keeping its top-left corner.
    virtual void resize(int32_t width, int32_t height) = 0;
    // [UI thread] Adds rect to the region that the next Paint event covers.
    virtual void invalidate(const Rect& rect) = 0;
    // [UI thread] The caller promises that until the surface is next released only pixels
    // inside rect change: a back end that compares the surface with what it shows may look
    // only there. One that ignores the promise stays correct.
    virtual void changesOnlyIn(const Rect&) {}
    // [UI thread] The same promise row by row, for drawings whose changes a rectangle
    // holds only loosely; a back end without a use for the rows takes their bounds.
    virtual void changesOnlyIn(const ChangedRows& rows) { changesOnlyIn(rows.bounds()); }
    // [UI thread] Between these, drawings released are shown together when the last hold
    // ends, in one present, rather than one present each: views redrawn one after another
    // in one tick. Holds nest. Nothing that waits for the user (a mouse loop) may run inside.
    virtual void holdPresents() {}
    virtual void releasePresents() {}

    // [UI thread] Calls procedure with id every interval milliseconds from the window's
    // message loop; starting an id again replaces it.
    virtual bool startTimer(uint32_t id, uint32_t intervalMilliseconds, TimerProcedure procedure) = 0;
    virtual void stopTimer(uint32_t id) = 0;

    // [UI thread]
    virtual void setCursor(CursorShape shape) = 0;
    // [UI thread] While active, drags over the window reach its procedure.
    virtual void setDropTarget(bool active) = 0;

    // [UI thread] The top-left corner of the host's editor window (the nearest ancestor with
    // a caption, or the last captionless wrapper at most kWrapperMargin pixels larger than
    // this window) in its parent's client coordinates; false when unknown.
    virtual bool getEditorWindowPosition(Point& position) const = 0;
    // [UI thread] The rectangle of this window's parent in the client coordinates of the
    // parent's own parent; false when unknown.
    virtual bool getParentRect(Rect& rect) const = 0;
    // [UI thread] Shows a pop-up menu of entries with its top-left corner at where (client
    // coordinates), the entry checked marked, and waits for the choice: the chosen index,
    // or -1 when the menu was dismissed.
    virtual int32_t popupMenu(Point where, const std::vector<std::string>& entries, int32_t checked) = 0;
    // [UI thread] Opens an edit field over rect (client coordinates) holding text, all of it
    // selected, that takes at most maxLength characters, and waits until Enter or a loss of
    // focus closes it; text then holds what the field held. False when no field could open.
    virtual bool editText(const Rect& rect, std::string& text, std::size_t maxLength) = 0;

    // [UI thread] For hosts that cannot resize the editor: grows or shrinks the host's
    // windows around this one by hand so that width x height fits.
    virtual void resizeHostWindows(int32_t width, int32_t height) = 0;

private:
    void* userData = nullptr;
};

// What the toolkit takes from the operating system besides the windows themselves, as a
// table of the back end's functions. The back end hands its table to the toolkit as the
// program or library loads (see ServicesRegistration.cpp), so that the toolkit calls the
// back end without depending on it.
struct Services {
    // [any thread] Milliseconds since the system started; wraps like a 32-bit counter.
    uint32_t (*getTicks)();
    // [UI thread] Gives the processor away for about the given time.
    void (*sleep)(uint32_t milliseconds);
    // [UI thread] The longest time between two clicks that still makes a double click.
    uint32_t (*getDoubleClickTime)();

    // [UI thread] The mouse buttons and modifier keys held down now, as ButtonLeft,
    // ButtonMiddle, ButtonRight, ModShift, ModControl and ModAlt bits. With swapped mouse
    // buttons the primary button still reports ButtonLeft. ModCommand is never set.
    MouseButtons (*getMouseButtons)();
    // [UI thread] The cursor position in screen coordinates.
    Point (*getCursorPosition)();

    // [UI thread] The scale factor the window system asks of user interfaces on the screen
    // an editor opens on, before there is a window: 1.0 at 96 dots per inch, 1.5 at 144,
    // 2.0 at 192; 1.0 where the window system says nothing.
    double (*screenScaleFactor)();

    // [UI thread] Opens the document at path with the desktop's handler for its type.
    // Returns false when that could not be started; nothing is reported otherwise.
    bool (*openDocument)(const char* path);

    // [UI thread] Creates a visible child window of parent of the given size. Null when no
    // window can be made (no parent, or no window system).
    std::unique_ptr<Window> (*createChildWindow)(ParentWindow parent, int32_t width, int32_t height,
                                                 WindowProcedure procedure);

    // [UI thread] Takes at most one pending Paint of the calling thread's windows and
    // delivers it. Returns true when one was delivered.
    bool (*dispatchPendingPaint)();

    // [UI thread] Delivers what the window system holds for window: its input, paints and
    // due timers (each at most once), and every window's destruction. Where the host runs
    // the message loop (Win32), and on the headless back end, whose tests run it, there is
    // nothing to do. The X11 back end has no loop but the host's idle calls, which reach it
    // here through each frame's idle; serving only the caller's window keeps the cost of a
    // call independent of how many editors are open. A call made while another is running
    // (from a timer procedure, or from a control's mouse loop) delivers no input and fires
    // no timer: those wait for the outermost call, so that ticks never run inside one
    // another. Null for window delivers destruction only.
    void (*processEvents)(Window* window);
};

// [any thread] The services of the back end linked into the program. Every program that
// links a back end has them before its main function (or, for the plug-in, its entry
// point) runs.
const Services& services();
// Installs table as the program's services; the back end's registration calls it once
// while the program or library loads.
void setServices(const Services& table);
// The table of the back end linked into the program, defined once in each back end. Only
// the registration calls it: the toolkit reaches the back end through services() alone.
const Services& backEndServices();

}  // namespace VSTGUI::platform
