// The effect's audio path at 48 kHz in 512-sample stereo blocks, and the response
// measurement of the parameter path.
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <vector>

#include "dsp/SpectrumAnalyser.h"
#include "effect/PluginInterface.h"
#include "effect/AKkk.h"
#include "tools/hosting/RecordingHost.h"

namespace {

constexpr int block = 512;
constexpr int rate = 48000;

std::unique_ptr<AKkk> effectAt48k(bool allBands)
{
    auto fx = std::make_unique<AKkk>(hosting::quietHost);
    fx->changeSampleRate(static_cast<float>(rate));
    if (allBands) {
        for (int index = 11; index <= 18; ++index) fx->setParameterValue(index, 1.0f);
        for (int index = 27; index <= 32; ++index) fx->setParameterValue(index, 0.75f);
        fx->setParameterValue(33, 1.0f);  // both cut filters in edge mode: ten sections a channel
        fx->setParameterValue(39, 1.0f);
    }
    fx->resumeProcessing();
    return fx;
}

// A PRE and a POST analyser at the effect's rate, as the effect keeps them.
struct Analysers {
    std::unique_ptr<SpectrumAnalyser> pre = std::make_unique<SpectrumAnalyser>(rate);
    std::unique_ptr<SpectrumAnalyser> post = std::make_unique<SpectrumAnalyser>(rate);
};

struct Buffers {
    std::vector<float> inL = std::vector<float>(block), inR = std::vector<float>(block);
    std::vector<float> outL = std::vector<float>(block), outR = std::vector<float>(block);
    float* in[2] = {inL.data(), inR.data()};
    float* out[2] = {outL.data(), outR.data()};
    Buffers()
    {
        for (int i = 0; i < block; ++i) {
            inL[i] = static_cast<float>((i * 7919 % 2000) - 1000) * 0.0005f;
            inR[i] = static_cast<float>((i * 104729 % 2000) - 1000) * 0.0005f;
        }
    }
};

// Items are stereo samples; core_percent is the share of one core that real time at
// 48 kHz takes.
void processBlocks(benchmark::State& state, bool allBands)
{
    auto fx = effectAt48k(allBands);
    Buffers b;
    // Processor time rather than wall time, so that other load on the machine does not count.
    const std::clock_t start = std::clock();
    for (auto _ : state) {
        fx->processBlock(b.in, b.out, block);
        benchmark::DoNotOptimize(b.outL.data());
    }
    const double elapsed = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    state.SetItemsProcessed(state.iterations() * block);
    state.counters["core_percent"] = elapsed / (static_cast<double>(state.iterations()) * block / rate) * 100.0;
}

void BM_ProcessBlockAllBandsOff(benchmark::State& state) { processBlocks(state, false); }
BENCHMARK(BM_ProcessBlockAllBandsOff);

void BM_ProcessBlockAllBandsOnEdgeMode(benchmark::State& state) { processBlocks(state, true); }
BENCHMARK(BM_ProcessBlockAllBandsOnEdgeMode);

// The worst block: all bands on, and both analysers complete a hop in it, so each runs
// one analysis. Two analysers like the effect's are fed around the processing call, as
// that call feeds the effect's own while the editor shows the graph. Only every fourth block analyses; the three between are untimed. With
// `ramps`, every band's gain or frequency and the output gain move before every block, so
// that a change is always in flight and the old and the new chain both run; the settings
// are made outside the timing.
void worstBlock(benchmark::State& state, bool ramps)
{
    auto fx = effectAt48k(true);
    Analysers analysers;
    Buffers b;
    float setting = 0.25f;
    auto runBlock = [&] {
        analysers.pre->feed(block, b.in[0], b.in[1]);
        fx->processBlock(b.in, b.out, block);
        return analysers.post->feed(block, b.out[0], b.out[1]);
    };
    for (auto _ : state) {
        while (true) {
            if (ramps) {
                setting = 1.0f - setting;
                for (const int index : {10, 19, 25, 27, 28, 29, 30, 31, 32}) fx->setParameterValue(index, setting);
            }
            // Blocks until the next one would complete a hop of 2048 samples.
            // Processor time, as for the blocks above.
            const std::clock_t start = std::clock();
            const int analyses = runBlock();
            const std::clock_t end = std::clock();
            if (analyses > 0) {
                state.SetIterationTime(static_cast<double>(end - start) / CLOCKS_PER_SEC);
                break;
            }
        }
    }
}

void BM_WorstBlockBothAnalysersAnalyse(benchmark::State& state) { worstBlock(state, false); }
BENCHMARK(BM_WorstBlockBothAnalysersAnalyse)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_WorstBlockRampsEverywhereBothAnalysersAnalyse(benchmark::State& state) { worstBlock(state, true); }
BENCHMARK(BM_WorstBlockRampsEverywhereBothAnalysersAnalyse)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A block while every band and the output gain change, without the analysers: the cost of
// the old and the new chain side by side.
void BM_ProcessBlockAllBandsRamping(benchmark::State& state)
{
    auto fx = effectAt48k(true);
    Buffers b;
    float setting = 0.25f;
    for (auto _ : state) {
        state.PauseTiming();
        setting = 1.0f - setting;
        for (const int index : {10, 19, 25, 27, 28, 29, 30, 31, 32}) fx->setParameterValue(index, setting);
        state.ResumeTiming();
        fx->processBlock(b.in, b.out, block);
        benchmark::DoNotOptimize(b.outL.data());
    }
    state.SetItemsProcessed(state.iterations() * block);
}
BENCHMARK(BM_ProcessBlockAllBandsRamping)->Unit(benchmark::kMicrosecond);

// Both analysers fed with one second of audio in 512-sample blocks.
void BM_FeedBothAnalysersOneSecond(benchmark::State& state)
{
    Analysers analysers;
    Buffers b;
    for (auto _ : state) {
        for (int i = 0; i < rate / block; ++i) {
            analysers.pre->feed(block, b.in[0], b.in[1]);
            analysers.post->feed(block, b.out[0], b.out[1]);
        }
    }
}
BENCHMARK(BM_FeedBothAnalysersOneSecond)->Unit(benchmark::kMicrosecond);

// The response measurement up to the graph's trace, all bands on.
void BM_ResponseMeasurement(benchmark::State& state)
{
    auto fx = effectAt48k(true);
    fx->makeAnalysers();
    for (auto _ : state) fx->measureResponse();
}
BENCHMARK(BM_ResponseMeasurement)->Unit(benchmark::kMicrosecond);

// One parameter change as a host's automation makes it, possibly on its audio thread:
// store, design the band, publish the design to the audio path and the measurement.
void BM_SetParameter(benchmark::State& state)
{
    auto fx = effectAt48k(true);
    float value = 0.25f;
    for (auto _ : state) {
        fx->setParameterValue(28, value);
        value = 0.75f - value + 0.25f;
    }
}
BENCHMARK(BM_SetParameter)->Unit(benchmark::kMicrosecond);

}  // namespace
