#include "framework/platform/SurfaceMemory.h"

#include <cstdlib>

namespace VSTGUI::platform {

// The C library's heap: large blocks come from the system already zero, so calloc costs
// no pass over them.
void* allocateSurfaceMemory(std::size_t bytes, bool zeroed)
{
    return zeroed ? std::calloc(1, bytes) : std::malloc(bytes);
}

void freeSurfaceMemory(void* memory, std::size_t) { std::free(memory); }

}  // namespace VSTGUI::platform
