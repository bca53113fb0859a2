// The equaliser's response for the graph: the newest published design's power response,
// held by the response analyser.
#include <atomic>

#include "effect/AKkk.h"

static_assert(ChainDesign::responsePoints == SpectrumAnalyser::binCount, "one point a bin");

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
    const ChainDesign& design = responseDesigns.readSlot();
    analyser->holdResponse([&design](float* bins) { design.powerResponse(bins); });
}
