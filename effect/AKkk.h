// The equaliser effect object that the host creates through the entry point: the hub on
// which the parameters, the programs, the signal path and the editor hang.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <memory>

#include "dsp/CutFilter.h"
#include "dsp/EqualiserChain.h"
#include "dsp/SectionPair.h"
#include "dsp/SpectrumAnalyser.h"
#include "dsp/TripleBuffer.h"
#include "effect/BandTable.h"
#include "effect/ControlTable.h"
#include "effect/EditorAnalysers.h"
#include "effect/EffectBaseExtended.h"
#include "effect/EffectDisplay.h"
#include "effect/ModulePath.h"
#include "effect/ProgramRecord.h"

// Makes the effect's editor, which reaches the effect through the host interface and
// shows its state through the display. The effect declares it and the plug-in format,
// which links the editor, supplies it, so that nothing here depends on the editor; the
// effect owns what it returns. Without one the effect has no editor.
using EditorFactory = std::unique_ptr<AEffEditor> (*)(AudioEffectX& effect, EffectDisplay& display);

class AKkk final : public AudioEffectX, public EffectDisplay {
public:
    explicit AKkk(HostCallback hostCallback, EditorFactory makeEditor = nullptr);
    ~AKkk() override;

    // State changes. [parameter side]
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

    // Parameters, indices 0..40. A value is kept within 0..1, a switch's as 0 or 1.
    // [parameter side]
    void setParameterValue(int32_t index, float value) override;
    float getParameterValue(int32_t index) override;
    void parameterName(int32_t index, char* text) override;
    // For hosts' own views: the unit, and the value as the editor shows it without it.
    void parameterLabel(int32_t index, char* text) override;
    void parameterDisplay(int32_t index, char* text) override;

    // Programs. [parameter side]
    void selectProgram(int32_t program) override;
    void renameProgram(const char* name) override;
    void currentProgramName(char* text) override;
    bool programNameAt(int32_t index, char* text) override;
    void resetToDefaults();

    // The signal path. [audio thread]
    void processBlock(float** inputs, float** outputs, int32_t count) override;

    // What the editor shows (EffectDisplay).
    bool makeAnalysers() override;
    bool hasAnalysers() const override;
    bool spectrumShown(Spectrum which) const override;
    bool takeSpectrum(Spectrum which, float* bins) override;
    void resetSpectra() override;
    // Parameter changes only mark the response stale; the editor measures it on its own
    // thread, so the measurement has exactly one writer. The measurement itself: the
    // newest published design's power response at the bins, held by the response
    // analyser.
    void measureResponse() override;
    bool updateResponseGraph() override;
    const float* responseBins() const override;
    double takePeakLevel() override { return peakLevel.exchange(0.0, std::memory_order_acq_rel); }
    void setWindowOpen(bool open) override { editorOpen.fetch_add(open ? 1 : -1, std::memory_order_acq_rel); }
    void wantAnalysers() override { analysersOn.store(true, std::memory_order_release); }
    bool analysersWanted() const override { return analysersOn.load(std::memory_order_acquire); }
    double currentValue(int32_t index) const override { return currentValues[index].load(std::memory_order_relaxed); }
    int32_t getSampleRateHz() const override { return sampleRateHz.load(std::memory_order_relaxed); }
    const char* getModulePath() const override { return modulePath; }

    // True while a design has been published since the last measurement. [any thread]
    bool responseStale() const;

    // Read-only views of the inside, for the tests' checks; read them only while no thread
    // sets parameters, programs or the sample rate.
    // The bands, switches and gains as the designer last applied them.
    struct DesignerState : BandSet {
        int32_t eqActive;
        double outputGain;
        double balanceMakeup;
    };
    DesignerState designerState() const { return {bandSet(), eqActive, outputGain, balanceMakeup}; }
    const ProgramRecord* program(int32_t index) const { return programBank ? &programBank[index] : nullptr; }
    // Null until an editor has made them, or when memory ran out for them.
    const SpectrumAnalyser* inspectAnalyser(Spectrum which) const { return analyserOf(which); }
    const SpectrumAnalyser* inspectResponseAnalyser() const { return responseAnalyser(); }
    bool isWindowOpen() const { return editorOpen.load(std::memory_order_acquire) > 0; }
    // The peak level the meter would take now, left in place.
    double heldPeakLevel() const { return peakLevel.load(std::memory_order_acquire); }

private:
    // The analysers once made, else null. [any thread]
    SpectrumAnalyser* analyserOf(Spectrum which) const
    {
        AnalyserTrio* trio = analysers.get();
        if (trio == nullptr) return nullptr;
        return which == Spectrum::pre ? &trio->pre : &trio->post;
    }
    SpectrumAnalyser* responseAnalyser() const
    {
        AnalyserTrio* trio = analysers.get();
        return trio != nullptr ? &trio->response : nullptr;
    }
    // Bins to 0 and rings cleared in the PRE and POST analysers, where they exist. [any thread]
    void resetAnalysers();
    // Calls f with the object of one band: the one place that maps the table's bands to
    // the members below.
    template <class F>
    void withBand(Band band, F&& f);

    char modulePath[kModulePathSize] = {};
    // Owned here, destroyed after the editor (see ~AKkk). Null when memory ran out. Its
    // values are read and written through std::atomic_ref: last writer wins.
    std::unique_ptr<ProgramRecord[]> programBank;

    // Shared with the audio path. The switches that the audio thread reads directly are
    // atomics; eqActive, outputGain, balanceMakeup and the bands belong to the designer
    // (see `designing`) and reach the audio thread only as part of a published design.
    std::atomic<int32_t> preAnalyserOn{1};
    std::atomic<int32_t> postAnalyserOn{0};
    int32_t eqActive = 0;
    double outputGain = 1.0;
    // Made by the first editor that opens, published to the other threads (see
    // EditorAnalysers) and kept until the effect goes.
    EditorAnalysers analysers;
    CutFilter lowCut;
    SectionPair lowShelf;
    SectionPair peak1, peak2, peak3;
    SectionPair hiShelf;
    SectionPair balance;
    CutFilter hiCut;
    // The editor's side of the seam: the editor sets these from its own thread, the audio
    // thread reads them; each is a single atomic flag, so there is nothing to hand over.
    // editorOpen: how many windows are open (an LV2 host may show two interfaces of one
    // instance); while any is, the meter's peak level is taken. Each window adds one when
    // it opens and takes it back when it closes, so closing one leaves the others fed.
    std::atomic<int32_t> editorOpen{0};
    // analysersOn: the graph is ready, so the PRE and POST analysers are fed.
    std::atomic<bool> analysersOn{false};
    double balanceMakeup = 1.0;
    // Raised by the audio thread with a compare-exchange, taken by the meter with an exchange.
    std::atomic<double> peakLevel{0};

    // The designer's work items, one bit each: a parameter's stored value changed (bits 0
    // to 40), the sample rate changed, the histories are to be cleared.
    static constexpr uint64_t parameterChange(int32_t index) { return uint64_t{1} << index; }
    static constexpr uint64_t kSampleRateChange = uint64_t{1} << 62;
    static constexpr uint64_t kClearHistories = uint64_t{1} << 63;
    static_assert(kNumParameters < 62);

    // Stores a normalised value as the current one and the current program's. Answers
    // the change's bit for requestDesign.
    uint64_t storeValue(int32_t index, double value);
    // Hands the changes in `bits` to the designer and, if no other thread is designing
    // now, becomes the designer until no change is left. Never waits.
    void requestDesign(uint64_t bits);
    // The designer's work for one batch of changes. [parameter side]
    void applyChanges(uint64_t bits);
    // Applies one real parameter value to the bands, gains and switches. [parameter side]
    void applyParameter(int32_t index, double x);
    void applyToBand(const BandRow& row, int32_t index, double x);
    BandSet bandSet() const { return {lowCut, lowShelf, peak1, peak2, peak3, hiShelf, balance, hiCut}; }

    // The parameter side stores values (atomics: last writer wins) and then asks for a
    // design. Whoever wins `designing` with a compare-exchange becomes the designer and
    // applies every pending change, reading the stored values, until none is left; a
    // thread that loses leaves its changes in `pendingChanges` for the designer to pick
    // up after it clears `designing`, so no thread ever waits and the applied design is
    // always that of the values stored last. The designer alone touches the bands, the
    // gains and the two triple buffers' writer sides.
    std::atomic<bool> designing{false};
    std::atomic<uint64_t> pendingChanges{0};
    static_assert(std::atomic<uint64_t>::is_always_lock_free, "the audio thread may set parameters");
    std::array<std::atomic<double>, kNumParameters> currentValues{};
    std::atomic<int32_t> sampleRateHz{44100};
    // The audio thread's copy of the bands, fed with complete designs.
    EqualiserChain chain{bandSet()};
    // Every published design, for the response measurement; one writer (the designer)
    // and one reader (the UI thread), handed over by the triple buffer's swaps.
    TripleBuffer<ChainDesign> responseDesigns;
    // Counts designs published; the measurement notes the count it measured.
    std::atomic<uint32_t> designCount{0};
    // Written by the UI thread, read by responseStale on any thread: an atomic.
    std::atomic<uint32_t> measuredCount{0};
};

template <class F>
void AKkk::withBand(Band band, F&& f)
{
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
