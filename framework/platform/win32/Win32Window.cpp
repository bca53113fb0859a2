#include "framework/platform/win32/Win32Window.h"

#include "framework/platform/win32/DropTarget.h"
#include "framework/platform/win32/WindowClass.h"
#include "framework/platform/win32/WindowDpi.h"

#include <windowsx.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace VSTGUI::win32 {
namespace {

using platform::CursorShape;

struct CursorEntry {
    CursorShape shape;
    LPCSTR cursor;
};

// The cursor names are resource ids in pointer form, which a constant expression cannot hold.
const std::array<CursorEntry, 8> kCursors{{
    {CursorShape::Busy, IDC_WAIT},
    {CursorShape::ResizeHorizontal, IDC_SIZEWE},
    {CursorShape::ResizeVertical, IDC_SIZENS},
    {CursorShape::Move, IDC_SIZEALL},
    {CursorShape::ResizeDiagonalNeSw, IDC_SIZENESW},
    {CursorShape::ResizeDiagonalNwSe, IDC_SIZENWSE},
    {CursorShape::NotAllowed, IDC_NO},
    {CursorShape::Hand, IDC_HAND},
}};

// Border sizes beyond this mean the hand resize has climbed past the host's editor frame.
constexpr int32_t kMaximumBorder = 80;
// The scale-change messages, by number: older headers lack their names. Windows sends the
// first to top-level windows, the second to their children once the parent has followed.
constexpr UINT kDpiChanged = 0x02E0;
constexpr UINT kDpiChangedAfterParent = 0x02E3;

Rect toRect(const RECT& r)
{
    return {static_cast<int32_t>(r.left), static_cast<int32_t>(r.top), static_cast<int32_t>(r.right),
            static_cast<int32_t>(r.bottom)};
}

int32_t width(const RECT& r) { return static_cast<int32_t>(r.right - r.left); }

int32_t height(const RECT& r) { return static_cast<int32_t>(r.bottom - r.top); }

// The release message of the press being delivered, if any: a control's mouse loop runs
// inside the delivery. [UI thread]
UINT trackedRelease = 0;

UINT releaseOf(UINT press)
{
    switch (press) {
    case WM_LBUTTONDOWN: return WM_LBUTTONUP;
    case WM_MBUTTONDOWN: return WM_MBUTTONUP;
    default: return WM_RBUTTONUP;
    }
}

// The buttons and modifiers that a button message carries: the state as the press happened,
// which a poll of the keys at delivery time no longer sees after a short click. The message
// names the logical buttons already, swapped or not; Alt is the thread's key state as of
// this message.
MouseButtons buttonsOf(WPARAM flags)
{
    return mouseButtons((flags & MK_LBUTTON) != 0, (flags & MK_MBUTTON) != 0, (flags & MK_RBUTTON) != 0,
                        (flags & MK_SHIFT) != 0, (flags & MK_CONTROL) != 0, (GetKeyState(VK_MENU) & 0x8000) != 0);
}

void resizeKeepingPlace(HWND window, int32_t w, int32_t h)
{
    SetWindowPos(window, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

platform::WindowEvent eventOf(platform::WindowEvent::Kind kind)
{
    platform::WindowEvent event;
    event.kind = kind;
    return event;
}

// The edit field of editText: Enter or a loss of focus ends the edit.
struct EditSession {
    WNDPROC original = nullptr;
    bool done = false;
};

LRESULT CALLBACK editProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* session = reinterpret_cast<EditSession*>(GetWindowLongPtrA(edit, GWLP_USERDATA));
    if ((message == WM_KEYDOWN && wParam == VK_RETURN) || message == WM_KILLFOCUS) session->done = true;
    if (message == WM_CHAR && wParam == '\r') return 0;  // no beep for the Enter that ends the edit
    return CallWindowProcA(session->original, edit, message, wParam, lParam);
}

}  // namespace

Win32Window::Win32Window(HWND parent, int32_t w, int32_t h, platform::WindowProcedure proc)
    : procedure(proc), surface(w, h), presented(w, h)
{
    // OLE is per thread. On a thread the host has made multi-threaded already it refuses
    // (RPC_E_CHANGED_MODE): the editor then works without drag and drop, and there is no
    // initialisation to undo.
    oleInitialised = SUCCEEDED(OleInitialize(nullptr));
    const char* className = acquireWindowClass(&Win32Window::windowProcedure);
    if (className == nullptr) return;
    classAcquired = true;
    hwnd = CreateWindowExA(0, className, "Window", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, w,
                           h, parent, nullptr, moduleInstance(), nullptr);
    if (hwnd != nullptr) SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Window::~Win32Window()
{
    if (hwnd != nullptr) DestroyWindow(hwnd);  // its WM_DESTROY lets go of timers and the drop target
    if (classAcquired) releaseWindowClass();
    if (oleInitialised) OleUninitialize();
}

bool Win32Window::deliver(const platform::WindowEvent& event)
{
    return hwnd != nullptr && procedure != nullptr && procedure(*this, event);
}

LRESULT CALLBACK Win32Window::windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (window == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
    return window->handleMessage(message, wParam, lParam);
}

LRESULT Win32Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND self = hwnd;
    switch (message) {
    case WM_DESTROY:
        deliver(eventOf(platform::WindowEvent::Kind::Destroy));
        forgetWindow();
        break;
    case WM_PAINT: paint(); return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        platform::WindowEvent event = eventOf(platform::WindowEvent::Kind::ButtonDown);
        event.where = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        event.buttons = buttonsOf(wParam);
        const UINT outer = trackedRelease;
        trackedRelease = releaseOf(message);
        deliver(event);
        trackedRelease = outer;
        return 0;
    }
    case WM_MOUSEWHEEL: {
        // Screen coordinates, signed: monitors left of or above the main one are negative.
        platform::WindowEvent event = eventOf(platform::WindowEvent::Kind::Wheel);
        event.where = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        event.distance = static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA;
        deliver(event);
        break;  // the host's window may scroll as well
    }
    case kDpiChanged:
    case kDpiChangedAfterParent: {
        // The top-level window that holds ours moved to a monitor of another scale, or the
        // user changed the setting: our child window's contents follow its new scale.
        platform::WindowEvent event = eventOf(platform::WindowEvent::Kind::ScaleChanged);
        event.scaleFactor = scaleFactor();
        deliver(event);
        return 0;
    }
    case WM_TIMER:
        if (const auto found = timers.find(static_cast<uint32_t>(wParam)); found != timers.end()) {
            found->second(*this, found->first);
            return 0;
        }
        break;
    default: break;
    }
    return DefWindowProcA(self, message, wParam, lParam);
}

void Win32Window::paint()
{
    RECT update;
    if (!GetUpdateRect(hwnd, &update, FALSE)) {
        ValidateRect(hwnd, nullptr);
        return;
    }
    PAINTSTRUCT ps;
    paintDC = BeginPaint(hwnd, &ps);
    paintRect = toRect(ps.rcPaint).intersected(surface.bounds());
    platform::WindowEvent event = eventOf(platform::WindowEvent::Kind::Paint);
    event.updateRect = paintRect;
    if (!paintRect.isEmpty()) deliver(event);
    paintDC = nullptr;
    EndPaint(hwnd, &ps);
}

void Win32Window::forgetWindow()
{
    for (const auto& timer : timers) KillTimer(hwnd, timer.first);
    timers.clear();
    setDropTarget(false);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    hwnd = nullptr;
}

PixelSurface* Win32Window::acquireSurface() { return hwnd != nullptr ? &surface : nullptr; }

void Win32Window::releaseSurface(PixelSurface*)
{
    if (hwnd == nullptr) return;
    if (paintDC != nullptr) {
        present(paintDC, paintRect);
        return;
    }
    // Drawing outside a paint: present the box around the pixels that changed.
    Rect changed;
    for (int32_t y = 0; y < surface.height(); ++y) {
        const Pixel* now = surface.row(y);
        const Pixel* shown = presented.row(y);
        int32_t left = 0;
        while (left < surface.width() && now[left] == shown[left]) ++left;
        if (left == surface.width()) continue;
        int32_t right = surface.width();
        while (now[right - 1] == shown[right - 1]) --right;
        changed = changed.isEmpty()
                      ? Rect{left, y, right, y + 1}
                      : Rect{std::min(changed.left, left), changed.top, std::max(changed.right, right), y + 1};
    }
    if (changed.isEmpty()) return;
    if (HDC dc = GetDC(hwnd)) {
        present(dc, changed);
        ReleaseDC(hwnd, dc);
    }
}

void Win32Window::present(HDC dc, const Rect& rect)
{
    const Rect area = rect.intersected(surface.bounds());
    if (area.isEmpty()) return;
    // A top-down image that starts at the area's first row; rows keep the surface's stride.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = surface.width();
    info.bmiHeader.biHeight = -area.height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, area.left, area.top, static_cast<DWORD>(area.width()), static_cast<DWORD>(area.height()),
                      area.left, 0, 0, static_cast<UINT>(area.height()), surface.row(area.top), &info, DIB_RGB_COLORS);
    for (int32_t y = area.top; y < area.bottom; ++y)
        std::memcpy(presented.row(y) + area.left, surface.row(y) + area.left,
                    static_cast<std::size_t>(area.width()) * sizeof(Pixel));
}

Point Win32Window::screenOrigin() const
{
    POINT origin{0, 0};
    if (hwnd != nullptr) ClientToScreen(hwnd, &origin);
    return {static_cast<int32_t>(origin.x), static_cast<int32_t>(origin.y)};
}

double Win32Window::scaleFactor() const
{
    return hwnd != nullptr ? static_cast<double>(windowDotsPerInch(hwnd)) / kBaseDotsPerInch : 0.0;
}

Rect Win32Window::getScreenRect() const { return Rect::fromSize(screenOrigin(), surface.width(), surface.height()); }

void Win32Window::resize(int32_t w, int32_t h)
{
    surface.resize(w, h);
    presented.resize(w, h);
    if (hwnd == nullptr) return;
    resizeKeepingPlace(hwnd, w, h);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void Win32Window::invalidate(const Rect& rect)
{
    if (hwnd == nullptr) return;
    const RECT area{rect.left, rect.top, rect.right, rect.bottom};
    InvalidateRect(hwnd, &area, FALSE);
}

bool Win32Window::startTimer(uint32_t id, uint32_t interval, platform::TimerProcedure proc)
{
    if (hwnd == nullptr || proc == nullptr || SetTimer(hwnd, id, std::max<uint32_t>(interval, 1), nullptr) == 0)
        return false;
    timers[id] = proc;
    return true;
}

void Win32Window::stopTimer(uint32_t id)
{
    if (timers.erase(id) != 0 && hwnd != nullptr) KillTimer(hwnd, id);
}

void Win32Window::setCursor(CursorShape shape)
{
    if (!cursorSaved) {
        savedCursor = GetCursor();
        cursorSaved = true;
    }
    const auto entry =
        std::find_if(kCursors.begin(), kCursors.end(), [shape](const CursorEntry& e) { return e.shape == shape; });
    SetCursor(entry != kCursors.end() ? LoadCursor(nullptr, entry->cursor) : savedCursor);
}

void Win32Window::setDropTarget(bool active)
{
    if (dropTarget != nullptr) {
        dropTarget->detach();
        if (hwnd != nullptr) RevokeDragDrop(hwnd);
        dropTarget->Release();
        dropTarget = nullptr;
    }
    if (!active || hwnd == nullptr || !oleInitialised) return;
    dropTarget = new DropTarget(*this);
    if (FAILED(RegisterDragDrop(hwnd, dropTarget))) {
        dropTarget->Release();
        dropTarget = nullptr;
    }
}

bool Win32Window::getEditorWindowPosition(Point& position) const
{
    if (hwnd == nullptr) return false;
    RECT own;
    GetWindowRect(hwnd, &own);
    HWND editorWindow = hwnd;
    for (;;) {
        const HWND parent = GetParent(editorWindow);
        if ((GetWindowLongA(editorWindow, GWL_STYLE) & WS_CAPTION) == WS_CAPTION || parent == nullptr) break;
        RECT outer;
        GetWindowRect(parent, &outer);
        if (std::abs(width(outer) - width(own)) > platform::kWrapperMargin ||
            std::abs(height(outer) - height(own)) > platform::kWrapperMargin)
            break;
        editorWindow = parent;
    }
    RECT found;
    GetWindowRect(editorWindow, &found);
    POINT corner{found.left, found.top};
    MapWindowPoints(nullptr, GetParent(editorWindow), &corner, 1);
    position = {static_cast<int32_t>(corner.x), static_cast<int32_t>(corner.y)};
    return true;
}

bool Win32Window::getParentRect(Rect& rect) const
{
    const HWND parent = hwnd != nullptr ? GetParent(hwnd) : nullptr;
    if (parent == nullptr) return false;
    RECT area;
    GetWindowRect(parent, &area);
    POINT corner{area.left, area.top};
    MapWindowPoints(nullptr, GetParent(parent), &corner, 1);
    rect = Rect::fromSize({static_cast<int32_t>(corner.x), static_cast<int32_t>(corner.y)}, width(area), height(area));
    return true;
}

int32_t Win32Window::popupMenu(Point where, const std::vector<std::string>& entries, int32_t checked)
{
    if (hwnd == nullptr || entries.empty()) return -1;
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return -1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const UINT flags = MF_STRING | (static_cast<int32_t>(i) == checked ? MF_CHECKED : MF_UNCHECKED);
        AppendMenuA(menu, flags, i + 1, entries[i].c_str());
    }
    POINT screen{where.x, where.y};
    ClientToScreen(hwnd, &screen);
    const int command = static_cast<int>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN, screen.x, screen.y, 0, hwnd, nullptr));
    DestroyMenu(menu);
    return command - 1;
}

bool Win32Window::editText(const Rect& rect, std::string& text, std::size_t maxLength)
{
    if (hwnd == nullptr) return false;
    HWND edit = CreateWindowExA(0, "EDIT", text.c_str(), WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, rect.left,
                                rect.top, rect.width(), rect.height(), hwnd, nullptr, moduleInstance(), nullptr);
    if (edit == nullptr) return false;
    EditSession session;
    SetWindowLongPtrA(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&session));
    session.original =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&editProcedure)));
    SendMessageA(edit, EM_SETLIMITTEXT, maxLength, 0);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SetFocus(edit);
    // The field is modal: this loop serves the thread's windows until it closes, and stops
    // as well when the host destroys the window around it.
    MSG message;
    while (!session.done && IsWindow(edit)) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (!IsWindow(edit)) return true;
    std::string edited(static_cast<std::size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    edited.resize(static_cast<std::size_t>(GetWindowTextA(edit, edited.data(), static_cast<int>(edited.size()))));
    text = edited.substr(0, maxLength);
    SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(session.original));
    DestroyWindow(edit);
    return true;
}

void Win32Window::resizeHostWindows(int32_t w, int32_t h)
{
    if (hwnd == nullptr) return;
    // Climb from this window through the host's frames, growing each by the borders found
    // so far, until the accumulated borders stop growing.
    const int32_t limit = 2 * GetSystemMetrics(SM_CYDLGFRAME);
    int32_t extraWidth = 0;
    int32_t extraHeight = 0;
    HWND window = hwnd;
    bool climbed = false;
    while (limit != 0) {
        const HWND parent = GetParent(window);
        char className[1024] = {};
        if (parent != nullptr) GetClassNameA(parent, className, sizeof className);
        if (parent == nullptr || std::strcmp(className, "MDIClient") == 0) break;
        RECT inner;
        RECT outer;
        GetWindowRect(window, &inner);
        GetWindowRect(parent, &outer);
        resizeKeepingPlace(window, w + extraWidth, h + extraHeight);
        extraWidth += width(outer) - width(inner);
        extraHeight += height(outer) - height(inner);
        if (extraWidth > kMaximumBorder || extraHeight > kMaximumBorder) return;
        extraWidth = std::max(extraWidth, 0);
        extraHeight = std::max(extraHeight, 0);
        window = parent;
        climbed = true;
        if (extraWidth == limit) break;
    }
    if (climbed) resizeKeepingPlace(window, w + extraWidth, h + extraHeight);
}

bool pressReleased()
{
    // Without capture the release goes to whichever of the thread's windows is under the
    // pointer; one outside them shows in the key state that the caller polls as well.
    MSG message;
    return trackedRelease != 0 &&
           PeekMessageA(&message, nullptr, trackedRelease, trackedRelease, PM_NOREMOVE | PM_NOYIELD) != 0;
}

std::unique_ptr<platform::Window> createChildWindow(platform::ParentWindow parent, int32_t width, int32_t height,
                                                    platform::WindowProcedure procedure)
{
    const HWND host = static_cast<HWND>(parent);
    if (host == nullptr || !IsWindow(host)) return nullptr;
    auto window = std::make_unique<Win32Window>(host, width, height, procedure);
    if (!window->isCreated()) return nullptr;
    return window;
}

bool dispatchPendingPaint()
{
    MSG message;
    if (!PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) return false;
    DispatchMessageA(&message);
    return true;
}

// The host runs the message loop that delivers our window's messages.
void processEvents(platform::Window*) {}

}  // namespace VSTGUI::win32
