// What one effect costs a host that keeps it without its editor: the memory it holds and the
// time to make and close it, through the built library's entry point as a host calls it.
// Memory is glibc's count of bytes in use (small blocks and mapped ones), which the
// library's own allocations reach although it carries its own C++ runtime. Beside them,
// what the first opening of an editor adds: the analysers it makes.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <array>
#include <cstddef>
#include <memory>

#include "effect/AKkk.h"
#include "effect/PluginInterface.h"
#include "tools/hosting/PluginLibrary.h"
#include "tools/hosting/RecordingHost.h"

namespace {

const hosting::PluginLibrary& library()
{
    static const hosting::PluginLibrary loaded(TOLVAN_PLUGIN_PATH);
    return loaded;
}

size_t bytesInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void closeEffect(AEffect* effect) { effect->dispatcher(effect, effClose, 0, 0, nullptr, 0); }

// Items are instances; bytes_per_instance is what a live effect holds, averaged over a
// handful made side by side as a host's session makes them.
void BM_InstanceWithoutEditor(benchmark::State& state)
{
    if (!library().loaded()) {
        state.SkipWithError(library().error().c_str());
        return;
    }
    constexpr size_t kSideBySide = 16;
    std::array<AEffect*, kSideBySide> effects{};
    const size_t before = bytesInUse();
    for (AEffect*& effect : effects) effect = library().create(hosting::quietHost);
    const size_t after = bytesInUse();
    for (AEffect* effect : effects) closeEffect(effect);

    for (auto _ : state) {
        AEffect* effect = library().create(hosting::quietHost);
        benchmark::DoNotOptimize(effect);
        closeEffect(effect);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["bytes_per_instance"] = static_cast<double>(after - before) / kSideBySide;
}
BENCHMARK(BM_InstanceWithoutEditor)->Unit(benchmark::kMicrosecond);

// The analysers an editor's first opening makes, on an effect made directly (the editor's
// own opening is measured in editor_bench); bytes_made is what they add to the instance.
void BM_MakeAnalysersAtFirstOpening(benchmark::State& state)
{
    size_t made = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto effect = std::make_unique<AKkk>(hosting::quietHost);
        const size_t before = bytesInUse();
        state.ResumeTiming();
        benchmark::DoNotOptimize(effect->makeAnalysers());
        state.PauseTiming();
        made = bytesInUse() - before;
        effect.reset();
        state.ResumeTiming();
    }
    state.counters["bytes_made"] = static_cast<double>(made);
}
BENCHMARK(BM_MakeAnalysersAtFirstOpening)->Unit(benchmark::kMicrosecond);

}  // namespace
