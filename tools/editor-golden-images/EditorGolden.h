// The golden images of the whole editor, kept in tests/editor/golden and regenerated on
// purpose by editor-golden-images, beside this file.
#pragma once

#include "framework/DisplayScale.h"

namespace editortest {

// The defaults with silence.
inline constexpr const char* kDefaultGolden = "editor-defaults.png";
// A program of our own with seeded noise flowing: both spectra and the response show.
inline constexpr const char* kBusyGolden = "editor-busy.png";

// The busy scene with the editor opened at the larger scales.
struct ScaledGolden {
    VSTGUI::DisplayScale scale;
    const char* file;
};
inline constexpr ScaledGolden kScaledBusyGoldens[] = {
    {VSTGUI::DisplayScale::OneAndAHalf, "editor-busy@1.5x.png"},
    {VSTGUI::DisplayScale::Double, "editor-busy@2x.png"},
};

}  // namespace editortest
