// The scale the editor is drawn at, as a host sees it: the rectangle it answers, the
// host's "PreS" announcement winning over the screen's scale, and a change while the
// window is open reaching the host as a request to resize (on the headless back end).

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "editor/SDEditor.h"
#include "effect/AKkk.h"
#include "framework/CControl.h"
#include "framework/CFrame.h"
#include "framework/platform/headless/HeadlessScript.h"
#include "tests/editor/SizingHost.h"

namespace {

using VSTGUI::DisplayScale;
using namespace scaletest;

class EditorScale : public ::testing::Test {
protected:
    void SetUp() override
    {
        VSTGUI::headless::reset();
        SizingHost::reset();
        effect = std::make_unique<AKkk>(&SizingHost::callback, &SDEditor::create);
        record = effect->getAeffect();
        host = VSTGUI::headless::createHostWindow({100, 100, 854, 474});
    }
    void TearDown() override
    {
        effect.reset();
        VSTGUI::headless::destroyHostWindow(host);
    }

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0)
    {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }
    // The host's scale announcement.
    intptr_t announceScale(float factor) { return dispatch(effVendorSpecific, kPreS, kAeCs, nullptr, factor); }
    Size editorRect() { return editorRectOf(record); }
    void open() { ASSERT_EQ(dispatch(effEditOpen, 0, 0, host), 1); }
    SDEditor& editor() { return *static_cast<SDEditor*>(effect->getEditor()); }
    DisplayScale frameScale() { return editor().getFrame()->getDisplayScale(); }

    std::unique_ptr<AKkk> effect;
    AEffect* record = nullptr;
    VSTGUI::platform::ParentWindow host = nullptr;
};

TEST_F(EditorScale, TheRectangleFollowsTheScreensScaleUntilTheWindowOpens)
{
    struct Case {
        double screen;
        Size expected;
    };
    // The factors of 96, 144 and 192 dots per inch, and ones between them, go to the nearest
    // scale; nothing sensible means the skin's own size.
    for (const Case& c : {Case{1.0, kNormal}, Case{1.5, kOneAndAHalf}, Case{2.0, kDouble}, Case{1.2, kNormal},
                          Case{1.3, kOneAndAHalf}, Case{3.0, kDouble}, Case{0.5, kNormal}, Case{0.0, kNormal}}) {
        VSTGUI::headless::setScreenScaleFactor(c.screen);
        EXPECT_EQ(editorRect(), c.expected) << "screen factor " << c.screen;
    }
    VSTGUI::headless::setScreenScaleFactor(2.0);
    open();
    EXPECT_EQ(frameScale(), DisplayScale::Double);
    // The open window keeps its scale when the screen setting changes behind it.
    VSTGUI::headless::setScreenScaleFactor(1.0);
    EXPECT_EQ(editorRect(), kDouble);
}

TEST_F(EditorScale, TheHostsAnnouncementIsTakenAndWinsOverTheScreen)
{
    VSTGUI::headless::setScreenScaleFactor(1.5);
    EXPECT_EQ(announceScale(2.0f), 1);
    EXPECT_EQ(editorRect(), kDouble);
    open();
    EXPECT_EQ(frameScale(), DisplayScale::Double);
    EXPECT_EQ(editorRect(), kDouble);
    // Nothing to resize: the window opened at the announced size.
    EXPECT_TRUE(SizingHost::requests.empty());
    // Another monitor's scale does not override what the host said.
    VSTGUI::headless::changeWindowScale(*editor().getFrame()->getWindow(), 1.0);
    EXPECT_EQ(frameScale(), DisplayScale::Double);
    EXPECT_TRUE(SizingHost::requests.empty());
    dispatch(effEditClose);
    EXPECT_EQ(editorRect(), kDouble);
}

TEST_F(EditorScale, FactorsThatMeanNothingAreRefusedAndOthersGoToTheNearestScale)
{
    ASSERT_EQ(announceScale(1.5f), 1);
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), 0.0f, -2.0f, -std::numeric_limits<float>::infinity(),
                      std::numeric_limits<float>::infinity()}) {
        EXPECT_EQ(announceScale(bad), 0) << bad;
        EXPECT_EQ(editorRect(), kOneAndAHalf) << bad;
    }
    // A very large or very small factor is still a scale: the largest or smallest we draw.
    EXPECT_EQ(announceScale(40.0f), 1);
    EXPECT_EQ(editorRect(), kDouble);
    EXPECT_EQ(announceScale(0.25f), 1);
    EXPECT_EQ(editorRect(), kNormal);
    EXPECT_EQ(announceScale(1.75f), 1);
    EXPECT_EQ(editorRect(), kDouble);
    // Other vendor-specific calls are not ours: answered 0, nothing changes.
    EXPECT_EQ(dispatch(effVendorSpecific, kPreS, 0, nullptr, 1.0f), 0);
    EXPECT_EQ(dispatch(effVendorSpecific, 0, kAeCs, nullptr, 1.0f), 0);
    EXPECT_EQ(dispatch(effVendorSpecific, kAeCs, kPreS, nullptr, 1.0f), 0);
    EXPECT_EQ(editorRect(), kDouble);
}

TEST_F(EditorScale, AnAnnouncementWhileOpenRedrawsAtTheScaleAndAsksTheHostForTheRoom)
{
    open();
    ASSERT_EQ(frameScale(), DisplayScale::Normal);
    EXPECT_EQ(announceScale(2.0f), 1);
    EXPECT_EQ(frameScale(), DisplayScale::Double);
    EXPECT_EQ(editorRect(), kDouble);
    EXPECT_EQ(SizingHost::requests, (std::vector<Size>{kDouble}));
    // The same scale again asks nothing more.
    EXPECT_EQ(announceScale(2.0f), 1);
    EXPECT_EQ(SizingHost::requests.size(), 1u);
    EXPECT_EQ(announceScale(1.5f), 1);
    EXPECT_EQ(frameScale(), DisplayScale::OneAndAHalf);
    EXPECT_EQ(SizingHost::requests.back(), kOneAndAHalf);
    // The views keep their logical places.
    EXPECT_EQ(editor().getFrame()->getBounds().width(), kNormal.width);
    for (const ControlDescriptor& row : controlTable) {
        if (row.name != nullptr && row.id > 0 && editor().getControl(row.id) != nullptr) {
            EXPECT_EQ(editor().getControl(row.id)->getBounds().topLeft(), (VSTGUI::Point{row.x, row.y})) << row.name;
        }
    }
}

TEST_F(EditorScale, AHostThatCannotResizeHasItsWindowsResizedAroundTheEditor)
{
    SizingHost::canResize = false;
    open();
    const int32_t before = VSTGUI::headless::hostResizeCount(host);
    EXPECT_EQ(announceScale(2.0f), 1);
    EXPECT_EQ(frameScale(), DisplayScale::Double);
    EXPECT_EQ(VSTGUI::headless::hostResizeCount(host), before + 1);
    const VSTGUI::Rect hostRect = VSTGUI::headless::hostRect(host);
    EXPECT_EQ((Size{hostRect.width(), hostRect.height()}), kDouble);
}

TEST_F(EditorScale, AWindowMovedToAScreenOfAnotherScaleFollowsIt)
{
    open();
    VSTGUI::headless::changeWindowScale(*editor().getFrame()->getWindow(), 2.0);
    EXPECT_EQ(frameScale(), DisplayScale::Double);
    EXPECT_EQ(SizingHost::requests, (std::vector<Size>{kDouble}));
    VSTGUI::headless::changeWindowScale(*editor().getFrame()->getWindow(), 1.0);
    EXPECT_EQ(frameScale(), DisplayScale::Normal);
    EXPECT_EQ(SizingHost::requests.back(), kNormal);
    // Closed and opened again, it asks the window system afresh.
    dispatch(effEditClose);
    VSTGUI::headless::setScreenScaleFactor(1.5);
    open();
    EXPECT_EQ(frameScale(), DisplayScale::OneAndAHalf);
}

TEST_F(EditorScale, TheWindowHasTheDevicePixelsOfTheScaleItOpensAtAndChangesTo)
{
    const auto windowSize = [this] {
        const VSTGUI::PixelSurface& pixels = VSTGUI::headless::windowPixels(*editor().getFrame()->getWindow());
        return Size{pixels.width(), pixels.height()};
    };
    VSTGUI::headless::setScreenScaleFactor(2.0);
    open();
    EXPECT_EQ(windowSize(), kDouble);
    EXPECT_EQ(announceScale(1.5f), 1);
    EXPECT_EQ(windowSize(), kOneAndAHalf);
    EXPECT_EQ(announceScale(1.0f), 1);
    EXPECT_EQ(windowSize(), kNormal);
}

}  // namespace
