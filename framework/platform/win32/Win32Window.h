#pragma once
// The frame's child window on Windows. Its pixels live in a PixelSurface that drawing
// fills; a paint presents the update rectangle of it with SetDIBitsToDevice, and drawing
// outside a paint (idle redraws) presents just the pixels that changed.

#include "framework/PixelSurface.h"
#include "framework/platform/Platform.h"

#include <windows.h>

#include <map>

namespace VSTGUI::win32 {

class DropTarget;

class Win32Window final : public platform::Window {
public:
    Win32Window(HWND parent, int32_t width, int32_t height, platform::WindowProcedure procedure);
    ~Win32Window() override;

    bool isCreated() const { return hwnd != nullptr; }
    HWND handle() const { return hwnd; }
    // [UI thread] Hands an event to the window's owner; false when the window is gone.
    bool deliver(const platform::WindowEvent& event);

    PixelSurface* acquireSurface() override;
    void releaseSurface(PixelSurface* surface) override;
    Point screenOrigin() const override;

    Rect getScreenRect() const override;
    double scaleFactor() const override;
    void resize(int32_t width, int32_t height) override;
    void invalidate(const Rect& rect) override;
    bool startTimer(uint32_t id, uint32_t intervalMilliseconds, platform::TimerProcedure procedure) override;
    void stopTimer(uint32_t id) override;
    void setCursor(platform::CursorShape shape) override;
    void setDropTarget(bool active) override;
    bool getEditorWindowPosition(Point& position) const override;
    bool getParentRect(Rect& rect) const override;
    int32_t popupMenu(Point where, const std::vector<std::string>& entries, int32_t checked) override;
    bool editText(const Rect& rect, std::string& text, std::size_t maxLength) override;
    void resizeHostWindows(int32_t width, int32_t height) override;

private:
    static LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    // The window is being destroyed (by us or with the host's window): let go of
    // everything that refers to it.
    void forgetWindow();
    void present(HDC dc, const Rect& rect);

    HWND hwnd = nullptr;
    platform::WindowProcedure procedure;
    PixelSurface surface;
    PixelSurface presented;  // what the screen shows, to find the pixels an idle redraw changed
    HDC paintDC = nullptr;   // set while a paint is being drawn
    Rect paintRect;
    std::map<uint32_t, platform::TimerProcedure> timers;
    HCURSOR savedCursor = nullptr;
    bool cursorSaved = false;
    DropTarget* dropTarget = nullptr;
    bool oleInitialised = false;
    bool classAcquired = false;
};

// [UI thread] While a press is being delivered to a window of ours: whether its button's
// release already waits in the thread's queue behind it. A click shorter than the host's
// pace arrives as a press with its release queued; the control must see the button down
// first and then up, as the user did, also when the button is pressed again by now.
bool pressReleased();

// The window side of the platform services: a child window of the host's window, one
// pending paint, and the event pump that the host's own message loop makes unnecessary.
std::unique_ptr<platform::Window> createChildWindow(platform::ParentWindow parent, int32_t width, int32_t height,
                                                    platform::WindowProcedure procedure);
bool dispatchPendingPaint();
void processEvents(platform::Window* window);

}  // namespace VSTGUI::win32
