// Ten stereo sections over a 512-sample block (every band on, both cut filters in edge
// mode): the plain section formula against the stereo fast path.
#include <benchmark/benchmark.h>

#include <vector>

#include "dsp/CutFilter.h"
#include "dsp/StereoCascade.h"

namespace {

constexpr int block = 512;
constexpr int sections = 10;

std::vector<CIIR> tenSections()
{
    std::vector<CIIR> s(sections);
    for (int k = 0; k < sections; ++k) {
        s[k].setSampleRate(48000);
        s[k].designPeak(100.0 * (k + 1), 6.0, 1.0);
    }
    return s;
}

void BM_PlainSections(benchmark::State& state)
{
    std::vector<CIIR> left = tenSections(), right = tenSections();
    std::vector<float> aL(block, 0.25f), aR(block, -0.25f), bL(block), bR(block);
    for (auto _ : state) {
        for (int k = 0; k < sections; ++k) {
            left[k].process(bL.data(), aL.data(), block);
            right[k].process(bR.data(), aR.data(), block);
            aL.swap(bL);
            aR.swap(bR);
        }
        benchmark::DoNotOptimize(aL.data());
    }
    state.SetItemsProcessed(state.iterations() * block);
}
BENCHMARK(BM_PlainSections);

// Arguments: section count, path (0 SSE2, 1 AVX, 2 AVX-512), block size, and whether the
// gains are on: a make-up before the last two sections (where the band chain puts its
// balance make-up, before the high cut) and an output gain.
void BM_StereoCascade(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const auto path = static_cast<CascadePath>(state.range(1));
    const int samples = static_cast<int>(state.range(2));
    const CascadeGains gains =
        state.range(3) != 0 ? CascadeGains{count - 3, 0.7079457843841379, 1.1885022274370185} : CascadeGains{};
    if (!cascadePathAvailable(path)) {
        state.SkipWithError("this processor lacks the path's instructions");
        return;
    }
    const std::vector<CIIR> s = tenSections();
    std::vector<StereoSection> fast(sections);
    std::vector<StereoSection*> chain;
    for (int k = 0; k < sections; ++k) {
        fast[k].setCoefficients(s[k], s[k]);
        chain.push_back(&fast[k]);
    }
    std::vector<float> inL(samples, 0.25f), inR(samples, -0.25f), outL(samples), outR(samples);
    for (auto _ : state) {
        runCascade(path, chain.data(), count, inL.data(), inR.data(), outL.data(), outR.data(), samples, gains);
        benchmark::DoNotOptimize(outL.data());
    }
    state.SetItemsProcessed(state.iterations() * samples);
}
BENCHMARK(BM_StereoCascade)
    ->ArgNames({"sections", "path", "block", "gains"})
    ->ArgsProduct({{2, 5, 8, 10}, {0, 1, 2}, {512}, {0}});
BENCHMARK(BM_StereoCascade)
    ->ArgNames({"sections", "path", "block", "gains"})
    ->ArgsProduct({{10}, {0, 1, 2}, {32, 4096}, {0}});
BENCHMARK(BM_StereoCascade)
    ->ArgNames({"sections", "path", "block", "gains"})
    ->ArgsProduct({{10}, {0, 1, 2}, {32, 512, 4096}, {1}});

}  // namespace
