// tolvan-artwork <font folder> <output folder> [<percent>...]: draws every bitmap of the
// plug-in at the display scales given (all of them by default) and writes it as
// <output folder>/<id>.bmp (the skin's own size) and <output folder>/<id>@<percent>.tpi
// (the larger scales, packed). The same input gives the same bytes everywhere.
#include "resources/artwork/generator/Catalogue.h"
#include "resources/artwork/generator/PackedImageEncoder.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using namespace tolvan::artwork;
    std::vector<DisplayScale> scales;
    for (int i = 3; i < argc; ++i) {
        const auto wanted = std::find_if(std::begin(VSTGUI::kDisplayScales), std::end(VSTGUI::kDisplayScales),
                                         [&](DisplayScale s) { return std::to_string(VSTGUI::percent(s)) == argv[i]; });
        if (wanted == std::end(VSTGUI::kDisplayScales)) {
            std::fprintf(stderr, "%s is not a display scale: 100, 150 or 200\n", argv[i]);
            return 2;
        }
        scales.push_back(*wanted);
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <font folder> <output folder> [<percent>...]\n", argv[0]);
        return 2;
    }
    if (scales.empty()) scales.assign(std::begin(VSTGUI::kDisplayScales), std::end(VSTGUI::kDisplayScales));
    Fonts fonts;
    if (!Fonts::load(argv[1], fonts)) {
        std::fprintf(stderr, "cannot load the fonts from %s\n", argv[1]);
        return 1;
    }
    for (DisplayScale scale : scales) {
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
