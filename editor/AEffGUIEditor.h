// The editor base for a framework-drawn window: it keeps the editor rectangle and, while
// the window is open, the root frame; it is the frame's editor, which reports the
// controls' gestures to the host and paces the idle cycle of their mouse loops.
#pragma once

#include <cstdint>

#include "effect/AEffEditor.h"
#include "framework/FrameEditor.h"

namespace VSTGUI {
class CFrame;
}

class AudioEffectX;

class AEffGUIEditor : public AEffEditor, public VSTGUI::FrameEditor {
public:
    explicit AEffGUIEditor(AudioEffect* owner);

    bool getEditorRect(ERect** rect) override;
    bool keyDown(VstKeyCode& key) override;
    bool keyUp(VstKeyCode& key) override;
    bool wheel(float distance) override;
    bool setKnobMode(int32_t mode) override;

    // The frame's editor. [UI thread]
    void beginEdit(int32_t index) override;
    void endEdit(int32_t index) override;
    void runEditorIdle() override { idle(); }
    void requestHostIdle() override;
    int32_t knobMode() const override;
    bool requestHostResize(int32_t width, int32_t height) override;

protected:
    AudioEffectX* hostEffect() const;

    ERect editorRect{};
    VSTGUI::CFrame* frame = nullptr;
};
