// Regenerates the golden images of the whole editor and the picture of it in docs/. Run it
// only after a change that is meant to alter what the editor looks like, and look at the
// new PNGs before committing them:
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
    const std::string golden = argc > 1 ? argv[1] : TOLVAN_EDITOR_GOLDEN_DIR;
    const std::string docs = argc > 2 ? argv[2] : TOLVAN_DOCS_DIR;
    const VSTGUI::PixelSurface busy = editorsnapshot::renderEditor(editorsnapshot::busyScene());
    bool written =
        write(golden + "/" + editortest::kDefaultGolden, editorsnapshot::renderEditor(editorsnapshot::defaultScene()));
    written = write(golden + "/" + editortest::kBusyGolden, busy) && written;
    written = write(docs + "/editor.png", busy) && written;
    return written ? 0 : 1;
}
