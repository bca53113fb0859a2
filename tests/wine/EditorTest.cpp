// The plug-in's own editor in a window of the wine test host, opened through
// effEditOpen(HWND) and operated with the mouse and wheel as a user would. The positions
// are the skin's layout, written out here.

#include "tools/editor-golden-images/EditorGolden.h"
#include "tools/hosting/HostedEffect.h"
#include "tools/hosting/RecordingHost.h"
#include "tools/imaging/PngFiles.h"
#include "tools/wine-host/WineHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>

namespace {

using namespace tolvan::test;

constexpr int32_t kFrequencyPeak1 = 22;
constexpr int32_t kBypass = 9;
constexpr intptr_t kLinearKnobs = 2;
constexpr POINT kEditorOrigin{60, 10};
// Frequency Peak1: a 33 x 33 knob at (200, 200). Bypass: 72 x 72 at (465, 190).
// Reset: 21 x 20 at (630, 320).
constexpr POINT kPeak1Top{216, 201};
constexpr POINT kPeak1Right{231, 216};
constexpr POINT kPeak1Centre{216, 216};
constexpr POINT kBypassCentre{501, 226};
constexpr POINT kResetCentre{640, 330};

POINT onScreen(POINT client) { return {kEditorOrigin.x + client.x, kEditorOrigin.y + client.y}; }

class Editor : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(effect.get(), nullptr);
        ERect* rect = nullptr;
        effect.dispatch(effEditGetRect, 0, 0, &rect);
        ASSERT_NE(rect, nullptr);
        window = createHostWindow(kEditorOrigin.x, kEditorOrigin.y, rect->right - rect->left, rect->bottom - rect->top);
        if (effect.editOpen(window) == 0)
            GTEST_SKIP() << "effEditOpen answers 0: this build's editor does not open yet";
        opened = true;
        UpdateWindow(childWindow(window));
        serve(200);
    }
    void TearDown() override
    {
        if (opened) effect.editClose();
        DestroyWindow(window);
    }
    // The host's side of a user's gesture: its message loop and its idle calls.
    void serve(DWORD milliseconds)
    {
        for (DWORD waited = 0; waited < milliseconds; waited += 20) {
            pumpMessages(20);
            effect.editIdle();
        }
    }
    std::vector<int32_t> indicesOf(int32_t opcode)
    {
        std::vector<int32_t> indices;
        for (const hosting::HostCall& call : host.callsOf({opcode})) indices.push_back(call.index);
        return indices;
    }

    hosting::PluginLibrary library{TOLVAN_PLUGIN_PATH};
    hosting::RecordingHost host;
    hosting::HostedEffect effect{library};
    HWND window = nullptr;
    bool opened = false;
};

TEST_F(Editor, TheDefaultsShowTheHeadlessRenderingPixelForPixel)
{
    VSTGUI::PixelSurface expected;
    ASSERT_TRUE(
        tolvan::imaging::readPng(std::string(TOLVAN_EDITOR_GOLDEN_DIR) + "/" + editortest::kDefaultGolden, expected));
    serve(300);
    const VSTGUI::PixelSurface shown = captureWindow(childWindow(window));
    ASSERT_EQ(shown.width(), expected.width());
    ASSERT_EQ(shown.height(), expected.height());
    int differing = 0;
    for (int32_t y = 0; y < shown.height(); ++y)
        for (int32_t x = 0; x < shown.width(); ++x)
            if (shown.pixelAt(x, y) != expected.pixelAt(x, y) && ++differing <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << shown.pixelAt(x, y)
                              << ", expected " << expected.pixelAt(x, y);
    EXPECT_EQ(differing, 0);
}

TEST_F(Editor, DraggingFrequencyPeak1IsOneEditTheHostHearsOf)
{
    const float before = effect.get(kFrequencyPeak1);
    runInput([] {
        moveCursor(onScreen(kPeak1Top));
        pressLeft();
        moveCursor(onScreen(kPeak1Right));
        releaseLeft();
    });
    serve(100);
    EXPECT_NE(effect.get(kFrequencyPeak1), before);
    EXPECT_EQ(indicesOf(audioMasterBeginEdit), std::vector<int32_t>{kFrequencyPeak1});
    EXPECT_EQ(indicesOf(audioMasterEndEdit), std::vector<int32_t>{kFrequencyPeak1});
    const std::vector<int32_t> automated = indicesOf(audioMasterAutomate);
    EXPECT_FALSE(automated.empty());
    EXPECT_TRUE(std::all_of(automated.begin(), automated.end(), [](int32_t i) { return i == kFrequencyPeak1; }));
}

TEST_F(Editor, AWheelNotchTurnsTheKnobUnderTheCursor)
{
    const float before = effect.get(kFrequencyPeak1);
    SetFocus(childWindow(window));
    runInput([] {
        moveCursor(onScreen(kPeak1Centre));
        turnWheel(WHEEL_DELTA);
    });
    serve(100);
    EXPECT_GT(effect.get(kFrequencyPeak1), before);
    EXPECT_FALSE(indicesOf(audioMasterAutomate).empty());
}

TEST_F(Editor, TheBypassSwitchAndResetButtonAct)
{
    const float bypass = effect.get(kBypass);
    runInput([] {
        moveCursor(onScreen(kBypassCentre));
        pressLeft();
        releaseLeft();
    });
    serve(100);
    EXPECT_EQ(effect.get(kBypass), 1.0f - bypass);

    const float frequencyDefault = effect.get(kFrequencyPeak1);
    effect.set(kFrequencyPeak1, 0.9f);
    runInput([] {
        Sleep(GetDoubleClickTime() + 100);
        moveCursor(onScreen(kResetCentre));
        pressLeft();
        releaseLeft();
    });
    serve(100);
    EXPECT_EQ(effect.get(kFrequencyPeak1), frequencyDefault);
}

// A tap's press and release are both queued before the host runs its messages, 40 or
// 100 ms later: the click counts as it happened. The switch toggles, Reset resets, and
// the knob sees a gesture that does not move it (Reset has just put it at its default,
// so a double click could not move it either).
TEST_F(Editor, ATapTakenAfterItsReleaseCountsWhateverTheHostsRate)
{
    // Linear dragging: in circular mode a click turns the knob to the clicked angle.
    effect.dispatch(effSetEditKnobMode, 0, kLinearKnobs);
    const auto tap = [&](POINT at, DWORD period) {
        SetCursorPos(onScreen(at).x, onScreen(at).y);
        serve(40);
        tapLeft();
        Sleep(period);
        serve(100);
    };
    for (const DWORD period : {40ul, 100ul}) {
        SCOPED_TRACE("messages after " + std::to_string(period) + " ms");
        const float bypass = effect.get(kBypass);
        tap(kBypassCentre, period);
        EXPECT_EQ(effect.get(kBypass), 1.0f - bypass);

        const float frequencyDefault = effect.get(kFrequencyPeak1);
        effect.set(kFrequencyPeak1, 0.9f);
        tap(kResetCentre, period);
        EXPECT_EQ(effect.get(kFrequencyPeak1), frequencyDefault) << "Reset did not reset the program";

        const std::size_t begun = indicesOf(audioMasterBeginEdit).size();
        const std::size_t ended = indicesOf(audioMasterEndEdit).size();
        tap(kPeak1Centre, period);
        EXPECT_EQ(indicesOf(audioMasterBeginEdit).size(), begun + 1) << "the knob did not see the click";
        EXPECT_EQ(indicesOf(audioMasterEndEdit).size(), ended + 1);
        EXPECT_EQ(effect.get(kFrequencyPeak1), frequencyDefault) << "a click moved the knob";
    }
}

// A tap and the press of a second click both wait in the queue when the host runs its
// messages: the first click ends at its own release, and the second is tracked until the
// hand lets go.
TEST_F(Editor, ATapAndTheNextPressQueuedBehindItAreTwoClicks)
{
    constexpr int32_t kReset = 8;
    const auto resetGestures = [&](int32_t opcode) {
        const std::vector<int32_t> indices = indicesOf(opcode);
        return std::count(indices.begin(), indices.end(), kReset);
    };
    SetCursorPos(onScreen(kResetCentre).x, onScreen(kResetCentre).y);
    serve(40);
    tapLeft();
    pressLeftAtOnce();
    std::atomic<std::ptrdiff_t> endedBeforeTheRelease{-1};
    std::thread hand([&] {
        Sleep(400);
        endedBeforeTheRelease.store(resetGestures(audioMasterEndEdit));
        releaseLeft();
    });
    serve(800);
    hand.join();
    serve(100);
    EXPECT_EQ(endedBeforeTheRelease.load(), 1) << "the first click was still tracked while the second press was held";
    EXPECT_EQ(resetGestures(audioMasterBeginEdit), 2);
    EXPECT_EQ(resetGestures(audioMasterEndEdit), 2);
}

TEST_F(Editor, TheHostDestroyingItsWindowBeforeClosingTheEditorIsHarmless)
{
    DestroyWindow(window);
    serve(100);
    effect.editClose();
    // The editor opens again in the host's next window.
    window = createHostWindow(kEditorOrigin.x, kEditorOrigin.y, 754, 374);
    EXPECT_NE(effect.editOpen(window), 0);
    serve(100);
}

}  // namespace
