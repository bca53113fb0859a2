// The editor opened through the effect's record on the headless back end: what it builds,
// both directions between its controls and the host, and the threads around it.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>

#include "editor/GraphView.h"
#include "editor/VUMETER.h"
#include "effect/ParameterValues.h"
#include "framework/CKickButton.h"
#include "framework/CParamDisplay.h"
#include "framework/DecodedBitmaps.h"
#include "tests/editor/EditorFixture.h"

namespace editortest {
namespace {

using VSTGUI::Color;
using VSTGUI::Rect;

int32_t idOf(const char* name)
{
    for (const ControlDescriptor& row : controlTable)
        if (row.name != nullptr && std::strcmp(row.name, name) == 0) return row.id;
    return -1;
}

Color pixel(const VSTGUI::platform::Window& window, int32_t x, int32_t y)
{
    return VSTGUI::toColor(VSTGUI::headless::windowPixels(window).pixelAt(x, y));
}

::testing::AssertionResult sameRgb(Color a, Color b)
{
    if (a.red == b.red && a.green == b.green && a.blue == b.blue) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << int(a.red) << ", " << int(a.green) << ", " << int(a.blue) << ")";
}

using EditorOpen = OpenEditor;

// Hosts create effects (to scan them, to load a session) far more often than they open
// editors: an effect decodes no bitmap before its editor opens, the editors of all
// instances share one decoded skin, and it goes with the last of them.
TEST(EditorBitmaps, DecodedAtTheFirstOpeningSharedByEveryInstanceAndFreedWithTheLast)
{
    VSTGUI::headless::reset();
    const std::size_t before = VSTGUI::decodedBitmapCount();
    auto first = makeEffect();
    auto second = makeEffect();
    AEffect* one = first->getAeffect();
    AEffect* other = second->getAeffect();
    ERect* rect = nullptr;
    ASSERT_EQ(one->dispatcher(one, effEditGetRect, 0, 0, &rect, 0), 1);
    EXPECT_EQ(rect->right - rect->left, 754);
    EXPECT_EQ(rect->bottom - rect->top, 374);
    EXPECT_EQ(VSTGUI::decodedBitmapCount(), before) << "making an effect decoded bitmaps";

    auto* host = VSTGUI::headless::createHostWindow({100, 100, 854, 474});
    ASSERT_EQ(one->dispatcher(one, effEditOpen, 0, 0, host, 0), 1);
    const std::size_t opened = VSTGUI::decodedBitmapCount();
    EXPECT_GT(opened, before);
    one->dispatcher(one, effEditClose, 0, 0, nullptr, 0);
    ASSERT_EQ(other->dispatcher(other, effEditOpen, 0, 0, host, 0), 1);
    EXPECT_EQ(VSTGUI::decodedBitmapCount(), opened) << "the second editor decoded its own copies";
    other->dispatcher(other, effEditClose, 0, 0, nullptr, 0);

    first.reset();
    EXPECT_EQ(VSTGUI::decodedBitmapCount(), opened) << "the other instance still holds the skin";
    second.reset();
    EXPECT_EQ(VSTGUI::decodedBitmapCount(), before);
    VSTGUI::headless::destroyHostWindow(host);
}

TEST_F(EditorOpen, BuildsOneViewPerRowAndTheInformationButton)
{
    EXPECT_TRUE(dispatch(effEditGetRect, 0, 0, nullptr) == 0) << "a null rectangle pointer is refused";
    ERect* rect = nullptr;
    ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, 754);
    EXPECT_EQ(rect->bottom - rect->top, 374);

    for (int32_t id = 0; id < kNumParameters; ++id) {
        SCOPED_TRACE(id);
        EXPECT_EQ(editor->getControl(id) != nullptr, id >= 3);
        const bool display = id == 5 || id == 6 || id == 7 || id == 10 || id >= 19;
        EXPECT_EQ(editor->getValueDisplay(id) != nullptr, display);
        EXPECT_EQ(editor->getNameLabel(id), nullptr);
    }
    EXPECT_TRUE(editor->getControl(3)->isKindOf("COnOffButton"));
    EXPECT_TRUE(editor->getControl(8)->isKindOf("CKickButton"));
    EXPECT_TRUE(editor->getControl(22)->isKindOf("CAnimKnob"));
    EXPECT_EQ(editor->getControl(22)->getBounds(), (Rect{200, 200, 233, 233}));
    EXPECT_EQ(editor->getGraphView()->getBounds(), (Rect{35, 11, 426, 162}));
    EXPECT_EQ(editor->getMeterView()->getBounds(), (Rect{590, 54, 690, 97}));
    ASSERT_NE(editor->getInfoButton(), nullptr);
    EXPECT_EQ(editor->getInfoButton()->getBounds(), (Rect{661, 355, 722, 371}));
    EXPECT_EQ(editor->getInfoButton()->getTag(), 2);
}

TEST_F(EditorOpen, ValueDisplaysHoldRealValuesAndKnobsTheirDefaults)
{
    EXPECT_FLOAT_EQ(editor->getValueDisplay(5)->getValue(), 4.0f);
    EXPECT_FLOAT_EQ(editor->getValueDisplay(6)->getValue(), 60.0f);
    EXPECT_FLOAT_EQ(editor->getValueDisplay(7)->getValue(), 20.0f);
    EXPECT_NEAR(editor->getValueDisplay(22)->getValue(), 640.0f, 0.5f);
    EXPECT_FLOAT_EQ(editor->getControl(22)->getValue(), effect->getParameterValue(22));
    EXPECT_FLOAT_EQ(editor->getControl(22)->getDefaultValue(), static_cast<float>(realToNormalized(640, 22)));
    // The plot spans -80..-20 dB with the default SLOPE, RANGE and SHIFT.
    EXPECT_FLOAT_EQ(editor->getGraphView()->getBottomDb(), -80.0f);
    EXPECT_FLOAT_EQ(editor->getGraphView()->getTopDb(), -20.0f);
}

TEST_F(EditorOpen, TimerIdsGrowAcrossEditorsAndReopenings)
{
    const uint32_t first = editor->getTimerId();
    EXPECT_EQ(VSTGUI::headless::runningTimerCount(*window), 1u);

    auto other = makeEffect();
    AEffect* otherRecord = other->getAeffect();
    ASSERT_EQ(otherRecord->dispatcher(otherRecord, effEditOpen, 0, 0, host, 0), 1);
    EXPECT_EQ(static_cast<SDEditor*>(other->getEditor())->getTimerId(), first + 1);
    otherRecord->dispatcher(otherRecord, effEditClose, 0, 0, nullptr, 0);

    EXPECT_TRUE(editor->isOpen());
    dispatch(effEditClose);
    EXPECT_FALSE(editor->isOpen());
    EXPECT_EQ(editor->getFrame(), nullptr);
    EXPECT_EQ(editor->getTimerId(), 0u);
    EXPECT_FALSE(effect->isWindowOpen());
    // A host that closes twice leaves nothing behind for the next opening.
    dispatch(effEditClose);
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, host), 1);
    EXPECT_TRUE(effect->isWindowOpen());
    EXPECT_EQ(editor->getTimerId(), first + 2);
    EXPECT_NE(editor->getControl(22), nullptr);
}

TEST_F(EditorOpen, DestroyingTheEffectWithTheWindowOpenClosesItFirst)
{
    effect.reset();
    // The window and its timer went with the editor; running the messages finds nothing.
    VSTGUI::headless::runMessages(100);
    SUCCEED();
}

TEST_F(EditorOpen, KnobDragIsBracketedAndAutomatedWithRisingValues)
{
    const int32_t id = idOf("Frequency Peak1");
    ASSERT_EQ(id, 22);
    dispatch(effSetEditKnobMode, 0, 2);  // linear: upwards raises
    VSTGUI::CControl* knob = editor->getControl(id);
    const VSTGUI::Point at = centreOf(knob);
    for (int32_t step = 1; step <= 5; ++step)
        VSTGUI::headless::scheduleInput(10 * static_cast<uint32_t>(step),
                                        VSTGUI::headless::toScreen(*window, {at.x, at.y - 8 * step}),
                                        VSTGUI::ButtonLeft);
    VSTGUI::headless::scheduleInput(60, VSTGUI::headless::toScreen(*window, {at.x, at.y - 40}), 0);
    takeEdits();
    VSTGUI::headless::pressButton(*window, at, VSTGUI::ButtonLeft);

    const std::vector<HostCall> calls = takeEdits();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(calls.front().index, id);
    EXPECT_EQ(calls.back().opcode, audioMasterEndEdit);
    float last = effect->currentValue(id) > 1 ? 2.0f : -1.0f;
    int automations = 0;
    last = 0;
    for (size_t i = 1; i + 1 < calls.size(); ++i) {
        ASSERT_EQ(calls[i].opcode, audioMasterAutomate);
        EXPECT_EQ(calls[i].index, id);
        EXPECT_GT(calls[i].opt, last);
        last = calls[i].opt;
        ++automations;
    }
    EXPECT_GE(automations, 2);
    EXPECT_FLOAT_EQ(record->getParameter(record, id), last);
    EXPECT_GT(last, static_cast<float>(realToNormalized(640, id)));
}

TEST_F(EditorOpen, HostValueFromAnotherThreadReachesTheViewsAtTheNextTickOnly)
{
    const float before = editor->getControl(22)->getValue();
    std::thread automation([this] { record->setParameter(record, 22, 0.8f); });
    automation.join();
    EXPECT_FLOAT_EQ(editor->getControl(22)->getValue(), before) << "no view is touched off the editor's thread";
    EXPECT_FLOAT_EQ(record->getParameter(record, 22), 0.8f);
    tick();
    EXPECT_FLOAT_EQ(editor->getControl(22)->getValue(), 0.8f);
    EXPECT_FLOAT_EQ(editor->getValueDisplay(22)->getValue(), static_cast<float>(normalizedToReal(0.8, 22)));
}

TEST_F(EditorOpen, GraphScalesFollowSlopeRangeAndShiftAtTheNextTick)
{
    record->setParameter(record, 6, static_cast<float>(realToNormalized(120, 6)));
    record->setParameter(record, 7, static_cast<float>(realToNormalized(-40, 7)));
    EXPECT_FLOAT_EQ(editor->getGraphView()->getTopDb(), -20.0f);
    tick();
    EXPECT_FLOAT_EQ(editor->getGraphView()->getTopDb(), 40.0f);
    EXPECT_FLOAT_EQ(editor->getGraphView()->getBottomDb(), -80.0f);
    EXPECT_EQ(editor->getGraphView()->getLevelGrid().size(), 11u);
}

TEST_F(EditorOpen, SampleRateChangeReachesTheGraphAtTheNextTick)
{
    EXPECT_EQ(editor->getGraphView()->getFrequencyGrid().size(), 28u);
    dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    EXPECT_EQ(editor->getGraphView()->getFrequencyGrid().size(), 28u);
    tick();
    EXPECT_EQ(editor->getGraphView()->getFrequencyGrid().size(), 30u) << "30 and 40 kHz lie below 48 kHz";
}

TEST_F(EditorOpen, ResetBypassAndAnalyserSwitchesActThroughTheEffect)
{
    record->setParameter(record, 28, 0.9f);
    tick();
    takeEdits();
    click(editor->getControl(8));
    EXPECT_FLOAT_EQ(record->getParameter(record, 28), static_cast<float>(realToNormalized(0, 28)));
    tick();
    EXPECT_FLOAT_EQ(editor->getControl(28)->getValue(), static_cast<float>(realToNormalized(0, 28)));
    const std::vector<HostCall> calls = takeEdits();
    ASSERT_EQ(calls.size(), 4u) << "begin, the press, the release, end";
    EXPECT_EQ(calls[1].opcode, audioMasterAutomate);
    EXPECT_EQ(calls[1].index, 8);
    EXPECT_EQ(calls[1].opt, 1.0f);
    EXPECT_EQ(calls[2].opt, 0.0f);

    const float bypass = record->getParameter(record, 9);
    click(editor->getControl(9));
    EXPECT_NE(record->getParameter(record, 9), bypass);

    for (const int32_t id : {3, 4}) {
        const Spectrum which = id == 3 ? Spectrum::pre : Spectrum::post;
        const bool before = effect->spectrumShown(which);
        click(editor->getControl(id));
        EXPECT_EQ(effect->spectrumShown(which), !before) << "switch " << id;
    }
}

// The response drawn is the equaliser's own, measured anew after a change while the
// window is open: a narrow +12 dB peak at 1 kHz stands 12 dB above the flat line there
// and leaves 100 Hz on it, whatever the analysers of the audio hold.
TEST_F(EditorOpen, AParameterChangedWhileOpenRedrawsTheResponse)
{
    constexpr Color kResponse{255, 128, 128, 255};
    const CFRGRAP* graph = editor->getGraphView();
    const float middle = (graph->getTopDb() + graph->getBottomDb()) * 0.5f;
    const auto pointNear = [&](float hz) {
        size_t nearest = 1;
        const auto table = graph->getPointTable();
        for (size_t p = 1; p < table.size(); ++p)
            if (std::fabs(std::log(table[p].freq / hz)) < std::fabs(std::log(table[nearest].freq / hz))) nearest = p;
        return graph->getCurve(CFRGRAP::Trace::response)[nearest].start;
    };
    const auto drawnAt = [&](VSTGUI::Point at) {
        for (int32_t dy = -1; dy <= 1; ++dy)
            if (sameRgb(pixel(*window, at.x, at.y + dy), kResponse)) return true;
        return false;
    };
    EXPECT_EQ(pointNear(1000).y, graph->yOf(middle));

    // Audio flows and the analysers are fed, as in a session.
    hostIdle();
    process(20, 0.5f);
    record->setParameter(record, 21, static_cast<float>(realToNormalized(1000, 21)));
    record->setParameter(record, 28, static_cast<float>(realToNormalized(12, 28)));
    record->setParameter(record, 35, 1.0f);  // Q 4: narrow
    record->setParameter(record, 13, 1.0f);
    process(20, 0.5f);
    tick();
    const VSTGUI::Point peak = pointNear(1000);
    EXPECT_NEAR(peak.y, graph->yOf(middle + 12), 1);
    EXPECT_TRUE(drawnAt(peak)) << peak.x << ", " << peak.y;
    const VSTGUI::Point flat = pointNear(100);
    EXPECT_NEAR(flat.y, graph->yOf(middle), 1);
    EXPECT_TRUE(drawnAt(flat)) << flat.x << ", " << flat.y;
}

TEST_F(EditorOpen, InformationButtonOpensTheDocumentsBesideTheLibrary)
{
    takeEdits();
    click(editor->getInfoButton());
    const std::vector<std::string>& opened = VSTGUI::headless::openedDocuments();
    ASSERT_EQ(opened.size(), 1u);
    const std::string library = effect->getModulePath();
    EXPECT_EQ(opened.front(), library.substr(0, library.rfind('/') + 1) + "documents/index.htm");
    // The button is no host parameter: no automation, and no edit bracket around nothing.
    for (const HostCall& call : takeEdits())
        EXPECT_NE(call.index, kDocumentationParameter) << "host opcode " << call.opcode;
}

TEST_F(EditorOpen, ASwitchBetweenZeroAndOneShowsTheStateTheEffectRuns)
{
    constexpr int32_t kPeak1Enabled = 13;
    const Rect bounds = editor->getControl(kPeak1Enabled)->getBounds();
    const auto shown = [&](float value) {
        record->setParameter(record, kPeak1Enabled, value);
        tick();
        std::vector<Color> pixels;
        for (int32_t y = bounds.top; y < bounds.bottom; ++y)
            for (int32_t x = bounds.left; x < bounds.right; ++x) pixels.push_back(pixel(*window, x, y));
        return pixels;
    };
    const std::vector<Color> on = shown(1.0f);
    const std::vector<Color> off = shown(0.0f);
    ASSERT_NE(on, off);
    for (const float value : {0.1f, 0.3f, 0.49f}) {
        EXPECT_EQ(shown(value), off) << value;
        EXPECT_EQ(editor->getControl(kPeak1Enabled)->getValue(), 0.0f) << value;
    }
    for (const float value : {0.5f, 0.7f, 0.95f}) {
        EXPECT_EQ(shown(value), on) << value;
        EXPECT_EQ(editor->getControl(kPeak1Enabled)->getValue(), 1.0f) << value;
    }
}

TEST(DocumentationPath, ReplacesTheFileNameAndRefusesWhatHasNoFolderOrDoesNotFit)
{
    char path[kDocumentationPathSize];
    ASSERT_TRUE(documentationPath("D:\\fx\\eq.dll", '\\', path));
    EXPECT_STREQ(path, "D:\\fx\\documents\\index.htm");
    ASSERT_TRUE(documentationPath("/usr/lib/vst/Tolvan.so", '/', path));
    EXPECT_STREQ(path, "/usr/lib/vst/documents/index.htm");
    EXPECT_FALSE(documentationPath("eq.dll", '\\', path));
    EXPECT_STREQ(path, "");

    // "documents/index.htm" is 19 characters.
    const std::string fits = "/" + std::string(kDocumentationPathSize - 1 - 19 - 2, 'a') + "/x.so";
    EXPECT_TRUE(documentationPath(fits.c_str(), '/', path));
    EXPECT_EQ(std::strlen(path), kDocumentationPathSize - 1);
    const std::string tooLong = "/" + std::string(kDocumentationPathSize - 19 - 2, 'a') + "/x.so";
    EXPECT_FALSE(documentationPath(tooLong.c_str(), '/', path));
    EXPECT_STREQ(path, "");
}

TEST_F(EditorOpen, KeysAndTheWheelReachTheFrameOnlyWhileOpen)
{
    const VSTGUI::Point at = centreOf(editor->getControl(22));
    VSTGUI::headless::setInput(VSTGUI::headless::toScreen(*window, at), 0);
    const float before = editor->getControl(22)->getValue();
    takeEdits();
    EXPECT_TRUE(editor->wheel(1.0f));
    EXPECT_GT(editor->getControl(22)->getValue(), before);
    EXPECT_FLOAT_EQ(record->getParameter(record, 22), editor->getControl(22)->getValue());
    EXPECT_FALSE(takeEdits().empty());

    dispatch(effEditClose);
    EXPECT_FALSE(editor->wheel(1.0f));
    VstKeyCode key{};
    EXPECT_EQ(dispatch(effEditKeyDown, 0, 'a'), 0);
    EXPECT_FALSE(editor->keyDown(key));
}

TEST_F(EditorOpen, TheHostsKeysReachTheFocusedKnobAndTabMovesTheFocus)
{
    VSTGUI::CFrame* frame = editor->getFrame();
    VSTGUI::CControl* knob = editor->getControl(22);
    frame->setFocusView(knob);
    const float start = knob->getValue();
    EXPECT_EQ(dispatch(effEditKeyDown, 0, VKEY_UP), 1);
    const float step = knob->getValue() - start;
    EXPECT_GT(step, 0.0f);
    EXPECT_EQ(dispatch(effEditKeyDown, 0, VKEY_LEFT, nullptr, MODIFIER_SHIFT), 1);
    const float fineStep = start + step - knob->getValue();
    EXPECT_GT(fineStep, 0.0f);
    EXPECT_LT(fineStep, step) << "Shift steps finely";
    // A special key that no view acts on stays the host's.
    EXPECT_EQ(dispatch(effEditKeyDown, 'x', 1), 0);
    EXPECT_EQ(dispatch(effEditKeyUp, 0, VKEY_UP), 0);

    EXPECT_EQ(dispatch(effEditKeyDown, 0, VKEY_TAB), 1);
    EXPECT_NE(frame->getFocusView(), knob);
    EXPECT_EQ(dispatch(effEditKeyDown, 0, VKEY_TAB, nullptr, MODIFIER_SHIFT), 1);
    EXPECT_EQ(frame->getFocusView(), knob);
}

TEST_F(EditorOpen, FlatResponseAndLevelLinesAreDrawnWhereTheScaleSays)
{
    hostIdle();
    const Color grid{104, 160, 182, 255};
    for (const int32_t y : {130, 107, 61, 38}) {
        EXPECT_TRUE(sameRgb(pixel(*window, 150, y), grid)) << "level line at row " << y;
        EXPECT_FALSE(sameRgb(pixel(*window, 150, y + 4), grid)) << "no line at row " << y + 4;
    }
    const Color response{255, 128, 128, 255};
    for (const int32_t x : {80, 200, 390})
        EXPECT_TRUE(sameRgb(pixel(*window, x, 84), response)) << "flat response at column " << x;
    EXPECT_FALSE(sameRgb(pixel(*window, 200, 96), response));
}

TEST_F(EditorOpen, AnalysersAreFedOnlyAfterTheFirstIdleAndThePeakIsTaken)
{
    tick();
    const SpectrumAnalyser& pre = *effect->inspectAnalyser(Spectrum::pre);
    EXPECT_FALSE(pre.isReady()) << "the graph took the empty spectrum of the reset at open";
    process(16, 0.5f);
    EXPECT_FALSE(pre.isReady()) << "fed before the host's first idle";
    EXPECT_GT(effect->heldPeakLevel(), 0.49);
    EXPECT_FALSE(editor->isGraphReady());

    hostIdle();
    EXPECT_TRUE(editor->isGraphReady());
    EXPECT_EQ(effect->heldPeakLevel(), 0.0) << "the meter took it";
    tick();
    EXPECT_GT(editor->getMeterView()->imageIndex(), 0);
    process(16, 0.5f);
    EXPECT_TRUE(pre.isReady());
    tick();
    EXPECT_FALSE(pre.isReady()) << "the graph took the spectrum";
}

TEST_F(EditorOpen, IdleWithNothingNewDrawsNothing)
{
    hostIdle();
    tick();
    const int32_t presents = VSTGUI::headless::presentCount(*window);
    hostIdle();
    hostIdle();
    EXPECT_EQ(VSTGUI::headless::presentCount(*window), presents);
    record->setParameter(record, 28, 0.7f);
    hostIdle();
    EXPECT_GT(VSTGUI::headless::presentCount(*window), presents);
}

// Run under ThreadSanitizer: the host's audio and automation threads against the editor's
// ticks and idle calls.
TEST_F(EditorOpen, AudioAutomationAndEditorThreadsShareNothingUnsafely)
{
    hostIdle();
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        while (!stop.load()) process(1, 0.3f, 256);
    });
    std::thread automation([&] {
        for (int i = 0; !stop.load(); ++i)
            record->setParameter(record, 19 + i % 22, static_cast<float>(i % 100) / 100.0f);
    });
    for (int i = 0; i < 200; ++i) {
        tick();
        if (i % 3 == 0) hostIdle();
    }
    stop = true;
    audio.join();
    automation.join();
    tick();
    for (int32_t id = 19; id < kNumParameters; ++id)
        EXPECT_FLOAT_EQ(editor->getControl(id)->getValue(), record->getParameter(record, id));
}

}  // namespace
}  // namespace editortest
