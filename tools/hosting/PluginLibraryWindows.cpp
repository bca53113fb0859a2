// Loading a plug-in library on Windows: LoadLibraryW, freed when the library object goes.
#include <windows.h>

#include <string>

#include "tools/hosting/PluginLibrary.h"
#include "tools/hosting/WindowsText.h"

namespace hosting {
namespace {

std::string systemMessage(DWORD error)
{
    char* text = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = "error " + std::to_string(error);
    if (length > 0) {
        std::string said(text, length);
        while (!said.empty() && (said.back() == '\n' || said.back() == '\r' || said.back() == '.')) said.pop_back();
        message += ": " + said;
    }
    if (text != nullptr) LocalFree(text);
    return message;
}

HMODULE module(void* handle) { return static_cast<HMODULE>(handle); }

}  // namespace

PluginLibrary::PluginLibrary(const std::string& path) : libraryPath(path), handle(LoadLibraryW(widened(path).c_str()))
{
    if (handle == nullptr) loadError = "LoadLibrary failed, " + systemMessage(GetLastError());
}

PluginLibrary::~PluginLibrary()
{
    if (handle != nullptr) FreeLibrary(module(handle));
}

EntryPoint PluginLibrary::entry(const char* name) const
{
    return handle != nullptr
               ? reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(module(handle), name)))
               : nullptr;
}

}  // namespace hosting
