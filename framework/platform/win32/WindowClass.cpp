#include "framework/platform/win32/WindowClass.h"

#include <cstdio>
#include <mutex>

namespace VSTGUI::win32 {
namespace {

// Editors of one module may open on different host threads; the count and the
// registration change together under this lock.
struct ClassState {
    std::mutex lock;
    int32_t useCount = 0;
    char name[32] = {};
};

ClassState& classState()
{
    static ClassState state;
    return state;
}

}  // namespace

HINSTANCE moduleInstance()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&moduleInstance), &module);
    return module;
}

const char* acquireWindowClass(WNDPROC procedure)
{
    ClassState& state = classState();
    std::lock_guard<std::mutex> guard(state.lock);
    if (state.useCount == 0) {
        std::snprintf(state.name, sizeof state.name, "Plugin%p", static_cast<void*>(moduleInstance()));
        WNDCLASSA windowClass{};
        windowClass.style = CS_GLOBALCLASS;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = moduleInstance();
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = state.name;
        // A class whose unregistration failed (a window of it was still alive) is still ours.
        if (RegisterClassA(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
    }
    ++state.useCount;
    return state.name;
}

void releaseWindowClass()
{
    ClassState& state = classState();
    std::lock_guard<std::mutex> guard(state.lock);
    if (state.useCount > 0 && --state.useCount == 0) UnregisterClassA(state.name, moduleInstance());
}

}  // namespace VSTGUI::win32
