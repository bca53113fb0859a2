#pragma once
// A view that owns child views: it holds one reference to each, draws them in list order
// (first at the bottom) through an off-screen surface of its own, redraws only what
// changed, hands mouse, wheel, key and drag events to the right child, and walks the
// keyboard focus through them.

#include "framework/CView.h"

#include <optional>
#include <vector>

namespace VSTGUI {

class COffscreenContext;

// Moves both offsets of a context for the lifetime of the object.
class OffsetScope {
public:
    OffsetScope(CDrawContext* context, Point by);
    ~OffsetScope();
    OffsetScope(const OffsetScope&) = delete;
    OffsetScope& operator=(const OffsetScope&) = delete;

private:
    CDrawContext* context;
    Point savedDraw;
    Point savedScreen;
};

// Refresh modes of setMode; any other value makes refresh do nothing.
inline constexpr int32_t kRefreshAll = 0;
inline constexpr int32_t kRefreshDirtyChildren = 1;

class CViewContainer : public CView {
public:
    explicit CViewContainer(const Rect& size, CFrame* frame = nullptr, CBitmap* background = nullptr);
    ~CViewContainer() override;

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const Rect& updateRect) override;
    void handleMouse(CDrawContext* context, Point where, MouseButtons buttons) override;
    int32_t keyDown(const KeyCode& key) override;
    int32_t keyUp(const KeyCode& key) override;
    bool wheelOnAxis(CDrawContext* context, Point where, int32_t axis, float distance) override;
    bool wheel(CDrawContext* context, Point where, float distance) override;
    bool drop(CDrawContext* context, CDragContainer* drag, Point where) override;
    void dragEnter(CDrawContext* context, CDragContainer* drag, Point where) override;
    void dragLeave(CDrawContext* context, CDragContainer* drag, Point where) override;
    void dragMove(CDrawContext* context, CDragContainer* drag, Point where) override;
    void loseFocus(CDrawContext* context) override;
    void takeFocus(CDrawContext* context) override;
    bool isDirty() const override;
    void setBounds(const Rect& rect) override;
    bool onRemoved(CViewContainer* parent) override;
    bool onAttached(CViewContainer* parent) override;
    void toLocal(Point& point) const override;
    void toFrame(Point& point) const override;
    int32_t notify(CView* sender, const char* message) override;
    void redrawRect(CDrawContext* context, const Rect& rect) override;
    bool isKindOf(const char* className) const override;
    void refresh(CDrawContext* context) override;

    virtual void addViewWithMouseArea(CView* view, const Rect& mouseRect, bool mouseEnabled = true);
    virtual void addView(CView* view);
    // Removes the first occurrence of view; releaseCreator also drops the creator's reference.
    virtual void removeView(CView* view, bool releaseCreator = true);
    virtual void removeAll(bool releaseCreator = true);
    virtual bool isChild(const CView* view) const;
    virtual int32_t childCount() const;
    virtual CView* childAt(int32_t index) const;
    virtual void setBackgroundColor(Color color);
    virtual Color getBackgroundColor() const;
    virtual void setBackgroundOffset(Point offset);
    virtual Point getBackgroundOffset() const;
    virtual void drawBackgroundRect(CDrawContext* context, const Rect& rect);
    virtual void setMode(int32_t mode);
    virtual int32_t getMode() const;
    virtual void setOffscreen(bool state);
    virtual CView* getViewUnderMouse();
    virtual CView* getViewAt(Point where, bool deep = false);
    virtual bool advanceFocus(CView* oldFocus, bool reverse);

    bool drawsOffscreen() const { return drawInOffscreen; }
    // The off-screen surfaces of this container and of every container below it go; each
    // is made again at its next draw, with the device pixels of the frame's scale then.
    void releaseOffscreens();

protected:
    // The drawing target of draw and drawRect: the own off-screen surface, or the given
    // context moved to this container's origin until restore.
    class Target {
    public:
        Target(CViewContainer& container, CDrawContext* context);
        Target(const Target&) = delete;
        Target& operator=(const Target&) = delete;
        CDrawContext* get() const { return target; }
        bool isOffscreen() const { return offscreen; }

    private:
        CDrawContext* target;
        bool offscreen;
        std::optional<OffsetScope> moved;
    };

    // The given context's clip in this container's local coordinates.
    Rect localClipOf(const CDrawContext* context) const;
    Rect localArea() const { return {0, 0, size.width(), size.height()}; }
    // The index of view in the child list, or -1.
    int32_t indexOf(const CView* view) const;
    // Detaches and releases the child at index (one or both references).
    void detachChild(int32_t index, bool releaseCreator);
    void attachFrame(CFrame* frame);
    void createOffscreen();
    void releaseOffscreen();

    std::vector<CView*> children;
    int32_t mode = kRefreshDirtyChildren;
    COffscreenContext* offscreen = nullptr;
    Color backgroundColor = kBlackColor;
    Point backgroundOffset;
    bool drawInOffscreen = true;
    CView* currentDragView = nullptr;

private:
    // The drag view becomes view; the old one, if different, gets dragLeave.
    void switchDragView(CView* view, CDrawContext* context, CDragContainer* drag, Point local);
};

}  // namespace VSTGUI
