#pragma once
// What the frame and its controls need from the editor that owns them. The plug-in's
// editor implements it; the framework never depends on the editor itself.

#include <cstdint>

namespace VSTGUI {

class FrameEditor {
public:
    FrameEditor();
    FrameEditor(const FrameEditor&) = delete;
    FrameEditor& operator=(const FrameEditor&) = delete;
    virtual ~FrameEditor() = default;

    // [UI thread] A control starts or ends a gesture on parameter index (the control's tag).
    virtual void beginEdit(int32_t index) = 0;
    virtual void endEdit(int32_t index) = 0;
    // [UI thread] The editor's own idle work, which lets the frame redraw its dirty views.
    virtual void runEditorIdle() = 0;
    // [UI thread] Asks the host for idle time (the host's idle request).
    virtual void requestHostIdle() = 0;
    // [any thread] The knob mode the host chose: 2 is linear dragging, anything else circular.
    virtual int32_t knobMode() const = 0;
    // [UI thread] Asks the host to resize the editor's window; false when it cannot or will not.
    virtual bool requestHostResize(int32_t width, int32_t height) = 0;
    // [UI thread] The window system now asks this scale factor of the editor's window (it
    // moved to another monitor, or the user changed the setting).
    virtual void windowScaleChanged(double) {}

    // [UI thread] The paced idle routine that controls run on every pass of their modal
    // mouse loops: it pauses 4 ms per call and does a full pass (editor idle, one pending
    // paint, host idle) about every 50 ms.
    virtual void idleCycle();

    // True while idleCycle asks the host for idle time; the editor's idle skips the frame
    // redraw then, so that a host that paints from its idle call does not re-enter it.
    bool isInIdle() const { return inIdle; }

private:
    uint32_t nextIdleTime;
    bool inIdle = false;
};

}  // namespace VSTGUI
