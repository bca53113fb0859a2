// The golden images of the whole editor, kept in tests/editor/golden and regenerated on
// purpose by editor-golden-images, beside this file.
#pragma once

namespace editortest {

// The defaults with silence.
inline constexpr const char* kDefaultGolden = "editor-defaults.png";
// A program of our own with seeded noise flowing: both spectra and the response show.
inline constexpr const char* kBusyGolden = "editor-busy.png";

}  // namespace editortest
