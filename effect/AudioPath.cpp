// The host's processing call: the analyser taps, the band chain and the meter's peak.
#include <atomic>
#include <cmath>

#include "dsp/FloatingPointMode.h"
#include "effect/AKkk.h"

// The audio thread shares these; a lock inside an atomic would make it wait.
static_assert(std::atomic<double>::is_always_lock_free && std::atomic<int32_t>::is_always_lock_free);

namespace {

// The largest of |left| and |right| over the block; NaN never counts.
double blockPeak(float* const* outputs, int32_t count)
{
    double peak = 0;
    for (int32_t i = 0; i < count; ++i) {
        peak = std::fmax(peak, std::fmax(std::fabs(outputs[0][i]), std::fabs(outputs[1][i])));
    }
    return peak;
}

}  // namespace

void AKkk::processBlock(float** inputs, float** outputs, int32_t count)
{
    // Nothing subnormal reaches the filters or the output; the host's mode comes back on return.
    const ScopedFlushDenormals flushDenormals;
    const bool open = editorOpen.load(std::memory_order_acquire) > 0;
    // Null until an editor has made the analysers; once there they stay (see EditorAnalysers).
    AnalyserTrio* const fed = open && analysersOn.load(std::memory_order_acquire) ? analysers.get() : nullptr;
    if (fed != nullptr && preAnalyserOn.load(std::memory_order_relaxed) != 0)
        fed->pre.feed(count, inputs[0], inputs[1]);
    chain.process(inputs, outputs, count);
    if (!open) return;
    // Only raises the level. The compare-exchange fails only when the meter took the level
    // in between (or spuriously), and the next pass compares with what is there now.
    const double peak = blockPeak(outputs, count);
    double seen = peakLevel.load(std::memory_order_relaxed);
    while (peak > seen &&
           !peakLevel.compare_exchange_weak(seen, peak, std::memory_order_release, std::memory_order_relaxed)) {
    }
    if (fed != nullptr && postAnalyserOn.load(std::memory_order_relaxed) != 0)
        fed->post.feed(count, outputs[0], outputs[1]);
}
