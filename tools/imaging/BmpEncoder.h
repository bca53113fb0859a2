#pragma once
// Writes 24-bit .bmp files, so that tests, benchmarks and tools can build their own bitmap
// resources.

#include "framework/GraphicsTypes.h"

#include <cstdint>
#include <vector>

namespace tolvan::imaging {

// A complete file of width x height pixels (rows top first), stored top-down or bottom-up.
std::vector<unsigned char> encodeBmp(int32_t width, int32_t height, const std::vector<VSTGUI::Color>& pixels,
                                     bool topDown);

// Writes count bytes of value, least significant first.
void putLittleEndian(std::vector<unsigned char>& bytes, std::size_t offset, uint32_t value, int count);

}  // namespace tolvan::imaging
