// The X11 back end of the platform seam: the editor's window is a child of the host's
// window on our own connection to the X server (see X11Connection.h), driven only by the
// host's idle calls and the controls' mouse loops.

#include "framework/platform/Platform.h"
#include "framework/platform/x11/DocumentOpener.h"
#include "framework/platform/x11/ScreenScale.h"
#include "framework/platform/x11/X11Connection.h"
#include "framework/platform/x11/X11Window.h"

#include <chrono>
#include <optional>
#include <thread>

namespace VSTGUI {
namespace {

constexpr uint32_t kDoubleClickTime = 400;

// How many event pumps are running on the UI thread: only the outermost delivers input
// and fires timers, so that no timer procedure or mouse loop runs inside another. [UI thread]
int pumpDepth = 0;

// Whether window is still one of the open connection's: delivering an event may have
// closed it, and the connection with it.
bool stillOpen(const x11::X11Window* window)
{
    const x11::Connection* connection = x11::Connection::current();
    if (connection == nullptr) return false;
    return connection->contains(window);
}

struct PointerState {
    Point root;
    unsigned state = 0;
};

// The pointer's position on the root window and the button and modifier state; nothing while
// no editor is open, so that no X call is made then.
std::optional<PointerState> queryPointer()
{
    const x11::Connection* connection = x11::Connection::current();
    if (connection == nullptr || connection->lost()) return std::nullopt;
    ::Window root = None;
    ::Window child = None;
    int rootX = 0;
    int rootY = 0;
    int x = 0;
    int y = 0;
    unsigned state = 0;
    if (!XQueryPointer(connection->display(), connection->root(), &root, &child, &rootX, &rootY, &x, &y, &state))
        return std::nullopt;
    return PointerState{{rootX, rootY}, state};
}

void sleep(uint32_t milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

uint32_t getDoubleClickTime() { return kDoubleClickTime; }

MouseButtons getMouseButtons()
{
    const std::optional<PointerState> pointer = queryPointer();
    if (!pointer) return 0;
    MouseButtons buttons = x11::mouseButtonsOf(pointer->state);
    // The query's answer came after every event the server sent before it: a release that
    // ended a tracked press is among them, also when the button is held again by now.
    if (x11::Connection* connection = x11::Connection::current()) {
        connection->readEvents();
        if (x11::X11Window::pressReleased()) buttons &= ~(ButtonLeft | ButtonMiddle | ButtonRight);
    }
    return buttons;
}

Point getCursorPosition()
{
    const std::optional<PointerState> pointer = queryPointer();
    return pointer ? pointer->root : Point{};
}

bool openDocument(const char* path) { return x11::openWithDesktop(path); }

std::unique_ptr<platform::Window> createChildWindow(platform::ParentWindow parent, int32_t width, int32_t height,
                                                    platform::WindowProcedure procedure)
{
    // The host passes its window's XID as a pointer-sized integer.
    const auto parentId = static_cast<::Window>(reinterpret_cast<uintptr_t>(parent));
    if (parentId == None) return nullptr;
    x11::Connection* connection = x11::Connection::acquire();
    if (connection == nullptr) return nullptr;
    auto window = x11::X11Window::create(*connection, parentId, width, height, procedure);
    if (!window) x11::Connection::release();
    return window;
}

bool dispatchPendingPaint()
{
    x11::Connection* connection = x11::Connection::current();
    if (connection == nullptr) return false;
    connection->readEvents();
    for (x11::X11Window* window : connection->allWindows())
        if (window->deliverPaint()) return true;
    return false;
}

void processEvents(platform::Window* window)
{
    x11::reapFinishedOpeners();
    x11::Connection* connection = x11::Connection::current();
    if (connection == nullptr) return;
    connection->readEvents();
    for (x11::X11Window* each : connection->allWindows())
        if (stillOpen(each)) each->deliverDestroy();
    // On this back end every window is an X11Window.
    auto* own = static_cast<x11::X11Window*>(window);
    if (own == nullptr || !stillOpen(own)) return;
    const bool outermost = pumpDepth == 0;
    ++pumpDepth;
    while (outermost && stillOpen(own) && own->deliverQueuedInput()) {
    }
    while (stillOpen(own) && own->deliverPaint()) {
    }
    if (outermost && stillOpen(own)) own->fireDueTimers(x11::getTicks());
    --pumpDepth;
}

constexpr platform::Services kServices{.getTicks = &x11::getTicks,
                                       .sleep = &sleep,
                                       .getDoubleClickTime = &getDoubleClickTime,
                                       .getMouseButtons = &getMouseButtons,
                                       .getCursorPosition = &getCursorPosition,
                                       .screenScaleFactor = &x11::screenScaleFactor,
                                       .openDocument = &openDocument,
                                       .createChildWindow = &createChildWindow,
                                       .dispatchPendingPaint = &dispatchPendingPaint,
                                       .processEvents = &processEvents};

}  // namespace

uint32_t x11::getTicks()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

const platform::Services& platform::backEndServices() { return kServices; }

}  // namespace VSTGUI
