#include "tools/wine-host/WineHost.h"

#include <atomic>
#include <thread>

namespace tolvan::test {
namespace {

constexpr const char* kHostClass = "TolvanTestHost";
// Long enough for wine to queue an input and for the window's thread to act on it.
constexpr DWORD kSettleTime = 80;
// A loaded machine may take this long to hand a press to the window's thread.
constexpr DWORD kPressTimeout = 3000;
// A click holds the button this long after the press was taken, as a hand does.
constexpr DWORD kHoldTime = 250;
// The first window of a fresh wine prefix waits for wine's desktop process.
constexpr DWORD kFirstShowTime = 1000;
constexpr int kDeskWidth = 1000;
constexpr int kDeskHeight = 560;

// Button presses this thread's message loops have taken from the queue: a script waits for
// its press to be taken before it lets go, since the controls read the buttons' state
// when the press reaches them, as they do on Windows.
std::atomic<int> pressesTaken{0};

void sendMouse(DWORD flags, DWORD data = 0)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.mouseData = data;
    SendInput(1, &input, sizeof input);
}

}  // namespace

HWND createHostWindow(int x, int y, int width, int height)
{
    // One top-level window at the screen's origin holds every host window: wine waits for
    // the X server each time a top-level window goes, which child windows spare.
    static const HWND desk = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = kHostClass;
        if (RegisterClassA(&windowClass) == 0) return HWND{};
        const HWND window =
            CreateWindowExA(0, kHostClass, "Tolvan test desk", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                            kDeskWidth, kDeskHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        pumpMessages(kFirstShowTime);
        return window;
    }();
    if (desk == nullptr) return nullptr;
    return CreateWindowExA(WS_EX_NOPARENTNOTIFY, kHostClass, "Tolvan test host",
                           WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, x, y, width, height, desk,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

HWND childWindow(HWND host) { return GetWindow(host, GW_CHILD); }

void pumpMessages(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    MSG message;
    for (;;) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_LBUTTONDOWN) pressesTaken.fetch_add(1);
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

void runInput(const std::function<void()>& script)
{
    std::atomic<bool> done{false};  // set by the script's thread when it has finished
    std::thread hand([&] {
        script();
        done.store(true);
    });
    while (!done.load()) pumpMessages(10);
    hand.join();
    pumpMessages(150);
}

void moveCursor(POINT screen)
{
    SetCursorPos(screen.x, screen.y);
    settle();
}

void pressLeft()
{
    const int before = pressesTaken.load();
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    for (DWORD waited = 0; pressesTaken.load() == before && waited < kPressTimeout; waited += 5) Sleep(5);
    Sleep(kHoldTime);
}

void releaseLeft()
{
    sendMouse(MOUSEEVENTF_LEFTUP);
    settle();
}

void tapLeft()
{
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    sendMouse(MOUSEEVENTF_LEFTUP);
}

void pressLeftAtOnce() { sendMouse(MOUSEEVENTF_LEFTDOWN); }

void turnWheel(int delta)
{
    sendMouse(MOUSEEVENTF_WHEEL, static_cast<DWORD>(delta));
    settle();
}

void settle() { Sleep(kSettleTime); }

VSTGUI::PixelSurface captureWindow(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    const int width = client.right;
    const int height = client.bottom;
    VSTGUI::PixelSurface pixels(width, height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP image = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (image != nullptr && bits != nullptr) {
        HGDIOBJ old = SelectObject(memory, image);
        BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* source = static_cast<const uint32_t*>(bits);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) pixels.row(y)[x] = source[y * width + x] & 0x00FFFFFFu;
        SelectObject(memory, old);
    }
    if (image != nullptr) DeleteObject(image);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return pixels;
}

ResourceCounts resourceCounts()
{
    ResourceCounts counts;
    counts.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    counts.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    GetProcessHandleCount(GetCurrentProcess(), &counts.handles);
    return counts;
}

}  // namespace tolvan::test
