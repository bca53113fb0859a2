// The editor opened at 1.5x and 2x takes the same gestures as at 1x: the window reports
// device pixels, the controls see logical ones, so a press lands on the same control and a
// drag of 360 logical pixels (720 device pixels at 2x) still sweeps a knob's whole range.

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "editor/SDEditor.h"
#include "effect/AKkk.h"
#include "framework/CControl.h"
#include "framework/CFrame.h"
#include "framework/platform/headless/HeadlessScript.h"
#include "tests/editor/EditorTestSupport.h"

namespace editortest {
namespace {

using VSTGUI::DisplayScale;
using VSTGUI::Point;

// The real editor in a headless host window, opened at a scale; gestures are given in the
// skin's logical pixels and played in the window's device pixels.
class ScaledEditor {
public:
    explicit ScaledEditor(DisplayScale displayScale) : scale(displayScale)
    {
        VSTGUI::headless::reset();
        record = effect->getAeffect();
        const int32_t width = VSTGUI::toDevice(754, scale);
        const int32_t height = VSTGUI::toDevice(374, scale);
        host = VSTGUI::headless::createHostWindow({100, 100, 100 + width, 100 + height});
        record->dispatcher(record, effEditOpen, 0, 0, host, 0);
        editor = static_cast<SDEditor*>(effect->getEditor());
        editor->getFrame()->setDisplayScale(scale);
        window = editor->getFrame()->getWindow();
        window->invalidate({0, 0, width, height});
        VSTGUI::headless::paint(*window);
    }
    ~ScaledEditor()
    {
        effect.reset();
        VSTGUI::headless::destroyHostWindow(host);
    }

    Point device(Point logical) const
    {
        return {VSTGUI::toDevice(logical.x, scale), VSTGUI::toDevice(logical.y, scale)};
    }
    Point centreOf(int32_t id) const
    {
        const VSTGUI::Rect r = editor->getControl(id)->getBounds();
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // Presses at from, moves through path (10 ms a point) and lets go, all in logical pixels.
    void drag(Point from, std::initializer_list<Point> path)
    {
        uint32_t time = 0;
        Point last = from;
        for (const Point p : path) {
            time += 10;
            VSTGUI::headless::scheduleInput(time, VSTGUI::headless::toScreen(*window, device(p)), VSTGUI::ButtonLeft);
            last = p;
        }
        VSTGUI::headless::scheduleInput(time + 10, VSTGUI::headless::toScreen(*window, device(last)), 0);
        VSTGUI::headless::pressButton(*window, device(from), VSTGUI::ButtonLeft);
        // More than a double-click interval, so that the next press is a new click.
        VSTGUI::headless::runMessages(1000);
    }
    float parameter(int32_t id) const { return record->getParameter(record, id); }
    void setParameter(int32_t id, float value)
    {
        record->setParameter(record, id, value);
        VSTGUI::headless::runMessages(SDEditor::kTimerInterval);
    }
    // The host's wheel call (it passes no position) with the cursor resting at a logical point.
    void hostWheel(Point at, float distance)
    {
        VSTGUI::headless::setInput(VSTGUI::headless::toScreen(*window, device(at)), 0);
        editor->wheel(distance);
    }
    // The knob mode is the process's, not the editor's.
    void setKnobMode(int32_t mode) { record->dispatcher(record, effSetEditKnobMode, 0, mode, nullptr, 0); }

private:
    DisplayScale scale;
    std::unique_ptr<AKkk> effect = makeEffect();
    AEffect* record = nullptr;
    VSTGUI::platform::ParentWindow host = nullptr;
    SDEditor* editor = nullptr;
    VSTGUI::platform::Window* window = nullptr;
};

// The values a fixed set of gestures leaves: circular knob turns, linear drags of half and
// the whole range, and presses on switches near their edges.
std::vector<float> playGestures(DisplayScale scale)
{
    ScaledEditor editor(scale);
    std::vector<float> results;

    editor.setKnobMode(0);  // circular
    constexpr int32_t kPeak1Gain = 28;
    const Point gain = editor.centreOf(kPeak1Gain);
    editor.drag({gain.x, gain.y - 10}, {{gain.x + 12, gain.y - 6}, {gain.x + 14, gain.y + 9}});
    results.push_back(editor.parameter(kPeak1Gain));

    constexpr int32_t kPeak1Frequency = 22;
    editor.setKnobMode(2);  // linear
    const Point frequency = editor.centreOf(kPeak1Frequency);
    for (const int32_t distance : {180, 360}) {
        editor.setParameter(kPeak1Frequency, 0.0f);
        editor.drag(frequency, {{frequency.x, frequency.y - distance / 2}, {frequency.x, frequency.y - distance}});
        results.push_back(editor.parameter(kPeak1Frequency));
    }

    // The host's wheel over the second peak's gain knob, off its centre.
    constexpr int32_t kPeak2Gain = 29;
    const Point q = editor.centreOf(kPeak2Gain);
    editor.hostWheel({q.x + 8, q.y + 8}, 3.0f);
    results.push_back(editor.parameter(kPeak2Gain));

    // The band switches and the PRE switch, pressed one logical pixel inside their corners.
    for (const int32_t id : {11, 13, 3}) {
        const Point centre = editor.centreOf(id);
        editor.drag({centre.x - 18, centre.y - 20}, {});
        results.push_back(editor.parameter(id));
    }
    return results;
}

TEST(ScaledEditorGestures, LandOnTheSameControlsAndGiveTheSameValuesAsAtOneTimes)
{
    const std::vector<float> normal = playGestures(DisplayScale::Normal);
    ASSERT_EQ(normal.size(), 7u);
    EXPECT_NEAR(normal[1], 0.5f, 1e-6f) << "180 logical pixels sweep half the range";
    EXPECT_NEAR(normal[2], 1.0f, 1e-6f) << "360 logical pixels sweep the whole range";
    EXPECT_GT(normal[3], 0.5f) << "the host's wheel turns the knob under the cursor";
    for (const DisplayScale scale : {DisplayScale::OneAndAHalf, DisplayScale::Double})
        EXPECT_EQ(playGestures(scale), normal) << percent(scale);
}

}  // namespace
}  // namespace editortest
