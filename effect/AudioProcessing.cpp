#include <atomic>
#include <cmath>
#include <mutex>

#include "dsp/FloatingPointMode.h"
#include "effect/AKkk.h"

// The audio thread shares these; a lock inside an atomic would make it wait.
static_assert(std::atomic<double>::is_always_lock_free && std::atomic<int32_t>::is_always_lock_free);

namespace {

constexpr double kDecibelBase = 1.1220184543019636;

int32_t truncated(double x) { return static_cast<int32_t>(std::trunc(x)); }

// The largest of |left| and |right| over the block; NaN never counts.
double blockPeak(float* const* outputs, int32_t count) {
    double peak = 0;
    for (int32_t i = 0; i < count; ++i) {
        peak = std::fmax(peak, std::fmax(std::fabs(outputs[0][i]), std::fabs(outputs[1][i])));
    }
    return peak;
}

}  // namespace

void AKkk::processBlock(float** inputs, float** outputs, int32_t count) {
    // Nothing subnormal reaches the filters or the output; the host's mode comes back on return.
    const ScopedFlushDenormals flushDenormals;
    const bool open = editorOpen.load(std::memory_order_acquire) == 1;
    const bool feedAnalysers = open && analysersWanted.load(std::memory_order_acquire);
    if (feedAnalysers && preAnalyserOn.load(std::memory_order_relaxed) != 0 && preAnalyser != nullptr) {
        preAnalyser->feed(count, inputs[0], inputs[1]);
    }
    chain.process(inputs, outputs, count);
    if (!open) return;
    // Only raises the level. The compare-exchange fails only when the meter took the level
    // in between (or spuriously), and the next pass compares with what is there now.
    const double peak = blockPeak(outputs, count);
    double seen = peakLevel.load(std::memory_order_relaxed);
    while (peak > seen && !peakLevel.compare_exchange_weak(seen, peak, std::memory_order_release,
                                                           std::memory_order_relaxed)) {
    }
    if (feedAnalysers && postAnalyserOn.load(std::memory_order_relaxed) != 0 && postAnalyser != nullptr) {
        postAnalyser->feed(count, outputs[0], outputs[1]);
    }
}

void AKkk::publishDesign() { chain.publish(eqActive != 0, outputGain, balanceMakeup); }

void AKkk::applyParameter(int32_t index, double x) {
    std::lock_guard<std::mutex> lock(designMutex);
    SectionPair* const shelvesAndPeaks[] = {&lowShelf, &peak1, &peak2, &peak3, &hiShelf};
    switch (index) {
    case 3:
        preAnalyserOn = truncated(currentValues[3]);
        if (preAnalyserOn != 0 && preAnalyser != nullptr) preAnalyser->reset();
        if (postAnalyserOn != 0 && postAnalyser != nullptr) postAnalyser->reset();
        break;
    case 4:
        postAnalyserOn = truncated(currentValues[4]);
        if (postAnalyserOn != 0 && postAnalyser != nullptr) postAnalyser->reset();
        if (preAnalyserOn != 0 && preAnalyser != nullptr) preAnalyser->reset();
        break;
    case 9: eqActive = truncated(x); break;
    case 10: outputGain = std::pow(kDecibelBase, x); break;
    case 11: lowCut.setEnabled(truncated(x)); break;
    case 12:
    case 13:
    case 14:
    case 15:
    case 16: shelvesAndPeaks[index - 12]->setEnabled(truncated(x)); break;
    case 17: hiCut.setEnabled(truncated(x)); break;
    case 18: balance.setEnabled(truncated(x)); break;
    case 19: lowCut.designLowCut(x, lowCut.q); break;
    case 20: lowShelf.designLowShelf(x, lowShelf.left.gain, lowShelf.left.q); break;
    case 21:
    case 22:
    case 23: {
        SectionPair& peak = *shelvesAndPeaks[index - 20];
        peak.designPeak(x, peak.left.gain, peak.left.q);
        break;
    }
    case 24: hiShelf.designHighShelf(x, hiShelf.left.gain, hiShelf.left.q); break;
    case 25: hiCut.designHighCut(x, hiCut.q); break;
    case 26: balance.designHighShelf(x, balance.left.gain, balance.left.q); break;
    case 27: lowShelf.designLowShelf(lowShelf.left.frequency, x, lowShelf.left.q); break;
    case 28:
    case 29:
    case 30: {
        SectionPair& peak = *shelvesAndPeaks[index - 27];
        peak.designPeak(peak.left.frequency, x, peak.left.q);
        break;
    }
    case 31: hiShelf.designHighShelf(hiShelf.left.frequency, x, hiShelf.left.q); break;
    case 32:
        balance.designHighShelf(balance.left.frequency, x, balance.left.q);
        balanceMakeup = std::pow(kDecibelBase, -0.5 * x);
        break;
    case 33: lowCut.designLowCut(lowCut.frequency, x); break;
    case 34: lowShelf.designLowShelf(lowShelf.left.frequency, lowShelf.left.gain, x); break;
    case 35:
    case 36:
    case 37: {
        SectionPair& peak = *shelvesAndPeaks[index - 34];
        peak.designPeak(peak.left.frequency, peak.left.gain, x);
        break;
    }
    case 38: hiShelf.designHighShelf(hiShelf.left.frequency, hiShelf.left.gain, x); break;
    case 39: hiCut.designHighCut(hiCut.frequency, x); break;
    case 40: balance.designHighShelf(balance.left.frequency, balance.left.gain, x); break;
    default: break;
    }
    publishDesign();
}

void AKkk::updateResponseGraph() {
    {
        // A sample-rate change redesigns the bands directly and then ends here.
        std::lock_guard<std::mutex> lock(designMutex);
        publishDesign();
    }
    if (editorOpen.load(std::memory_order_acquire) == 0) return;
    fillResponseAnalyser();
    // The graph view traces the response analyser's bins as its response curve.
}

void AKkk::fillResponseAnalyser() {
    if (responseAnalyser == nullptr) return;
    std::lock_guard<std::mutex> lock(designMutex);
    const int32_t n = responseAnalyser->size;
    chain.currentDesign(true, 1.0, balanceMakeup).impulseResponse(responseLeft.data(), responseRight.data(), n);
    float* frame = responseAnalyser->responseFrame();
    for (int32_t i = 0; i < n; ++i) {
        frame[2 * i] = (responseLeft[i] + responseRight[i]) * 0.5f;
        frame[2 * i + 1] = 0;
    }
    responseAnalyser->measureResponse();
}
