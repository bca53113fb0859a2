// The equaliser's response for the graph: an impulse through the newest published design,
// analysed by the response analyser.
#include <atomic>

#include "effect/AKkk.h"

bool AKkk::responseStale() const
{
    return designCount.load(std::memory_order_acquire) != measuredCount.load(std::memory_order_relaxed);
}

bool AKkk::updateResponseGraph()
{
    if (!responseStale()) return false;
    measureResponse();
    return true;
}

const float* AKkk::responseBins() const
{
    const SpectrumAnalyser* analyser = responseAnalyser();
    return analyser != nullptr ? analyser->heldBins() : nullptr;
}

void AKkk::measureResponse()
{
    // Noted before the take: a design published in between is measured next time too.
    measuredCount.store(designCount.load(std::memory_order_acquire), std::memory_order_relaxed);
    responseDesigns.take();
    SpectrumAnalyser* analyser = responseAnalyser();
    if (analyser == nullptr) return;
    const int32_t n = analyser->size;
    responseDesigns.readSlot().impulseResponse(responseLeft.data(), responseRight.data(), n);
    float* frame = analyser->responseFrame();
    for (int32_t i = 0; i < n; ++i) {
        frame[2 * i] = (responseLeft[i] + responseRight[i]) * 0.5f;
        frame[2 * i + 1] = 0;
    }
    analyser->measureResponse();
}
