#pragma once
// Reads the .bmp files that hold the skin's bitmaps: 24 or 32 bits per pixel.

#include "framework/PixelSurface.h"

#include <span>

namespace VSTGUI {

// Decodes a complete file (file header, info header, 24 or 32 bits per pixel (blue, green,
// red and an unused byte), uncompressed, bottom-up or top-down, rows padded to 4 bytes)
// into image. A malformed or truncated
// file, or one larger than a surface may be, gives false and leaves image untouched.
bool decodeBmp(std::span<const unsigned char> file, PixelSurface& image);
// As decodeBmp, for the rowCount rows from firstRow down only (clamped to the image), so
// that a large image can be decoded a part at a time.
bool decodeBmpRows(std::span<const unsigned char> file, int32_t firstRow, int32_t rowCount, PixelSurface& image);
// The size decodeBmp would give, from the headers alone; false exactly where it fails.
bool readBmpSize(std::span<const unsigned char> file, int32_t& width, int32_t& height);
// The pixels of a well-formed file that stores them as a surface holds them (32 bits per
// pixel, top-down, the first row where a Pixel may be read), read where they lie, so that
// they cost no memory and no decoding; an empty view for any other file. The unused byte
// of each pixel is read along with it; nothing that reads a pixel's colour looks at it.
PixelRows bmpPixelsInPlace(std::span<const unsigned char> file);

}  // namespace VSTGUI
