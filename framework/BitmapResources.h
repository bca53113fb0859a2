#pragma once
// The seam between CBitmap and the resource table linked into the program.

#include <cstddef>
#include <cstdint>
#include <span>

namespace VSTGUI {

// The bytes of a complete 24-bit .bmp file, found by its numeric id.
struct BitmapResource {
    int32_t id;
    const unsigned char* data;
    std::size_t size;
};

// Defined by the resource table linked into the program (the plug-in's artwork, or a
// test's own small table).
std::span<const BitmapResource> bitmapResources();

}  // namespace VSTGUI
