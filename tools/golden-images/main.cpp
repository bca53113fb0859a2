// Regenerates the golden images of the view framework's tests. Run it only after a change
// that is meant to alter what the scene looks like, and look at the new PNG before
// committing it:  golden-images [output directory]

#include "tools/golden-images/GoldenScene.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    const std::string directory = argc > 1 ? argv[1] : TOLVAN_GOLDEN_DIR;
    const std::string path = directory + "/" + tolvan::test::kGoldenSceneFile;
    if (!tolvan::imaging::writePng(path, tolvan::test::renderGoldenScene())) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("wrote %s\n", path.c_str());
    return 0;
}
