// Time, the mouse and modifier poll, the cursor position and opening documents on Windows,
// and the table of the back end's services.
#include "framework/platform/Platform.h"
#include "framework/platform/win32/Win32Window.h"
#include "framework/platform/win32/WindowDpi.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace VSTGUI {
namespace {

bool isDown(int virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

uint32_t getTicks() { return GetTickCount(); }

void sleep(uint32_t milliseconds) { Sleep(milliseconds); }

uint32_t getDoubleClickTime() { return GetDoubleClickTime(); }

MouseButtons getMouseButtons()
{
    // The key state names the physical buttons; with swapped buttons the primary one is
    // the physical right button. Read on every poll, so a change in the control panel
    // counts at once.
    const bool swapped = GetSystemMetrics(SM_SWAPBUTTON) > 0;
    MouseButtons buttons = 0;
    if (isDown(swapped ? VK_RBUTTON : VK_LBUTTON)) buttons |= ButtonLeft;
    if (isDown(VK_MBUTTON)) buttons |= ButtonMiddle;
    if (isDown(swapped ? VK_LBUTTON : VK_RBUTTON)) buttons |= ButtonRight;
    if (isDown(VK_SHIFT)) buttons |= ModShift;
    if (isDown(VK_CONTROL)) buttons |= ModControl;
    if (isDown(VK_MENU)) buttons |= ModAlt;
    // A release queued behind the press being delivered ends it, whatever the hand does now.
    if (win32::pressReleased()) buttons &= ~(ButtonLeft | ButtonMiddle | ButtonRight);
    return buttons;
}

Point getCursorPosition()
{
    POINT cursor{0, 0};
    GetCursorPos(&cursor);
    return {static_cast<int32_t>(cursor.x), static_cast<int32_t>(cursor.y)};
}

bool openDocument(const char* path)
{
    // The ANSI shell call takes only short plain-ASCII paths faithfully: anything else
    // could open a different file, so it opens nothing.
    if (path == nullptr || path[0] == '\0') return false;
    std::string native(path);
    if (native.size() >= MAX_PATH) return false;
    for (char& c : native) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
        if (c == '/') c = '\\';
    }
    SHELLEXECUTEINFOA request{};
    request.cbSize = sizeof request;
    request.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    request.lpVerb = "open";
    request.lpFile = native.c_str();
    request.nShow = SW_SHOWNORMAL;
    return ShellExecuteExA(&request) != FALSE;
}

constexpr platform::Services kServices{.getTicks = &getTicks,
                                       .sleep = &sleep,
                                       .getDoubleClickTime = &getDoubleClickTime,
                                       .getMouseButtons = &getMouseButtons,
                                       .getCursorPosition = &getCursorPosition,
                                       .screenScaleFactor = &win32::screenScaleFactor,
                                       .openDocument = &openDocument,
                                       .createChildWindow = &win32::createChildWindow,
                                       .dispatchPendingPaint = &win32::dispatchPendingPaint,
                                       .processEvents = &win32::processEvents};

}  // namespace

const platform::Services& platform::backEndServices() { return kServices; }

}  // namespace VSTGUI
