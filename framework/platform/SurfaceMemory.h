#pragma once
// Memory for the pixels of drawing surfaces, from the operating system's own calls where
// that is cheaper. A window's surface is a megabyte or more, and a first opening spends
// most of its time taking that memory from the system page by page: on Linux a large
// surface asks for transparent huge pages, so the system hands it over in a few steps.

#include <cstddef>

namespace VSTGUI::platform {

// [any thread] At least bytes bytes, aligned for any pixel, zero when zeroed is true (large
// blocks are zero either way); null when the system has none left.
void* allocateSurfaceMemory(std::size_t bytes, bool zeroed);
// [any thread] Gives back what allocateSurfaceMemory(bytes, ...) gave; null does nothing.
void freeSurfaceMemory(void* memory, std::size_t bytes);

}  // namespace VSTGUI::platform
