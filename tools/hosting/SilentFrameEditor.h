// The owner of a frame with no host behind it, for frames opened without the plug-in's
// editor: edits and idle requests go nowhere, and the editor's idle lets the frame redraw
// its dirty views once a frame is given.
#pragma once

#include <cstdint>

#include "framework/CFrame.h"
#include "framework/FrameEditor.h"

namespace hosting {

class SilentFrameEditor : public VSTGUI::FrameEditor {
public:
    void beginEdit(int32_t) override {}
    void endEdit(int32_t) override {}
    void runEditorIdle() override
    {
        if (frame != nullptr) frame->idle();
    }
    void requestHostIdle() override {}
    int32_t knobMode() const override { return 0; }
    bool requestHostResize(int32_t, int32_t) override { return false; }

    VSTGUI::CFrame* frame = nullptr;
};

}  // namespace hosting
