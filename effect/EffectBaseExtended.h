// The extended base of the effect: the dispatcher's opcodes 25..79 with their default
// answers, and the wrappers of the calls the effect makes to its host.
#pragma once

#include "effect/EffectBase.h"

class AudioEffectX : public AudioEffect {
public:
    using AudioEffect::AudioEffect;

    // Opcodes 25..79 here, every other one in the AudioEffect table. [any thread]
    intptr_t dispatcher(int32_t opcode, const DispatchArgs& args) override;

    // Identity; each writes its text into a host buffer of the interface's size.
    virtual bool getEffectName(char*) { return false; }
    virtual bool getVendorString(char*) { return false; }
    virtual bool getProductString(char*) { return false; }
    virtual int32_t getVendorVersion() { return 0; }
    virtual int32_t getPlugCategory() { return 0; }
    virtual int32_t getVstVersion() { return 2400; }
    virtual int32_t canDo(const char*) { return 0; }

    // The name of program index, without the "Init" numbering; false past the bank.
    virtual bool programNameAt(int32_t, char*) { return false; }

    // Host-callback wrappers; each answers 0 (or false) when the host gave no callback.
    // A change made in the editor: store and apply it, then tell the host. [UI thread]
    void setParameterFromEditor(int32_t index, float value);
    bool beginEdit(int32_t index);
    bool endEdit(int32_t index);
    void hostIdle();
    bool sizeWindow(int32_t width, int32_t height);
    void wantMidi();
};
