// The host window on X11: a connection of the host's own (never the plug-in's) and an
// override-redirect top-level window, so no window manager moves or decorates it.

#include "framework/platform/HostWindow.h"
#include "framework/platform/x11/XlibHeaders.h"

namespace VSTGUI::platform {
namespace {

class X11HostWindow final : public HostWindow {
public:
    X11HostWindow(Display* display, int32_t width, int32_t height) : display(display)
    {
        const int screen = DefaultScreen(display);
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.background_pixel = BlackPixel(display, screen);
        window = XCreateWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                               static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                               CWOverrideRedirect | CWBackPixel, &attributes);
        XMapWindow(display, window);
        XSync(display, False);
    }

    ~X11HostWindow() override
    {
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }

    X11HostWindow(const X11HostWindow&) = delete;
    X11HostWindow& operator=(const X11HostWindow&) = delete;

    void* handle() const override { return reinterpret_cast<void*>(static_cast<uintptr_t>(window)); }

    int32_t childCount() const override
    {
        ::Window first = None;
        return children(first);
    }

    bool childSize(int32_t& width, int32_t& height) const override
    {
        ::Window first = None;
        if (children(first) == 0) return false;
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, first, &attributes) == 0) return false;
        width = attributes.width;
        height = attributes.height;
        return true;
    }

    // Nothing is selected on the window, so only what the server sends every client
    // arrives; it is read and dropped, as a host's loop would.
    void pumpEvents() override
    {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
        }
    }

    std::string describe() const override { return std::string("X11 window on ") + DisplayString(display); }

private:
    // The number of children, and the first of them; the server is asked afresh, since
    // the plug-in changes the tree through a connection of its own.
    int32_t children(::Window& first) const
    {
        XSync(display, False);
        ::Window root = None;
        ::Window parent = None;
        ::Window* list = nullptr;
        unsigned count = 0;
        if (XQueryTree(display, window, &root, &parent, &list, &count) == 0) return 0;
        if (count > 0) first = list[0];
        if (list != nullptr) XFree(list);
        return static_cast<int32_t>(count);
    }

    Display* display;
    ::Window window = None;
};

}  // namespace

std::unique_ptr<HostWindow> HostWindow::create(int32_t width, int32_t height, std::string& reason)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        reason = "no X display could be opened (is DISPLAY set?)";
        return nullptr;
    }
    return std::make_unique<X11HostWindow>(display, width, height);
}

}  // namespace VSTGUI::platform
