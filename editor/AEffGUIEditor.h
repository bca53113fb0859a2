// The editor base for a framework-drawn window: it keeps the editor rectangle and, while
// the window is open, the root frame, and hands the host's keys and wheel to the frame.
#pragma once

#include <cstdint>

#include "effect/AEffEditor.h"

namespace VSTGUI {
class CFrame;
}

class AudioEffectX;

class AEffGUIEditor : public AEffEditor {
public:
    explicit AEffGUIEditor(AudioEffect* owner);

    bool getEditorRect(ERect** rect) override;
    bool keyDown(VstKeyCode& key) override;
    bool keyUp(VstKeyCode& key) override;
    bool wheel(float distance) override;
    bool setKnobMode(int32_t mode) override;

    // The frame's parameter-edit forwarders, reported to the host. [UI thread]
    virtual void beginEdit(int32_t index);
    virtual void endEdit(int32_t index);

    // The knob mode the host chose for every editor of the process: 2 is linear dragging.
    static int32_t getKnobMode();

protected:
    AudioEffectX* hostEffect() const;

    ERect editorRect{};
    uint32_t nextIdleTime;
    bool inIdle = false;
    VSTGUI::CFrame* frame = nullptr;
};
