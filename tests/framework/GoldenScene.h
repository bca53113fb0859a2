#pragma once
// The small editor scene of the golden-image test: a frame with a background bitmap, a
// film-strip knob, a switch, a kick button and value displays, painted on the headless
// back end. The test compares it with the PNG kept beside it; tools/golden-images
// regenerates that PNG on purpose.

#include "framework/PixelSurface.h"
#include "tests/drawing/PngFiles.h"

#include <string>

namespace tolvan::test {

inline constexpr const char* kGoldenSceneFile = "golden-scene.png";

// Builds the scene, paints it once as a host's first paint does, then turns the knob and
// presses the switch through scripted input, and returns the window's pixels.
VSTGUI::PixelSurface renderGoldenScene();

}  // namespace tolvan::test
