// A plug-in library opened the way a host opens it: the system's loader and the exported
// entry point, nothing else. One loader per system: PluginLibraryLinux.cpp,
// PluginLibraryWindows.cpp.
#pragma once

#include <string>

#include "effect/PluginInterface.h"
#include "tools/hosting/RecordingHost.h"

namespace hosting {

using EntryPoint = AEffect* (*)(HostCallback);

class PluginLibrary {
public:
    // Never throws: loaded() says whether the system could load it, error() why not.
    explicit PluginLibrary(const std::string& path);
    // On Linux the library stays mapped after it is closed: a library carrying its own C++
    // runtime keeps start-up allocations that a leak checker would report once unmapped.
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    bool loaded() const { return handle != nullptr; }
    const std::string& path() const { return libraryPath; }
    // The system loader's reason, empty when the library loaded.
    const std::string& error() const { return loadError; }
    // An exported entry point by name, null when the library lacks it.
    EntryPoint entry(const char* name = "VSTPluginMain") const;
    // The entry point a host calls: VSTPluginMain, or main where an older plug-in has only that.
    EntryPoint hostEntry() const
    {
        const EntryPoint main = entry("VSTPluginMain");
        return main != nullptr ? main : entry("main");
    }
    // A new effect from VSTPluginMain, null when there is none or the plug-in refuses.
    AEffect* create(HostCallback callback = quietHost) const
    {
        const EntryPoint main = entry();
        return main != nullptr ? main(callback) : nullptr;
    }

private:
    std::string libraryPath;
    std::string loadError;
    void* handle = nullptr;
};

}  // namespace hosting
