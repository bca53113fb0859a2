// The equaliser effect object that the host creates through the entry point: the hub on
// which the parameters, the programs, the signal path and the editor hang.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>

#include "dsp/CutFilter.h"
#include "dsp/EqualiserChain.h"
#include "dsp/SectionPair.h"
#include "dsp/SpectrumAnalyser.h"
#include "effect/BandTable.h"
#include "effect/ControlTable.h"
#include "effect/EffectBaseExtended.h"
#include "effect/ProgramRecord.h"

constexpr std::size_t kModulePathSize = 260;

class AKkk;

// Makes the effect's editor. The effect declares it and the entry point, which links the
// editor, supplies it, so that nothing here depends on the editor; the effect owns what
// it returns. Without one the effect has no editor.
using EditorFactory = std::unique_ptr<AEffEditor> (*)(AKkk& effect);

class AKkk : public AudioEffectX {
public:
    explicit AKkk(HostCallback hostCallback, EditorFactory makeEditor = nullptr);
    ~AKkk() override;

    // State changes. [any thread but the audio thread]
    void openEffect() override {}
    void closeEffect() override {}
    void suspendProcessing() override {}
    void resumeProcessing() override;
    void changeSampleRate(float rate) override;
    void changeBlockSize(int32_t size) override;

    // Identity.
    bool getEffectName(char* text) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    int32_t getVendorVersion() override { return 1000; }
    int32_t getPlugCategory() override { return 1; }

    // Parameters, indices 0..40. [any thread but the audio thread]
    void setParameterValue(int32_t index, float value) override;
    float getParameterValue(int32_t index) override;
    void parameterName(int32_t index, char* text) override;
    void parameterLabel(int32_t, char*) override {}
    void parameterDisplay(int32_t, char*) override {}

    // Programs. [any thread but the audio thread]
    void selectProgram(int32_t program) override;
    void renameProgram(const char* name) override;
    void currentProgramName(char* text) override;
    bool programNameAt(int32_t index, char* text) override;
    void resetToDefaults();

    // The signal path. [audio thread]
    void processBlock(float** inputs, float** outputs, int32_t count) override;
    // Applies one real parameter value to the bands, gains and switches, and publishes the
    // new design to the audio thread. [parameter thread]
    void applyParameter(int32_t index, double x);
    // Publishes the design and measures the equaliser's response for the editor's graph.
    // [parameter thread]
    void updateResponseGraph();
    // The measurement without the graph: an impulse through the current design into the
    // response analyser, transformed and folded there. [parameter thread]
    void fillResponseAnalyser();
    // The largest output magnitude since the last take, and 0 from then on. [UI thread]
    double takePeakLevel() { return peakLevel.exchange(0.0, std::memory_order_acq_rel); }

    const char* getModulePath() const { return modulePath; }
    int32_t getSampleRateHz() const { return sampleRateHz; }
    double currentValue(int32_t index) const { return currentValues[index]; }
    const ProgramRecord* program(int32_t index) const { return programBank ? &programBank[index] : nullptr; }

    char modulePath[kModulePathSize] = {};
    int32_t sampleRateHz = 44100;
    // Owned here, destroyed after the editor (see ~AKkk). Null when memory ran out.
    std::unique_ptr<ProgramRecord[]> programBank;
    double currentValues[kNumParameters] = {};

    // Shared with the audio path. The switches that the audio thread reads directly are
    // atomics; eqActive, outputGain, balanceMakeup and the bands are the parameter side's
    // and reach the audio thread only as part of a published design (see `chain`).
    std::atomic<int32_t> preAnalyserOn{1};
    std::atomic<int32_t> postAnalyserOn{0};
    int32_t eqActive = 0;
    double outputGain = 1.0;
    std::unique_ptr<SpectrumAnalyser> preAnalyser;
    std::unique_ptr<SpectrumAnalyser> postAnalyser;
    std::unique_ptr<SpectrumAnalyser> responseAnalyser;
    CutFilter lowCut;
    SectionPair lowShelf;
    SectionPair peak1, peak2, peak3;
    SectionPair hiShelf;
    SectionPair balance;
    CutFilter hiCut;
    // The editor's side of the seam: the editor sets these from its own thread, the audio
    // thread reads them; each is a single atomic flag, so there is nothing to hand over.
    // editorOpen: the window is open, so the meter's peak level is taken.
    std::atomic<int32_t> editorOpen{0};
    // analysersWanted: the graph is ready, so the PRE and POST analysers are fed.
    std::atomic<bool> analysersWanted{false};
    double balanceMakeup = 1.0;
    // Raised by the audio thread with a compare-exchange, taken by the meter with an exchange.
    std::atomic<double> peakLevel{0};

    // Calls f with the object of one band: the one place that maps the table's bands to
    // the members above.
    template <class F>
    void withBand(Band band, F&& f);

private:
    void publishDesign();
    BandSet bandSet() const { return {lowCut, lowShelf, peak1, peak2, peak3, hiShelf, balance, hiCut}; }
    void applyToBand(const BandRow& row, int32_t index, double x);

    // Serialises the parameter side (the host's and the editor's threads may both set
    // parameters): designs of the bands, publishes and the response measurement. The
    // audio thread never takes it.
    std::mutex designMutex;
    // The audio thread's copy of the bands, fed with complete designs.
    EqualiserChain chain{bandSet()};
    // The response measurement's impulse responses, left and right.
    std::array<float, SpectrumAnalyser::frameSize> responseLeft{}, responseRight{};
};

template <class F>
void AKkk::withBand(Band band, F&& f) {
    switch (band) {
    case Band::LowCut: f(lowCut); break;
    case Band::LowShelf: f(lowShelf); break;
    case Band::Peak1: f(peak1); break;
    case Band::Peak2: f(peak2); break;
    case Band::Peak3: f(peak3); break;
    case Band::HiShelf: f(hiShelf); break;
    case Band::Balance: f(balance); break;
    case Band::HiCut: f(hiCut); break;
    }
}
