#pragma once
// The one connection to the X server that every editor window of the process shares. The
// first window opens it (our own, never the host's) and the last one closes it, so that a
// plug-in without an open editor makes no X call at all. While it is open, our X error
// handler stands in front of the host's: errors on our connection (a window the host
// destroyed before closing the editor) are recorded, every other display's errors go on to
// the handler that was there before, which is put back when the connection closes.
// When the server goes away, Xlib's default would end the whole process; a plug-in never
// ends its host, so the connection is marked lost instead and from then on makes only the
// X calls that free Xlib's own memory (the final close among them): its windows behave as
// if the host had destroyed them.
// Everything here belongs to the thread that opened the connection.

#include "framework/platform/x11/XlibHeaders.h"

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

namespace VSTGUI::x11 {

class X11Window;
struct SharedMemoryExtension;

// The atoms of the drag-and-drop protocol, interned once per connection.
struct Atoms {
    Atom xdndAware;
    Atom xdndEnter;
    Atom xdndPosition;
    Atom xdndStatus;
    Atom xdndLeave;
    Atom xdndDrop;
    Atom xdndFinished;
    Atom xdndSelection;
    Atom xdndTypeList;
    Atom xdndActionMove;
    Atom uriList;
    Atom textPlain;
    Atom textPlainUtf8;
    Atom utf8String;
    Atom string;
    Atom text;
    Atom dropData;  // our window's property that receives the dragged data
};

class Connection {
public:
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Takes a use of the shared connection, opening it first when no window holds one.
    // Null when no display can be opened, another thread owns the connection, or it is lost.
    static Connection* acquire();
    // Gives a use back; the last one closes the connection and restores the error handler.
    static void release();
    // The open connection when the calling thread owns it, else null (no X call then).
    static Connection* current();

    Display* display() const { return xDisplay; }
    // The server has gone away: no X call may be made on the display any more.
    bool lost() const { return serverLost; }
    ::Window root() const { return DefaultRootWindow(xDisplay); }
    const Atoms& atoms() const { return atomTable; }
    // MIT-SHM's calls when both libXext and the server offer it, else null.
    const SharedMemoryExtension* sharedMemory() const { return sharedMemoryCalls; }

    void add(X11Window* window) { windows.push_back(window); }
    void remove(X11Window* window);
    X11Window* find(::Window id) const;
    bool contains(const X11Window* window) const
    {
        return std::find(windows.begin(), windows.end(), window) != windows.end();
    }
    // The windows in creation order, as a copy: delivering events may create or destroy some.
    std::vector<X11Window*> allWindows() const { return windows; }

    // Runs request and waits for its answer; true when it caused no X error.
    template <typename Request>
    bool checked(Request&& request)
    {
        XSync(xDisplay, False);
        const uint64_t before = errorCount;
        request();
        XSync(xDisplay, False);
        return errorCount == before && !serverLost;
    }

    // Reads everything the server has sent and hands each event to its window.
    void readEvents();

private:
    explicit Connection(Display* display);
    ~Connection();
    static int handleError(Display* display, XErrorEvent* error);
    static void handleLostServer(Display* display, void* connection);
    // False only when no event can be waiting, told without reading from the server.
    bool mayHaveEvents() const;

    Display* xDisplay;
    Atoms atomTable{};
    const SharedMemoryExtension* sharedMemoryCalls = nullptr;
    std::thread::id owner = std::this_thread::get_id();
    int32_t uses = 0;
    bool serverLost = false;
    uint64_t errorCount = 0;
    // The number of the next request when the last full read ended: the same number now
    // means nothing was sent or read since.
    unsigned long requestAfterLastRead = 0;
    std::vector<X11Window*> windows;
};

}  // namespace VSTGUI::x11
