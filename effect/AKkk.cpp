#include "effect/AKkk.h"

#include <cmath>
#include <new>

#include "effect/AEffEditor.h"
#include "effect/HostText.h"
#include "effect/ModulePath.h"
#include "effect/ParameterValues.h"

namespace {

constexpr char kEffectName[] = "KR [Tolvan]";
constexpr char kVendorString[] = "[Kelvo] Ormund.T";
constexpr char kProductString[] = "Tolvan";
constexpr int32_t kUniqueId = fourCharacters("iq71");

// The first index whose name the host sees; the ones below it are the editor's own.
constexpr int32_t kFirstNamedIndex = 9;
// Reset fires when the integer part of value + 0.1 is exactly 1, so a kick button's press
// (1) resets and its release (0) does not.
constexpr double kResetOffset = 0.1f;

}  // namespace

AKkk::AKkk(HostCallback hostCallback, EditorFactory makeEditor) : AudioEffectX(hostCallback, kNumPrograms, kNumParameters) {
    ::getModulePath(modulePath, sizeof modulePath);

    programBank.reset(new (std::nothrow) ProgramRecord[kNumPrograms]);
    if (programBank != nullptr) {
        for (int32_t p = 0; p < kNumPrograms; ++p) initialiseProgram(programBank[p]);
    }

    sampleRateHz = static_cast<int32_t>(sampleRate);
    preAnalyser.reset(new (std::nothrow) SpectrumAnalyser(sampleRateHz));
    postAnalyser.reset(new (std::nothrow) SpectrumAnalyser(sampleRateHz));
    responseAnalyser.reset(new (std::nothrow) SpectrumAnalyser(sampleRateHz));

    for (const BandRow& row : bandTable) withBand(row.band, [&](auto& filter) { filter.setSampleRate(sampleRateHz); });

    setNumInputs(2);
    setNumOutputs(2);
    setUniqueID(kUniqueId);

    // Should the editor's allocation throw, the members built so far are freed on the way out.
    if (makeEditor != nullptr) {
        setEditor(makeEditor(*this));
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

void AKkk::resumeProcessing() {
    if ((record.flags & effFlagsIsSynth) != 0 || canDo("receiveVstMidiEvent") == 1) wantMidi();
    if (preAnalyser != nullptr) preAnalyser->reset();
    if (postAnalyser != nullptr) postAnalyser->reset();
    {
        // The bands belong to the parameter side; the audio thread learns of the clears
        // through the sections' clear counters.
        std::lock_guard<std::mutex> lock(designMutex);
        for (const BandRow& row : bandTable) withBand(row.band, [](auto& filter) { filter.clearHistory(); });
    }
    peakLevel = 0;
}

void AKkk::changeSampleRate(float rate) {
    // The base keeps the rate it was constructed with; the effect runs on the whole hertz.
    sampleRateHz = static_cast<int32_t>(rate);
    {
        // The new designs reach the audio thread with the publish in updateResponseGraph.
        std::lock_guard<std::mutex> lock(designMutex);
        for (const BandRow& row : bandTable) withBand(row.band, [&](auto& filter) { filter.setSampleRate(sampleRateHz); });
    }
    for (SpectrumAnalyser* analyser : {preAnalyser.get(), postAnalyser.get(), responseAnalyser.get()}) {
        if (analyser != nullptr) analyser->sampleRate = sampleRateHz;
    }
    updateResponseGraph();
}

void AKkk::changeBlockSize(int32_t size) { blockSize = size; }

bool AKkk::getEffectName(char* text) {
    copyHostText(text, kEffectName, kMaxEffectNameSize);
    return true;
}

bool AKkk::getVendorString(char* text) {
    copyHostText(text, kVendorString, kMaxVendorStringSize);
    return true;
}

bool AKkk::getProductString(char* text) {
    copyHostText(text, kProductString, kMaxProductStringSize);
    return true;
}

void AKkk::setParameterValue(int32_t index, float value) {
    if (index == kResetParameter) {
        // Summed in double from the two single-precision numbers: 0.9 does not reset, 1.9 does.
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
    currentValues[index] = value;
    if (programBank != nullptr) programBank[currentProgram].values[index] = value;
    applyParameter(index, normalizedToReal(value, index));
    if (editor != nullptr) {
        editor->showParameter(index, value);
        updateResponseGraph();
    }
}

float AKkk::getParameterValue(int32_t index) {
    if (index == kResetParameter) return 0;
    return static_cast<float>(currentValues[index]);
}

void AKkk::parameterName(int32_t index, char* text) {
    if (editor == nullptr) return;
    if (index < kFirstNamedIndex) {
        text[0] = 0;
        return;
    }
    copyHostText(text, findDescriptor(index).name, kMaxParameterTextSize);
}
