// The host window on Windows: a visible captionless top-level window of a class of its own,
// owned by the thread that makes it, whose messages that thread's pumpEvents handles.
// Like X11's, it is left alone by any window manager.

#include "framework/platform/HostWindow.h"

#include <windows.h>

namespace VSTGUI::platform {
namespace {

constexpr const wchar_t* kClassName = L"TolvanHostWindow";

// The program's own module: the host side is linked into the host program, never the plug-in.
HINSTANCE programInstance() { return GetModuleHandleW(nullptr); }

// Registered once per process, on whichever thread asks first; the class is free-threaded.
bool registerClass()
{
    static const bool registered = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = programInstance();
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = kClassName;
        return RegisterClassW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

class Win32HostWindow final : public HostWindow {
public:
    explicit Win32HostWindow(HWND window) : window(window) {}

    // The plug-in's windows inside go with it, should it have left any.
    ~Win32HostWindow() override { DestroyWindow(window); }

    Win32HostWindow(const Win32HostWindow&) = delete;
    Win32HostWindow& operator=(const Win32HostWindow&) = delete;

    void* handle() const override { return window; }

    int32_t childCount() const override
    {
        int32_t count = 0;
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) ++count;
        return count;
    }

    bool childSize(int32_t& width, int32_t& height) const override
    {
        const HWND first = GetWindow(window, GW_CHILD);
        RECT bounds{};
        if (first == nullptr || !GetWindowRect(first, &bounds)) return false;
        width = static_cast<int32_t>(bounds.right - bounds.left);
        height = static_cast<int32_t>(bounds.bottom - bounds.top);
        return true;
    }

    // Every message of this thread, the plug-in's windows' included (paint, timers), as a
    // host's message loop runs them.
    void pumpEvents() override
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    std::string describe() const override { return "Win32 window"; }

private:
    HWND window;
};

}  // namespace

std::unique_ptr<HostWindow> HostWindow::create(int32_t width, int32_t height, std::string& reason)
{
    if (!registerClass()) {
        reason = "the host window's class cannot be registered (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    const HWND window =
        CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName, L"Tolvan host", WS_POPUP | WS_CLIPCHILDREN, 0,
                        0, width, height, nullptr, nullptr, programInstance(), nullptr);
    if (window == nullptr) {
        reason = "CreateWindowEx failed (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    // Shown without taking the focus, which no check needs: wine hands a window that is
    // activated to the window manager, and then waits two seconds for one when it goes.
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return std::make_unique<Win32HostWindow>(window);
}

}  // namespace VSTGUI::platform
