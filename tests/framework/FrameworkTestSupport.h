#pragma once
// What the view framework's tests share: a bitmap table of their own, an editor and a
// listener that record what the framework tells them, a frame in a headless host window,
// and helpers that script mouse gestures on it.

#include "framework/CControl.h"
#include "framework/CDrawContext.h"
#include "framework/CFrame.h"
#include "framework/FrameEditor.h"
#include "framework/platform/headless/HeadlessScript.h"
#include "tools/golden-images/FrameworkBitmaps.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace tolvan::test {

using namespace VSTGUI;

// An editor that logs the calls the framework makes and runs the frame's idle from the
// paced idle cycle, as the plug-in's editor does.
class TestEditor : public FrameEditor {
public:
    void beginEdit(int32_t index) override { log.push_back("begin " + std::to_string(index)); }
    void endEdit(int32_t index) override { log.push_back("end " + std::to_string(index)); }
    void runEditorIdle() override
    {
        ++editorIdles;
        log.push_back("idle");
        if (frame) frame->idle();
    }
    void requestHostIdle() override
    {
        ++hostIdles;
        if (onHostIdle) onHostIdle();
    }
    int32_t knobMode() const override { return mode; }
    bool requestHostResize(int32_t, int32_t) override { return hostResizes; }

    CFrame* frame = nullptr;
    std::vector<std::string> log;
    int32_t editorIdles = 0;
    int32_t hostIdles = 0;
    int32_t mode = 0;
    bool hostResizes = false;
    // Runs at every host idle request, that is in the middle of a control's mouse loop.
    std::function<void()> onHostIdle;
};

// A listener that records every reported value, in the editor's log too when given one.
class RecordingListener : public CControlListener {
public:
    explicit RecordingListener(TestEditor* sharedLog = nullptr) : editor(sharedLog) {}

    void valueChanged(CDrawContext*, CControl* control) override
    {
        values.push_back(control->getValue());
        if (editor) editor->log.push_back("changed");
    }
    int32_t modifierClicked(CDrawContext*, CControl*, MouseButtons buttons) override
    {
        modifierButtons.push_back(buttons);
        return consumeModifierClicks;
    }

    std::vector<float> values;
    std::vector<MouseButtons> modifierButtons;
    int32_t consumeModifierClicks = 0;

private:
    TestEditor* editor;
};

// A view that fills its bounds with one colour and counts its draws.
class ProbeView : public CView {
public:
    ProbeView(const Rect& size, Color colour) : CView(size), fill(colour) {}
    void draw(CDrawContext* context) override
    {
        ++draws;
        // fillRect leaves out the top row and left column; start one pixel outside.
        context->setFillColor(fill);
        context->fillRect({size.left - 1, size.top - 1, size.right, size.bottom});
        setDirty(false);
    }
    int32_t draws = 0;
    Color fill;
};

// A frame of the given size inside a headless host window at (200, 100) on the screen.
class FrameTest : public ::testing::Test {
protected:
    static constexpr Point kHostOrigin{200, 100};

    void SetUp() override { makeFrame(120, 80); }
    void TearDown() override { destroyFrame(); }

    void makeFrame(int32_t width, int32_t height);
    void destroyFrame();

    platform::Window& window() { return *frame->getWindow(); }
    // Adds a view and leaves its creator's reference to the frame.
    template <typename View>
    View* add(View* view)
    {
        frame->addView(view);
        return view;
    }
    // Paints the whole window, as the first paint after opening does.
    void paintAll();
    Color pixel(int32_t x, int32_t y) { return headless::windowPixels(window()).colorAt(x, y); }

    // Presses the buttons at from, moves through path (10 ms per point) and lets go.
    void drag(Point from, std::initializer_list<Point> path, MouseButtons buttons = ButtonLeft);
    // Presses and lets go 10 ms later without moving.
    void click(Point at, MouseButtons buttons = ButtonLeft);
    // Queues the states of a gesture after the press: cursor and buttons every 10 ms.
    void schedulePath(std::initializer_list<Point> path, MouseButtons buttons, uint32_t& time);

    // Every test starts on the same virtual clock, before the editor reads it.
    struct ClockReset {
        ClockReset() { headless::reset(); }
    } clockReset;
    platform::ParentWindow host = nullptr;
    TestEditor editor;
    CFrame* frame = nullptr;
};

}  // namespace tolvan::test
