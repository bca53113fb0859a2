#include "framework/CViewContainer.h"

#include "framework/CBitmap.h"
#include "framework/CDrawContext.h"
#include "framework/CFrame.h"
#include "framework/COffscreenContext.h"

namespace VSTGUI {
namespace {

Point negated(Point p) { return Point{} - p; }

CViewContainer* asContainer(CView* view) { return dynamic_cast<CViewContainer*>(view); }

// True when view is ancestor or lies somewhere below it.
bool isWithin(const CView* view, const CView* ancestor)
{
    for (const CView* v = view; v != nullptr; v = v->getParentView())
        if (v == ancestor) return true;
    return false;
}

}  // namespace

OffsetScope::OffsetScope(CDrawContext* ctx, Point by) : context(ctx)
{
    if (!context) return;
    savedDraw = context->getDrawOffset();
    savedScreen = context->getScreenOffset();
    context->setDrawOffset(savedDraw + by);
    context->setScreenOffset(savedScreen + by);
}

OffsetScope::~OffsetScope()
{
    if (!context) return;
    context->setDrawOffset(savedDraw);
    context->setScreenOffset(savedScreen);
}

CViewContainer::Target::Target(CViewContainer& container, CDrawContext* context)
{
    if (container.drawInOffscreen && !container.offscreen) container.createOffscreen();
    offscreen = container.drawInOffscreen && container.offscreen != nullptr;
    if (offscreen) {
        target = container.offscreen;
    } else {
        target = context;
        moved.emplace(context, container.size.topLeft());
    }
}

CViewContainer::CViewContainer(const Rect& bounds, CFrame* frame, CBitmap* bitmap) : CView(bounds)
{
    parentFrame = frame;
    if (bitmap) setBackground(bitmap);
    setDirty(false);
}

CViewContainer::~CViewContainer()
{
    removeAll(true);
    releaseOffscreen();
}

void CViewContainer::createOffscreen()
{
    offscreen = new COffscreenContext(parentFrame, size.width(), size.height(), kBlackColor);
}

void CViewContainer::releaseOffscreen()
{
    if (offscreen) offscreen->release();
    offscreen = nullptr;
}

void CViewContainer::releaseOffscreens()
{
    releaseOffscreen();
    for (CView* child : children)
        if (CViewContainer* container = asContainer(child)) container->releaseOffscreens();
}

Rect CViewContainer::localClipOf(const CDrawContext* context) const
{
    return context->getClipRect().offsetBy(negated(context->getDrawOffset() + size.topLeft()));
}

void CViewContainer::draw(CDrawContext* context)
{
    if (!context) return;
    const Rect clip = localClipOf(context);
    {
        Target target(*this, context);
        CDrawContext* d = target.get();
        d->setClipRect(clip.intersected(localArea()));
        if (background) {
            if (transparent)
                background->drawTransparent(d, localArea(), backgroundOffset);
            else
                background->draw(d, localArea(), backgroundOffset);
        } else if (!transparent) {
            d->setFillColor(backgroundColor);
            d->fillRect(localArea());
        }
        for (std::size_t i = 0; i < children.size(); ++i) {
            CView* child = children[i];
            d->setClipRect(child->getBounds().intersected(clip));
            child->draw(d);
        }
        d->setClipRect(clip);
        if (target.isOffscreen())
            context->copyFromOffscreen(Rect::fromSize(size.topLeft(), size.width(), size.height()), offscreen, {});
    }
    setDirty(false);
}

void CViewContainer::drawRect(CDrawContext* context, const Rect& updateRect)
{
    if (!context) return;
    const Rect clip = localClipOf(context);
    const Rect visible = updateRect.intersected(size);
    const Rect localUpdate = visible.offsetBy(negated(size.topLeft()));
    {
        Target target(*this, context);
        CDrawContext* d = target.get();
        const Rect updateClip = localUpdate.intersected(clip);
        d->setClipRect(updateClip);
        drawBackgroundRect(d, localUpdate);
        const bool keepsPartlyDrawnDirty = !isKindOf("CScrollContainer");
        for (std::size_t i = 0; i < children.size(); ++i) {
            CView* child = children[i];
            if (!child->overlaps(localUpdate)) continue;
            const Rect childClip = child->getBounds().intersected(updateClip);
            if (childClip.left == childClip.right || childClip.top == childClip.bottom) continue;
            d->setClipRect(childClip);
            const bool wasDirty = child->isDirty();
            child->drawRect(d, localUpdate);
            // A dirty child drawn only in part still needs the rest drawn.
            if (wasDirty && childClip != child->getBounds() && keepsPartlyDrawnDirty) child->setDirty(true);
        }
        d->setClipRect(clip);
        if (target.isOffscreen()) context->copyFromOffscreen(visible, offscreen, localUpdate.topLeft());
    }
    setDirty(false);
}

void CViewContainer::drawBackgroundRect(CDrawContext* context, const Rect& rect)
{
    if (!context) return;
    if (background) {
        const Rect saved = context->getLocalClipRect();
        context->setClipRect(rect.intersected(saved));
        const Rect whole{0, 0, background->getWidth(), background->getHeight()};
        if (transparent)
            background->drawTransparent(context, whole, backgroundOffset);
        else
            background->draw(context, whole, backgroundOffset);
        context->setClipRect(saved);
    } else if (!transparent) {
        context->setFillColor(backgroundColor);
        context->fillRect(rect);
    }
}

void CViewContainer::handleMouse(CDrawContext* context, Point where, MouseButtons buttons)
{
    const Point local = where - size.topLeft();
    if (buttons == kPollMouseButtons && context) buttons = CDrawContext::getMouseButtons();
    for (std::size_t i = children.size(); i-- > 0;) {
        CView* child = children[i];
        if (child->isMouseEnabled() && child->hitTest(local, buttons)) {
            // The child may take itself out of the tree while it tracks the mouse.
            child->retain();
            child->handleMouse(context, local, buttons);
            child->release();
            return;
        }
    }
}

int32_t CViewContainer::keyDown(const KeyCode& key)
{
    for (std::size_t i = children.size(); i-- > 0;) {
        if (i >= children.size()) continue;
        const int32_t result = children[i]->keyDown(key);
        if (result != kKeyNotHandled) return result;
    }
    return kKeyNotHandled;
}

int32_t CViewContainer::keyUp(const KeyCode& key)
{
    for (std::size_t i = children.size(); i-- > 0;) {
        if (i >= children.size()) continue;
        const int32_t result = children[i]->keyUp(key);
        if (result != kKeyNotHandled) return result;
    }
    return kKeyNotHandled;
}

bool CViewContainer::wheelOnAxis(CDrawContext* context, Point where, int32_t axis, float distance)
{
    CView* view = getViewAt(where, false);
    if (!view) return false;
    OffsetScope moved(context, size.topLeft());
    return view->wheelOnAxis(context, where - size.topLeft(), axis, distance);
}

bool CViewContainer::wheel(CDrawContext* context, Point where, float distance)
{
    return wheelOnAxis(context, where, kWheelAxisVertical, distance);
}

void CViewContainer::switchDragView(CView* view, CDrawContext* context, CDragContainer* drag, Point local)
{
    if (view == currentDragView) return;
    if (currentDragView) currentDragView->dragLeave(context, drag, local);
    currentDragView = view;
}

void CViewContainer::dragEnter(CDrawContext* context, CDragContainer* drag, Point where)
{
    OffsetScope moved(context, size.topLeft());
    const Point local = where - size.topLeft();
    if (currentDragView) currentDragView->dragLeave(context, drag, local);
    currentDragView = getViewAt(where, false);
    if (currentDragView) currentDragView->dragEnter(context, drag, local);
}

void CViewContainer::dragMove(CDrawContext* context, CDragContainer* drag, Point where)
{
    OffsetScope moved(context, size.topLeft());
    const Point local = where - size.topLeft();
    CView* view = getViewAt(where, false);
    if (view == currentDragView) {
        if (view) view->dragMove(context, drag, local);
        return;
    }
    switchDragView(view, context, drag, local);
    if (view) view->dragEnter(context, drag, local);
}

void CViewContainer::dragLeave(CDrawContext* context, CDragContainer* drag, Point where)
{
    OffsetScope moved(context, size.topLeft());
    if (currentDragView) currentDragView->dragLeave(context, drag, where - size.topLeft());
    currentDragView = nullptr;
}

bool CViewContainer::drop(CDrawContext* context, CDragContainer* drag, Point where)
{
    if (!parentFrame) return false;
    OffsetScope moved(context, size.topLeft());
    const Point local = where - size.topLeft();
    CView* view = getViewAt(where, false);
    switchDragView(view, context, drag, local);
    bool result = false;
    if (view) {
        result = view->drop(context, drag, local);
        view->dragLeave(context, drag, local);
    }
    currentDragView = nullptr;
    return result;
}

void CViewContainer::loseFocus(CDrawContext* context)
{
    for (std::size_t i = 0; i < children.size(); ++i) children[i]->loseFocus(context);
}

void CViewContainer::takeFocus(CDrawContext* context)
{
    for (std::size_t i = 0; i < children.size(); ++i) children[i]->takeFocus(context);
}

bool CViewContainer::isDirty() const
{
    if (dirty) return true;
    const Rect area = localArea();
    for (const CView* child : children)
        if (child->isDirty() && !child->getBounds().intersected(area).isEmpty()) return true;
    return false;
}

void CViewContainer::setBounds(const Rect& rect)
{
    CView::setBounds(rect);
    if (offscreen && drawInOffscreen) {
        releaseOffscreen();
        createOffscreen();
    }
}

bool CViewContainer::onRemoved(CViewContainer* parent)
{
    releaseOffscreen();
    return CView::onRemoved(parent);
}

bool CViewContainer::onAttached(CViewContainer* parent)
{
    if (drawInOffscreen && !offscreen) createOffscreen();
    return CView::onAttached(parent);
}

void CViewContainer::toLocal(Point& point) const
{
    point = point - size.topLeft();
    if (parentView) parentView->toLocal(point);
}

void CViewContainer::toFrame(Point& point) const
{
    point = point + size.topLeft();
    if (parentView) parentView->toFrame(point);
}

int32_t CViewContainer::notify(CView*, const char* message) { return message == kMsgCheckIfViewContainer ? 1 : 0; }

void CViewContainer::redrawRect(CDrawContext* context, const Rect& rect)
{
    const Rect moved = rect.offsetBy(size.topLeft());
    if (transparent) {
        if (parentView)
            parentView->redrawRect(context, moved);
        else if (parentFrame)
            parentFrame->drawRect(context, moved);
        return;
    }
    if (parentView) {
        Point origin;
        parentView->toFrame(origin);
        OffsetScope scope(context, origin);
        drawRect(context, moved);
    } else {
        drawRect(context, moved);
    }
}

bool CViewContainer::isKindOf(const char* className) const
{
    return isClassName(className, "CViewContainer") || CView::isKindOf(className);
}

void CViewContainer::refresh(CDrawContext* context)
{
    if (mode != kRefreshAll && mode != kRefreshDirtyChildren) return;
    const bool redrawAll = mode == kRefreshAll ? isDirty() : dirty;
    if (redrawAll) {
        redrawRect(context, localArea());
        setDirty(false);
        return;
    }
    if (mode == kRefreshAll) return;
    const Rect area = localArea();
    for (std::size_t i = 0; i < children.size(); ++i) {
        CView* child = children[i];
        if (!child->isDirty() || !child->overlaps(area)) continue;
        if (child->notify(this, kMsgCheckIfViewContainer) != 0)
            child->refresh(context);
        else
            child->redrawRect(context, child->getBounds().intersected(area));
    }
    setDirty(false);
}

void CViewContainer::addViewWithMouseArea(CView* view, const Rect& mouseRect, bool enabled)
{
    if (!view) return;
    view->setMouseEnabled(enabled);
    view->setMouseArea(mouseRect);
    addView(view);
}

void CViewContainer::attachFrame(CFrame* frame)
{
    for (CView* child : children) {
        child->parentFrame = frame;
        if (CViewContainer* container = asContainer(child)) container->attachFrame(frame);
    }
}

void CViewContainer::addView(CView* view)
{
    if (!view) return;
    children.push_back(view);
    view->retain();
    view->parentFrame = parentFrame;
    view->parentView = this;
    // Children added to a container before it joined the tree learn the frame now.
    if (CViewContainer* container = asContainer(view)) container->attachFrame(parentFrame);
    view->onAttached(this);
    view->setDirty(true);
}

int32_t CViewContainer::indexOf(const CView* view) const
{
    for (std::size_t i = 0; i < children.size(); ++i)
        if (children[i] == view) return static_cast<int32_t>(i);
    return -1;
}

void CViewContainer::detachChild(int32_t index, bool releaseCreator)
{
    CView* view = children[static_cast<std::size_t>(index)];
    children.erase(children.begin() + index);
    if (view == currentDragView) currentDragView = nullptr;
    if (parentFrame) parentFrame->forgetModalView(view);
    view->onRemoved(this);
    view->parentFrame = nullptr;
    view->parentView = nullptr;
    if (CViewContainer* container = asContainer(view)) container->attachFrame(nullptr);
    if (releaseCreator) view->release();
    view->release();
}

void CViewContainer::removeView(CView* view, bool releaseCreator)
{
    // The focus may lie in a container being removed, not only on the view itself.
    if (parentFrame && view && isWithin(parentFrame->getFocusView(), view)) parentFrame->setFocusView(nullptr);
    const int32_t index = indexOf(view);
    if (index >= 0) detachChild(index, releaseCreator);
}

void CViewContainer::removeAll(bool releaseCreator)
{
    while (!children.empty()) {
        CView* view = children.front();
        // The focus stays where it is, unless the view that holds it is about to be
        // destroyed: the frame must never be left pointing at a freed view.
        const int32_t releases = releaseCreator ? 2 : 1;
        if (parentFrame && view->getReferenceCount() <= releases && isWithin(parentFrame->getFocusView(), view))
            parentFrame->setFocusView(nullptr);
        detachChild(0, releaseCreator);
    }
}

bool CViewContainer::isChild(const CView* view) const { return indexOf(view) >= 0; }

int32_t CViewContainer::childCount() const { return static_cast<int32_t>(children.size()); }

CView* CViewContainer::childAt(int32_t index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= children.size()) return nullptr;
    return children[static_cast<std::size_t>(index)];
}

void CViewContainer::setBackgroundColor(Color color)
{
    backgroundColor = color;
    setDirty(true);
}

Color CViewContainer::getBackgroundColor() const { return backgroundColor; }

void CViewContainer::setBackgroundOffset(Point offset) { backgroundOffset = offset; }

Point CViewContainer::getBackgroundOffset() const { return backgroundOffset; }

void CViewContainer::setMode(int32_t newMode) { mode = newMode; }

int32_t CViewContainer::getMode() const { return mode; }

void CViewContainer::setOffscreen(bool state)
{
    drawInOffscreen = state;
    if (!state) releaseOffscreen();
}

CView* CViewContainer::getViewAt(Point where, bool deep)
{
    if (!parentFrame) return nullptr;
    const Point local = where - size.topLeft();
    for (std::size_t i = children.size(); i-- > 0;) {
        CView* child = children[i];
        if (!child->getMouseArea().containsInclusive(local)) continue;
        if (deep)
            if (CViewContainer* container = asContainer(child)) return container->getViewAt(local, deep);
        return child;
    }
    return nullptr;
}

CView* CViewContainer::getViewUnderMouse()
{
    if (!parentFrame) return nullptr;
    Point where;
    parentFrame->getCurrentLocation(where);
    toLocal(where);
    for (std::size_t i = children.size(); i-- > 0;)
        if (children[i]->getMouseArea().containsInclusive(where)) return children[i];
    return nullptr;
}

bool CViewContainer::advanceFocus(CView* oldFocus, bool reverse)
{
    bool skipping = oldFocus != nullptr;
    const std::size_t count = children.size();
    for (std::size_t k = 0; k < count && k < children.size(); ++k) {
        CView* child = children[reverse ? children.size() - 1 - k : k];
        if (skipping) {
            skipping = child != oldFocus;
            continue;
        }
        if (child->acceptsFocus()) {
            if (parentFrame) parentFrame->setFocusView(child);
            return true;
        }
        if (CViewContainer* container = asContainer(child); container && container->advanceFocus(nullptr, reverse))
            return true;
    }
    return false;
}

}  // namespace VSTGUI
