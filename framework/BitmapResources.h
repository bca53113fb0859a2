#pragma once
// The seam between CBitmap and the resource table linked into the program.

#include "framework/DisplayScale.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace VSTGUI {

// The stored artwork of one bitmap at one scale, found by its numeric id and the scale.
// At the skin's own size the bytes are a complete .bmp file; the plug-in's own are 32-bit
// top-down, read where they lie (bmpPixelsInPlace), a test's table may hold 24-bit ones.
struct BitmapResource {
    int32_t id;
    const unsigned char* data;
    std::size_t size;
    DisplayScale scale = DisplayScale::Normal;
};

// Defined by the resource table linked into the program (the plug-in's artwork, or a
// test's own small table).
std::span<const BitmapResource> bitmapResources();

}  // namespace VSTGUI
