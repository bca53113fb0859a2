#include "framework/CView.h"

#include "framework/CBitmap.h"
#include "framework/CDrawContext.h"
#include "framework/CFrame.h"
#include "framework/CViewContainer.h"
#include "framework/platform/Platform.h"

#include <cstring>

namespace VSTGUI {

const char kMsgCheckIfViewContainer[] = "kMsgCheckIfViewContainer";

bool isClassName(const char* className, const char* name)
{
    return className != nullptr && std::strcmp(className, name) == 0;
}

CView::CView(const Rect& bounds) : size(bounds), mouseArea(bounds) {}

CView::~CView()
{
    if (background) background->release();
}

void CView::drawBackgroundBitmap(CDrawContext* context, Point offset)
{
    if (!background || !context) return;
    if (transparent)
        background->drawTransparent(context, size, offset);
    else
        background->draw(context, size, offset);
}

void CView::draw(CDrawContext* context)
{
    drawBackgroundBitmap(context, {0, 0});
    setDirty(false);
}

void CView::drawRect(CDrawContext* context, const Rect&) { draw(context); }

bool CView::overlaps(const Rect& rect) const
{
    return !(rect.right < size.left || rect.left > size.right || rect.bottom < size.top || rect.top > size.bottom);
}

void CView::handleMouse(CDrawContext*, Point, MouseButtons) {}

void CView::setBackground(CBitmap* bitmap)
{
    // Retain first: the new bitmap may be the old one.
    if (bitmap) bitmap->retain();
    if (background) background->release();
    background = bitmap;
    setDirty(true);
}

CBitmap* CView::getBackground() const { return background; }

int32_t CView::keyDown(const KeyCode&) { return kKeyNotHandled; }

int32_t CView::keyUp(const KeyCode&) { return kKeyNotHandled; }

bool CView::wheelOnAxis(CDrawContext* context, Point where, int32_t, float distance)
{
    return wheel(context, where, distance);
}

bool CView::wheel(CDrawContext*, Point, float) { return false; }

bool CView::drop(CDrawContext*, CDragContainer*, Point) { return false; }

void CView::dragEnter(CDrawContext*, CDragContainer*, Point) {}
void CView::dragLeave(CDrawContext*, CDragContainer*, Point) {}
void CView::dragMove(CDrawContext*, CDragContainer*, Point) {}
void CView::loseFocus(CDrawContext*) {}
void CView::takeFocus(CDrawContext*) {}

bool CView::isDirty() const { return dirty; }

void CView::setDirty(bool state) { dirty = state; }

void CView::setMouseEnabled(bool enabled) { mouseEnabled = enabled; }

bool CView::isMouseEnabled() const { return mouseEnabled; }

void CView::setMouseArea(const Rect& rect) { mouseArea = rect; }

Rect CView::getMouseArea() const { return mouseArea; }

bool CView::hitTest(Point where, MouseButtons) { return mouseArea.containsInclusive(where); }

void CView::setTransparent(bool state) { transparent = state; }

bool CView::isTransparent() const { return transparent; }

void CView::setBounds(const Rect& rect)
{
    size = rect;
    setDirty(true);
}

Rect CView::getBounds() const { return size; }

bool CView::onRemoved(CViewContainer*) { return true; }

bool CView::onAttached(CViewContainer*) { return true; }

void CView::getMouseLocation(CDrawContext* context, Point& where)
{
    if (!context) return;
    if (parentView && parentView->notify(this, kMsgCheckIfViewContainer) == 1) {
        const Point savedScreen = context->getScreenOffset();
        const Point savedDraw = context->getDrawOffset();
        const Point corner = parentView->getBounds().topLeft();
        context->setScreenOffset(savedScreen + corner);
        context->setDrawOffset(savedDraw + corner);
        parentView->getMouseLocation(context, where);
        context->setScreenOffset(savedScreen);
        context->setDrawOffset(savedDraw);
        return;
    }
    where = context->localMousePosition(platform::services().getCursorPosition());
}

void CView::toLocal(Point& point) const
{
    if (parentView) parentView->toLocal(point);
}

void CView::toFrame(Point& point) const
{
    if (parentView) parentView->toFrame(point);
}

FrameEditor* CView::getEditor() const { return parentFrame ? parentFrame->getEditor() : nullptr; }

int32_t CView::notify(CView*, const char*) { return 0; }

void CView::redrawRect(CDrawContext* context, const Rect& rect)
{
    if (parentView)
        parentView->redrawRect(context, rect);
    else if (parentFrame)
        parentFrame->drawRect(context, rect);
}

bool CView::acceptsFocus() const { return wantsFocus; }

void CView::setAcceptsFocus(bool state) { wantsFocus = state; }

bool CView::isKindOf(const char* className) const { return isClassName(className, "CView"); }

void CView::refresh(CDrawContext* context)
{
    if (!isDirty()) return;
    if (context)
        redrawRect(context, size);
    else if (parentFrame)
        parentFrame->redrawView(this);
    setDirty(false);
}

}  // namespace VSTGUI
