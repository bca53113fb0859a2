#pragma once
// The test-facing side of the headless back end. Its windows are in-memory surfaces and
// its clock is virtual: time passes only through the services' sleep (the idle cycle's 4 ms
// pause) and through the calls below. Input is a script of cursor positions and
// button/modifier states, each taking effect when the virtual clock reaches its time, so
// that the controls' modal tracking loops (poll the mouse, run the idle cycle, repeat
// until the button is up) run the same way on every machine.
//
// Two guards keep a faulty script from hanging a test: a loop that polls the mouse a
// thousand times without the clock moving lets one millisecond pass, and buttons still
// held a minute of virtual time after the last scripted input are let go.
//
// Everything here runs on the test's (UI) thread.

#include "framework/PixelSurface.h"
#include "framework/platform/Platform.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace VSTGUI::headless {

// The clock's value after reset: a machine that has been up for a while.
inline constexpr uint32_t kStartTicks = 100000;
inline constexpr uint32_t kDefaultDoubleClickTime = 500;

// Back to the start: clock at kStartTicks, cursor at (0, 0), nothing held, no script, the
// default double-click time, no opened documents. Windows and host windows stay.
void reset();

uint32_t now();
// Lets time pass as sleep does: scripted input that falls due takes effect.
void advanceTime(uint32_t milliseconds);
void setDoubleClickTime(uint32_t milliseconds);
// What the screen's scale factor is from now on (1.0 after reset).
void setScreenScaleFactor(double factor);
// The window is moved to a screen of another scale factor: from now on it answers that
// factor, and its procedure gets ScaleChanged. The result is the procedure's.
bool changeWindowScale(platform::Window& window, double factor);

// The input state from now on (screen coordinates), dropping nothing from the script.
void setInput(Point screenCursor, MouseButtons buttons);
// Queues an input state that takes effect delay milliseconds from now; states that fall due
// at the same time take effect in the order they were queued.
void scheduleInput(uint32_t delay, Point screenCursor, MouseButtons buttons);
// Number of scripted states that have not taken effect yet.
std::size_t pendingInputCount();

// A window of the host's, for the editor's child window to live in, with its client area
// at screenRect. It lives until destroyHostWindow.
platform::ParentWindow createHostWindow(const Rect& screenRect);
// The host closes its window before the editor: the child windows get Destroy and are
// gone for the window system (their objects stay until their owners delete them).
void destroyHostWindow(platform::ParentWindow host);

// The screen position of a point in a window's client area.
Point toScreen(const platform::Window& window, Point client);

// Input delivered to a window, as the window system would: the cursor moves to the point
// and the buttons become the given ones, then the window's procedure gets the event. A
// control's tracking loop started by the press runs inside pressButton. The results are
// the procedure's (false for a window that is gone).
bool pressButton(platform::Window& window, Point client, MouseButtons buttons);
bool turnWheel(platform::Window& window, Point client, float distance);
bool dragEnter(platform::Window& window, Point client, const platform::DropData& data);
bool dragMove(platform::Window& window, Point client);
bool dragLeave(platform::Window& window);
bool drop(platform::Window& window, Point client);

// Delivers the window's pending paint, if any. Returns whether one was delivered.
bool paint(platform::Window& window);
// Runs the message loop for the given time: pending paints are delivered, and timers
// fire whenever the clock passes their due time.
void runMessages(uint32_t milliseconds);

// What the user does with the next pop-up menu (an index, or -1 to dismiss it) and with
// the next edit field (the text it holds when it closes; none keeps the text as it was).
// Each answer is used once; without one, menus are dismissed and fields left unchanged.
void answerNextMenu(int32_t choice);
void answerNextEdit(const std::string& text);
// The entries of the last menu shown, and the text the last edit field opened with.
const std::vector<std::string>& lastMenuEntries();
const std::string& lastEditedText();

// Read-back of a window's state.
const PixelSurface& windowPixels(const platform::Window& window);
Rect pendingPaintRect(const platform::Window& window);
platform::CursorShape windowCursor(const platform::Window& window);
bool isDropTarget(const platform::Window& window);
bool isWindowAlive(const platform::Window& window);
std::size_t runningTimerCount(const platform::Window& window);
// How often the window showed what draw contexts finished drawing on it: once for each
// drawing, or once for all those made while presents were held.
int32_t presentCount(const platform::Window& window);
// The rows (device pixels) that the drawing released last promised to change only in, or
// nothing when it promised no rows.
struct PromisedRows {
    int32_t top = 0;
    std::vector<ColumnSpan> spans;
};
std::optional<PromisedRows> lastPromisedRows(const platform::Window& window);
// Number of host-window resizes made by resizeHostWindows, and the last host size.
int32_t hostResizeCount(platform::ParentWindow host);
Rect hostRect(platform::ParentWindow host);
// The documents openDocument was asked to open, oldest first.
const std::vector<std::string>& openedDocuments();

}  // namespace VSTGUI::headless
