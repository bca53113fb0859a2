// Loading a plug-in library on Linux: dlopen, kept mapped until the process ends.
#include <dlfcn.h>

#include "tools/hosting/PluginLibrary.h"

namespace hosting {

PluginLibrary::PluginLibrary(const std::string& path)
    : libraryPath(path), handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE))
{
    if (handle == nullptr) {
        const char* reason = dlerror();
        loadError = reason != nullptr ? reason : "dlopen failed";
    }
}

PluginLibrary::~PluginLibrary()
{
    if (handle != nullptr) dlclose(handle);
}

EntryPoint PluginLibrary::entry(const char* name) const
{
    return handle != nullptr ? reinterpret_cast<EntryPoint>(dlsym(handle, name)) : nullptr;
}

}  // namespace hosting
