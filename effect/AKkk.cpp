#include "effect/AKkk.h"

#include <cmath>
#include <new>

#include "editor/SDEditor.h"
#include "effect/HostText.h"
#include "effect/ParameterValues.h"
#include "framework/platform/Platform.h"

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

AKkk::AKkk(HostCallback hostCallback) : AudioEffectX(hostCallback, kNumPrograms, kNumParameters) {
    VSTGUI::platform::getModulePath(modulePath, sizeof modulePath);

    programBank = new (std::nothrow) ProgramRecord[kNumPrograms];
    if (programBank != nullptr) {
        for (int32_t p = 0; p < kNumPrograms; ++p) initialiseProgram(programBank[p]);
    }

    sampleRateHz = static_cast<int32_t>(sampleRate);
    preAnalyser = new (std::nothrow) SpectrumAnalyser(sampleRateHz);
    postAnalyser = new (std::nothrow) SpectrumAnalyser(sampleRateHz);
    responseAnalyser = new (std::nothrow) SpectrumAnalyser(sampleRateHz);

    lowCut.setSampleRate(sampleRateHz);
    lowShelf.setSampleRate(sampleRateHz);
    peak1.setSampleRate(sampleRateHz);
    peak2.setSampleRate(sampleRateHz);
    peak3.setSampleRate(sampleRateHz);
    hiShelf.setSampleRate(sampleRateHz);
    hiCut.setSampleRate(sampleRateHz);
    balance.setSampleRate(sampleRateHz);

    // No editor exists yet, so this only stores the values.
    if (programBank != nullptr) {
        currentProgram = 0;
        for (int32_t i = 0; i < kNumParameters; ++i) setParameterValue(i, static_cast<float>(programBank[0].values[i]));
    }

    setNumInputs(2);
    setNumOutputs(2);
    setUniqueID(kUniqueId);

    editor = new SDEditor(this);

    // Now with an editor: the defaults reach the filters.
    resetToDefaults();
    if (programBank != nullptr) {
        for (int32_t i = 0; i < kNumParameters; ++i) setParameterValue(i, static_cast<float>(programBank[0].values[i]));
    }
    resumeProcessing();
}

AKkk::~AKkk() {
    // A host may unload without closing the editor: the editor goes first, while the
    // analysers and flags its window uses still exist.
    delete editor;
    editor = nullptr;
    delete[] programBank;
    delete preAnalyser;
    delete postAnalyser;
    delete responseAnalyser;
}

SDEditor* AKkk::sdEditor() const { return static_cast<SDEditor*>(editor); }

void AKkk::resumeProcessing() {
    if ((record.flags & effFlagsIsSynth) != 0 || canDo("receiveVstMidiEvent") == 1) wantMidi();
    if (preAnalyser != nullptr) preAnalyser->reset();
    if (postAnalyser != nullptr) postAnalyser->reset();
    {
        // The bands belong to the parameter side; the audio thread learns of the clears
        // through the sections' clear counters.
        std::lock_guard<std::mutex> lock(designMutex);
        lowCut.clearHistory();
        lowShelf.clearHistory();
        peak1.clearHistory();
        peak2.clearHistory();
        peak3.clearHistory();
        hiShelf.clearHistory();
        hiCut.clearHistory();
        balance.clearHistory();
    }
    peakLevel = 0;
}

void AKkk::changeSampleRate(float rate) {
    // The base keeps the rate it was constructed with; the effect runs on the whole hertz.
    sampleRateHz = static_cast<int32_t>(rate);
    {
        // The new designs reach the audio thread with the publish in updateResponseGraph.
        std::lock_guard<std::mutex> lock(designMutex);
        lowCut.setSampleRate(sampleRateHz);
        hiCut.setSampleRate(sampleRateHz);
        for (SectionPair* pair : {&lowShelf, &peak1, &peak2, &peak3, &hiShelf, &balance}) {
            pair->left.setSampleRate(sampleRateHz);
            pair->right.setSampleRate(sampleRateHz);
        }
    }
    for (SpectrumAnalyser* analyser : {preAnalyser, postAnalyser, responseAnalyser}) {
        if (analyser != nullptr) analyser->sampleRate = sampleRateHz;
    }
    if (editor != nullptr) editor->setGraphSampleRate(sampleRateHz);
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
        SDEditor* sd = sdEditor();
        if (sd != nullptr && sd->canOpenDocumentation() && value != 0) sd->openDocumentation();
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
