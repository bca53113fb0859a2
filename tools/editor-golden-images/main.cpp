// Regenerates the golden images of the whole editor (at 1x, and the busy scene at 1.5x
// and 2x) and the pictures of it in docs/. Run it only after a change that is meant to
// alter what the editor looks like, or after new artwork, and look at the new PNGs before
// committing them:
//   ninja -C build editor-golden-images && build/tools/editor-golden-images/editor-golden-images
//   editor-golden-images [golden directory [docs directory]]

#include "tools/imaging/PngFiles.h"
#include "tools/editor-golden-images/EditorGolden.h"
#include "tools/editor-snapshot/EditorSnapshot.h"

#include <cstdio>
#include <string>

namespace {

bool write(const std::string& path, const VSTGUI::PixelSurface& pixels)
{
    if (!tolvan::imaging::writePng(path, pixels)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("wrote %s\n", path.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string goldenDirectory = argc > 1 ? argv[1] : TOLVAN_EDITOR_GOLDEN_DIR;
    const std::string docs = argc > 2 ? argv[2] : TOLVAN_DOCS_DIR;
    const VSTGUI::PixelSurface busy = editorsnapshot::renderEditor(editorsnapshot::busyScene());
    bool written = write(goldenDirectory + "/" + editortest::kDefaultGolden,
                         editorsnapshot::renderEditor(editorsnapshot::defaultScene()));
    written = write(goldenDirectory + "/" + editortest::kBusyGolden, busy) && written;
    written = write(docs + "/editor.png", busy) && written;
    for (const editortest::ScaledGolden& golden : editortest::kScaledBusyGoldens) {
        editorsnapshot::Scene scene = editorsnapshot::busyScene();
        scene.scale = golden.scale;
        const VSTGUI::PixelSurface pixels = editorsnapshot::renderEditor(scene);
        written = write(goldenDirectory + "/" + golden.file, pixels) && written;
        if (golden.scale == VSTGUI::DisplayScale::Double) written = write(docs + "/editor@2x.png", pixels) && written;
    }
    return written ? 0 : 1;
}
