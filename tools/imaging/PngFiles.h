#pragma once
// PNG files of 8-bit RGB pixels, for the golden images and the pictures the tools write.

#include "framework/PixelSurface.h"

#include <string>
#include <vector>

namespace tolvan::imaging {

bool writePng(const std::string& path, const VSTGUI::PixelSurface& pixels);
// The PNG file's bytes in memory; empty when they could not be made.
std::vector<unsigned char> encodePng(const VSTGUI::PixelSurface& pixels);
bool readPng(const std::string& path, VSTGUI::PixelSurface& pixels);

}  // namespace tolvan::imaging
