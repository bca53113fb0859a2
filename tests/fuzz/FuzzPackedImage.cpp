// libFuzzer target: the packed artwork of the larger display scales. The files are ours and
// linked into the library, but a damaged build or a bad write of the generator must give a
// refusal or black bands, never a read outside the bytes or a band of the wrong size.
#include <cstdio>
#include <cstdlib>
#include <span>

#include "framework/PackedImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace VSTGUI;
    packed::PackedImage image;
    if (!image.parse(std::span<const unsigned char>{data, size})) return 0;
    // Headers may claim up to a surface's largest size; decoding those says nothing new and
    // would only slow the search.
    if (int64_t{image.width()} * image.height() > (int64_t{1} << 20)) return 0;
    for (int32_t band = 0; band < image.bandCount(); ++band) {
        PixelSurface rows;
        image.decodeBand(band, rows);
        const int32_t expectedRows = std::min(packed::kBandHeight, image.height() - band * packed::kBandHeight);
        if (rows.width() != image.width() || rows.height() != expectedRows) {
            std::fprintf(stderr, "band %d decoded to %d x %d\n", band, rows.width(), rows.height());
            std::abort();
        }
    }
    return 0;
}
