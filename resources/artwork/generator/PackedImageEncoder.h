// Packs the artwork of the larger display scales into the form the plug-in embeds
// (framework/PackedImage.h describes it); the plug-in only decodes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tolvan::artwork {

// The complete packed image of width x height pixels, 0x00RRGGBB, row after row.
std::vector<std::uint8_t> encodePackedImage(std::span<const std::uint32_t> pixels, int width, int height);

}  // namespace tolvan::artwork
