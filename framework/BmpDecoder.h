#pragma once
// Reads the 24-bit .bmp files that hold the skin's bitmaps.

#include "framework/PixelSurface.h"

#include <span>

namespace VSTGUI {

// Decodes a complete file (file header, info header, 24 bits per pixel, uncompressed,
// bottom-up or top-down, rows padded to 4 bytes) into image. A malformed or truncated
// file, or one larger than a surface may be, gives false and leaves image untouched.
bool decodeBmp(std::span<const unsigned char> file, PixelSurface& image);
// As decodeBmp, for the rowCount rows from firstRow down only (clamped to the image), so
// that a large image can be decoded a part at a time.
bool decodeBmpRows(std::span<const unsigned char> file, int32_t firstRow, int32_t rowCount, PixelSurface& image);
// The size decodeBmp would give, from the headers alone; false exactly where it fails.
bool readBmpSize(std::span<const unsigned char> file, int32_t& width, int32_t& height);

}  // namespace VSTGUI
