#pragma once
// The pixels of the module's bitmap resources, decoded once and shared by every bitmap of
// the same resource in the process: a host with the plug-in on every track keeps one copy
// of the skin, not one per editor, and an editor opened beside another one decodes
// nothing. A decoded image lives as long as some bitmap holds it.

#include "framework/BitmapResources.h"
#include "framework/PixelSurface.h"

#include <cstddef>
#include <memory>

namespace VSTGUI {

// [any thread] The resource's pixels, or null when it does not decode. The image is
// never written once shared.
std::shared_ptr<const PixelSurface> decodedBitmap(const BitmapResource& resource);

// [any thread] How many decoded images are alive in the process: what the bitmaps cost.
std::size_t decodedBitmapCount();

}  // namespace VSTGUI
