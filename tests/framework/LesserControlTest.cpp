// The slider, the option menu and the text edit, at the level the editor may use them.

#include "framework/CBitmap.h"
#include "framework/COptionMenu.h"
#include "framework/CSlider.h"
#include "framework/CTextEdit.h"
#include "framework/CTextLabel.h"
#include "tests/framework/FrameworkTestSupport.h"

#include <cstring>
#include <string>

namespace tolvan::test {
namespace {

class LesserControls : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        paintAll();
    }
    static void pause() { headless::advanceTime(1000); }
    RecordingListener listener{&editor};
};

// A vertical slider whose 12 x 24 handle's top travels from y 10 (value 1) to y 50 (value 0).
class Sliders : public LesserControls {
protected:
    void SetUp() override
    {
        LesserControls::SetUp();
        auto* handle = new CBitmap(kKickStrip);
        slider = add(new CVerticalSlider({20, 10, 40, 74}, &listener, 6, 10, 50, handle, nullptr));
        handle->release();
    }
    CSlider* slider = nullptr;
};

TEST_F(Sliders, FreeClickCentresTheHandleOnThePointerAndDragsAlong)
{
    drag({30, 42}, {{30, 42}});  // handle top at 30: half way
    EXPECT_NEAR(slider->getValue(), 0.5f, 1e-6f);
    pause();
    drag({30, 42}, {{30, 22}, {30, 0}});
    EXPECT_EQ(slider->getValue(), 1.0f);  // clamped at the top
    pause();
    drag({30, 42}, {{30, 62}});
    EXPECT_EQ(slider->getValue(), 0.0f);
    EXPECT_EQ(editor.log.front(), "begin 6");
    EXPECT_EQ(editor.log.back(), "end 6");
    EXPECT_TRUE(slider->isKindOf("CSlider"));
}

TEST_F(Sliders, ShiftDragsTenTimesFiner)
{
    drag({30, 42}, {{30, 42}});
    pause();
    drag({30, 42}, {{30, 42}, {30, 22}}, ButtonLeft | ModShift);  // 20 pixels: half the range, / 10
    EXPECT_NEAR(slider->getValue(), 0.55f, 1e-5f);
}

TEST_F(Sliders, WithoutFreeClickThePressMustHitTheHandle)
{
    slider->setFreeClick(false);
    slider->setValue(0.0f);  // handle at y 50..74
    click({30, 20});
    EXPECT_EQ(slider->getValue(), 0.0f);
    EXPECT_TRUE(listener.values.empty());
    drag({30, 60}, {{30, 40}});  // grabbed 10 pixels into the handle, moved up 20
    EXPECT_NEAR(slider->getValue(), 0.5f, 1e-6f);
}

TEST_F(Sliders, HandleIsDrawnWhereTheValuePutsIt)
{
    slider->setValue(1.0f);
    frame->idle();
    EXPECT_EQ(pixel(25, 12), kKickReleased);
    slider->setValue(0.0f);
    frame->idle();
    EXPECT_EQ(pixel(25, 55), kKickReleased);
    EXPECT_EQ(slider->handleRect(), Rect(20, 50, 32, 74));
}

TEST_F(LesserControls, OptionMenuChoiceBecomesTheValue)
{
    auto* menu = add(new COptionMenu({10, 10, 60, 24}, &listener, 12));
    menu->addEntry("Low");
    menu->addEntry("High");
    menu->addEntry("Mid", 1);
    EXPECT_FALSE(menu->addEntry(nullptr));
    EXPECT_EQ(menu->getNbEntries(), 3);
    EXPECT_STREQ(menu->getEntry(1), "Mid");
    EXPECT_EQ(menu->getEntry(3), nullptr);

    headless::answerNextMenu(2);
    click({20, 15});
    EXPECT_EQ(menu->getValue(), 2.0f);
    EXPECT_EQ(menu->getCurrent(), 2);
    EXPECT_EQ(listener.values, (std::vector<float>{2.0f}));
    EXPECT_EQ(headless::lastMenuEntries(), (std::vector<std::string>{"Low", "Mid", "High"}));

    click({20, 15});  // dismissed
    EXPECT_EQ(menu->getValue(), 2.0f);
    EXPECT_EQ(listener.values.size(), 1u);
    EXPECT_TRUE(menu->isKindOf("CParamDisplay"));
}

TEST_F(LesserControls, OptionMenuShowsItsCurrentEntry)
{
    auto* menu = add(new COptionMenu({0, 0, 50, 14}, nullptr, 1));
    menu->addEntry("Alpha");
    menu->addEntry("Beta");
    menu->setCurrent(1);
    add(new CTextLabel({0, 20, 50, 34}, "Beta"));
    frame->idle();
    for (int32_t y = 0; y < 14; ++y)
        for (int32_t x = 0; x < 50; ++x) ASSERT_EQ(pixel(x, y), pixel(x, y + 20)) << x << ", " << y;
    EXPECT_FALSE(menu->setCurrent(5));
    menu->removeAllEntry();
    EXPECT_EQ(menu->getCurrent(), -1);
    frame->idle();
}

// A container that keeps the messages its children send it.
class ListeningContainer : public CViewContainer {
public:
    using CViewContainer::CViewContainer;
    int32_t notify(CView* sender, const char* message) override
    {
        if (message == kMsgLooseFocus) ++focusLosses;
        return CViewContainer::notify(sender, message);
    }
    int32_t focusLosses = 0;
};

TEST_F(LesserControls, TextEditCopiesTheEnteredTextBack)
{
    auto* container = add(new ListeningContainer({0, 0, 120, 80}));
    auto* edit = new CTextEdit({10, 10, 80, 24}, &listener, 20, "Band");
    container->addView(edit);

    headless::answerNextEdit("Peak 1");
    click({20, 15});
    EXPECT_STREQ(edit->getText(), "Peak 1");
    EXPECT_EQ(headless::lastEditedText(), "Band");
    EXPECT_EQ(listener.values.size(), 1u);
    EXPECT_EQ(container->focusLosses, 1);

    pause();
    click({20, 15});  // closed without a change: no report
    EXPECT_EQ(listener.values.size(), 1u);
    EXPECT_EQ(container->focusLosses, 2);

    pause();
    headless::answerNextEdit(std::string(1000, 'x'));
    click({20, 15});
    EXPECT_EQ(std::strlen(edit->getText()), CTextEdit::kMaxLength);
    edit->setText(nullptr);
    EXPECT_STREQ(edit->getText(), "");
}

TEST_F(LesserControls, DoubleClickStyleOpensOnTheSecondClick)
{
    auto* edit = add(new CTextEdit({10, 10, 80, 24}, &listener, 20, "Q", nullptr, kDoubleClickStyle));
    headless::answerNextEdit("Q2");
    click({20, 15});
    EXPECT_STREQ(edit->getText(), "Q");
    click({20, 15});
    EXPECT_STREQ(edit->getText(), "Q2");
}

}  // namespace
}  // namespace tolvan::test
