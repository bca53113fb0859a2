#pragma once
// What a Linux host does around the editor, for the X11 tests: its own connection to the
// server, a top-level window for the editor to live in, input through XTest, and the
// window's pixels read back from the server.

#include "framework/PixelSurface.h"

#include <X11/Xlib.h>

#include <cstdint>
#include <functional>
#include <string>

namespace tolvan::test {

class X11TestHost {
public:
    X11TestHost();
    ~X11TestHost();
    X11TestHost(const X11TestHost&) = delete;
    X11TestHost& operator=(const X11TestHost&) = delete;

    Display* display() const { return connection; }
    // A mapped top-level window at (x, y) of the screen, with no window manager to move it.
    Window createTopLevel(int x, int y, int width, int height);
    // The single child window the editor made in parent, or None.
    Window childOf(Window parent) const;
    int childCount(Window parent) const;
    // The size of window as the server has it; 0 x 0 for None.
    void windowSize(Window window, int& width, int& height) const;
    // Replaces the root window's resource database (RESOURCE_MANAGER), as a desktop's
    // settings do; an empty text removes it.
    void setResources(const std::string& text);

    void moveCursor(int x, int y);
    void pressButton(unsigned button);
    void releaseButton(unsigned button);
    // Waits until the server has handled everything sent so far.
    void sync() const { XSync(connection, False); }

    // The pixels of window as the server shows them.
    VSTGUI::PixelSurface readBack(Window window) const;

private:
    Display* connection;
    int screen;
};

// What the host's idle call reaches: the frames' idle, the bare event pump, or the
// plug-in's effEditIdle.
using IdleCall = std::function<void()>;

// Runs idle every 10 ms, as a host's idle calls do, until done returns true or timeoutMs
// pass; then returns done's last answer.
bool pumpUntil(const std::function<bool()>& done, uint32_t timeoutMs, const IdleCall& idle);
void pumpFor(uint32_t milliseconds, const IdleCall& idle);

}  // namespace tolvan::test
