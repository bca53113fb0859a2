// An effect's display whose state the test sets itself: analysers it feeds directly,
// switches, a peak level and a rate, for the views that show them.
#pragma once

#include <memory>
#include <utility>

#include "dsp/SpectrumAnalyser.h"
#include "effect/EffectDisplay.h"

namespace editortest {

class ScriptedDisplay : public EffectDisplay {
public:
    bool hasAnalysers() const override { return true; }
    bool spectrumShown(Spectrum which) const override { return which == Spectrum::pre ? preShown : postShown; }
    bool takeSpectrum(Spectrum which, float* bins) override { return analyser(which).takeSpectrum(bins); }
    void resetSpectra() override
    {
        pre->reset();
        post->reset();
    }
    // The response is whatever the test holds in the response analyser.
    void measureResponse() override {}
    bool updateResponseGraph() override { return false; }
    const float* responseBins() const override { return response->heldBins(); }
    double takePeakLevel() override { return std::exchange(peakLevel, 0.0); }
    void setWindowOpen(bool) override {}
    void wantAnalysers() override {}
    bool analysersWanted() const override { return true; }
    double currentValue(int32_t) const override { return 0; }
    int32_t getSampleRateHz() const override { return sampleRate; }
    const char* getModulePath() const override { return ""; }

    SpectrumAnalyser& analyser(Spectrum which) { return which == Spectrum::pre ? *pre : *post; }

    int32_t sampleRate = 44100;
    std::unique_ptr<SpectrumAnalyser> pre = std::make_unique<SpectrumAnalyser>(sampleRate);
    std::unique_ptr<SpectrumAnalyser> post = std::make_unique<SpectrumAnalyser>(sampleRate);
    std::unique_ptr<SpectrumAnalyser> response = std::make_unique<SpectrumAnalyser>(sampleRate);
    bool preShown = true;
    bool postShown = true;
    double peakLevel = 0;
};

}  // namespace editortest
