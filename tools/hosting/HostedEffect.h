// One effect as a host holds it: created through the library's entry point and driven only
// through its record, with the dispatcher's common calls by name. effClose ends it at the
// end of its scope unless it was closed before.
#pragma once

#include <cstdint>
#include <string>

#include "effect/PluginInterface.h"
#include "tools/hosting/PluginLibrary.h"
#include "tools/hosting/RecordingHost.h"

namespace hosting {

class HostedEffect {
public:
    // An effect from the library's VSTPluginMain; the callback is the recording host's,
    // which answers as a quiet host while no RecordingHost exists.
    explicit HostedEffect(const PluginLibrary& library, HostCallback callback = RecordingHost::callback)
        : effect(library.create(callback))
    {
    }
    // An effect some entry point gave already; null holds none.
    explicit HostedEffect(AEffect* record) : effect(record) {}
    ~HostedEffect() { close(); }
    HostedEffect(const HostedEffect&) = delete;
    HostedEffect& operator=(const HostedEffect&) = delete;

    bool valid() const { return effect != nullptr; }
    AEffect* get() const { return effect; }
    AEffect* operator->() const { return effect; }

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0) const
    {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    // A text answer, read from a buffer of ample size. Bytes the plug-in leaves unwritten
    // read as 'x', so a text it forgets to end shows.
    std::string text(int32_t opcode, int32_t index = 0) const;

    // [UI thread]
    void open() const { dispatch(effOpen); }
    // effClose's answer; 0 when the effect was closed already.
    intptr_t close();
    // [UI thread] Rate and block size are set while suspended.
    void setSampleRate(float sampleRate) const { dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate); }
    void setBlockSize(int32_t blockSize) const { dispatch(effSetBlockSize, 0, blockSize); }
    void resume() const { dispatch(effMainsChanged, 0, 1); }
    void suspend() const { dispatch(effMainsChanged, 0, 0); }
    // What a host does before the first block: open, rate, block size, resume.
    void start(float sampleRate, int32_t blockSize) const;
    void startProcess() const { dispatch(effStartProcess); }

    // [audio thread]
    void process(float** inputs, float** outputs, int32_t frames) const
    {
        effect->processReplacing(effect, inputs, outputs, frames);
    }
    // [any thread] Parameters, normalised to 0..1.
    float get(int32_t index) const { return effect->getParameter(effect, index); }
    void set(int32_t index, float value) const { effect->setParameter(effect, index, value); }

    // [UI thread] Programs, by index as the interface passes them.
    intptr_t program() const { return dispatch(effGetProgram); }
    void setProgram(intptr_t program) const { dispatch(effSetProgram, 0, program); }

    // [UI thread] The editor: open in the host's window (an X11 window id or an HWND;
    // 1 when it opened), idle, close, and the rectangle it asks for (null when it gives none).
    intptr_t editOpen(void* parent) const { return dispatch(effEditOpen, 0, 0, parent); }
    void editIdle() const { dispatch(effEditIdle); }
    void editClose() const { dispatch(effEditClose); }
    const ERect* editRect() const;

private:
    AEffect* effect;
};

}  // namespace hosting
