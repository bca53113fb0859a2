// The editor as the host interface sees it: the effect owns one and forwards the host's
// editor opcodes to these operations. The base answers "no window" to everything.
#pragma once

#include "effect/PluginInterface.h"
#include "effect/VstKeyCode.h"

class AudioEffect;

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* owner) : effect(owner) {}
    virtual ~AEffEditor() = default;
    AEffEditor(const AEffEditor&) = delete;
    AEffEditor& operator=(const AEffEditor&) = delete;

    virtual AudioEffect* getEffect() { return effect; }
    virtual bool getEditorRect(ERect**) { return false; }
    virtual bool open(void* parent)
    {
        parentWindow = parent;
        return false;
    }
    virtual void close() { parentWindow = nullptr; }
    virtual bool isOpen() { return parentWindow != nullptr; }
    virtual bool idle() { return false; }
    virtual bool keyDown(VstKeyCode&) { return false; }
    virtual bool keyUp(VstKeyCode&) { return false; }
    virtual bool wheel(float) { return false; }
    virtual bool setKnobMode(int32_t) { return false; }
    // The host announced the scale factor of its user interface (1.0, 1.5, 2.0, ...); true
    // when the editor takes it. [UI thread]
    virtual bool setHostScaleFactor(float) { return false; }
    // The effect stored a new normalised value of parameter index. [any thread]
    virtual void showParameter(int32_t, float) {}
    // The host changed the sample rate; the editor's graph follows. [parameter side]
    virtual void setGraphSampleRate(int32_t) {}

protected:
    AudioEffect* effect;
    void* parentWindow = nullptr;
};
