#include "framework/CFrame.h"

#include "framework/CDragContainer.h"
#include "framework/CDrawContext.h"
#include "framework/FrameEditor.h"

#include <algorithm>
#include <utility>

namespace VSTGUI {
namespace {

platform::CursorShape cursorShapeFor(int32_t type)
{
    using platform::CursorShape;
    switch (type) {
    case kCursorWait: return CursorShape::Busy;
    case kCursorHSize: return CursorShape::ResizeHorizontal;
    case kCursorVSize: return CursorShape::ResizeVertical;
    case kCursorSizeAll: return CursorShape::Move;
    case kCursorNESWSize: return CursorShape::ResizeDiagonalNeSw;
    case kCursorNWSESize: return CursorShape::ResizeDiagonalNwSe;
    case kCursorNotAllowed: return CursorShape::NotAllowed;
    case kCursorHand: return CursorShape::Hand;
    default: return CursorShape::Default;
    }
}

}  // namespace

CFrame::CFrame(const Rect& bounds, platform::ParentWindow parent, FrameEditor* owner, DisplayScale scale)
    : CViewContainer(bounds), editor(owner), parentWindow(parent), displayScale(scale)
{
    parentFrame = this;
    // The frame draws straight into the surface it is given: the window's surface is memory
    // of ours that the back end shows only when a drawing pass has released it, so it never
    // shows a partly drawn picture and keeps the last one whole. A surface of the frame's own
    // would only add a copy of every pixel to each paint.
    setOffscreen(false);
    if (parent) {
        window = platform::services().createChildWindow(parent, toDevice(bounds.width(), scale),
                                                        toDevice(bounds.height(), scale), &CFrame::windowProcedure);
        if (window) {
            window->setUserData(this);
            setDropActive(true);
        }
    }
}

CFrame::~CFrame()
{
    setModalView(nullptr);
    if (window) window->setCursor(platform::CursorShape::Default);
    setDropActive(false);
    endDrag();
    if (window) {
        window->setUserData(nullptr);
        window.reset();
    }
    // The views go while the frame is still whole; none of them may keep the focus.
    focusView = nullptr;
    removeAll(true);
}

bool CFrame::windowProcedure(platform::Window& window, const platform::WindowEvent& event)
{
    auto* frame = static_cast<CFrame*>(window.getUserData());
    return frame ? frame->handleWindowEvent(event) : false;
}

bool CFrame::handleWindowEvent(const platform::WindowEvent& event)
{
    using Kind = platform::WindowEvent::Kind;
    switch (event.kind) {
    case Kind::Destroy:
        setOpenFlag(false);
        parentWindow = nullptr;
        return false;
    case Kind::Paint: {
        if (event.updateRect.isEmpty()) return false;
        CDrawContext context(window.get(), this, nullptr);
        drawRect(&context, windowToFrame(event.updateRect));
        return true;
    }
    case Kind::ButtonDown: {
        CDrawContext context(window.get(), this, nullptr);
        handleMouse(&context, windowToFrame(event.where), event.buttons);
        return true;
    }
    case Kind::Wheel: {
        // The window system reports the wheel at a screen position; the views expect frame
        // coordinates.
        CDrawContext context(window.get(), this, nullptr);
        return wheel(&context, windowToFrame(event.where - window->getScreenRect().topLeft()), event.distance);
    }
    case Kind::DragEnter:
        if (!event.drop) return false;
        endDrag();
        currentDrag = new CDragContainer(*event.drop);
        forwardDrag(event);
        return true;
    case Kind::DragMove:
    case Kind::DragLeave:
    case Kind::Drop:
        if (!currentDrag) return false;
        forwardDrag(event);
        if (event.kind != Kind::DragMove) endDrag();
        return true;
    case Kind::ScaleChanged:
        // The editor decides the scale: the host's, when it announced one, wins.
        if (!editor) return false;
        editor->windowScaleChanged(event.scaleFactor);
        return true;
    }
    return false;
}

void CFrame::forwardDrag(const platform::WindowEvent& event)
{
    using Kind = platform::WindowEvent::Kind;
    CDrawContext context(window.get(), this, nullptr);
    Point where;
    getMouseLocation(&context, where);
    switch (event.kind) {
    case Kind::DragEnter: dragEnter(&context, currentDrag, where); break;
    case Kind::DragMove: dragMove(&context, currentDrag, where); break;
    case Kind::DragLeave: dragLeave(&context, currentDrag, where); break;
    case Kind::Drop: drop(&context, currentDrag, where); break;
    default: break;
    }
}

void CFrame::endDrag()
{
    if (currentDrag) currentDrag->release();
    currentDrag = nullptr;
}

void CFrame::draw(CDrawContext* context)
{
    firstDrawPending = false;
    CViewContainer::draw(context);
}

void CFrame::drawRect(CDrawContext* context, const Rect& updateRect)
{
    firstDrawPending = false;
    CDrawContext* own = nullptr;
    if (!context) context = own = new CDrawContext(window.get(), this, nullptr);
    const Rect saved = context->getLocalClipRect();
    context->setClipRect(updateRect.intersected(saved));
    if (updateRect.width() > 0 && updateRect.height() > 0) CViewContainer::drawRect(context, updateRect);
    context->setClipRect(saved);
    if (own) own->release();
}

void CFrame::handleMouse(CDrawContext* context, Point where, MouseButtons buttons)
{
    if (focusView) setFocusView(nullptr);
    if (buttons == kPollMouseButtons && context) buttons = CDrawContext::getMouseButtons();
    if (modalView) {
        if (modalView->hitTest(where, buttons)) modalView->handleMouse(context, where, buttons);
        return;
    }
    CViewContainer::handleMouse(context, where, buttons);
}

int32_t CFrame::keyDown(const KeyCode& key)
{
    if (focusView)
        if (const int32_t result = focusView->keyDown(key); result != kKeyNotHandled) return result;
    if (modalView)
        if (const int32_t result = modalView->keyDown(key); result != kKeyNotHandled) return result;
    if (key.virt == VirtualKey::Tab && advanceFocus(focusView, (key.modifiers & ModShift) != 0)) return 1;
    return kKeyNotHandled;
}

int32_t CFrame::keyUp(const KeyCode& key)
{
    if (focusView)
        if (const int32_t result = focusView->keyUp(key); result != kKeyNotHandled) return result;
    if (modalView) return modalView->keyUp(key);
    return kKeyNotHandled;
}

bool CFrame::wheelOnAxis(CDrawContext* context, Point where, int32_t axis, float distance)
{
    CView* target = modalView ? modalView : getViewAt(where, false);
    if (!target) return false;
    if (context) return target->wheelOnAxis(context, where, axis, distance);
    CDrawContext own(window.get(), this, nullptr);
    return target->wheelOnAxis(&own, where, axis, distance);
}

FrameEditor* CFrame::getEditor() const { return editor; }

bool CFrame::isKindOf(const char* className) const
{
    return isClassName(className, "CFrame") || CViewContainer::isKindOf(className);
}

void CFrame::refresh(CDrawContext* context)
{
    if (!openFlag || updatesAreDisabled) return;
    if (dirty) {
        draw(context);
        setDirty(false);
        return;
    }
    if (modalView && modalView->isDirty()) modalView->refresh(context);
    for (std::size_t i = 0; i < children.size(); ++i) {
        CView* child = children[i];
        if (!context) {
            child->refresh(nullptr);
            continue;
        }
        const Rect saved = context->getLocalClipRect();
        context->setClipRect(child->getBounds().intersected(saved));
        child->refresh(context);
        context->setClipRect(saved);
    }
}

CView* CFrame::getViewUnderMouse() { return modalView ? modalView : CViewContainer::getViewUnderMouse(); }

bool CFrame::advanceFocus(CView* oldFocus, bool reverse)
{
    if (modalView) return false;
    if (!oldFocus) oldFocus = focusView;
    if (!oldFocus || isChild(oldFocus)) {
        if (CViewContainer::advanceFocus(oldFocus, reverse)) return true;
        setFocusView(nullptr);
        return false;
    }
    // Climb from the focus through its containers; each tries the views after the one the
    // scan came from, and the frame's own scan goes on from the outermost of them.
    CView* from = oldFocus;
    for (CViewContainer* container = oldFocus->getParentView(); container && container != this;
         container = container->getParentView()) {
        if (container->advanceFocus(from, reverse)) return true;
        from = container;
    }
    if (CViewContainer::advanceFocus(from, reverse)) return true;
    setFocusView(nullptr);
    return false;
}

bool CFrame::open() { return false; }

bool CFrame::close() { return false; }

bool CFrame::isOpen() const { return openFlag; }

void CFrame::idle()
{
    // Paints, timers and a host's destruction of its window arrive here on back ends without
    // a message loop of their own, so this runs even before the first paint.
    platform::services().processEvents(window.get());
    if (!openFlag || firstDrawPending || !isDirty()) return;
    CDrawContext context(window.get(), this, nullptr);
    refresh(&context);
}

void CFrame::runIdleCycle()
{
    if (editor) editor->idleCycle();
}

uint32_t CFrame::getTicks() const { return editor ? platform::services().getTicks() : 0; }

int32_t CFrame::getKnobMode() const { return editor ? editor->knobMode() : 0; }

bool CFrame::setPosition(int32_t, int32_t) { return false; }

bool CFrame::getPosition(int32_t& x, int32_t& y) const
{
    Point position;
    if (!openFlag || !window || !window->getEditorWindowPosition(position)) return false;
    x = position.x;
    y = position.y;
    return true;
}

bool CFrame::setSize(int32_t width, int32_t height)
{
    if (!openFlag || (width == size.width() && height == size.height())) return false;
    const int32_t deviceWidth = toDevice(width, displayScale);
    const int32_t deviceHeight = toDevice(height, displayScale);
    const bool hostResized = editor && editor->requestHostResize(deviceWidth, deviceHeight);
    if (window) {
        if (!hostResized) window->resizeHostWindows(deviceWidth, deviceHeight);
        window->resize(deviceWidth, deviceHeight);
    }
    // The container's own surface must follow the new size in either case.
    setBounds(Rect::fromSize(size.topLeft(), width, height));
    return true;
}

bool CFrame::getSize(Rect* rect) const { return rect ? getSize(*rect) : false; }

bool CFrame::getSize(Rect& rect) const
{
    if (!openFlag || !window) return false;
    return window->getParentRect(rect);
}

bool CFrame::setModalView(CView* view)
{
    if (view && modalView) return false;
    if (!view) {
        if (CView* old = modalView) {
            modalView = nullptr;
            removeView(old, false);
        }
        return true;
    }
    modalView = view;
    addView(view);
    return true;
}

CView* CFrame::getModalView() const { return modalView; }

void CFrame::setDisplayScale(DisplayScale scale)
{
    if (scale == displayScale) return;
    displayScale = scale;
    // Every surface is made again at the new size when it is next drawn into.
    releaseOffscreens();
    if (window) {
        const Rect device = frameToWindow(Rect::fromSize({}, size.width(), size.height()));
        window->resize(device.width(), device.height());
        window->invalidate(device);
    }
    setDirty(true);
}

Point CFrame::windowToFrame(Point device) const
{
    return {toLogical(device.x, displayScale), toLogical(device.y, displayScale)};
}

Rect CFrame::windowToFrame(const Rect& device) const
{
    const Point topLeft = windowToFrame(device.topLeft());
    const Point lastPixel = windowToFrame(Point{device.right - 1, device.bottom - 1});
    return {topLeft.x, topLeft.y, lastPixel.x + 1, lastPixel.y + 1};
}

Rect CFrame::frameToWindow(const Rect& frameRect) const
{
    return {toDevice(frameRect.left, displayScale), toDevice(frameRect.top, displayScale),
            toDevice(frameRect.right, displayScale), toDevice(frameRect.bottom, displayScale)};
}

void CFrame::forgetModalView(const CView* view)
{
    if (modalView == view) modalView = nullptr;
}

void CFrame::beginParameterEdit(int32_t index)
{
    if (editor) editor->beginEdit(index);
}

void CFrame::endParameterEdit(int32_t index)
{
    if (editor) editor->endEdit(index);
}

bool CFrame::getCurrentLocation(Point& where)
{
    const Point origin = window ? window->getScreenRect().topLeft() : Point{};
    where = windowToFrame(platform::services().getCursorPosition() - origin);
    return true;
}

void CFrame::setCursor(int32_t type)
{
    if (window) window->setCursor(cursorShapeFor(type));
}

void CFrame::setFocusView(CView* view)
{
    CView* old = focusView;
    focusView = view;
    if (view && view->acceptsFocus()) view->setDirty(true);
    if (old) {
        old->loseFocus(nullptr);
        if (old->acceptsFocus()) old->setDirty(true);
    }
}

CView* CFrame::getFocusView() const { return focusView; }

bool CFrame::setDropActive(bool active)
{
    if (!dropActive && !active) return true;
    if (!window) return false;
    window->setDropTarget(active);
    dropActive = active;
    return true;
}

bool CFrame::isDropActive() const { return dropActive; }

void CFrame::setOpenFlag(bool state) { openFlag = state; }

bool CFrame::getOpenFlag() const { return openFlag; }

void CFrame::invalidate(const Rect& rect)
{
    for (CView* child : children)
        if (child->overlaps(rect)) child->setDirty(true);
}

bool CFrame::setUpdatesDisabled(bool state)
{
    const bool previous = updatesAreDisabled;
    updatesAreDisabled = state;
    return previous;
}

bool CFrame::updatesDisabled() const { return updatesAreDisabled; }

void CFrame::redrawView(CView* view)
{
    if (view && !isChild(view)) view = nullptr;
    CDrawContext context(window.get(), this, nullptr);
    if (!view) {
        draw(&context);
        return;
    }
    // The view draws over the picture the window holds, and nothing of it lands outside its
    // bounds: only those pixels change on the window (device pixels), so its back end need
    // not look elsewhere.
    const Rect bounds = view->getBounds().intersected(localArea());
    if (window) window->changesOnlyIn(frameToWindow(bounds));
    context.setClipRect(bounds);
    // A view that redraws another inside its own drawing gets its own promise back after.
    CView* const outer = std::exchange(viewBeingRedrawn, view);
    view->draw(&context);
    viewBeingRedrawn = outer;
}

void CFrame::changesOnlyIn(const ChangedRows& rows)
{
    if (viewBeingRedrawn == nullptr || !window) return;
    // Each logical row covers the device rows from its top to the next one's, and each
    // span the device columns of its logical ones, as the draw context maps them.
    const Rect bounds = viewBeingRedrawn->getBounds().intersected(localArea());
    const int32_t top = std::clamp(rows.top, bounds.top, bounds.bottom);
    const auto bottom = static_cast<int32_t>(
        std::clamp<int64_t>(rows.top + static_cast<int64_t>(rows.spans.size()), top, bounds.bottom));
    const int32_t deviceTop = toDevice(top, displayScale);
    deviceRows.clear();
    for (int32_t y = top; y < bottom; ++y) {
        const ColumnSpan span = rows.spans[static_cast<std::size_t>(y - rows.top)];
        const int32_t left = std::max(span.left, bounds.left);
        const int32_t right = std::min(span.right, bounds.right);
        const ColumnSpan device =
            left < right ? ColumnSpan{toDevice(left, displayScale), toDevice(right, displayScale)} : ColumnSpan{};
        deviceRows.resize(static_cast<std::size_t>(toDevice(y + 1, displayScale) - deviceTop), device);
    }
    window->changesOnlyIn(ChangedRows{deviceTop, deviceRows});
}

}  // namespace VSTGUI
