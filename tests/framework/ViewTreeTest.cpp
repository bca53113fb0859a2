// The view tree: ownership, hit testing, dirty tracking, partial redraws, refresh modes,
// coordinates and clips through nested containers, focus.

#include "framework/CViewContainer.h"
#include "tests/framework/FrameworkTestSupport.h"

namespace tolvan::test {
namespace {

// A view that tells when it is destroyed and which clicks, keys and focus changes reach it.
class TrackedView : public CView {
public:
    TrackedView(const Rect& size, bool* destroyedFlag = nullptr) : CView(size), destroyed(destroyedFlag) {}
    ~TrackedView() override
    {
        if (destroyed) *destroyed = true;
    }
    void handleMouse(CDrawContext*, Point where, MouseButtons) override
    {
        ++clicks;
        lastClick = where;
    }
    int32_t keyDown(const KeyCode&) override { return keyAnswer; }
    bool wheel(CDrawContext*, Point, float) override
    {
        ++wheels;
        return true;
    }
    void loseFocus(CDrawContext*) override { ++focusLosses; }

    bool* destroyed;
    int32_t clicks = 0;
    Point lastClick;
    int32_t keyAnswer = kKeyNotHandled;
    int32_t wheels = 0;
    int32_t focusLosses = 0;
};

KeyCode key(VirtualKey virt, MouseButtons modifiers = 0)
{
    KeyCode code;
    code.virt = virt;
    code.modifiers = modifiers;
    return code;
}

using ViewTree = FrameTest;

TEST_F(ViewTree, ReferenceCountsFollowAddRemoveAndDestruction)
{
    bool keptDestroyed = false;
    bool ownedDestroyed = false;
    auto* kept = new TrackedView({0, 0, 10, 10}, &keptDestroyed);
    auto* owned = new TrackedView({10, 0, 20, 10}, &ownedDestroyed);
    frame->addView(kept);
    frame->addView(owned);
    EXPECT_EQ(kept->getReferenceCount(), 2);
    EXPECT_EQ(kept->getFrame(), frame);
    EXPECT_EQ(kept->getParentView(), frame);

    frame->removeView(kept, false);
    EXPECT_FALSE(keptDestroyed);
    EXPECT_EQ(kept->getReferenceCount(), 1);
    EXPECT_EQ(kept->getFrame(), nullptr);
    EXPECT_FALSE(frame->isChild(kept));

    destroyFrame();
    EXPECT_TRUE(ownedDestroyed);
    EXPECT_FALSE(keptDestroyed);
    kept->release();
    EXPECT_TRUE(keptDestroyed);
}

TEST_F(ViewTree, NullAndUnknownViewsAreIgnored)
{
    frame->addView(nullptr);
    frame->addViewWithMouseArea(nullptr, {0, 0, 1, 1});
    EXPECT_EQ(frame->childCount(), 0);
    EXPECT_EQ(frame->childAt(0), nullptr);
    EXPECT_EQ(frame->childAt(-1), nullptr);
    CView stranger({0, 0, 5, 5});
    frame->removeView(&stranger, false);
    frame->removeView(nullptr, true);
    EXPECT_EQ(stranger.getReferenceCount(), 1);
}

TEST_F(ViewTree, RemoveViewClearsTheFocusButRemoveAllOfSurvivingViewsDoesNot)
{
    auto* first = add(new TrackedView({0, 0, 10, 10}));
    first->retain();  // survives removeAll(false) below
    frame->setFocusView(first);
    frame->removeView(first, false);
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_EQ(first->focusLosses, 1);

    frame->addView(first);
    frame->setFocusView(first);
    frame->removeAll(false);
    EXPECT_EQ(frame->getFocusView(), first);
    frame->setFocusView(nullptr);
    first->release();
    first->release();
}

TEST_F(ViewTree, DestroyingTheFocusedViewNeverLeavesTheFrameDangling)
{
    auto* inner = new CViewContainer({0, 0, 50, 50});
    auto* focused = new TrackedView({0, 0, 10, 10});
    add(inner);
    inner->addView(focused);
    frame->setFocusView(focused);
    frame->removeView(inner, true);  // the focus lay inside the removed container
    EXPECT_EQ(frame->getFocusView(), nullptr);

    auto* other = add(new TrackedView({0, 0, 10, 10}));
    frame->setFocusView(other);
    frame->removeAll(true);  // destroys it
    EXPECT_EQ(frame->getFocusView(), nullptr);
}

TEST_F(ViewTree, ClicksGoToTheTopmostEnabledViewWithInclusiveEdges)
{
    auto* bottom = add(new TrackedView({10, 10, 50, 50}));
    auto* top = add(new TrackedView({30, 30, 70, 70}));
    click({40, 40});
    EXPECT_EQ(top->clicks, 1);
    EXPECT_EQ(bottom->clicks, 0);

    top->setMouseEnabled(false);
    click({40, 40});
    EXPECT_EQ(bottom->clicks, 1);

    click({50, 50});  // exact right and bottom edge of the bottom view
    EXPECT_EQ(bottom->clicks, 2);
    click({51, 50});
    EXPECT_EQ(bottom->clicks, 2);
    EXPECT_EQ(bottom->lastClick, Point(50, 50));
}

TEST_F(ViewTree, MouseAreaDecidesHitsNotBounds)
{
    auto* view = new TrackedView({0, 0, 10, 10});
    frame->addViewWithMouseArea(view, {60, 60, 70, 70}, true);
    click({5, 5});
    EXPECT_EQ(view->clicks, 0);
    click({65, 65});
    EXPECT_EQ(view->clicks, 1);
    view->setBounds({20, 20, 30, 30});
    EXPECT_EQ(view->getMouseArea(), Rect(60, 60, 70, 70));
}

TEST_F(ViewTree, OverlapsAndHitTestCountEdgesAsInside)
{
    CView view({10, 10, 20, 20});
    EXPECT_TRUE(view.overlaps({20, 20, 30, 30}));
    EXPECT_TRUE(view.overlaps({0, 0, 10, 10}));
    EXPECT_FALSE(view.overlaps({21, 0, 30, 30}));
    EXPECT_FALSE(view.overlaps({0, 0, 30, 9}));
    EXPECT_TRUE(view.hitTest({20, 10}, ButtonLeft));
    EXPECT_FALSE(view.hitTest({9, 10}, ButtonLeft));
}

TEST_F(ViewTree, IdleDrawsNothingBeforeTheFirstPaint)
{
    auto* probe = add(new ProbeView({0, 0, 20, 20}, kRedColor));
    frame->idle();
    EXPECT_EQ(probe->draws, 0);
    EXPECT_TRUE(probe->isDirty());
    paintAll();
    EXPECT_EQ(probe->draws, 1);
    EXPECT_EQ(pixel(10, 10), kRedColor);
    probe->setDirty(true);
    frame->idle();
    EXPECT_EQ(probe->draws, 2);
    frame->idle();  // nothing dirty
    EXPECT_EQ(probe->draws, 2);
}

TEST_F(ViewTree, RefreshModeOneRedrawsOnlyDirtyChildrenAndModeZeroEverything)
{
    auto* container = add(new CViewContainer({10, 10, 110, 70}));
    auto* a = new ProbeView({0, 0, 20, 20}, kRedColor);
    auto* b = new ProbeView({40, 0, 60, 20}, kBlueColor);
    container->addView(a);
    container->addView(b);
    paintAll();
    ASSERT_EQ(a->draws, 1);
    ASSERT_EQ(b->draws, 1);

    a->setDirty(true);
    frame->idle();
    EXPECT_EQ(a->draws, 2);
    EXPECT_EQ(b->draws, 1);

    container->setMode(kRefreshAll);
    a->setDirty(true);
    frame->idle();
    EXPECT_EQ(a->draws, 3);
    EXPECT_EQ(b->draws, 2);

    container->setMode(7);  // no refresh at all
    a->setDirty(true);
    frame->idle();
    EXPECT_EQ(a->draws, 3);
}

TEST_F(ViewTree, PartlyDrawnDirtyChildStaysDirty)
{
    auto* probe = add(new ProbeView({20, 20, 60, 60}, kGreenColor));
    paintAll();
    probe->setDirty(true);
    frame->drawRect(nullptr, {0, 0, 40, 40});
    EXPECT_TRUE(probe->isDirty());
    frame->drawRect(nullptr, {0, 0, 100, 100});
    EXPECT_FALSE(probe->isDirty());
}

TEST_F(ViewTree, EmptyUpdateRectDrawsNoChild)
{
    auto* probe = add(new ProbeView({0, 0, 20, 20}, kRedColor));
    frame->drawRect(nullptr, {5, 5, 5, 30});
    frame->drawRect(nullptr, {500, 500, 600, 600});
    EXPECT_EQ(probe->draws, 0);
}

TEST_F(ViewTree, InvalidateMarksChildrenTouchingTheEdge)
{
    auto* touching = add(new ProbeView({40, 0, 60, 20}, kRedColor));
    auto* away = add(new ProbeView({41, 30, 60, 40}, kRedColor));
    touching->setDirty(false);
    away->setDirty(false);
    frame->invalidate({0, 0, 40, 20});
    EXPECT_TRUE(touching->isDirty());
    EXPECT_FALSE(away->isDirty());
}

TEST_F(ViewTree, NestedContainersOffsetDrawingAndClipToTheirBounds)
{
    auto* outer = add(new CViewContainer({20, 10, 100, 70}));
    outer->setBackgroundColor(kBlueColor);
    auto* inner = new CViewContainer({10, 10, 50, 40});
    inner->setBackgroundColor(kBlackColor);
    inner->setOffscreen(false);  // draws straight into its parent's surface
    outer->addView(inner);
    // Reaches past the inner container's right edge: must be cut there.
    auto* probe = new ProbeView({5, 5, 60, 15}, kRedColor);
    inner->addView(probe);
    paintAll();

    EXPECT_EQ(pixel(20 + 10 + 5, 10 + 10 + 5), kRedColor);
    EXPECT_EQ(pixel(20 + 10 + 39, 10 + 10 + 14), kRedColor);
    EXPECT_NE(pixel(20 + 10 + 40, 10 + 10 + 10), kRedColor);  // outside inner
    EXPECT_EQ(pixel(20 + 10 + 4, 10 + 10 + 5), kBlackColor);
    EXPECT_EQ(pixel(20 + 5, 10 + 50), kBlueColor);
}

TEST_F(ViewTree, PartialRedrawInsideAnOffscreenContainerDrawsTheUpdatedArea)
{
    auto* outer = add(new CViewContainer({20, 10, 100, 70}));
    auto* probe = new ProbeView({0, 0, 80, 60}, kRedColor);
    outer->addView(probe);
    paintAll();
    ASSERT_EQ(pixel(70, 50), kRedColor);
    probe->fill = kGreenColor;
    // Only the lower right part of the container: its surface must be redrawn there.
    frame->drawRect(nullptr, {60, 40, 100, 70});
    EXPECT_EQ(pixel(70, 50), kGreenColor);
    EXPECT_EQ(pixel(99, 69), kGreenColor);
    EXPECT_EQ(pixel(30, 20), kRedColor);  // outside the update: untouched
}

TEST_F(ViewTree, CoordinatesConvertThroughNestedContainers)
{
    auto* outer = add(new CViewContainer({20, 10, 100, 70}));
    auto* inner = new CViewContainer({10, 5, 60, 50});
    outer->addView(inner);
    auto* leaf = new TrackedView({3, 4, 13, 14});
    inner->addView(leaf);

    Point p{50, 40};
    leaf->toLocal(p);
    EXPECT_EQ(p, Point(20, 25));
    leaf->toFrame(p);
    EXPECT_EQ(p, Point(50, 40));

    // The cursor at frame (35, 20) is (5, 5) inside inner: a point of the leaf's parent space.
    headless::setInput(headless::toScreen(window(), {35, 20}), 0);
    CDrawContext context(&window(), frame, nullptr);
    Point where;
    leaf->getMouseLocation(&context, where);
    EXPECT_EQ(where, Point(5, 5));
    EXPECT_EQ(context.getDrawOffset(), Point(0, 0));  // restored

    click({20 + 10 + 3, 10 + 5 + 4});
    EXPECT_EQ(leaf->clicks, 1);
    EXPECT_EQ(leaf->lastClick, Point(3, 4));
    EXPECT_EQ(frame->getViewAt({35, 20}, true), leaf);
    EXPECT_EQ(frame->getViewAt({50, 35}, true), nullptr);  // inside inner, beside the leaf
    EXPECT_EQ(frame->getViewAt({35, 20}, false), outer);
}

TEST_F(ViewTree, ChildrenAddedBeforeTheContainerJoinedLearnTheFrame)
{
    auto* container = new CViewContainer({0, 0, 50, 50});
    auto* leaf = new TrackedView({0, 0, 5, 5});
    container->addView(leaf);
    EXPECT_EQ(leaf->getFrame(), nullptr);
    add(container);
    EXPECT_EQ(leaf->getFrame(), frame);
    EXPECT_EQ(leaf->getEditor(), &editor);
}

TEST_F(ViewTree, ClassNamesFollowTheClassChain)
{
    EXPECT_TRUE(frame->isKindOf("CFrame"));
    EXPECT_TRUE(frame->isKindOf("CViewContainer"));
    EXPECT_TRUE(frame->isKindOf("CView"));
    EXPECT_FALSE(frame->isKindOf("CControl"));
    EXPECT_FALSE(frame->isKindOf(nullptr));
    CView view({0, 0, 1, 1});
    EXPECT_FALSE(view.isKindOf("CViewContainer"));
    EXPECT_EQ(frame->notify(&view, kMsgCheckIfViewContainer), 1);
    EXPECT_EQ(frame->notify(&view, "kMsgCheckIfViewContainer"), 0);  // compared by identity
}

TEST_F(ViewTree, ModalViewTakesClicksInsideItAndWheelAndKeysAnywhere)
{
    auto* below = add(new TrackedView({0, 0, 120, 80}));
    auto* modal = new TrackedView({40, 40, 60, 60});
    ASSERT_TRUE(frame->setModalView(modal));
    EXPECT_FALSE(frame->setModalView(below));

    click({10, 10});
    EXPECT_EQ(below->clicks, 0);
    EXPECT_EQ(modal->clicks, 0);
    click({45, 45});
    EXPECT_EQ(modal->clicks, 1);

    headless::turnWheel(window(), {5, 5}, 1.0f);
    EXPECT_EQ(modal->wheels, 1);
    EXPECT_EQ(below->wheels, 0);

    auto* focused = add(new TrackedView({0, 0, 1, 1}));
    frame->setFocusView(focused);
    modal->keyAnswer = 7;
    KeyCode k = key(VirtualKey::Up);
    EXPECT_EQ(frame->keyDown(k), 7);
    focused->keyAnswer = 3;
    EXPECT_EQ(frame->keyDown(k), 3);

    ASSERT_TRUE(frame->setModalView(nullptr));
    EXPECT_FALSE(frame->isChild(modal));
    EXPECT_EQ(modal->getReferenceCount(), 1);
    modal->release();
}

TEST_F(ViewTree, TabMovesTheFocusForwardAndShiftTabBackward)
{
    auto* plain = add(new TrackedView({0, 0, 5, 5}));
    auto* first = add(new TrackedView({0, 0, 5, 5}));
    auto* second = add(new TrackedView({0, 0, 5, 5}));
    first->setAcceptsFocus(true);
    second->setAcceptsFocus(true);
    KeyCode tab = key(VirtualKey::Tab);
    KeyCode backTab = key(VirtualKey::Tab, ModShift);

    EXPECT_EQ(frame->keyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), first);
    EXPECT_EQ(frame->keyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), second);
    EXPECT_EQ(frame->keyDown(backTab), 1);
    EXPECT_EQ(frame->getFocusView(), first);
    EXPECT_EQ(frame->keyDown(backTab), kKeyNotHandled);  // nothing before the first
    EXPECT_EQ(frame->getFocusView(), nullptr);
    (void)plain;
}

TEST_F(ViewTree, TabWithoutFocusableViewsIsNotHandled)
{
    add(new TrackedView({0, 0, 5, 5}));
    KeyCode tab = key(VirtualKey::Tab);
    EXPECT_EQ(frame->keyDown(tab), kKeyNotHandled);
    EXPECT_EQ(frame->getFocusView(), nullptr);
}

TEST_F(ViewTree, TabLeavesANestedContainerForTheNextViewOfTheFrame)
{
    auto* container = add(new CViewContainer({0, 0, 50, 50}));
    auto* inside = new TrackedView({0, 0, 5, 5});
    inside->setAcceptsFocus(true);
    container->addView(inside);
    auto* after = add(new TrackedView({0, 0, 5, 5}));
    after->setAcceptsFocus(true);
    KeyCode tab = key(VirtualKey::Tab);
    EXPECT_EQ(frame->keyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), inside);
    EXPECT_EQ(frame->keyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), after);
}

TEST_F(ViewTree, ClickAnywhereClearsTheFocus)
{
    auto* focused = add(new TrackedView({0, 0, 5, 5}));
    frame->setFocusView(focused);
    click({100, 70});
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_EQ(focused->focusLosses, 1);
}

TEST_F(ViewTree, WheelGoesToTheViewUnderTheClientPoint)
{
    auto* left = add(new TrackedView({0, 0, 60, 80}));
    auto* right = add(new TrackedView({61, 0, 120, 80}));
    EXPECT_TRUE(headless::turnWheel(window(), {90, 10}, -1.0f));
    EXPECT_EQ(right->wheels, 1);
    EXPECT_EQ(left->wheels, 0);
}

}  // namespace
}  // namespace tolvan::test
