// The analysers' cost on the audio thread: one analysis, and feeding one second of audio.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "dsp/SpectrumAnalyser.h"

namespace {

void BM_AnalyserFeedOneSecond(benchmark::State& state)
{
    auto a = std::make_unique<SpectrumAnalyser>(48000);
    std::vector<float> l(512, 0.25f), r(512, -0.125f);
    for (auto _ : state) {
        for (int i = 0; i < 48000 / 512; ++i) benchmark::DoNotOptimize(a->feed(512, l.data(), r.data()));
    }
}
BENCHMARK(BM_AnalyserFeedOneSecond)->Unit(benchmark::kMicrosecond);

}  // namespace
