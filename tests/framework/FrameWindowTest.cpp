// The frame in its headless window: painting, the host closing its window first, cursors,
// drags and drops, resizing, the paced idle cycle, and the platform services themselves.

#include "framework/CDragContainer.h"
#include "framework/FrameEditor.h"
#include "tests/framework/FrameworkTestSupport.h"

#include <cstring>
#include <string>

namespace tolvan::test {
namespace {

using FrameWindow = FrameTest;

class DragProbe : public CView {
public:
    using CView::CView;
    void dragEnter(CDrawContext*, CDragContainer* drag, Point) override
    {
        log.push_back("enter");
        items = drag->getCount();
    }
    void dragMove(CDrawContext*, CDragContainer*, Point) override { log.push_back("move"); }
    void dragLeave(CDrawContext*, CDragContainer*, Point) override { log.push_back("leave"); }
    bool drop(CDrawContext*, CDragContainer*, Point) override
    {
        log.push_back("drop");
        return false;
    }
    std::vector<std::string> log;
    int32_t items = 0;
};

TEST_F(FrameWindow, PaintCopiesTheFrameIntoTheWindow)
{
    frame->setBackgroundColor(kRedColor);
    EXPECT_FALSE(headless::paint(window()));  // nothing pending yet
    window().invalidate({10, 10, 30, 30});
    EXPECT_EQ(headless::pendingPaintRect(window()), Rect(10, 10, 30, 30));
    EXPECT_TRUE(headless::paint(window()));
    EXPECT_EQ(pixel(20, 20), kRedColor);
    EXPECT_NE(pixel(40, 40), kRedColor);  // outside the update rectangle
}

// Draws a dot at its top-left corner and, carelessly, a bar far past its right edge.
class SpillingView : public CView {
public:
    using CView::CView;
    void draw(CDrawContext* context) override
    {
        context->setFillColor(kYellowColor);
        context->fillRect({size.left - 1, size.top - 1, size.left + 2, size.top + 2});
        context->fillRect({size.right, size.top - 1, size.right + 40, size.bottom});
    }
};

TEST_F(FrameWindow, PartsOfThePictureRedrawnLaterKeepEverythingElseAsShown)
{
    auto* under = add(new ProbeView({0, 0, 60, 40}, kRedColor));
    auto* over = add(new SpillingView({10, 10, 30, 30}));
    paintAll();
    ASSERT_EQ(pixel(20, 20), kRedColor);
    ASSERT_EQ(pixel(10, 10), kYellowColor);

    // An exposure of a part redraws exactly that part, from the views as they are now.
    under->fill = kGreenColor;
    window().invalidate({40, 0, 50, 10});
    EXPECT_TRUE(headless::paint(window()));
    EXPECT_EQ(pixel(45, 5), kGreenColor);
    EXPECT_EQ(pixel(39, 5), kRedColor);
    EXPECT_EQ(pixel(50, 5), kRedColor);
    EXPECT_EQ(pixel(45, 10), kRedColor);

    // The idle pass shows the changed view whole.
    under->setDirty(true);
    frame->idle();
    EXPECT_EQ(pixel(5, 5), kGreenColor);
    EXPECT_EQ(pixel(35, 35), kGreenColor);

    // A view redrawn alone lands on the picture the window shows now (the green of the
    // idle pass under it), and nothing it draws past its bounds reaches the window.
    under->fill = kBlueColor;
    frame->redrawView(over);
    EXPECT_EQ(pixel(10, 10), kYellowColor);
    EXPECT_EQ(pixel(20, 20), kGreenColor);
    EXPECT_EQ(pixel(35, 15), kGreenColor);
    EXPECT_EQ(pixel(65, 15), kBlackColor);
}

TEST_F(FrameWindow, HostClosingItsWindowFirstStopsIdleDrawing)
{
    auto* probe = add(new ProbeView({0, 0, 10, 10}, kGreenColor));
    paintAll();
    headless::destroyHostWindow(host);
    EXPECT_FALSE(frame->isOpen());
    EXPECT_EQ(frame->getParentWindow(), nullptr);
    probe->setDirty(true);
    frame->idle();
    EXPECT_EQ(probe->draws, 1);
    EXPECT_FALSE(frame->setSize(200, 200));
    Rect size;
    EXPECT_FALSE(frame->getSize(size));
}

TEST_F(FrameWindow, ButtonUpAndMovesChangeNothing)
{
    auto* probe = add(new ProbeView({0, 0, 120, 80}, kGreenColor));
    paintAll();
    headless::setInput(headless::toScreen(window(), {50, 50}), 0);
    headless::runMessages(100);
    EXPECT_FALSE(probe->isDirty());
    EXPECT_EQ(probe->draws, 1);
}

TEST_F(FrameWindow, CursorTypesAndTheDefault)
{
    frame->setCursor(kCursorHand);
    EXPECT_EQ(headless::windowCursor(window()), platform::CursorShape::Hand);
    frame->setCursor(kCursorHSize);
    EXPECT_EQ(headless::windowCursor(window()), platform::CursorShape::ResizeHorizontal);
    frame->setCursor(7);
    EXPECT_EQ(headless::windowCursor(window()), platform::CursorShape::Default);
    frame->setCursor(kCursorWait);
    frame->setCursor(0);
    EXPECT_EQ(headless::windowCursor(window()), platform::CursorShape::Default);
}

TEST_F(FrameWindow, DragsReachTheViewsAndDropsChangeNothing)
{
    auto* left = add(new DragProbe({0, 0, 60, 80}));
    auto* right = add(new DragProbe({61, 0, 120, 80}));
    EXPECT_TRUE(frame->isDropActive());
    EXPECT_TRUE(headless::isDropTarget(window()));
    const platform::DropData files{platform::DropData::Kind::Files, 3};
    EXPECT_TRUE(headless::dragEnter(window(), {10, 10}, files));
    EXPECT_TRUE(headless::dragMove(window(), {20, 10}));
    EXPECT_TRUE(headless::dragMove(window(), {90, 10}));
    EXPECT_TRUE(headless::dragLeave(window()));
    EXPECT_EQ(left->log, (std::vector<std::string>{"enter", "move", "leave"}));
    EXPECT_EQ(right->log, (std::vector<std::string>{"enter", "leave"}));
    EXPECT_EQ(left->items, 3);

    EXPECT_TRUE(headless::dragEnter(window(), {90, 10}, files));
    EXPECT_TRUE(headless::drop(window(), {90, 10}));
    EXPECT_EQ(right->log, (std::vector<std::string>{"enter", "leave", "enter", "drop", "leave"}));
    EXPECT_FALSE(headless::dragMove(window(), {90, 10}));  // no drag in progress

    frame->setDropActive(false);
    EXPECT_FALSE(headless::dragEnter(window(), {10, 10}, files));
}

TEST_F(FrameWindow, SetSizeWithTheCurrentSizeDoesNothing)
{
    EXPECT_FALSE(frame->setSize(120, 80));
    EXPECT_EQ(headless::hostResizeCount(host), 0);
}

TEST_F(FrameWindow, SetSizeResizesHostWindowsOnlyWhenTheHostCannot)
{
    editor.hostResizes = true;
    EXPECT_TRUE(frame->setSize(150, 90));
    EXPECT_EQ(headless::hostResizeCount(host), 0);
    EXPECT_EQ(frame->getBounds(), Rect(0, 0, 150, 90));
    EXPECT_EQ(headless::windowPixels(window()).width(), 150);

    editor.hostResizes = false;
    EXPECT_TRUE(frame->setSize(160, 100));
    EXPECT_EQ(headless::hostResizeCount(host), 1);
    EXPECT_EQ(headless::hostRect(host).width(), 160);
    frame->setBackgroundColor(kBlueColor);
    paintAll();
    EXPECT_EQ(pixel(155, 95), kBlueColor);  // the grown area is drawn
}

TEST_F(FrameWindow, PositionAndSizeComeFromTheHostWindow)
{
    int32_t x = 0;
    int32_t y = 0;
    EXPECT_TRUE(frame->getPosition(x, y));
    EXPECT_EQ(Point(x, y), kHostOrigin);
    Rect size;
    EXPECT_TRUE(frame->getSize(&size));
    EXPECT_EQ(size.width(), 120);
    EXPECT_FALSE(frame->getSize(nullptr));
    EXPECT_FALSE(frame->setPosition(1, 2));
    EXPECT_FALSE(frame->open());
    EXPECT_FALSE(frame->close());
    Point where;
    headless::setInput(headless::toScreen(window(), {7, 9}), 0);
    EXPECT_TRUE(frame->getCurrentLocation(where));
    EXPECT_EQ(where, Point(7, 9));
}

TEST_F(FrameWindow, IdleCyclePausesAndDoesAFullPassAbout20TimesASecond)
{
    paintAll();
    const uint32_t start = headless::now();
    for (int32_t i = 0; i < 250; ++i)  // 250 passes of 4 ms: one second of dragging
        frame->runIdleCycle();
    // Every pass pauses 4 ms but the first, which finds the full pass already due.
    EXPECT_EQ(headless::now() - start, 996u);
    EXPECT_GE(editor.hostIdles, 18);
    EXPECT_LE(editor.hostIdles, 22);
    EXPECT_EQ(editor.editorIdles, editor.hostIdles);
}

TEST_F(FrameWindow, IdleCycleDeliversOnePendingPaint)
{
    frame->setBackgroundColor(kGreenColor);
    window().invalidate({0, 0, 10, 10});
    frame->runIdleCycle();
    EXPECT_TRUE(headless::pendingPaintRect(window()).isEmpty());
    EXPECT_EQ(pixel(5, 5), kGreenColor);
}

TEST_F(FrameWindow, EditorIsInIdleOnlyWhileAskingTheHost)
{
    bool seen = false;
    editor.onHostIdle = [&] { seen = editor.isInIdle(); };
    frame->runIdleCycle();
    EXPECT_TRUE(seen);
    EXPECT_FALSE(editor.isInIdle());
}

TEST_F(FrameWindow, FrameWithoutEditorOrWindowStillWorks)
{
    CFrame* bare = new CFrame({0, 0, 50, 50}, nullptr, nullptr);
    EXPECT_EQ(bare->getWindow(), nullptr);
    EXPECT_EQ(bare->getTicks(), 0u);
    EXPECT_EQ(bare->getKnobMode(), 0);
    EXPECT_FALSE(bare->setDropActive(true));
    bare->runIdleCycle();
    bare->beginParameterEdit(1);
    bare->redrawView(nullptr);
    bare->idle();
    auto* probe = new ProbeView({0, 0, 10, 10}, kRedColor);
    bare->addView(probe);
    bare->drawRect(nullptr, {0, 0, 50, 50});
    EXPECT_EQ(probe->draws, 1);
    bare->release();
}

TEST_F(FrameWindow, TimersFireFromTheMessageLoopUntilStopped)
{
    static int32_t ticks = 0;
    ticks = 0;
    ASSERT_TRUE(window().startTimer(3, 25, [](platform::Window& w, uint32_t id) {
        EXPECT_EQ(id, 3u);
        EXPECT_NE(w.getUserData(), nullptr);  // the frame, found through the window
        ++ticks;
    }));
    headless::runMessages(100);
    EXPECT_EQ(ticks, 4);
    window().stopTimer(3);
    headless::runMessages(100);
    EXPECT_EQ(ticks, 4);
    EXPECT_EQ(headless::runningTimerCount(window()), 0u);
}

TEST(HeadlessPlatform, ScriptedInputTakesEffectAtItsTime)
{
    headless::reset();
    headless::scheduleInput(20, {5, 5}, ButtonLeft);
    headless::scheduleInput(10, {1, 1}, ButtonRight);
    headless::scheduleInput(20, {6, 6}, ButtonMiddle);  // same time: after the first
    EXPECT_EQ(platform::services().getMouseButtons(), 0);
    platform::services().sleep(10);
    EXPECT_EQ(platform::services().getMouseButtons(), ButtonRight);
    EXPECT_EQ(platform::services().getCursorPosition(), Point(1, 1));
    platform::services().sleep(10);
    EXPECT_EQ(platform::services().getMouseButtons(), ButtonMiddle);
    EXPECT_EQ(headless::pendingInputCount(), 0u);
}

TEST(HeadlessPlatform, ForgottenReleaseAndSpinningLoopsDoNotHang)
{
    headless::reset();
    headless::setInput({0, 0}, ButtonLeft);
    // A loop that never sleeps still sees time pass, and the button is let go in the end.
    int64_t polls = 0;
    while (platform::services().getMouseButtons() & ButtonLeft) ++polls;
    EXPECT_GT(polls, 1000);
    EXPECT_GE(headless::now() - headless::kStartTicks, 60000u);
}

TEST(HeadlessPlatform, DocumentsAreRecordedAndChildWindowsNeedAHost)
{
    headless::reset();
    EXPECT_TRUE(platform::services().openDocument("/tmp/documents/index.htm"));
    EXPECT_FALSE(platform::services().openDocument(nullptr));
    ASSERT_EQ(headless::openedDocuments().size(), 1u);
    EXPECT_EQ(headless::openedDocuments()[0], "/tmp/documents/index.htm");
    int unknown = 0;
    EXPECT_EQ(platform::services().createChildWindow(&unknown, 10, 10, nullptr), nullptr);
    EXPECT_EQ(platform::services().createChildWindow(nullptr, 10, 10, nullptr), nullptr);
    EXPECT_EQ(platform::services().getDoubleClickTime(), headless::kDefaultDoubleClickTime);
}

}  // namespace
}  // namespace tolvan::test
