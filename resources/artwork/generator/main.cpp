// tolvan-artwork <font folder> <output folder>: draws every bitmap of the plug-in at every
// display scale and writes it as <output folder>/<id>.bmp (the skin's own size) and
// <output folder>/<id>@<percent>.tpi (the larger scales, packed). The same input gives the
// same bytes everywhere.
#include "resources/artwork/generator/Catalogue.h"
#include "resources/artwork/generator/PackedImageEncoder.h"

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
    for (DisplayScale scale : VSTGUI::kDisplayScales) {
        for (const BitmapFormat& format : kBitmaps) {
            const Canvas canvas = renderBitmap(format, fonts, scale);
            const bool normal = scale == DisplayScale::Normal;
            std::string path = std::string(argv[2]) + "/" + std::to_string(format.id);
            if (normal) {
                path += ".bmp";
            } else {
                path += '@';
                path += std::to_string(VSTGUI::percent(scale));
                path += ".tpi";
            }
            const auto bytes =
                normal ? canvas.encodeBmp()
                       : encodePackedImage(canvas.devicePixels(), canvas.deviceWidth(), canvas.deviceHeight());
            std::ofstream file(path, std::ios::binary | std::ios::trunc);
            file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            if (!file) {
                std::fprintf(stderr, "cannot write %s\n", path.c_str());
                return 1;
            }
        }
    }
    return 0;
}
