// The base of the effect on the host's side of the interface: it owns the AEffect record
// that the host reads, routes the record's entry functions and the dispatcher's opcodes
// 0..24 to virtual operations, and gives every operation a default answer.
#pragma once

#include <atomic>
#include <memory>

#include "effect/AEffEditor.h"
#include "effect/PluginInterface.h"

// The arguments of one dispatcher call.
struct DispatchArgs {
    int32_t index;
    intptr_t value;
    void* ptr;
    float opt;
};

class AudioEffect {
public:
    AudioEffect(HostCallback hostCallback, int32_t numPrograms, int32_t numParams);
    virtual ~AudioEffect();
    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;

    AEffect* getAeffect() { return &record; }
    static AudioEffect* fromRecord(AEffect* effect) { return static_cast<AudioEffect*>(effect->object); }

    // Routes one opcode; opcodes neither table lists answer 0. [any thread]
    virtual intptr_t dispatcher(int32_t opcode, const DispatchArgs& args);

    // State changes.
    virtual void openEffect() {}
    virtual void closeEffect() {}
    virtual void suspendProcessing() {}
    virtual void resumeProcessing() {}
    virtual void changeSampleRate(float rate) { sampleRate = rate; }
    virtual void changeBlockSize(int32_t size) { blockSize = size; }

    // Programs.
    virtual void selectProgram(int32_t program) { currentProgram = program; }
    virtual int32_t getProgram() const { return currentProgram; }
    virtual void renameProgram(const char*) {}
    virtual void currentProgramName(char* text) { text[0] = 0; }

    // Parameters; the index has been checked against numParams by the entry functions,
    // and a value is finite but may lie outside 0..1.
    virtual void setParameterValue(int32_t, float) {}
    virtual float getParameterValue(int32_t) { return 0; }
    virtual void parameterLabel(int32_t, char*) {}
    virtual void parameterDisplay(int32_t, char*) {}
    virtual void parameterName(int32_t, char*) {}

    // Audio; the buffers have been checked by the entry functions. [audio thread]
    virtual void processBlock(float**, float**, int32_t) {}

    AEffEditor* getEditor() const { return editor.get(); }
    void setEditor(std::unique_ptr<AEffEditor> newEditor) { editor = std::move(newEditor); }
    int32_t getNumPrograms() const { return numPrograms; }
    int32_t getNumParams() const { return numParams; }

    void setNumInputs(int32_t count) { record.numInputs = count; }
    void setNumOutputs(int32_t count) { record.numOutputs = count; }
    void setUniqueID(int32_t id) { record.uniqueID = id; }
    void hasEditor(bool state);

    // The host callback, or 0 when the host gave none. [any thread]
    intptr_t callHost(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);

protected:
    // Closes the editor's window if it is open and destroys the editor, while everything
    // it may touch on the way still exists; derived effects call it first in their
    // destructors.
    void destroyEditor();

    HostCallback hostCallback;
    std::unique_ptr<AEffEditor> editor;
    float sampleRate = 44100;
    int32_t blockSize = 1024;
    int32_t numPrograms;
    int32_t numParams;
    // Set by the parameter side, read by any thread; last writer wins.
    std::atomic<int32_t> currentProgram{0};
    AEffect record{};

private:
    static intptr_t dispatchEntry(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
    static void setParameterEntry(AEffect* effect, int32_t index, float value);
    static float getParameterEntry(AEffect* effect, int32_t index);
    static void processReplacingEntry(AEffect* effect, float** inputs, float** outputs, int32_t count);
    static void processEntry(AEffect* effect, float** inputs, float** outputs, int32_t count);
    static void processDoubleEntry(AEffect* effect, double** inputs, double** outputs, int32_t count);
};
