#pragma once
// The base of every view: its rectangle and mouse area in the parent container's
// coordinates, the dirty flag, the background bitmap, and the virtual operations through
// which the tree draws it and hands it input. All of it runs on the editor window's thread.

#include "framework/CReferenceCounter.h"
#include "framework/GraphicsTypes.h"
#include "framework/KeyCode.h"

#include <cstdint>

namespace VSTGUI {

// What key handlers answer for a key they leave to others.
inline constexpr int32_t kKeyNotHandled = -1;

class CBitmap;
class CDragContainer;
class CDrawContext;
class CFrame;
class CViewContainer;
class FrameEditor;

// The message a view sends its parent through notify to ask whether it is a container;
// containers compare it by identity.
extern const char kMsgCheckIfViewContainer[];

// Wheel axes of wheelOnAxis.
inline constexpr int32_t kWheelAxisHorizontal = 0;
inline constexpr int32_t kWheelAxisVertical = 1;

class CView : public CReferenceCounter {
public:
    explicit CView(const Rect& size);
    ~CView() override;

    virtual void draw(CDrawContext* context);
    virtual void drawRect(CDrawContext* context, const Rect& updateRect);
    // True unless rect lies wholly outside the bounds; edges touch inclusively.
    virtual bool overlaps(const Rect& rect) const;
    // where is in the parent's coordinates; buttons kPollMouseButtons asks the poll.
    virtual void handleMouse(CDrawContext* context, Point where, MouseButtons buttons);
    virtual void setBackground(CBitmap* bitmap);
    virtual CBitmap* getBackground() const;
    virtual int32_t keyDown(const KeyCode& key);
    virtual int32_t keyUp(const KeyCode& key);
    virtual bool wheelOnAxis(CDrawContext* context, Point where, int32_t axis, float distance);
    virtual bool wheel(CDrawContext* context, Point where, float distance);
    virtual bool drop(CDrawContext* context, CDragContainer* drag, Point where);
    virtual void dragEnter(CDrawContext* context, CDragContainer* drag, Point where);
    virtual void dragLeave(CDrawContext* context, CDragContainer* drag, Point where);
    virtual void dragMove(CDrawContext* context, CDragContainer* drag, Point where);
    virtual void loseFocus(CDrawContext* context);
    virtual void takeFocus(CDrawContext* context);
    virtual bool isDirty() const;
    virtual void setDirty(bool state);
    virtual void setMouseEnabled(bool enabled);
    virtual bool isMouseEnabled() const;
    virtual void setMouseArea(const Rect& rect);
    virtual Rect getMouseArea() const;
    // The mouse area contains where, all four edges inclusive.
    virtual bool hitTest(Point where, MouseButtons buttons);
    virtual void setTransparent(bool state);
    virtual bool isTransparent() const;
    virtual void setBounds(const Rect& rect);
    virtual Rect getBounds() const;
    virtual bool onRemoved(CViewContainer* parent);
    virtual bool onAttached(CViewContainer* parent);
    // The cursor position in the space of this view's bounds.
    virtual void getMouseLocation(CDrawContext* context, Point& where);
    // Frame coordinates to the space of this view's bounds, and back.
    virtual void toLocal(Point& point) const;
    virtual void toFrame(Point& point) const;
    virtual FrameEditor* getEditor() const;
    virtual int32_t notify(CView* sender, const char* message);
    virtual void redrawRect(CDrawContext* context, const Rect& rect);
    virtual bool acceptsFocus() const;
    virtual void setAcceptsFocus(bool state);
    virtual bool isKindOf(const char* className) const;
    // Redraws the view now when it is dirty: through context, or without one through the
    // frame's off-screen surface.
    virtual void refresh(CDrawContext* context);

    CFrame* getFrame() const { return parentFrame; }
    CViewContainer* getParentView() const { return parentView; }
    int32_t getWidth() const { return size.width(); }
    int32_t getHeight() const { return size.height(); }

protected:
    // Draws the background bitmap (if any) into the bounds from offset, leaving out the
    // transparent colour when the view is transparent.
    void drawBackgroundBitmap(CDrawContext* context, Point offset);

    Rect size;
    Rect mouseArea;
    CFrame* parentFrame = nullptr;
    CViewContainer* parentView = nullptr;
    bool dirty = false;
    bool mouseEnabled = true;
    bool transparent = false;
    bool wantsFocus = false;
    CBitmap* background = nullptr;

private:
    friend class CViewContainer;
    friend class CFrame;
};

// Compares a class name with a name of the class chain.
bool isClassName(const char* className, const char* name);

}  // namespace VSTGUI
