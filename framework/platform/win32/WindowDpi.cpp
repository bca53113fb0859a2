#include "framework/platform/win32/WindowDpi.h"

namespace VSTGUI::win32 {
namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

// Looked up once: older systems' user32 lacks the call, and the library must load there.
GetDpiForWindowFunction getDpiForWindow()
{
    static const auto function = [] {
        const HMODULE user32 = GetModuleHandleA("user32.dll");
        return user32 != nullptr ? reinterpret_cast<GetDpiForWindowFunction>(
                                       reinterpret_cast<void (*)()>(GetProcAddress(user32, "GetDpiForWindow")))
                                 : nullptr;
    }();
    return function;
}

}  // namespace

uint32_t windowDotsPerInch(HWND window)
{
    if (const GetDpiForWindowFunction function = getDpiForWindow(); function != nullptr && window != nullptr)
        if (const UINT dotsPerInch = function(window); dotsPerInch > 0) return dotsPerInch;
    return screenDotsPerInch();
}

uint32_t screenDotsPerInch()
{
    const HDC screen = GetDC(nullptr);
    if (screen == nullptr) return kBaseDotsPerInch;
    const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dotsPerInch > 0 ? static_cast<uint32_t>(dotsPerInch) : kBaseDotsPerInch;
}

double screenScaleFactor() { return static_cast<double>(screenDotsPerInch()) / kBaseDotsPerInch; }

}  // namespace VSTGUI::win32
