// Loading a plug-in library on Linux: dlopen, kept mapped until the process ends.

#include <dlfcn.h>

#include "tools/tolvan-validate/Plugin.h"

namespace validate {

PluginLibrary::PluginLibrary(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle == nullptr) {
        const char* reason = dlerror();
        loadError = reason != nullptr ? reason : "dlopen failed";
        return;
    }
    entry = reinterpret_cast<EntryPoint>(dlsym(handle, "VSTPluginMain"));
    if (entry == nullptr) loadError = "no VSTPluginMain in " + path;
}

}  // namespace validate
