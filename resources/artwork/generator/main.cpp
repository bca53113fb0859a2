// tolvan-artwork <font folder> <output folder>: draws every bitmap of the plug-in and
// writes it as <output folder>/<id>.bmp. The same input gives the same bytes everywhere.
#include "resources/artwork/generator/Catalogue.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    using namespace tolvan::artwork;
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <font folder> <output folder>\n", argv[0]);
        return 2;
    }
    Fonts fonts;
    if (!Fonts::load(argv[1], fonts)) {
        std::fprintf(stderr, "cannot load the fonts from %s\n", argv[1]);
        return 1;
    }
    for (const BitmapFormat& format : kBitmaps) {
        const std::string path = std::string(argv[2]) + "/" + std::to_string(format.id) + ".bmp";
        const auto bytes = renderBitmap(format, fonts).encodeBmp();
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!file) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
