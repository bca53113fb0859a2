// The plug-in library's own path on Windows.
#include "framework/platform/Platform.h"

#include <windows.h>

#include <algorithm>

namespace VSTGUI::platform {

std::size_t getModulePath(char* buffer, std::size_t size)
{
    if (buffer == nullptr || size == 0)
        return 0;
    buffer[0] = '\0';
    // The module that holds this function, found by address: the library, not the host.
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&getModulePath), &module))
        return 0;
    // The wide name is the true one; the ANSI one replaces what the code page lacks. A path
    // that is not plain ASCII or is longer than the classic limit counts as unknown, so
    // that nothing derived from it names a wrong file.
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH + 1);
    if (length == 0 || length >= MAX_PATH)
        return 0;
    if (std::any_of(path, path + length, [](wchar_t c) { return c >= 0x80; }))
        return 0;
    const std::size_t copied = std::min<std::size_t>(length, size - 1);
    std::transform(path, path + copied, buffer, [](wchar_t c) { return static_cast<char>(c); });
    buffer[copied] = '\0';
    return copied;
}

}  // namespace VSTGUI::platform
