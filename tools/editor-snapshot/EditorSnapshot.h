// Renders the real editor on the headless back end after feeding it audio: the effect is
// created, set up, opened in a headless host window, painted, and run for a while with
// seeded noise flowing and its timer ticking on the virtual clock. The same scene always
// gives the same pixels, which is what the golden images and the README's picture rely on.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "framework/DisplayScale.h"
#include "framework/PixelSurface.h"

namespace editorsnapshot {

struct Scene {
    int32_t program = 0;
    // Normalised values set through the host interface after the program is selected.
    std::vector<std::pair<int32_t, float>> parameters;
    // Blocks of kBlockSize samples of noise processed with the editor open; none is silence.
    int32_t noiseBlocks = 0;
    uint32_t seed = 1;
    float amplitude = 0.25f;
    // Audio of the caller's instead of the noise: fills up to kBlockSize samples of each
    // input and answers how many it filled, 0 at the end. Played at sampleRate.
    std::function<int32_t(float* left, float* right)> source;
    int32_t sampleRate = 44100;
    // The editor is opened at this scale; the picture has its device pixels.
    VSTGUI::DisplayScale scale = VSTGUI::DisplayScale::Normal;
};

inline constexpr int32_t kBlockSize = 512;

// The defaults with silence, and a program of our own with noise, as the golden images
// and docs/editor.png show them.
Scene defaultScene();
Scene busyScene();

// [UI thread] Must be the only user of the headless back end while it runs.
VSTGUI::PixelSurface renderEditor(const Scene& scene);

}  // namespace editorsnapshot
