#include "effect/AKkk.h"

#include <cmath>
#include <new>

#include "effect/AEffEditor.h"
#include "effect/HostParameterText.h"
#include "effect/HostText.h"
#include "effect/ModulePath.h"
#include "effect/ParameterValues.h"

namespace {

constexpr char kEffectName[] = "KR [Tolvan]";
constexpr char kVendorString[] = "[Kelvo] Ormund.T";
constexpr char kProductString[] = "Tolvan";
constexpr int32_t kUniqueId = fourCharacters("iq71");

// The first index whose name the host sees; the ones below it are the editor's own.
constexpr int32_t kFirstNamedIndex = kBypassParameter;
// Reset fires when the integer part of value + 0.1 is exactly 1, so a kick button's press
// (1) resets and its release (0) does not. The 0.1 is a single-precision number widened
// (0.10000000149011612), on purpose: with it 0.9f does not reset and 1.9f does.
constexpr double kResetOffset = 0.1f;

}  // namespace

AKkk::AKkk(HostCallback hostCallback, EditorFactory makeEditor)
    : AudioEffectX(hostCallback, kNumPrograms, kNumParameters)
{
    ::getModulePath(modulePath, sizeof modulePath);

    programBank.reset(new (std::nothrow) ProgramRecord[kNumPrograms]);
    if (programBank != nullptr) {
        for (int32_t p = 0; p < kNumPrograms; ++p) initialiseProgram(programBank[p]);
    }

    // The analysers wait for the first editor (makeAnalysers).
    sampleRateHz = static_cast<int32_t>(sampleRate);
    requestDesign(kSampleRateChange);

    setNumInputs(2);
    setNumOutputs(2);
    setUniqueID(kUniqueId);

    // Should the editor's allocation throw, the members built so far are freed on the way out.
    if (makeEditor != nullptr) {
        setEditor(makeEditor(*this, *this));
        hasEditor(editor != nullptr);
    }

    // The defaults reach the filters, and then once more through the host's float path,
    // as a host's own setting of them would.
    resetToDefaults();
    if (programBank != nullptr) {
        for (int32_t i = 0; i < kNumParameters; ++i) setParameterValue(i, static_cast<float>(programBank[0].values[i]));
    }
    resumeProcessing();
}

// The editor goes first: closing its window may still read the bank and the analysers.
AKkk::~AKkk() { destroyEditor(); }

void AKkk::resumeProcessing()
{
    if ((record.flags & effFlagsIsSynth) != 0 || canDo("receiveVstMidiEvent") == 1) wantMidi();
    resetAnalysers();
    // The audio thread takes the next design as a fresh start: histories cleared, no fade.
    requestDesign(kClearHistories);
    peakLevel = 0;
}

void AKkk::changeSampleRate(float rate)
{
    // The base keeps the rate it was constructed with; the effect runs on the whole hertz.
    const int32_t hz = static_cast<int32_t>(rate);
    // Stored before the analysers are looked for, both sequentially consistent: see makeAnalysers.
    sampleRateHz.store(hz);
    if (AnalyserTrio* trio = analysers.get()) {
        for (SpectrumAnalyser* analyser : {&trio->pre, &trio->post, &trio->response}) analyser->sampleRate = hz;
    }
    requestDesign(kSampleRateChange);
    if (editor != nullptr) editor->setGraphSampleRate(hz);
}

void AKkk::changeBlockSize(int32_t size) { blockSize = size; }

bool AKkk::getEffectName(char* text)
{
    copyHostText(text, kEffectName, kMaxEffectNameSize);
    return true;
}

bool AKkk::getVendorString(char* text)
{
    copyHostText(text, kVendorString, kMaxVendorStringSize);
    return true;
}

bool AKkk::getProductString(char* text)
{
    copyHostText(text, kProductString, kMaxProductStringSize);
    return true;
}

void AKkk::setParameterValue(int32_t index, float value)
{
    if (index == kResetParameter) {
        // Summed in double from the two single-precision numbers: 0.9 does not reset, 1.9
        // does, and a value of 2 or more from a host does not.
        if (std::trunc(static_cast<double>(value) + kResetOffset) == 1) resetToDefaults();
        return;
    }
    if (index == kSpareParameter) return;
    if (index == kDocumentationParameter) {
        // The manual is opened by the editor's own button on the editor's thread; a host
        // value of this parameter (automation, a program) must not open it from whatever
        // thread the host calls on, so it is ignored.
        return;
    }
    const float stored = storedValue(index, value);
    requestDesign(storeValue(index, stored));
    if (editor != nullptr) editor->showParameter(index, stored);
}

uint64_t AKkk::storeValue(int32_t index, double value)
{
    currentValues[index].store(value, std::memory_order_relaxed);
    if (programBank != nullptr) {
        std::atomic_ref<double>(programBank[currentProgram.load()].values[index])
            .store(value, std::memory_order_relaxed);
    }
    return parameterChange(index);
}

float AKkk::getParameterValue(int32_t index)
{
    if (index == kResetParameter) return 0;
    return static_cast<float>(currentValue(index));
}

void AKkk::parameterLabel(int32_t index, char* text) { parameterUnitText(index, currentValue(index), text); }

void AKkk::parameterDisplay(int32_t index, char* text) { parameterValueText(index, currentValue(index), text); }

void AKkk::parameterName(int32_t index, char* text)
{
    if (editor == nullptr) return;
    if (index < kFirstNamedIndex) {
        text[0] = 0;
        return;
    }
    copyHostText(text, findDescriptor(index).name, kMaxParameterTextSize);
}

bool AKkk::makeAnalysers()
{
    AnalyserTrio* trio = analysers.make(sampleRateHz.load());
    if (trio == nullptr) return false;
    // A rate change may race the making. changeSampleRate stores the rate before it looks
    // for the trio, and the trio is published before the rate is read here; all of it
    // sequentially consistent, so either that call finds the trio and sets the new rate
    // after this loop's last read, or this loop reads the new rate and sets it.
    for (int32_t hz = trio->pre.sampleRate;;) {
        const int32_t now = sampleRateHz.load();
        if (now == hz) return true;
        hz = now;
        for (SpectrumAnalyser* analyser : {&trio->pre, &trio->post, &trio->response}) analyser->sampleRate = hz;
    }
}

bool AKkk::hasAnalysers() const { return analysers.get() != nullptr; }

bool AKkk::spectrumShown(Spectrum which) const
{
    const std::atomic<int32_t>& on = which == Spectrum::pre ? preAnalyserOn : postAnalyserOn;
    return on.load(std::memory_order_relaxed) != 0;
}

bool AKkk::takeSpectrum(Spectrum which, float* bins)
{
    SpectrumAnalyser* analyser = analyserOf(which);
    return analyser != nullptr && analyser->takeSpectrum(bins);
}

void AKkk::resetSpectra() { resetAnalysers(); }

void AKkk::resetAnalysers()
{
    for (const Spectrum which : {Spectrum::pre, Spectrum::post}) {
        if (SpectrumAnalyser* analyser = analyserOf(which)) analyser->reset();
    }
}
