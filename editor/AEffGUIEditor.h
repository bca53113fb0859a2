// The editor base for a framework-drawn window: it keeps the editor rectangle and, while
// the window is open, the root frame; it is the frame's editor, which reports the
// controls' gestures to the host and paces the idle cycle of their mouse loops.
//
// It also chooses the scale the window is drawn at. A scale the host announces wins;
// until one does, the window system's scale for the screen (before the window opens) or
// for the window (once it is open) applies. The editor's rectangle is in device pixels, so
// the host makes room for what is drawn; views keep working in logical coordinates.
#pragma once

#include <cstdint>
#include <optional>

#include "effect/AEffEditor.h"
#include "framework/DisplayScale.h"
#include "framework/FrameEditor.h"

namespace VSTGUI {
class CFrame;
}

class AudioEffectX;

class AEffGUIEditor : public AEffEditor, public VSTGUI::FrameEditor {
public:
    explicit AEffGUIEditor(AudioEffect* owner);

    // The rectangle at the scale the window has, or, while closed, would open at. [UI thread]
    bool getEditorRect(ERect** rect) override;
    // Takes a positive finite factor as the nearest supported scale, which from now on
    // wins over the window system's; the open window follows at once. [UI thread]
    bool setHostScaleFactor(float factor) override;
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
    void windowScaleChanged(double factor) override;

protected:
    AudioEffectX* hostEffect() const;
    // The skin's size in logical pixels; the rectangle follows it at the scale.
    void setLogicalSize(int32_t width, int32_t height);
    // The scale to open the window at, and the rectangle made to match. [UI thread]
    VSTGUI::DisplayScale chooseOpeningScale();
    // Once the window exists, the scale it asks for, should it differ from the screen's
    // (a window on another monitor). [UI thread]
    void followWindowScale();

    ERect editorRect{};
    VSTGUI::CFrame* frame = nullptr;

private:
    // The window system's scale: the open window's own, else the screen's.
    VSTGUI::DisplayScale windowSystemScale() const;
    void setRectScale(VSTGUI::DisplayScale scale);
    // The open window redraws at scale and the host is asked to make room for it.
    void rescaleWindow(VSTGUI::DisplayScale scale);

    int32_t logicalWidth = 0;
    int32_t logicalHeight = 0;
    VSTGUI::DisplayScale displayScale = VSTGUI::DisplayScale::Normal;
    std::optional<VSTGUI::DisplayScale> hostScale;
};
