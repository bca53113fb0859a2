// The drawing work of one editor frame, piece by piece: graph labels, curves, the skin
// blit and the copy of a finished off-screen surface to the window.

#include "framework/BitmapResources.h"
#include "framework/CBitmap.h"
#include "framework/COffscreenContext.h"
#include "framework/GlyphCache.h"
#include "resources/artwork/BitmapIds.h"
#include "tools/imaging/BmpEncoder.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

using namespace VSTGUI;

namespace {

constexpr int32_t kSkinId = bitmapid::skin;
constexpr int32_t kSkinWidth = 754;
constexpr int32_t kSkinHeight = 374;

const std::vector<unsigned char>& skinFile()
{
    static const auto file = [] {
        std::vector<Color> pixels;
        for (int32_t y = 0; y < kSkinHeight; ++y)
            for (int32_t x = 0; x < kSkinWidth; ++x)
                pixels.push_back({static_cast<uint8_t>(x), static_cast<uint8_t>(y), static_cast<uint8_t>(x ^ y), 255});
        return tolvan::imaging::encodeBmp(kSkinWidth, kSkinHeight, pixels, false);
    }();
    return file;
}

void drawText(benchmark::State& state)
{
    const auto size = static_cast<int32_t>(state.range(0));
    COffscreenContext context{nullptr, 420, 40, kBlackColor};
    context.setFont(3, size, 0);
    context.setFontColor(kWhiteColor);
    static constexpr char text[] = "-74 dB -62 dB 20Hz 50Hz 100Hz 1kHz 10kHz - source - output 9";
    static_assert(sizeof text == 61, "sixty characters");
    context.drawString(text, {0, 0, 420, 40}, false, kAlignLeft);  // warms the glyph cache
    const int64_t rendered = GlyphCache::renderedGlyphCount();
    for (auto _ : state) {
        context.drawString(text, {0, 0, 420, 40}, false, kAlignLeft);
        benchmark::ClobberMemory();
    }
    if (GlyphCache::renderedGlyphCount() != rendered) state.SkipWithError("the glyph cache was not warm");
    state.SetLabel("60 characters");
}
BENCHMARK(drawText)->Arg(9)->Arg(11)->Unit(benchmark::kMicrosecond);

// 250 segments of a response-like curve across the graph's plot, as drawLines gets them.
void drawCurve(benchmark::State& state)
{
    COffscreenContext context{nullptr, 391, 151, kBlackColor};
    std::vector<LineSegment> segments;
    for (int i = 0; i < 250; ++i) {
        const auto point = [](int k) {
            return Point{32 + k * 338 / 250, static_cast<int32_t>(75 + 50 * std::sin(k * 0.05))};
        };
        segments.push_back({point(i), point(i + 1)});
    }
    context.setLineWidth(static_cast<int32_t>(state.range(0)));
    context.setFrameColor(kYellowColor);
    for (auto _ : state) {
        context.drawLines(segments.data(), static_cast<int32_t>(segments.size()));
        benchmark::ClobberMemory();
    }
    state.SetLabel("250 segments");
}
BENCHMARK(drawCurve)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void blitSkin(benchmark::State& state)
{
    CBitmap skin(kSkinId);
    COffscreenContext context{nullptr, kSkinWidth, kSkinHeight, kBlackColor};
    if (!skin.isLoaded()) state.SkipWithError("the skin bitmap did not load");
    for (auto _ : state) {
        skin.draw(&context, {0, 0, kSkinWidth, kSkinHeight}, {0, 0});
        benchmark::ClobberMemory();
    }
    state.SetLabel("754 x 374");
}
BENCHMARK(blitSkin)->Unit(benchmark::kMicrosecond);

void copyOffscreen(benchmark::State& state)
{
    COffscreenContext offscreen{nullptr, kSkinWidth, kSkinHeight, kGreyColor};
    PixelSurface window(kSkinWidth, kSkinHeight);
    CDrawContext context{nullptr, nullptr, &window};
    for (auto _ : state) {
        context.copyFromOffscreen({0, 0, kSkinWidth, kSkinHeight}, &offscreen, {0, 0});
        benchmark::ClobberMemory();
    }
    state.SetLabel("754 x 374");
}
BENCHMARK(copyOffscreen)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace VSTGUI {

std::span<const BitmapResource> bitmapResources()
{
    static const BitmapResource skin{kSkinId, skinFile().data(), skinFile().size()};
    return {&skin, 1};
}

}  // namespace VSTGUI
