#include "framework/platform/x11/X11Window.h"

#include "framework/platform/x11/X11Connection.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>

#include <algorithm>
#include <cstdlib>

namespace VSTGUI::x11 {
namespace {

using EventKind = platform::WindowEvent::Kind;

constexpr long kXdndVersion = 5;
// Releases are read only to end a press that a control is tracking.
constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
constexpr unsigned kWheelUp = Button4;
constexpr unsigned kWheelDown = Button5;
constexpr unsigned kWheelRight = 7;  // the highest button a wheel sends

struct CursorGlyph {
    platform::CursorShape shape;
    unsigned glyph;
};

constexpr CursorGlyph kCursorGlyphs[] = {
    {platform::CursorShape::Busy, XC_watch},
    {platform::CursorShape::ResizeHorizontal, XC_sb_h_double_arrow},
    {platform::CursorShape::ResizeVertical, XC_sb_v_double_arrow},
    {platform::CursorShape::Move, XC_fleur},
    {platform::CursorShape::ResizeDiagonalNeSw, XC_bottom_left_corner},
    {platform::CursorShape::ResizeDiagonalNwSe, XC_bottom_right_corner},
    {platform::CursorShape::NotAllowed, XC_X_cursor},
    {platform::CursorShape::Hand, XC_hand2},
};

// The press whose delivery is running, if any: a control's mouse loop runs inside it. [UI thread]
struct TrackedPress {
    const X11Window* window = nullptr;
    unsigned button = 0;
};
TrackedPress tracked;

MouseButtons buttonBit(unsigned button)
{
    switch (button) {
    case Button1: return ButtonLeft;
    case Button2: return ButtonMiddle;
    case Button3: return ButtonRight;
    default: return 0;
    }
}

bool isDue(uint32_t due, uint32_t clock) { return static_cast<int32_t>(clock - due) >= 0; }

platform::WindowEvent makeEvent(EventKind kind)
{
    platform::WindowEvent event;
    event.kind = kind;
    return event;
}

}  // namespace

MouseButtons mouseButtonsOf(unsigned state)
{
    return mouseButtons((state & Button1Mask) != 0, (state & Button2Mask) != 0, (state & Button3Mask) != 0,
                        (state & ShiftMask) != 0, (state & ControlMask) != 0, (state & Mod1Mask) != 0);
}

std::unique_ptr<X11Window> X11Window::create(Connection& connection, ::Window parent, int32_t width, int32_t height,
                                             platform::WindowProcedure procedure)
{
    Display* display = connection.display();
    XWindowAttributes parentAttributes{};
    Status found = 0;
    if (!connection.checked([&] { found = XGetWindowAttributes(display, parent, &parentAttributes); }) || !found)
        return nullptr;
    Visual* visual = parentAttributes.visual;
    int depth = parentAttributes.depth;
    Colormap colormap = parentAttributes.colormap;
    Colormap ownColormap = None;
    if (visual->c_class != TrueColor) {
        // Our pixels are true colour: a parent with a palette gets a child of its own visual.
        XVisualInfo info{};
        if (!XMatchVisualInfo(display, DefaultScreen(display), 24, TrueColor, &info)) return nullptr;
        visual = info.visual;
        depth = info.depth;
        colormap = ownColormap = XCreateColormap(display, parent, visual, AllocNone);
    }
    XSetWindowAttributes attributes{};
    attributes.colormap = colormap;
    attributes.border_pixel = 0;
    attributes.background_pixmap = None;  // we paint every pixel: no flash of a background
    attributes.event_mask = kEventMask;
    ::Window xid = None;
    const auto clampedWidth = static_cast<unsigned>(std::max(width, 1));
    const auto clampedHeight = static_cast<unsigned>(std::max(height, 1));
    const bool created = connection.checked([&] {
        xid = XCreateWindow(display, parent, 0, 0, clampedWidth, clampedHeight, 0, depth, InputOutput, visual,
                            CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask, &attributes);
    });
    if (!created || xid == None) {
        if (ownColormap != None) XFreeColormap(display, ownColormap);
        return nullptr;
    }
    std::unique_ptr<X11Window> window(
        new X11Window(connection, xid, parent, ownColormap, visual, depth, width, height, procedure));
    XMapWindow(display, xid);
    XFlush(display);
    return window;
}

X11Window::X11Window(Connection& owner, ::Window window, ::Window parentWindow, Colormap colormap, Visual* visual,
                     int depth, int32_t width, int32_t height, platform::WindowProcedure windowProcedure)
    : connection(owner), display(owner.display()), xid(window), parent(parentWindow), ownColormap(colormap),
      procedure(windowProcedure), surface(width, height),
      presenter(std::make_unique<Presenter>(owner, window, visual, depth))
{
    presenter->resize(surface.width(), surface.height());
    connection.add(this);
}

X11Window::~X11Window()
{
    if (tracked.window == this) tracked = {};
    if (!destroyDelivered) {
        destroyDelivered = true;
        if (procedure != nullptr) procedure(*this, makeEvent(EventKind::Destroy));
    }
    presenter.reset();
    connection.remove(this);
    if (!connection.lost()) {
        for (const auto& [shape, cursor] : cursors) XFreeCursor(display, cursor);
        if (alive) XDestroyWindow(display, xid);
        if (ownColormap != None) XFreeColormap(display, ownColormap);
        // The server frees everything now, and errors about a window the host destroyed
        // first arrive while our handler still stands.
        XSync(display, False);
    }
    Connection::release();
}

void X11Window::markGone()
{
    alive = false;
    timers.clear();
    input.clear();
    pendingPaint = {};
    mustPresent = {};
    heldCount = 0;
    dragTarget.reset();
}

void X11Window::handleEvent(const XEvent& event)
{
    switch (event.type) {
    case Expose:
        invalidate(Rect::fromSize({event.xexpose.x, event.xexpose.y}, event.xexpose.width, event.xexpose.height));
        return;
    case ButtonPress:
        if (event.xbutton.button >= kWheelUp && event.xbutton.button <= kWheelRight)
            forwardWheelToParent(event.xbutton);
        if (event.xbutton.button <= kWheelDown) input.push_back(event);
        return;
    case ButtonRelease:
        if (event.xbutton.button <= Button3) input.push_back(event);
        return;
    case DestroyNotify:
        if (event.xdestroywindow.window == xid) markGone();
        return;
    default:
        if (presenter->takeCompletion(event)) return;
        if (dropTarget && XdndTarget::isDragEvent(connection, event)) input.push_back(event);
        return;
    }
}

bool X11Window::deliverDestroy()
{
    if (alive || destroyDelivered) return false;
    destroyDelivered = true;
    if (procedure != nullptr) procedure(*this, makeEvent(EventKind::Destroy));
    return true;
}

bool X11Window::deliverQueuedInput()
{
    if (!alive || input.empty()) return false;
    const XEvent event = input.front();
    input.pop_front();
    // The delivery may end with this window destroyed: nothing of it is touched afterwards.
    if (event.type == ButtonRelease) {
        // Button-up changes nothing in the views; a tracked press has seen it already.
    } else if (event.type == ButtonPress && event.xbutton.button <= Button3) {
        platform::WindowEvent press = makeEvent(EventKind::ButtonDown);
        press.where = {event.xbutton.x, event.xbutton.y};
        // The event's state is from just before the press.
        press.buttons = mouseButtonsOf(event.xbutton.state) | buttonBit(event.xbutton.button);
        const TrackedPress outer = tracked;
        tracked = {this, event.xbutton.button};
        deliver(press);
        tracked = outer;
    } else if (event.type == ButtonPress) {
        platform::WindowEvent wheel = makeEvent(EventKind::Wheel);
        wheel.where = {event.xbutton.x_root, event.xbutton.y_root};
        wheel.distance = event.xbutton.button == kWheelUp ? 1.0f : -1.0f;
        deliver(wheel);
    } else {
        dragTarget.handle(connection, xid, event, [this](const platform::WindowEvent& e) { return deliver(e); });
    }
    return true;
}

bool X11Window::pressReleased()
{
    if (tracked.window == nullptr) return false;
    const auto& queued = tracked.window->input;
    return std::any_of(queued.begin(), queued.end(), [](const XEvent& event) {
        return event.type == ButtonRelease && event.xbutton.button == tracked.button;
    });
}

bool X11Window::deliverPaint()
{
    if (!alive || pendingPaint.isEmpty()) return false;
    platform::WindowEvent paint = makeEvent(EventKind::Paint);
    paint.updateRect = pendingPaint;
    pendingPaint = {};
    // The server has lost these pixels: the present after this paint sends them all.
    mustPresent = mustPresent.united(paint.updateRect);
    deliver(paint);
    return true;
}

void X11Window::fireDueTimers(uint32_t now)
{
    std::vector<uint32_t> due;
    for (const auto& [id, timer] : timers)
        if (isDue(timer.due, now)) due.push_back(id);
    if (due.empty()) return;
    // What the procedures draw (an editor's meter and graph in one tick) goes to the
    // server as one present when they are done: one wait for the server, not one each.
    holdPresents();
    for (uint32_t id : due) {
        const auto found = timers.find(id);
        if (found == timers.end()) continue;  // an earlier timer procedure stopped it
        // A late idle call fires an overdue timer once, as a coalesced timer message does.
        found->second.due = now + found->second.interval;
        found->second.procedure(*this, id);
        if (!alive) break;
    }
    releasePresents();
}

void X11Window::holdPresents() { ++presentHolds; }

void X11Window::releasePresents()
{
    if (presentHolds > 0 && --presentHolds == 0) presentHeldChanges();
}

bool X11Window::deliver(const platform::WindowEvent& event)
{
    if (!alive || procedure == nullptr) return false;
    return procedure(*this, event);
}

void X11Window::forwardWheelToParent(const XButtonEvent& press)
{
    // Our window takes the wheel from the host's; the host may scroll with it as well.
    XEvent event{};
    event.xbutton = press;
    event.xbutton.window = parent;
    event.xbutton.subwindow = xid;
    XSendEvent(display, parent, True, ButtonPressMask, &event);
    event.xbutton.type = ButtonRelease;
    XSendEvent(display, parent, True, ButtonReleaseMask, &event);
    XFlush(display);
}

PixelSurface* X11Window::acquireSurface() { return alive ? &surface : nullptr; }

void X11Window::releaseSurface(PixelSurface*)
{
    if (!alive) return;
    holdChanges();
    if (presentHolds == 0) presentHeldChanges();
}

void X11Window::holdChanges()
{
    ChangedArea joined = changesLimit ? std::move(*changesLimit) : ChangedArea{surface.bounds(), {}};
    changesLimit.reset();
    if (joined.area.isEmpty()) return;
    // Overlapping areas become one, so that no pixel is compared or sent twice; past the
    // last slot everything joins it.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < heldCount; ++i) {
        if (heldChanges[i].area.intersected(joined.area).isEmpty())
            std::swap(heldChanges[kept++], heldChanges[i]);
        else
            joined.join(heldChanges[i]);
    }
    heldCount = kept;
    if (heldCount == heldChanges.size()) joined.join(heldChanges[--heldCount]);
    heldChanges[heldCount++] = std::move(joined);
}

void X11Window::presentHeldChanges()
{
    if (!alive || (heldCount == 0 && mustPresent.isEmpty())) return;
    presenter->present(surface, mustPresent, {heldChanges.data(), heldCount});
    mustPresent = {};
    heldCount = 0;
}

void X11Window::changesOnlyIn(const Rect& rect) { changesLimit = ChangedArea{rect.intersected(surface.bounds()), {}}; }

void X11Window::changesOnlyIn(const ChangedRows& rows)
{
    const Rect area = rows.bounds().intersected(surface.bounds());
    ChangedArea limit{area, {}};
    if (!area.isEmpty()) {
        limit.rows.resize(static_cast<std::size_t>(area.height()));
        for (int32_t y = area.top; y < area.bottom; ++y)
            limit.rows[static_cast<std::size_t>(y - area.top)] = rows.spans[static_cast<std::size_t>(y - rows.top)];
    }
    changesLimit = std::move(limit);
}

Point X11Window::screenOrigin() const
{
    if (!alive) return {};
    int x = 0;
    int y = 0;
    ::Window child = None;
    if (!XTranslateCoordinates(display, xid, connection.root(), 0, 0, &x, &y, &child)) return {};
    return {x, y};
}

Rect X11Window::getScreenRect() const { return Rect::fromSize(screenOrigin(), surface.width(), surface.height()); }

void X11Window::resize(int32_t width, int32_t height)
{
    surface.resize(width, height);
    if (!alive) return;
    XResizeWindow(display, xid, static_cast<unsigned>(std::max(width, 1)), static_cast<unsigned>(std::max(height, 1)));
    presenter->resize(surface.width(), surface.height());
    invalidate(surface.bounds());
}

void X11Window::invalidate(const Rect& rect)
{
    const Rect visible = rect.intersected(surface.bounds());
    if (alive && !visible.isEmpty()) pendingPaint = pendingPaint.united(visible);
}

bool X11Window::startTimer(uint32_t id, uint32_t intervalMilliseconds, platform::TimerProcedure timerProcedure)
{
    if (!alive || timerProcedure == nullptr) return false;
    const uint32_t interval = std::max<uint32_t>(intervalMilliseconds, 1);
    timers[id] = {interval, getTicks() + interval, timerProcedure};
    return true;
}

void X11Window::stopTimer(uint32_t id) { timers.erase(id); }

void X11Window::setCursor(platform::CursorShape shape)
{
    if (!alive) return;
    const auto glyph = std::find_if(std::begin(kCursorGlyphs), std::end(kCursorGlyphs),
                                    [shape](const CursorGlyph& entry) { return entry.shape == shape; });
    if (glyph == std::end(kCursorGlyphs)) {
        // Without a cursor of its own the window shows its parent's: the one from before.
        XUndefineCursor(display, xid);
    } else {
        auto& cursor = cursors[shape];
        if (cursor == None) cursor = XCreateFontCursor(display, glyph->glyph);
        XDefineCursor(display, xid, cursor);
    }
    XFlush(display);
}

void X11Window::setDropTarget(bool active)
{
    if (!alive) return;
    dropTarget = active;
    const Atom aware = connection.atoms().xdndAware;
    if (active) {
        const long version = kXdndVersion;
        XChangeProperty(display, xid, aware, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&version), 1);
    } else {
        XDeleteProperty(display, xid, aware);
        dragTarget.reset();
    }
    XFlush(display);
}

bool X11Window::getEditorWindowPosition(Point& position) const
{
    if (!alive) return false;
    ::Window current = xid;
    for (;;) {
        ::Window root = None;
        ::Window above = None;
        ::Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, current, &root, &above, &children, &count)) return false;
        if (children != nullptr) XFree(children);
        // A top-level window of the host ends the climb, as a caption does.
        if (above == None || above == root) break;
        Rect wrapper;
        if (!windowGeometry(above, wrapper)) return false;
        if (wrapper.width() > surface.width() + platform::kWrapperMargin ||
            wrapper.height() > surface.height() + platform::kWrapperMargin)
            break;
        current = above;
    }
    Rect editorWindow;
    if (!windowGeometry(current, editorWindow)) return false;
    position = editorWindow.topLeft();
    return true;
}

bool X11Window::getParentRect(Rect& rect) const { return alive && windowGeometry(parent, rect); }

bool X11Window::windowGeometry(::Window window, Rect& rect) const
{
    ::Window root = None;
    int x = 0;
    int y = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned border = 0;
    unsigned depth = 0;
    if (!XGetGeometry(display, window, &root, &x, &y, &width, &height, &border, &depth)) return false;
    rect = Rect::fromSize({x, y}, static_cast<int32_t>(width), static_cast<int32_t>(height));
    return true;
}

// The editor's layout has no option menu or text field: there is no pop-up of our own
// on X11, and a menu is dismissed, a field not opened.
int32_t X11Window::popupMenu(Point, const std::vector<std::string>&, int32_t) { return -1; }

bool X11Window::editText(const Rect&, std::string&, std::size_t) { return false; }

void X11Window::resizeHostWindows(int32_t width, int32_t height)
{
    // The host's window keeps its margins around ours; the window manager frames the rest.
    Rect parentRect;
    if (!getParentRect(parentRect)) return;
    const int32_t newWidth = parentRect.width() + width - surface.width();
    const int32_t newHeight = parentRect.height() + height - surface.height();
    XResizeWindow(display, parent, static_cast<unsigned>(std::max(newWidth, 1)),
                  static_cast<unsigned>(std::max(newHeight, 1)));
    XFlush(display);
}

}  // namespace VSTGUI::x11
