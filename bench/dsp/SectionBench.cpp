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

void BM_StereoCascade(benchmark::State& state)
{
    const std::vector<CIIR> s = tenSections();
    std::vector<StereoSection> fast(sections);
    std::vector<StereoSection*> chain;
    for (int k = 0; k < sections; ++k) {
        fast[k].load(s[k], s[k]);
        chain.push_back(&fast[k]);
    }
    std::vector<float> inL(block, 0.25f), inR(block, -0.25f), outL(block), outR(block);
    for (auto _ : state) {
        runCascade(chain.data(), sections, inL.data(), inR.data(), outL.data(), outR.data(), block);
        benchmark::DoNotOptimize(outL.data());
    }
    state.SetItemsProcessed(state.iterations() * block);
}
BENCHMARK(BM_StereoCascade);

} // namespace
