#pragma once
// The Windows test host's side of the wine suite: top-level host windows, a message loop,
// input sent the way a user's hand sends it (from another thread, while this thread runs
// the window's messages), and read-back of what a window shows.

#include "framework/PixelSurface.h"

#include <windows.h>

#include <functional>

namespace tolvan::test {

// A host's window for an editor: a visible captionless window whose client area is at
// (x, y) of the screen.
HWND createHostWindow(int x, int y, int width, int height);
// The editor's child window inside a host window.
HWND childWindow(HWND host);

// Runs this thread's messages for the given time.
void pumpMessages(DWORD milliseconds);
// Runs script on a thread of its own while this thread serves its windows, as a user's
// hand does beside the host's message loop; returns after it and a short settling time.
void runInput(const std::function<void()>& script);

// Input for scripts (screen coordinates).
void moveCursor(POINT screen);
void pressLeft();
void releaseLeft();
// Press and release at once, as a touchpad's tap sends them; unlike the steps above it does
// not wait for the press to be taken.
void tapLeft();
// A press that is not waited for either.
void pressLeftAtOnce();
void turnWheel(int delta);
// Pauses a script long enough for the window's thread to see each step.
void settle();

// What the window shows now, read back from the screen.
VSTGUI::PixelSurface captureWindow(HWND window);

// The process's GDI and USER objects (0 where the system does not count them) and handles.
struct ResourceCounts {
    DWORD gdi = 0;
    DWORD user = 0;
    DWORD handles = 0;
};
ResourceCounts resourceCounts();

}  // namespace tolvan::test
