#include "framework/platform/x11/SharedMemoryExtension.h"

#include <dlfcn.h>

namespace VSTGUI::x11 {
namespace {

// The library stays open while the plug-in is loaded and is let go when it is unloaded.
class LoadedExtension {
public:
    LoadedExtension() : library(dlopen("libXext.so.6", RTLD_NOW | RTLD_LOCAL))
    {
        if (library == nullptr) return;
        complete = find(calls.queryExtension, "XShmQueryExtension") && find(calls.createImage, "XShmCreateImage") &&
                   find(calls.attach, "XShmAttach") && find(calls.detach, "XShmDetach") &&
                   find(calls.putImage, "XShmPutImage") && find(calls.getEventBase, "XShmGetEventBase");
    }
    ~LoadedExtension()
    {
        if (library != nullptr) dlclose(library);
    }
    LoadedExtension(const LoadedExtension&) = delete;
    LoadedExtension& operator=(const LoadedExtension&) = delete;

    const SharedMemoryExtension* get() const { return complete ? &calls : nullptr; }

private:
    template <typename Function>
    bool find(Function& function, const char* name)
    {
        function = reinterpret_cast<Function>(dlsym(library, name));
        return function != nullptr;
    }

    void* library;
    SharedMemoryExtension calls{};
    bool complete = false;
};

}  // namespace

const SharedMemoryExtension* SharedMemoryExtension::load()
{
    // Thread-safe first use: editors of several instances may open on different threads.
    static const LoadedExtension extension;
    return extension.get();
}

}  // namespace VSTGUI::x11
