// The control base and the buttons and value displays, driven through the frame with
// scripted input.

#include "framework/CBitmap.h"
#include "framework/CKickButton.h"
#include "framework/COnOffButton.h"
#include "framework/CParamDisplay.h"
#include "framework/CTextLabel.h"
#include "tests/framework/FrameworkTestSupport.h"

#include <cstdio>
#include <limits>
#include <string>

namespace tolvan::test {
namespace {

class Controls : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        paintAll();
    }
    RecordingListener listener{&editor};
};

TEST_F(Controls, DirtinessFollowsTheValue)
{
    CControl control({0, 0, 10, 10}, nullptr, 0);
    EXPECT_TRUE(control.isDirty());  // created dirty
    control.setDirty(false);
    EXPECT_FALSE(control.isDirty());
    control.setValue(0.25f);
    EXPECT_TRUE(control.isDirty());
    control.setDirty(false);
    control.setValue(-1.0f);
    control.setDirty(true);
    EXPECT_TRUE(control.isDirty());  // old value differs even for -1
    EXPECT_EQ(control.getOldValue(), 0.0f);
}

TEST_F(Controls, OnOffButtonTogglesAndTreatsFractionsAsOff)
{
    auto* button = add(new COnOffButton({10, 10, 26, 26}, &listener, 4, new CBitmap(kSwitchStrip)));
    button->getBackground()->release();  // the button keeps its own reference
    click({12, 12});
    EXPECT_EQ(button->getValue(), 1.0f);
    click({12, 12});
    EXPECT_EQ(button->getValue(), 0.0f);
    button->setValue(0.5f);
    click({12, 12});
    EXPECT_EQ(button->getValue(), 1.0f);
    EXPECT_EQ(listener.values, (std::vector<float>{1.0f, 0.0f, 1.0f}));
}

TEST_F(Controls, OnOffButtonDrawsTheImageOfItsState)
{
    auto* bitmap = new CBitmap(kSwitchStrip);
    auto* button = add(new COnOffButton({10, 10, 26, 26}, &listener, 4, bitmap));
    bitmap->release();
    frame->idle();
    EXPECT_EQ(pixel(15, 15), kSwitchOff);
    click({15, 15});
    EXPECT_EQ(pixel(15, 15), kSwitchOn);  // drawn by the idle cycle inside the click
    (void)button;
}

TEST_F(Controls, OnOffStyleDecidesWhetherTheListenerHearsBeforeOrAfterTheIdleCycle)
{
    auto* button = add(new COnOffButton({10, 10, 26, 26}, &listener, 4, nullptr));
    click({12, 12});
    EXPECT_EQ(editor.log, (std::vector<std::string>{"idle", "begin 4", "changed", "end 4"}));
    editor.log.clear();
    button->setStyle(kPostListenerUpdate);
    headless::advanceTime(200);  // the idle cycle is due again
    click({12, 12});
    EXPECT_EQ(editor.log, (std::vector<std::string>{"begin 4", "changed", "end 4", "idle"}));
}

TEST_F(Controls, ModifierClicksAreOfferedToTheListenerFirst)
{
    auto* button = add(new COnOffButton({10, 10, 26, 26}, &listener, 4, nullptr));
    listener.consumeModifierClicks = 1;
    click({12, 12}, ButtonLeft | ModShift);
    EXPECT_EQ(button->getValue(), 0.0f);
    EXPECT_EQ(listener.modifierButtons, (std::vector<MouseButtons>{ButtonLeft | ModShift}));
    click({12, 12}, ButtonRight);
    EXPECT_EQ(button->getValue(), 0.0f);  // only the left button switches
}

TEST_F(Controls, KickButtonReportsPressThenReleaseInside)
{
    auto* kick = add(new CKickButton({30, 30, 42, 42}, &listener, 8, 12, nullptr));
    drag({35, 35}, {{36, 36}, {37, 37}});
    ASSERT_GE(listener.values.size(), 2u);
    EXPECT_EQ(listener.values.front(), 1.0f);
    EXPECT_EQ(listener.values.back(), 0.0f);
    EXPECT_EQ(kick->getValue(), 0.0f);
    EXPECT_EQ(editor.log.front(), "begin 8");
    EXPECT_EQ(editor.log.back(), "end 8");
}

TEST_F(Controls, KickButtonDraggedOutsideEndsAtRest)
{
    auto* kick = add(new CKickButton({30, 30, 42, 42}, &listener, 8, 12, nullptr));
    drag({35, 35}, {{42, 42}, {60, 60}, {70, 70}});  // (42, 42) is still inside: edges count
    ASSERT_GE(listener.values.size(), 2u);
    EXPECT_EQ(listener.values.front(), 1.0f);
    EXPECT_EQ(listener.values.back(), 0.0f);
    EXPECT_EQ(kick->getValue(), 0.0f);
}

TEST_F(Controls, KickButtonWithShiftClicksWithoutTracking)
{
    add(new CKickButton({30, 30, 42, 42}, &listener, 8, 12, nullptr));
    click({35, 35}, ButtonLeft | ModShift);
    EXPECT_EQ(listener.values, (std::vector<float>{1.0f, 0.0f}));
    EXPECT_EQ(editor.editorIdles, 0);
}

TEST_F(Controls, KickButtonShowsThePressedImageWhileHeld)
{
    auto* bitmap = new CBitmap(kKickStrip);
    add(new CKickButton({30, 30, 42, 42}, nullptr, 8, 12, bitmap));
    bitmap->release();
    frame->idle();
    EXPECT_EQ(pixel(35, 35), kKickReleased);
    std::vector<Color> whileHeld;
    editor.onHostIdle = [&] { whileHeld.push_back(pixel(35, 35)); };
    drag({35, 35}, {{35, 35}, {35, 35}, {35, 35}, {35, 35}, {35, 35}, {35, 35}, {35, 35}, {35, 35}});
    ASSERT_FALSE(whileHeld.empty());
    EXPECT_EQ(whileHeld.back(), kKickPressed);
    frame->idle();
    EXPECT_EQ(pixel(35, 35), kKickReleased);
}

TEST_F(Controls, CtrlClickResetsToTheDefaultOnce)
{
    auto* button = add(new CKickButton({0, 0, 10, 10}, &listener, 5, 10, nullptr));
    CControl& control = *button;
    control.setDefaultValue(0.25f);
    control.setValue(0.75f);
    CDrawContext context(&window(), frame, nullptr);
    EXPECT_TRUE(control.checkResetGesture(&context, ButtonLeft | ModControl));
    EXPECT_EQ(control.getValue(), 0.25f);
    EXPECT_EQ(listener.values, (std::vector<float>{0.25f}));
    EXPECT_EQ(editor.log, (std::vector<std::string>{"begin 5", "changed", "end 5"}));
    EXPECT_FALSE(control.checkResetGesture(&context, ButtonRight | ModControl));
}

TEST_F(Controls, DoubleClickWithinTheIntervalResetsAndAThirdClickStartsANewPair)
{
    CControl& control = *add(new CControl({0, 0, 10, 10}, &listener, 5));
    control.setDefaultValue(0.5f);
    control.setValue(0.9f);
    CDrawContext context(&window(), frame, nullptr);

    EXPECT_FALSE(control.checkResetGesture(&context, ButtonLeft));  // first click: never a double click
    headless::advanceTime(headless::kDefaultDoubleClickTime - 1);
    EXPECT_TRUE(control.checkResetGesture(&context, ButtonLeft));
    EXPECT_EQ(control.getValue(), 0.5f);
    control.setValue(0.9f);
    headless::advanceTime(10);
    EXPECT_FALSE(control.checkResetGesture(&context, ButtonLeft));  // the third click pairs anew
    headless::advanceTime(headless::kDefaultDoubleClickTime);
    EXPECT_FALSE(control.checkResetGesture(&context, ButtonLeft));  // too late
    EXPECT_EQ(control.getValue(), 0.9f);
}

TEST_F(Controls, DoubleClicksPairAtEveryTickIncludingZeroAndTheLast)
{
    CControl& control = *add(new CControl({0, 0, 10, 10}, &listener, 5));
    control.setDefaultValue(0.5f);
    CDrawContext context(&window(), frame, nullptr);
    // The clock to tick 0, then to the counter's last tick, with a pair at each.
    for (uint32_t to : {0u, 0xFFFFFFFFu}) {
        headless::advanceTime(to - frame->getTicks());
        ASSERT_EQ(frame->getTicks(), to);
        control.setValue(0.9f);
        EXPECT_FALSE(control.checkResetGesture(&context, ButtonLeft)) << to;
        headless::advanceTime(10);
        EXPECT_TRUE(control.checkResetGesture(&context, ButtonLeft)) << to;
        EXPECT_EQ(control.getValue(), 0.5f) << to;
        headless::advanceTime(1000);
    }
}

TEST_F(Controls, DoubleClickIntervalIsNeverBelow250Milliseconds)
{
    headless::setDoubleClickTime(100);
    CControl quick({0, 0, 10, 10}, nullptr, 0);
    EXPECT_EQ(quick.getDoubleClickInterval(), 250);
    headless::setDoubleClickTime(400);
    CControl slow({0, 0, 10, 10}, nullptr, 0);
    EXPECT_EQ(slow.getDoubleClickInterval(), 400);
}

TEST_F(Controls, ClampValueKeepsTheRange)
{
    CControl control({0, 0, 1, 1}, nullptr, 0);
    control.setValue(1.5f);
    control.clampValue();
    EXPECT_EQ(control.getValue(), 1.0f);
    control.setValue(-0.5f);
    control.clampValue();
    EXPECT_EQ(control.getValue(), 0.0f);
}

TEST_F(Controls, ValueDisplayFallsBackToTwoDecimals)
{
    // Two displays that must draw the same pixels: the value 0.5 without a conversion
    // function, and a label that shows "0.50".
    auto* display = add(new CParamDisplay({0, 0, 50, 14}));
    display->setValue(0.5f);
    auto* label = add(new CTextLabel({0, 20, 50, 34}, "0.50"));
    auto* other = add(new CTextLabel({0, 40, 50, 54}, "0.5"));
    frame->idle();
    int32_t sameAsLabel = 0;
    int32_t sameAsOther = 0;
    int32_t inked = 0;
    for (int32_t y = 0; y < 14; ++y)
        for (int32_t x = 0; x < 50; ++x) {
            inked += pixel(x, y) != kBlackColor;
            sameAsLabel += pixel(x, y) == pixel(x, y + 20);
            sameAsOther += pixel(x, y) == pixel(x, y + 40);
        }
    EXPECT_GT(inked, 10);
    EXPECT_EQ(sameAsLabel, 50 * 14);
    EXPECT_LT(sameAsOther, 50 * 14);
    (void)label;
    (void)other;
}

TEST_F(Controls, ValueDisplayUsesItsConversionFunction)
{
    auto* display = add(new CParamDisplay({0, 0, 50, 14}));
    display->setStringConvert(
        [](float value, char* text) { std::snprintf(text, 8, "%d Hz", static_cast<int>(value)); });
    display->setValue(440.0f);
    add(new CTextLabel({0, 20, 50, 34}, "440 Hz"));
    frame->idle();
    for (int32_t y = 0; y < 14; ++y)
        for (int32_t x = 0; x < 50; ++x) ASSERT_EQ(pixel(x, y), pixel(x, y + 20)) << x << ", " << y;
}

TEST_F(Controls, ValueDisplayStylesShapeTheBackground)
{
    auto* framed = add(new CParamDisplay({0, 0, 30, 12}, nullptr, kNoTextStyle));
    framed->setBackColor(kBlueColor);
    framed->setFrameColor(kRedColor);
    auto* bare = add(new CParamDisplay({40, 0, 70, 12}, nullptr, kNoTextStyle | kNoFrame));
    bare->setBackColor(kBlueColor);
    bare->setFrameColor(kRedColor);
    auto* hidden = new CParamDisplay({80, 0, 110, 12}, nullptr, kNoDrawStyle);
    EXPECT_FALSE(hidden->isDirty());
    add(hidden);
    frame->idle();
    EXPECT_EQ(pixel(0, 0), kRedColor);
    EXPECT_EQ(pixel(10, 6), kBlueColor);
    EXPECT_EQ(pixel(69, 11), kBlueColor);
    EXPECT_EQ(pixel(40, 0), kBlackColor);  // fillRect leaves the top row and left column
}

TEST_F(Controls, VisibleSettersMarkTheDisplayDirtyOnlyOnChange)
{
    CParamDisplay display({0, 0, 10, 10});
    display.setDirty(false);
    display.setFont(3);
    display.setHoriAlign(kAlignCenter);
    display.setFontColor(kWhiteColor);
    EXPECT_FALSE(display.isDirty());
    display.setFontColor(kRedColor);
    EXPECT_TRUE(display.isDirty());
    display.setDirty(false);
    display.setTextTransparency(false);
    display.setStringConvert(nullptr);
    EXPECT_FALSE(display.isDirty());
}

TEST_F(Controls, BadInputNeverCrashes)
{
    // Null bitmaps and listeners, zero-size views, empty and very long texts, odd values.
    auto* button = add(new COnOffButton({0, 0, 0, 0}, nullptr, 1, nullptr));
    auto* kick = add(new CKickButton({5, 5, 5, 5}, nullptr, 2, 0, nullptr));
    auto* label = add(new CTextLabel({0, 60, 120, 75}, ""));
    auto* longLabel = add(new CTextLabel({0, 40, 120, 55}, std::string(5000, 'W').c_str()));
    auto* nullLabel = add(new CTextLabel({0, 20, 120, 35}, nullptr));
    auto* display = add(new CParamDisplay({-50, -50, 5000, 5000}, nullptr, kShadowText | k3DIn));
    display->setValue(std::numeric_limits<float>::quiet_NaN());
    button->setValue(std::numeric_limits<float>::infinity());
    kick->setValue(-1e30f);
    frame->idle();
    click({0, 0});
    click({5, 5});
    label->setText(nullptr);
    longLabel->setText("");
    EXPECT_EQ(nullLabel->getText(), nullptr);
    frame->idle();
    frame->redrawView(longLabel);
    frame->redrawView(nullptr);
    SUCCEED();
}

}  // namespace
}  // namespace tolvan::test
