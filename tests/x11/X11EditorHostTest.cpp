// The real editor in a Linux host's window: the built plug-in, loaded and driven only
// through its entry point, with effEditOpen given the XID of a window of ours and
// effEditIdle called every 10 ms, as Linux hosts do. What the window shows is compared
// with the headless rendering of the same state.

#include "effect/PluginInterface.h"
#include "tools/hosting/HostedEffect.h"
#include "tools/hosting/RecordingHost.h"
#include "tools/editor-snapshot/EditorSnapshot.h"

#include <gtest/gtest.h>

// Xlib's macros would rewrite names above: it comes last.
#include "tests/x11/X11TestHost.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tolvan::test {
namespace {

constexpr int kHostX = 40;
constexpr int kHostY = 40;
constexpr int32_t kPeak1Frequency = 22;
constexpr VSTGUI::Point kPeak1Knob{216, 216};  // centre of the 33 x 33 knob at (200, 200)
constexpr int32_t kPre = 3;
constexpr VSTGUI::Point kPreSwitch{460, 32};
constexpr int32_t kBypass = 9;
constexpr VSTGUI::Point kBypassSwitch{501, 208};
constexpr intptr_t kLinearKnobs = 2;
constexpr int32_t kReset = 8;
constexpr VSTGUI::Point kResetButton{640, 330};  // the 21 x 20 button at (630, 320)

int differingPixels(const VSTGUI::PixelSurface& a, const VSTGUI::PixelSurface& b)
{
    if (a.width() != b.width() || a.height() != b.height()) return a.width() * a.height() + 1;
    int differing = 0;
    for (int32_t y = 0; y < a.height(); ++y)
        for (int32_t x = 0; x < a.width(); ++x) differing += a.pixelAt(x, y) != b.pixelAt(x, y);
    return differing;
}

class EditorInHostWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        callbacks.onIdle = [this] {
            if (!steps.empty()) {
                auto step = steps.front();
                steps.erase(steps.begin());
                step();
            }
        };
        ASSERT_TRUE(library.loaded());
        effect = library.entry()(&hosting::RecordingHost::callback);
        ASSERT_NE(effect, nullptr);
    }
    void TearDown() override
    {
        if (effect) dispatch(effClose);
    }

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr)
    {
        return effect->dispatcher(effect, opcode, index, value, ptr, 0.0f);
    }
    float parameter(int32_t index) { return effect->getParameter(effect, index); }
    // The edit notifications the host was given since the last clear, oldest first.
    std::vector<hosting::HostCall> edits() const
    {
        return callbacks.callsOf({audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit});
    }
    static void* xid(Window window) { return reinterpret_cast<void*>(static_cast<uintptr_t>(window)); }
    IdleCall editorIdle()
    {
        return [this] { dispatch(effEditIdle); };
    }
    bool idleUntil(const std::function<bool()>& done, uint32_t timeoutMs = 3000)
    {
        return pumpUntil(done, timeoutMs, editorIdle());
    }
    // Waits until the window shows the headless rendering of scene; reports the difference.
    void expectShows(Window top, const editorsnapshot::Scene& scene)
    {
        const VSTGUI::PixelSurface expected = editorsnapshot::renderEditor(scene);
        const Window child = host.childOf(top);
        int differing = 0;
        idleUntil([&] { return (differing = differingPixels(host.readBack(child), expected)) == 0; }, 2000);
        EXPECT_EQ(differing, 0) << "pixels differ from the headless rendering";
    }
    // Clicks at a point of the editor: the release comes from inside the control's loop
    // when it tracks the mouse, else after the press was handled.
    void click(VSTGUI::Point at, int32_t index)
    {
        const float before = parameter(index);
        steps = {[this] { host.releaseButton(Button1); }};
        host.moveCursor(kHostX + at.x, kHostY + at.y);
        host.pressButton(Button1);
        EXPECT_TRUE(idleUntil([&] { return parameter(index) != before; }));
        if (!steps.empty()) {
            steps.clear();
            host.releaseButton(Button1);
        }
        pumpFor(30, editorIdle());
    }

    X11TestHost host;
    // The host's callback records what the plug-in tells it and plays the script of user
    // steps at each idle request, which the editor makes from inside a control's mouse loop.
    hosting::RecordingHost callbacks;
    std::vector<std::function<void()>> steps;
    hosting::PluginLibrary library{TOLVAN_PLUGIN_PATH};
    AEffect* effect = nullptr;
};

TEST_F(EditorInHostWindow, KnobsSwitchesAndWheelWorkWithTheMouseAndThePixelsMatchTheHeadlessRendering)
{
    ERect* rect = nullptr;
    ASSERT_NE(dispatch(effEditGetRect, 0, 0, &rect), 0);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 754);
    EXPECT_EQ(rect->bottom - rect->top, 374);
    const Window top = host.createTopLevel(kHostX, kHostY, 754, 374);
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, xid(top)), 1);
    ASSERT_TRUE(idleUntil([&] { return host.childCount(top) == 1; }));
    expectShows(top, editorsnapshot::defaultScene());

    // Drag up on Frequency Peak1: a gesture bracketed by begin- and end-edit, automated.
    dispatch(effSetEditKnobMode, 0, kLinearKnobs);
    const float frequency = parameter(kPeak1Frequency);
    const int x = kHostX + kPeak1Knob.x;
    const int y = kHostY + kPeak1Knob.y;
    steps = {[&] { host.moveCursor(x, y - 10); }, [&] { host.moveCursor(x, y - 25); },
             [&] { host.releaseButton(Button1); }};
    host.moveCursor(x, y);
    host.pressButton(Button1);
    ASSERT_TRUE(idleUntil([&] { return steps.empty(); }));
    pumpFor(30, editorIdle());
    const float dragged = parameter(kPeak1Frequency);
    EXPECT_GT(dragged, frequency);
    const std::vector<hosting::HostCall> calls = edits();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(calls.front().index, kPeak1Frequency);
    EXPECT_EQ(calls.back().opcode, audioMasterEndEdit);
    EXPECT_EQ(calls.back().index, kPeak1Frequency);
    const auto automated = std::find_if(
        calls.rbegin(), calls.rend(), [](const hosting::HostCall& call) { return call.opcode == audioMasterAutomate; });
    ASSERT_NE(automated, calls.rend());
    EXPECT_EQ(automated->index, kPeak1Frequency);
    EXPECT_EQ(automated->opt, dragged);

    // One wheel notch up over the knob turns it up.
    callbacks.clear();
    host.moveCursor(x, y);
    host.pressButton(Button4);
    host.releaseButton(Button4);
    EXPECT_TRUE(idleUntil([&] { return parameter(kPeak1Frequency) != dragged; }));
    EXPECT_GT(parameter(kPeak1Frequency), dragged);
    EXPECT_FALSE(edits().empty());

    click(kBypassSwitch, kBypass);
    EXPECT_EQ(parameter(kBypass), 0.0f);
    click(kPreSwitch, kPre);
    EXPECT_EQ(parameter(kPre), 0.0f);

    editorsnapshot::Scene changed;
    changed.parameters = {{kPeak1Frequency, parameter(kPeak1Frequency)}, {kBypass, 0.0f}, {kPre, 0.0f}};
    expectShows(top, changed);

    dispatch(effEditClose);
    host.sync();
    EXPECT_EQ(host.childCount(top), 0);
    XDestroyWindow(host.display(), top);
}

TEST_F(EditorInHostWindow, ClosesAndReopensAndSurvivesTheHostDestroyingItsWindowFirst)
{
    const Window top = host.createTopLevel(kHostX, kHostY, 754, 374);
    for (int cycle = 0; cycle < 20; ++cycle) {
        ASSERT_EQ(dispatch(effEditOpen, 0, 0, xid(top)), 1);
        dispatch(effEditIdle);
        EXPECT_EQ(host.childCount(top), 1);
        dispatch(effEditClose);
        host.sync();
        EXPECT_EQ(host.childCount(top), 0);
    }
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, xid(top)), 1);
    pumpFor(50, editorIdle());
    XDestroyWindow(host.display(), top);
    host.sync();
    pumpFor(50, editorIdle());
    dispatch(effEditClose);

    // Two editors of two effects at once.
    AEffect* second = library.entry()(&hosting::RecordingHost::callback);
    ASSERT_NE(second, nullptr);
    const Window firstTop = host.createTopLevel(0, 0, 754, 374);
    const Window secondTop = host.createTopLevel(0, 400, 754, 374);
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, xid(firstTop)), 1);
    ASSERT_EQ(second->dispatcher(second, effEditOpen, 0, 0, xid(secondTop), 0.0f), 1);
    pumpFor(100, [&] {
        dispatch(effEditIdle);
        second->dispatcher(second, effEditIdle, 0, 0, nullptr, 0.0f);
    });
    EXPECT_EQ(host.childCount(firstTop), 1);
    EXPECT_EQ(host.childCount(secondTop), 1);
    second->dispatcher(second, effEditClose, 0, 0, nullptr, 0.0f);
    second->dispatcher(second, effClose, 0, 0, nullptr, 0.0f);
    pumpFor(50, editorIdle());
    EXPECT_EQ(host.childCount(firstTop), 1);
    dispatch(effEditClose);
    XDestroyWindow(host.display(), firstTop);
    XDestroyWindow(host.display(), secondTop);
}

// A touchpad's tap sends the press and the release at once; a host may call idle only every
// 40 ms (measured in one) or 100 ms. The click counts as it happened: the switch toggles,
// Reset resets, and the knob sees a gesture that does not move it.
TEST_F(EditorInHostWindow, ATapReleasedBeforeTheNextIdleCallCountsWhateverTheIdleRate)
{
    const Window top = host.createTopLevel(kHostX, kHostY, 754, 374);
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, xid(top)), 1);
    ASSERT_TRUE(idleUntil([&] { return host.childCount(top) == 1; }));
    dispatch(effSetEditKnobMode, 0, kLinearKnobs);
    pumpFor(100, editorIdle());
    const auto tap = [&](VSTGUI::Point at, uint32_t idlePeriod, const std::function<bool()>& counted) {
        host.moveCursor(kHostX + at.x, kHostY + at.y);
        host.pressButton(Button1);
        host.releaseButton(Button1);
        // The first idle call after the tap finds both events queued; two more are allowed
        // for a slow machine.
        for (int call = 0; call < 3 && !counted(); ++call) {
            std::this_thread::sleep_for(std::chrono::milliseconds(idlePeriod));
            dispatch(effEditIdle);
        }
        return counted();
    };
    for (const uint32_t idlePeriod : {40u, 100u}) {
        SCOPED_TRACE("idle every " + std::to_string(idlePeriod) + " ms");
        const float bypass = parameter(kBypass);
        EXPECT_TRUE(tap(kBypassSwitch, idlePeriod, [&] { return parameter(kBypass) != bypass; }));

        effect->setParameter(effect, kPeak1Frequency, 0.9f);
        const float frequency = parameter(kPeak1Frequency);
        EXPECT_TRUE(tap(kResetButton, idlePeriod, [&] { return parameter(kPeak1Frequency) != frequency; }))
            << "Reset did not reset the program";

        callbacks.clear();
        const auto gestureEnded = [&] {
            const std::vector<hosting::HostCall> calls = edits();
            return std::any_of(calls.begin(), calls.end(), [](const hosting::HostCall& call) {
                return call.opcode == audioMasterEndEdit && call.index == kPeak1Frequency;
            });
        };
        const float knob = parameter(kPeak1Frequency);
        EXPECT_TRUE(tap(kPeak1Knob, idlePeriod, gestureEnded)) << "the knob did not see the click";
        EXPECT_EQ(parameter(kPeak1Frequency), knob) << "a click moved the knob";
        const std::vector<hosting::HostCall> calls = edits();
        EXPECT_FALSE(calls.empty() || calls.front().opcode != audioMasterBeginEdit);
    }
    dispatch(effEditClose);
    XDestroyWindow(host.display(), top);
}

// A tap and the press of a second click both wait in the queue for the next idle call: the
// first click ends at its own release, and the second is a click of its own, tracked until
// the button comes up.
TEST_F(EditorInHostWindow, ATapAndTheNextPressQueuedBehindItAreTwoClicks)
{
    const Window top = host.createTopLevel(kHostX, kHostY, 754, 374);
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, xid(top)), 1);
    ASSERT_TRUE(idleUntil([&] { return host.childCount(top) == 1; }));
    pumpFor(100, editorIdle());
    callbacks.clear();
    const auto count = [&](int32_t opcode) {
        const std::vector<hosting::HostCall> calls = edits();
        return std::count_if(calls.begin(), calls.end(), [opcode](const hosting::HostCall& call) {
            return call.opcode == opcode && call.index == kReset;
        });
    };
    // The hand lets go from inside whichever tracking loop runs while the button is held.
    std::ptrdiff_t endedBeforeTheRelease = -1;
    steps = {[&] {
        endedBeforeTheRelease = count(audioMasterEndEdit);
        host.releaseButton(Button1);
    }};
    host.moveCursor(kHostX + kResetButton.x, kHostY + kResetButton.y);
    host.pressButton(Button1);
    host.releaseButton(Button1);
    host.pressButton(Button1);
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    EXPECT_TRUE(idleUntil([&] { return steps.empty(); })) << "no click was tracked";
    pumpFor(30, editorIdle());
    EXPECT_EQ(endedBeforeTheRelease, 1) << "the first click was still tracked while the second press was held";
    EXPECT_EQ(count(audioMasterBeginEdit), 2);
    EXPECT_EQ(count(audioMasterEndEdit), 2);
    dispatch(effEditClose);
    XDestroyWindow(host.display(), top);
}

// A plug-in loaded by a render server without a display still loads and processes.
TEST_F(EditorInHostWindow, WithoutADisplayTheEditorDoesNotOpenAndAudioStillFlows)
{
    const Window top = host.createTopLevel(kHostX, kHostY, 754, 374);
    const std::string display = std::getenv("DISPLAY");
    unsetenv("DISPLAY");
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, xid(top)), 0);
    setenv("DISPLAY", display.c_str(), 1);
    dispatch(effEditIdle);
    dispatch(effEditClose);
    std::vector<float> left(64, 0.5f), right(64, 0.5f), outLeft(64), outRight(64);
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    dispatch(effMainsChanged, 0, 1);
    effect->processReplacing(effect, inputs, outputs, 64);
    EXPECT_NE(outLeft[63], 0.0f);
    EXPECT_EQ(host.childCount(top), 0);
    XDestroyWindow(host.display(), top);
}

}  // namespace
}  // namespace tolvan::test
