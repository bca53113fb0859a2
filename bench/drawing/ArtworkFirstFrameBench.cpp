// What the first opening of an editor costs in artwork at each display scale: decoding the
// embedded bitmaps for everything the first frame shows (the skin, the graph's background
// and one image of every control), and, for comparison, drawing it with the generator when
// the editor first opens instead of embedding it. Every iteration starts cold: no image of
// the process is alive between iterations, as in a process whose first editor opens.

#include "effect/ControlTable.h"
#include "framework/BitmapResources.h"
#include "framework/DecodedBitmaps.h"
#include "resources/artwork/BitmapIds.h"
#include "resources/artwork/generator/Catalogue.h"
#include "resources/artwork/generator/Skin.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <vector>

using namespace VSTGUI;

namespace {

const BitmapResource* findResource(int32_t id, DisplayScale scale)
{
    for (const BitmapResource& r : bitmapResources())
        if (r.id == id && r.scale == scale) return &r;
    return nullptr;
}

// The logical rows of every bitmap that the first frame shows: all of the skin and the
// graph's background, one image of each control (its middle image: most controls open at
// their centre value) and the information button.
std::map<int32_t, std::vector<std::pair<int32_t, int32_t>>> firstFrameRows()
{
    std::map<int32_t, std::vector<std::pair<int32_t, int32_t>>> rows;
    const auto show = [&](int32_t id) {
        const tolvan::artwork::BitmapFormat* format = tolvan::artwork::findBitmap(id);
        if (format == nullptr) return;
        const int32_t image = format->frames / 2;
        rows[id].push_back({image * format->frameHeight, format->frameHeight});
    };
    for (const ControlDescriptor& row : controlTable) {
        if (row.name == nullptr) break;
        if (row.bitmap >= 1) show(row.bitmap);
    }
    show(bitmapid::info);
    return rows;
}

void decodeFirstFrame(benchmark::State& state)
{
    const auto scale = static_cast<DisplayScale>(state.range(0));
    const auto rows = firstFrameRows();
    int64_t pixels = 0;
    for (auto _ : state) {
        std::vector<std::shared_ptr<const DecodedBitmap>> alive;
        for (const auto& [id, shown] : rows) {
            const tolvan::artwork::BitmapFormat* format = tolvan::artwork::findBitmap(id);
            alive.push_back(decodedBitmap(*findResource(id, scale)));
            const DecodedBitmap& image = *alive.back();
            for (const auto& [top, height] : shown) {
                const int32_t first = filmStripDeviceRow(top, format->frameHeight, scale);
                const int32_t last = first + toDeviceExtent(height, scale) - 1;
                for (int32_t band = first / DecodedBitmap::kBandHeight; band <= last / DecodedBitmap::kBandHeight;
                     ++band)
                    benchmark::DoNotOptimize(image.band(band).width());
            }
        }
        pixels = 0;
        for (const auto& image : alive) pixels += int64_t{image->width()} * image->height();
    }
    state.counters["bitmap pixels"] = static_cast<double>(pixels);
}
BENCHMARK(decodeFirstFrame)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond);

// Every band of every bitmap: the most a process can ever decode at a scale.
void decodeEverything(benchmark::State& state)
{
    const auto scale = static_cast<DisplayScale>(state.range(0));
    for (auto _ : state) {
        std::vector<std::shared_ptr<const DecodedBitmap>> alive;
        for (const tolvan::artwork::BitmapFormat& format : tolvan::artwork::kBitmaps) {
            alive.push_back(decodedBitmap(*findResource(format.id, scale)));
            const DecodedBitmap& image = *alive.back();
            for (int32_t band = 0; band * DecodedBitmap::kBandHeight < image.height(); ++band)
                benchmark::DoNotOptimize(image.band(band).width());
        }
    }
}
BENCHMARK(decodeEverything)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond);

// The generator's fonts, loaded once; null where they cannot be read.
const tolvan::artwork::Fonts* artworkFonts()
{
    static const auto fonts = [] {
        auto loaded = std::make_unique<tolvan::artwork::Fonts>();
        return tolvan::artwork::Fonts::load(TOLVAN_SOURCE_DIR "/resources/fonts", *loaded) ? std::move(loaded)
                                                                                           : nullptr;
    }();
    return fonts.get();
}

// The other way: drawing the skin alone when the editor first opens at the scale. It is a
// lower bound of that way's first opening; the controls' images would come on top.
void drawSkinAtFirstOpening(benchmark::State& state)
{
    const auto scale = static_cast<DisplayScale>(state.range(0));
    const tolvan::artwork::Fonts* fonts = artworkFonts();
    if (fonts == nullptr) {
        state.SkipWithError("no fonts");
        return;
    }
    for (auto _ : state) {
        tolvan::artwork::Canvas skin(754, 374, {}, scale);
        tolvan::artwork::drawSkin(skin, *fonts);
        benchmark::DoNotOptimize(skin.pixel(0, 0));
    }
}
BENCHMARK(drawSkinAtFirstOpening)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);

// The generator's time for every bitmap at a scale (what tolvan-artwork spends per scale).
void generateEverything(benchmark::State& state)
{
    const auto scale = static_cast<DisplayScale>(state.range(0));
    const tolvan::artwork::Fonts* fonts = artworkFonts();
    if (fonts == nullptr) {
        state.SkipWithError("no fonts");
        return;
    }
    for (auto _ : state)
        for (const tolvan::artwork::BitmapFormat& format : tolvan::artwork::kBitmaps)
            benchmark::DoNotOptimize(tolvan::artwork::renderBitmap(format, *fonts, scale).deviceWidth());
}
BENCHMARK(generateEverything)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
