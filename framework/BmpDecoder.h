#pragma once
// Reads the 24-bit .bmp files that hold the skin's bitmaps.

#include "framework/PixelSurface.h"

#include <span>

namespace VSTGUI {

// Decodes a complete file (file header, info header, 24 bits per pixel, uncompressed,
// bottom-up or top-down, rows padded to 4 bytes) into image. A malformed or truncated
// file, or one larger than a surface may be, gives false and leaves image untouched.
bool decodeBmp(std::span<const unsigned char> file, PixelSurface& image);

}  // namespace VSTGUI
