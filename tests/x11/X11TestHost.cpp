#include "tests/x11/X11TestHost.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace tolvan::test {

X11TestHost::X11TestHost() : connection(XOpenDisplay(nullptr))
{
    if (connection == nullptr) throw std::runtime_error("no X display");
    screen = DefaultScreen(connection);
}

X11TestHost::~X11TestHost() { XCloseDisplay(connection); }

Window X11TestHost::createTopLevel(int x, int y, int width, int height)
{
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(connection, screen);
    const Window window = XCreateWindow(connection, RootWindow(connection, screen), x, y, static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                        CWOverrideRedirect | CWBackPixel, &attributes);
    XMapWindow(connection, window);
    sync();
    return window;
}

int X11TestHost::childCount(Window parent) const
{
    Window root = None;
    Window above = None;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(connection, parent, &root, &above, &children, &count)) return 0;
    if (children) XFree(children);
    return static_cast<int>(count);
}

Window X11TestHost::childOf(Window parent) const
{
    Window root = None;
    Window above = None;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(connection, parent, &root, &above, &children, &count) || count == 0) return None;
    const Window child = children[0];
    XFree(children);
    return child;
}

void X11TestHost::windowSize(Window window, int& width, int& height) const
{
    width = height = 0;
    Window root = None;
    int x = 0;
    int y = 0;
    unsigned w = 0;
    unsigned h = 0;
    unsigned border = 0;
    unsigned depth = 0;
    if (window == None || !XGetGeometry(connection, window, &root, &x, &y, &w, &h, &border, &depth)) return;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
}

void X11TestHost::setResources(const std::string& text)
{
    const Window root = RootWindow(connection, screen);
    if (text.empty())
        XDeleteProperty(connection, root, XA_RESOURCE_MANAGER);
    else
        XChangeProperty(connection, root, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
    sync();
}

void X11TestHost::moveCursor(int x, int y)
{
    XTestFakeMotionEvent(connection, screen, x, y, 0);
    sync();
}

void X11TestHost::pressButton(unsigned button)
{
    XTestFakeButtonEvent(connection, button, True, 0);
    sync();
}

void X11TestHost::releaseButton(unsigned button)
{
    XTestFakeButtonEvent(connection, button, False, 0);
    sync();
}

VSTGUI::PixelSurface X11TestHost::readBack(Window window) const
{
    XWindowAttributes attributes{};
    XGetWindowAttributes(connection, window, &attributes);
    VSTGUI::PixelSurface pixels(attributes.width, attributes.height);
    XImage* image = XGetImage(connection, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) return {};
    for (int y = 0; y < attributes.height; ++y)
        for (int x = 0; x < attributes.width; ++x)
            pixels.row(y)[x] = static_cast<VSTGUI::Pixel>(XGetPixel(image, x, y) & 0xFFFFFF);
    XDestroyImage(image);
    return pixels;
}

bool pumpUntil(const std::function<bool()>& done, uint32_t timeoutMs, const IdleCall& idle)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return done();
        idle();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

void pumpFor(uint32_t milliseconds, const IdleCall& idle)
{
    pumpUntil([] { return false; }, milliseconds, idle);
}

}  // namespace tolvan::test
