// The plug-in library's own path, asked of the operating system's loader: a matter of
// the library's file, not of any window system.
#include "effect/ModulePath.h"

#include <algorithm>
#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#endif

namespace {

std::size_t copyPath(const char* path, char* buffer, std::size_t size)
{
    const std::size_t length = std::min(std::strlen(path), size - 1);
    std::memcpy(buffer, path, length);
    buffer[length] = '\0';
    return length;
}

}  // namespace

std::size_t getModulePath(char* buffer, std::size_t size)
{
    if (buffer == nullptr || size == 0) return 0;
    buffer[0] = '\0';
#if defined(_WIN32)
    // The module that holds this function, found by address: the library, not the host.
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&getModulePath), &module)) {
        return 0;
    }
    // The wide name is the true one; the ANSI one replaces what the code page lacks with
    // other characters. A path that is not plain ASCII, or longer than the classic limit,
    // counts as unknown, so that nothing derived from it names a wrong file.
    wchar_t wide[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(module, wide, MAX_PATH + 1);
    if (length == 0 || length >= MAX_PATH) return 0;
    if (std::any_of(wide, wide + length, [](wchar_t c) { return c >= 0x80; })) return 0;
    char path[MAX_PATH + 1] = {};
    std::transform(wide, wide + length, path, [](wchar_t c) { return static_cast<char>(c); });
    return copyPath(path, buffer, size);
#else
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&getModulePath), &info) == 0 || info.dli_fname == nullptr) return 0;
    // The loader may know the library by a relative name; the caller wants the full path.
    char resolved[PATH_MAX];
    return copyPath(realpath(info.dli_fname, resolved) != nullptr ? resolved : info.dli_fname, buffer, size);
#endif
}
