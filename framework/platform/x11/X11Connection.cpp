#include "framework/platform/x11/X11Connection.h"

#include "framework/platform/x11/X11Window.h"

#include "framework/platform/x11/SharedMemoryExtension.h"

#include <X11/Xproto.h>
#include <poll.h>

#include <algorithm>
#include <atomic>
#include <iterator>

namespace VSTGUI::x11 {
namespace {

// Written on the owning thread, read by the error handler, which any thread's Xlib call
// may run: atomics, so that a host that uses Xlib on other threads reads whole values.
std::atomic<Connection*> instance{nullptr};
std::atomic<XErrorHandler> previousHandler{nullptr};

constexpr const char* kAtomNames[] = {
    "XdndAware",
    "XdndEnter",
    "XdndPosition",
    "XdndStatus",
    "XdndLeave",
    "XdndDrop",
    "XdndFinished",
    "XdndSelection",
    "XdndTypeList",
    "XdndActionMove",
    "text/uri-list",
    "text/plain",
    "text/plain;charset=utf-8",
    "UTF8_STRING",
    "STRING",
    "TEXT",
    "TOLVAN_DROP_DATA",
};
static_assert(std::size(kAtomNames) * sizeof(Atom) == sizeof(Atoms), "one name per atom");

}  // namespace

Connection::Connection(Display* display) : xDisplay(display)
{
    // The table of names is in the order of the struct's members.
    XInternAtoms(xDisplay, const_cast<char**>(kAtomNames), static_cast<int>(std::size(kAtomNames)), False,
                 reinterpret_cast<Atom*>(&atomTable));
    const SharedMemoryExtension* extension = SharedMemoryExtension::load();
    if (extension != nullptr && extension->queryExtension(xDisplay) == True) sharedMemoryCalls = extension;
}

Connection::~Connection() = default;

Connection* Connection::acquire()
{
    Connection* connection = instance.load();
    if (connection == nullptr) {
        Display* display = XOpenDisplay(nullptr);
        if (display == nullptr) return nullptr;
        connection = new Connection(display);
        XSetIOErrorExitHandler(display, &Connection::handleLostServer, connection);
        previousHandler.store(XSetErrorHandler(&Connection::handleError));
        instance.store(connection);
    } else if (connection->owner != std::this_thread::get_id() || connection->serverLost) {
        return nullptr;
    }
    ++connection->uses;
    return connection;
}

void Connection::release()
{
    Connection* connection = current();
    if (connection == nullptr || --connection->uses > 0) return;
    // Closing waits for the server, so errors of our last requests still reach our handler.
    // A lost connection is closed as well: Xlib then frees only our side of it.
    XCloseDisplay(connection->xDisplay);
    instance.store(nullptr);
    delete connection;
    // Put the host's handler back, unless something replaced ours meanwhile: then that stays.
    const XErrorHandler ours = XSetErrorHandler(previousHandler.exchange(nullptr));
    if (ours != &Connection::handleError) XSetErrorHandler(ours);
}

Connection* Connection::current()
{
    Connection* connection = instance.load();
    return connection != nullptr && connection->owner == std::this_thread::get_id() ? connection : nullptr;
}

int Connection::handleError(Display* display, XErrorEvent* error)
{
    Connection* connection = instance.load();
    if (connection == nullptr || display != connection->xDisplay) {
        const XErrorHandler previous = previousHandler.load();
        return previous != nullptr ? previous(display, error) : 0;
    }
    // Runs inside one of our own Xlib calls, so on the owning thread.
    ++connection->errorCount;
    if (error->error_code == BadWindow || error->error_code == BadDrawable)
        if (X11Window* window = connection->find(static_cast<::Window>(error->resourceid))) window->markGone();
    return 0;
}

void Connection::handleLostServer(Display*, void* lostConnection)
{
    // Runs inside the Xlib call that found the server gone, so on the owning thread.
    // Returning lets that call fail instead of ending the process.
    auto* connection = static_cast<Connection*>(lostConnection);
    connection->serverLost = true;
    for (X11Window* window : connection->windows) window->markGone();
}

void Connection::remove(X11Window* window)
{
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

X11Window* Connection::find(::Window id) const
{
    for (X11Window* window : windows)
        if (window->id() == id) return window;
    return nullptr;
}

bool Connection::mayHaveEvents() const
{
    if (XEventsQueued(xDisplay, QueuedAlready) > 0) return true;
    // A request sent since the last full read may still sit in Xlib's buffer, and a reply
    // waited for may have brought events into the buffers below Xlib's queue: the full
    // read flushes the one and collects the other.
    if (XNextRequest(xDisplay) != requestAfterLastRead) return true;
    // Nothing sent, nothing buffered: whatever the server has for us is on the socket.
    // A closed socket reports itself too, and the full read then finds the server gone.
    pollfd socket{ConnectionNumber(xDisplay), POLLIN, 0};
    return poll(&socket, 1, 0) != 0;
}

void Connection::readEvents()
{
    // One system call when nothing has come in: XPending's flush and reads cost several.
    if (serverLost || !mayHaveEvents()) return;
    while (!serverLost && XPending(xDisplay) > 0) {
        XEvent event;
        XNextEvent(xDisplay, &event);
        // For every event we select, the window field is the window it is meant for (the
        // requestor for a selection answer).
        if (X11Window* window = find(event.xany.window)) window->handleEvent(event);
    }
    if (!serverLost) requestAfterLastRead = XNextRequest(xDisplay);
}

}  // namespace VSTGUI::x11
