#pragma once
// PNG files of 8-bit RGB pixels, for the golden images and the pictures the tools write.

#include "framework/PixelSurface.h"

#include <string>

namespace tolvan::test {

bool writePng(const std::string& path, const VSTGUI::PixelSurface& pixels);
bool readPng(const std::string& path, VSTGUI::PixelSurface& pixels);

}  // namespace tolvan::test
