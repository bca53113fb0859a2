// Loading a plug-in library on Windows: LoadLibraryW, never freed, so it stays loaded
// until the process ends.

#include <windows.h>

#include <string>

#include "tools/tolvan-validate/Plugin.h"
#include "tools/tolvan-validate/WindowsText.h"

namespace validate {
namespace {

std::string systemMessage(DWORD error) {
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

}  // namespace

PluginLibrary::PluginLibrary(const std::string& path) {
    const HMODULE module = LoadLibraryW(widened(path).c_str());
    if (module == nullptr) {
        loadError = "LoadLibrary failed, " + systemMessage(GetLastError());
        return;
    }
    entry = reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(module, "VSTPluginMain")));
    if (entry == nullptr) loadError = "no VSTPluginMain in " + path;
}

}  // namespace validate
