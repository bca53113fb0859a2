// The graph's part of the editor's 25 ms refresh: taking both analysers' new results into
// the PRE and POST curves and redrawing the graph, and the same tick with nothing new.
#include "tools/editor-snapshot/GraphScene.h"

#include "dsp/SpectrumAnalyser.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

using tolvan::test::GraphScene;
using Trace = CFRGRAP::Trace;

// One hop of deterministic noise into each analyser, so that both hold a new result.
class AnalyserFeed {
public:
    AnalyserFeed()
    {
        std::mt19937 rng(7);
        std::uniform_real_distribution<float> value(-0.5f, 0.5f);
        for (float& s : noise) s = value(rng);
    }
    void fill(editortest::ScriptedDisplay& display)
    {
        display.pre->feed(hop, noise.data(), noise.data());
        display.post->feed(hop, noise.data() + hop, noise.data() + hop);
    }

private:
    static constexpr int hop = SpectrumAnalyser::frameSize / 2;
    std::vector<float> noise = std::vector<float>(2 * hop);
};

// Argument 1: the graph is redrawn after the traces, as the editor's refresh does; 0: the
// traces alone.
void BM_GraphTraceBothSpectra(benchmark::State& state)
{
    GraphScene scene;
    scene.display.postShown = true;
    const bool redraw = state.range(0) != 0;
    AnalyserFeed feed;
    for (auto _ : state) {
        state.PauseTiming();
        feed.fill(scene.display);
        state.ResumeTiming();
        benchmark::DoNotOptimize(scene.graph->traceSpectrum(Trace::pre));
        benchmark::DoNotOptimize(scene.graph->traceSpectrum(Trace::post));
        if (redraw) scene.render();
    }
}
BENCHMARK(BM_GraphTraceBothSpectra)->ArgName("redraw")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// An idle tick: neither analyser has anything new, so nothing is traced or drawn.
void BM_GraphTraceNothingNew(benchmark::State& state)
{
    GraphScene scene;
    scene.graph->traceSpectrum(Trace::pre);
    scene.graph->traceSpectrum(Trace::post);
    for (auto _ : state) {
        benchmark::DoNotOptimize(scene.graph->traceSpectrum(Trace::pre));
        benchmark::DoNotOptimize(scene.graph->traceSpectrum(Trace::post));
    }
}
BENCHMARK(BM_GraphTraceNothingNew);

}  // namespace
