#pragma once
// The root of the view tree, bound to the editor's child window and to the editor. It
// redraws dirty views at idle time (never before its first paint), redraws single views
// at once, routes mouse, wheel and key input through the
// keyboard focus and the modal view, and forwards the controls' parameter edits and idle
// requests to the editor. All of it runs on the editor window's thread.

#include "framework/CViewContainer.h"
#include "framework/DisplayScale.h"
#include "framework/platform/Platform.h"

#include <memory>
#include <vector>

namespace VSTGUI {

class CDragContainer;

// Cursor types of setCursor; 0, 7 and any other value restore the default cursor.
enum CursorType : int32_t {
    kCursorDefault = 0,
    kCursorWait = 1,
    kCursorHSize = 2,
    kCursorVSize = 3,
    kCursorSizeAll = 4,
    kCursorNESWSize = 5,
    kCursorNWSESize = 6,
    kCursorNotAllowed = 8,
    kCursorHand = 9,
};

class CFrame : public CViewContainer {
public:
    // Creates the frame's child window inside parent when one is given, with the device
    // pixels of size at scale. The frame's views keep size's logical coordinates.
    CFrame(const Rect& size, platform::ParentWindow parent, FrameEditor* editor,
           DisplayScale scale = DisplayScale::Normal);
    ~CFrame() override;

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const Rect& updateRect) override;
    void handleMouse(CDrawContext* context, Point where, MouseButtons buttons) override;
    int32_t keyDown(const KeyCode& key) override;
    int32_t keyUp(const KeyCode& key) override;
    bool wheelOnAxis(CDrawContext* context, Point where, int32_t axis, float distance) override;
    FrameEditor* getEditor() const override;
    bool isKindOf(const char* className) const override;
    void refresh(CDrawContext* context) override;
    CView* getViewUnderMouse() override;
    bool advanceFocus(CView* oldFocus, bool reverse) override;

    // A frame inside a host's window has no top-level window to open or close.
    virtual bool open();
    virtual bool close();
    virtual bool isOpen() const;
    // Redraws the dirty views now, once the frame has been painted for the first time.
    virtual void idle();
    // The editor's paced idle cycle; controls run it on every pass of their mouse loops.
    virtual void runIdleCycle();
    // Milliseconds since system start; 0 without an editor.
    virtual uint32_t getTicks() const;
    virtual int32_t getKnobMode() const;
    virtual bool setPosition(int32_t x, int32_t y);
    virtual bool getPosition(int32_t& x, int32_t& y) const;
    virtual bool setSize(int32_t width, int32_t height);
    virtual bool getSize(Rect* rect) const;
    virtual bool getSize(Rect& rect) const;
    // Fails while another view is modal; null removes the modal view from the frame
    // without dropping its creator's reference.
    virtual bool setModalView(CView* view);
    virtual CView* getModalView() const;
    virtual void beginParameterEdit(int32_t index);
    virtual void endParameterEdit(int32_t index);
    // The cursor position in frame coordinates (logical pixels).
    virtual bool getCurrentLocation(Point& where);
    virtual void setCursor(int32_t type);
    virtual void setFocusView(CView* view);
    virtual CView* getFocusView() const;
    virtual bool setDropActive(bool active);
    virtual bool isDropActive() const;
    virtual void setOpenFlag(bool state);
    virtual bool getOpenFlag() const;
    // Marks every child touching rect dirty; draws nothing.
    virtual void invalidate(const Rect& rect);
    // Returns the previous state.
    virtual bool setUpdatesDisabled(bool state);
    virtual bool updatesDisabled() const;
    // Draws view (a direct child; anything else means the whole frame) into the window at
    // once; the window shows it when the drawing is done.
    virtual void redrawView(CView* view);
    // [UI thread] From the view's draw inside redrawView: it changes only the pixels inside
    // rows (frame coordinates), a finer promise than its bounds, so that the window may
    // look at less of itself when it presents. Ignored at any other time.
    void changesOnlyIn(const ChangedRows& rows);

    // The child window, or null without one.
    platform::Window* getWindow() const { return window.get(); }
    platform::ParentWindow getParentWindow() const { return parentWindow; }
    // The scale the frame draws at; views keep working in logical coordinates. A change
    // gives the window and every off-screen surface below the frame the device pixels of the new scale
    // and redraws everything.
    DisplayScale getDisplayScale() const { return displayScale; }
    void setDisplayScale(DisplayScale scale);
    // A position in the window's device pixels (a mouse position the window system gives)
    // in frame coordinates, and a frame rectangle in the window's device pixels. The back
    // ends deal in device pixels only; these are the one place where they meet the views.
    Point windowToFrame(Point device) const;
    Rect frameToWindow(const Rect& frameRect) const;
    // A view leaves the tree: the frame stops treating it as modal.
    void forgetModalView(const CView* view);

private:
    static bool windowProcedure(platform::Window& window, const platform::WindowEvent& event);
    bool handleWindowEvent(const platform::WindowEvent& event);
    void forwardDrag(const platform::WindowEvent& event);
    void endDrag();
    // The smallest frame rectangle whose device pixels cover a rectangle of the window's.
    Rect windowToFrame(const Rect& device) const;

    FrameEditor* editor;
    platform::ParentWindow parentWindow;
    CView* modalView = nullptr;
    CView* focusView = nullptr;
    bool firstDrawPending = true;
    bool openFlag = true;
    bool dropActive = false;
    bool updatesAreDisabled = false;
    DisplayScale displayScale = DisplayScale::Normal;
    std::unique_ptr<platform::Window> window;
    CDragContainer* currentDrag = nullptr;
    // The view redrawView is drawing, whose bounds every promise of changesOnlyIn is kept
    // inside; null at other times.
    CView* viewBeingRedrawn = nullptr;
    // changesOnlyIn's rows in device pixels, kept so that a tick allocates nothing.
    std::vector<ColumnSpan> deviceRows;
};

}  // namespace VSTGUI
