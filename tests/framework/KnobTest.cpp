// Knobs and film strips: circular geometry and the no-wrap rule, linear drags and their
// rescaling, wheel and key steps, the reset gesture, and the image each value shows.

#include "framework/CAnimKnob.h"
#include "framework/CBitmap.h"
#include "framework/CMovieBitmap.h"
#include "tests/framework/FrameworkTestSupport.h"

#include <limits>

namespace tolvan::test {
namespace {

// A 40 x 40 knob at (20, 20): its centre is (40, 40) in the frame.
class Knobs : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        paintAll();
        knob = add(new CAnimKnob({20, 20, 60, 60}, &listener, 9, 5, 20, nullptr));
    }
    // A point of the knob (relative to its top-left corner) in frame coordinates.
    static Point at(int32_t x, int32_t y) { return {20 + x, 20 + y}; }
    // Lets more than a double-click interval pass, so that the next press is a new click.
    static void pause() { headless::advanceTime(1000); }

    RecordingListener listener{&editor};
    CAnimKnob* knob = nullptr;
};

TEST_F(Knobs, CircularGeometryMapsAnglesToValues)
{
    EXPECT_NEAR(knob->valueFromPoint({20, 0}), 0.5f, 1e-6f);          // top
    EXPECT_NEAR(knob->valueFromPoint({6, 34}), 0.0f, 1e-6f);          // 225 degrees
    EXPECT_NEAR(knob->valueFromPoint({34, 34}), 1.0f, 1e-6f);         // -45 degrees
    EXPECT_EQ(knob->valueFromPoint({20, 40}), 0.0f);                  // straight down
    EXPECT_EQ(knob->valueFromPoint({21, 40}), 1.0f);                  // just right of straight down
    EXPECT_NEAR(knob->valueFromPoint({40, 20}), 5.0f / 6.0f, 1e-6f);  // 0 degrees: 225 of 270 swept

    Point tip;
    knob->setValue(0.5f);
    knob->valueToPoint(tip);
    EXPECT_EQ(tip, Point(20, 0));
    knob->setValue(0.0f);
    knob->valueToPoint(tip);
    EXPECT_EQ(tip, Point(6, 34));
}

TEST_F(Knobs, RangeSetAfterConstructionMovesTheEndStops)
{
    knob->setMin(-1.0f);
    knob->setMax(3.0f);
    Point tip;
    knob->setValue(1.0f);  // the middle of -1..3
    knob->valueToPoint(tip);
    EXPECT_EQ(tip, Point(20, 0));
    knob->setValue(3.0f);
    knob->valueToPoint(tip);
    EXPECT_EQ(tip, Point(34, 34));
    EXPECT_NEAR(knob->valueFromPoint({20, 0}), 1.0f, 1e-5f);
    EXPECT_NEAR(knob->valueFromPoint({6, 34}), -1.0f, 1e-5f);
    EXPECT_EQ(knob->valueFromPoint({21, 40}), 3.0f);
}

TEST_F(Knobs, PositiveRangeAngleSweepsCounterClockwise)
{
    knob->setStartAngle(-0.7853982f);  // the minimum at lower right
    knob->setRangeAngle(4.712389f);
    EXPECT_NEAR(knob->valueFromPoint({20, 0}), 0.5f, 1e-6f);
    EXPECT_NEAR(knob->valueFromPoint({34, 34}), 0.0f, 1e-6f);
    EXPECT_NEAR(knob->valueFromPoint({6, 34}), 1.0f, 1e-6f);
    EXPECT_EQ(knob->valueFromPoint({19, 40}), 1.0f);
    EXPECT_EQ(knob->valueFromPoint({21, 40}), 0.0f);
}

TEST_F(Knobs, CircularDragPastTheMaximumDoesNotWrap)
{
    drag(at(20, 2), {at(38, 20), at(34, 34), at(24, 40), at(16, 40), at(8, 36)});
    EXPECT_EQ(knob->getValue(), 1.0f);
    EXPECT_EQ(listener.values.back(), 1.0f);
}

TEST_F(Knobs, CircularJumpAcrossTheDeadZoneSticksToTheNearEnd)
{
    drag(at(37, 26), {at(5, 29)});  // reads 0.9, then 0.05
    EXPECT_EQ(knob->getValue(), 1.0f);
    pause();
    drag(at(3, 26), {at(35, 29)});  // reads 0.1, then 0.95
    EXPECT_EQ(knob->getValue(), 0.0f);
}

TEST_F(Knobs, CircularDragFollowsThePointer)
{
    drag(at(20, 2), {at(6, 34), at(20, 2)});
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-6f);
    EXPECT_EQ(editor.log.front(), "begin 9");
    EXPECT_EQ(editor.log.back(), "end 9");
    EXPECT_EQ(frame->getFocusView(), knob);
}

TEST_F(Knobs, LinearDragOf360PixelsSweepsTheWholeRange)
{
    editor.mode = kLinearMode;
    knob->setValue(0.0f);
    drag(at(10, 10), {at(100, 10), at(190, 10)});
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-6f);
    pause();
    knob->setValue(0.0f);
    drag(at(10, 10), {at(100, -80), at(370, 10)});
    EXPECT_NEAR(knob->getValue(), 1.0f, 1e-6f);
    pause();
    knob->setValue(0.0f);
    drag(at(10, 10), {at(10, -80)});  // up counts like right
    EXPECT_NEAR(knob->getValue(), 0.25f, 1e-6f);
}

TEST_F(Knobs, LinearDragWithShiftFromTheStartNeeds540Pixels)
{
    editor.mode = kLinearMode;
    knob->setValue(0.0f);
    drag(at(10, 10), {at(280, 10)}, ButtonLeft | ModShift);
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-6f);
}

TEST_F(Knobs, AltSwapsCircularAndLinearDragging)
{
    knob->setValue(0.0f);
    drag(at(10, 10), {at(190, 10)}, ButtonLeft | ModAlt);
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-6f);
}

TEST_F(Knobs, ShiftPressedMidDragRescalesWithoutAJump)
{
    editor.mode = kLinearMode;
    knob->setValue(0.0f);
    uint32_t time = 0;
    schedulePath({at(55, 10), at(100, 10)}, ButtonLeft, time);
    schedulePath({at(100, 10)}, ButtonLeft | ModShift, time);
    schedulePath({at(100, 10), at(175, 10), at(250, 10)}, ButtonLeft | ModShift, time);
    headless::scheduleInput(time + 10, headless::toScreen(window(), at(250, 10)), 0);
    headless::pressButton(window(), at(10, 10), ButtonLeft);
    // The new scale starts at the first move after Shift went down: 165 pixels at 360 per
    // range, then 75 pixels at 300 per range.
    EXPECT_NEAR(knob->getValue(), 165.0f / 360.0f + 75.0f / 300.0f, 1e-5f);
    for (std::size_t i = 1; i < listener.values.size(); ++i)
        EXPECT_LE(std::abs(listener.values[i] - listener.values[i - 1]), 0.26f) << i;
}

TEST_F(Knobs, WheelStepsAndStaysInRange)
{
    knob->setValue(0.5f);
    headless::turnWheel(window(), at(20, 20), 1.0f);
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6f);
    headless::setInput({0, 0}, ModShift);
    headless::turnWheel(window(), at(20, 20), 1.0f);
    EXPECT_NEAR(knob->getValue(), 0.61f, 1e-6f);
    headless::setInput({0, 0}, 0);
    headless::turnWheel(window(), at(20, 20), 10.0f);
    EXPECT_EQ(knob->getValue(), 1.0f);
    headless::turnWheel(window(), at(20, 20), -30.0f);
    EXPECT_EQ(knob->getValue(), 0.0f);
    EXPECT_EQ(listener.values.size(), 4u);
    knob->setMouseEnabled(false);
    EXPECT_FALSE(knob->wheel(nullptr, {}, 1.0f));
}

TEST_F(Knobs, ArrowKeysStepTheFocusedKnob)
{
    knob->setValue(0.5f);
    frame->setFocusView(knob);
    KeyCode up;
    up.virt = VirtualKey::Up;
    EXPECT_EQ(frame->keyDown(up), 1);
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6f);
    up.modifiers = ModShift;
    EXPECT_EQ(frame->keyDown(up), 1);
    EXPECT_NEAR(knob->getValue(), 0.61f, 1e-6f);
    KeyCode left;
    left.virt = VirtualKey::Left;
    EXPECT_EQ(knob->keyDown(left), 1);
    EXPECT_NEAR(knob->getValue(), 0.51f, 1e-6f);
    KeyCode other;
    other.character = 'a';
    EXPECT_EQ(knob->keyDown(other), kKeyNotHandled);
    EXPECT_EQ(listener.values.size(), 3u);
}

TEST_F(Knobs, CtrlClickResetsWithoutDragging)
{
    knob->setDefaultValue(0.3f);
    knob->setValue(0.8f);
    click(at(20, 2), ButtonLeft | ModControl);
    EXPECT_EQ(knob->getValue(), 0.3f);
    EXPECT_EQ(listener.values, (std::vector<float>{0.3f}));
    EXPECT_EQ(editor.log, (std::vector<std::string>{"begin 9", "changed", "end 9"}));
}

TEST_F(Knobs, DoubleClickResetsOnceAndAThirdClickDragsAgain)
{
    knob->setDefaultValue(0.3f);
    click(at(34, 34));  // drags to the maximum
    EXPECT_NEAR(knob->getValue(), 1.0f, 1e-6f);
    click(at(34, 34));  // within the interval: reset
    EXPECT_EQ(knob->getValue(), 0.3f);
    click(at(34, 34));  // starts a new pair: drags again
    EXPECT_NEAR(knob->getValue(), 1.0f, 1e-6f);
}

TEST_F(Knobs, ModifierClickConsumedByTheListenerDoesNothing)
{
    listener.consumeModifierClicks = 1;
    knob->setValue(0.2f);
    click(at(34, 34), ButtonLeft | ModShift);
    EXPECT_EQ(knob->getValue(), 0.2f);
    EXPECT_TRUE(editor.log.empty());
}

TEST_F(Knobs, FilmStripFrameFollowsTheValue)
{
    CAnimKnob strip({0, 0, 33, 33}, nullptr, 0, 51, 33, nullptr);
    const auto offsetFor = [&](float value) {
        strip.setValue(value);
        return strip.frameOffset();
    };
    EXPECT_EQ(offsetFor(0.5f), 825);
    EXPECT_EQ(offsetFor(1.0f), 1650);
    EXPECT_EQ(offsetFor(0.999f), 49 * 33);
    EXPECT_EQ(offsetFor(0.0f), 0);
    EXPECT_EQ(offsetFor(-0.3f), 0);
    EXPECT_EQ(offsetFor(1.7f), 1650);  // never below the last image
    EXPECT_EQ(offsetFor(std::numeric_limits<float>::quiet_NaN()), 0);
    strip.setInverseBitmap(true);
    EXPECT_EQ(offsetFor(0.0f), 1650);

    CAnimKnob single({0, 0, 33, 33}, nullptr, 0, 1, 33, nullptr);
    single.setValue(0.8f);
    EXPECT_EQ(single.frameOffset(), 0);
    CAnimKnob flat({0, 0, 33, 33}, nullptr, 0, 10, 0, nullptr);
    flat.setValue(0.8f);
    EXPECT_EQ(flat.frameOffset(), 0);
}

TEST_F(Knobs, FilmStripKnobDrawsTheChosenImage)
{
    auto* strip = new CBitmap(kKnobStrip);
    auto* shown = add(new CAnimKnob({70, 10, 90, 30}, nullptr, 1, 5, 20, strip));
    strip->release();
    shown->setValue(0.5f);
    frame->idle();
    EXPECT_EQ(pixel(80, 20), stripFrameColor(2));
    shown->setValue(1.0f);
    frame->idle();
    EXPECT_EQ(pixel(80, 20), stripFrameColor(4));
}

TEST_F(Knobs, FilmStripKnobSkipsRedrawsThatDoNotMoveTheHandle)
{
    knob->setValue(0.5f);
    frame->idle();
    knob->setValue(0.5001f);
    EXPECT_FALSE(knob->isDirty());
    knob->setValue(0.6f);
    EXPECT_TRUE(knob->isDirty());
    knob->setDirty(true);
    knob->setValue(0.5f);
    EXPECT_TRUE(knob->isDirty());
}

TEST_F(Knobs, MovieBitmapRoundsToTheNearestImageAndClampsAbove)
{
    auto* strip = new CBitmap(kMeterStrip);
    auto* movie = add(new CMovieBitmap({90, 50, 98, 58}, nullptr, -1, 10, 8, strip));
    strip->release();
    const auto shownFor = [&](float value) {
        movie->setValue(value);
        frame->idle();
        return pixel(94, 54);
    };
    EXPECT_EQ(shownFor(0.5f), stripFrameColor(5));
    EXPECT_EQ(shownFor(0.04f), stripFrameColor(0));
    EXPECT_EQ(shownFor(1.7f), stripFrameColor(9));
    EXPECT_EQ(movie->getValue(), 1.0f);
    EXPECT_EQ(shownFor(-2.0f), stripFrameColor(0));
    EXPECT_TRUE(movie->isKindOf("CMovieBitmap"));
    EXPECT_TRUE(knob->isKindOf("CKnob"));
    EXPECT_TRUE(knob->isKindOf("CControl"));
}

TEST_F(Knobs, DrawnHandleKnobDrawsItsLines)
{
    auto* plain = add(new CKnob({70, 40, 110, 80}, nullptr, 3, nullptr, nullptr));
    plain->setHandleColor(kRedColor);
    plain->setValue(0.5f);
    frame->idle();
    // The handle runs straight up from the centre (90, 60) to the tip (90, 43).
    EXPECT_EQ(pixel(90, 50), kRedColor);
    EXPECT_EQ(pixel(89, 51), kGreyColor);
    EXPECT_EQ(plain->getInsetValue(), 3);
}

}  // namespace
}  // namespace tolvan::test
