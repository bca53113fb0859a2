#pragma once
// Every view draws through a CDrawContext: a pixel surface (a window's or an off-screen
// context's) with a drawing offset, a clip rectangle and the current pen, fill, font and
// text colour. Coordinates given to the drawing operations are local: the drawing
// offset is added before anything is drawn or clipped. Views work in the skin's logical
// pixels; the context maps them to the surface's device pixels at the frame's display
// scale, so that at 1x the two are the same. All of it runs on the editor window's thread.

#include "framework/CReferenceCounter.h"
#include "framework/DisplayScale.h"
#include "framework/GraphicsTypes.h"
#include "framework/PixelSurface.h"

#include <cstdint>
#include <optional>

namespace VSTGUI {

class COffscreenContext;
class CView;
class DrawingWindow;
class FontInstance;

// One line of drawLines, drawn from start to end like moveTo and lineTo.
struct LineSegment {
    Point start;
    Point end;
};

// How often a context had to build each drawing object anew; settings that repeat the
// current value must not count (controls set their colours and fonts on every draw).
struct DrawObjectCounts {
    int32_t pens = 0;
    int32_t brushes = 0;
    int32_t fonts = 0;
    int32_t clipRegions = 0;
};

class CDrawContext : public CReferenceCounter {
public:
    // Any argument may be null. Without a surface, a window's own surface is acquired
    // and released at destruction; without either, drawing has no effect. With a frame
    // (the root view of the tree it draws) the clip is the frame's bounds as they are at
    // the time, otherwise (0, 0, 1000, 1000), and the context draws at the frame's display
    // scale, otherwise at 1x.
    CDrawContext(DrawingWindow* window, CView* frame, PixelSurface* surface);
    ~CDrawContext() override;

    // Lines leave out their last pixel, so that joined lines draw every pixel once. Above
    // 1x the pen is toDevice(width) device pixels wide (a one-pixel line is 2 pixels at 2x
    // and stays 1 at 1.5x, so that grid lines are equally thick wherever they fall): a
    // horizontal or vertical line runs along the device pixels of the logical pixels it
    // covers at 1x and is the pen's width across from the start of its logical pixel; a
    // slanted one is drawn in device pixels, so that curves stay sharp instead of stepping.
    void moveTo(Point point);
    void lineTo(Point point);
    // Each segment is drawn on its own: a move to its start, a line to its end.
    void drawLines(const LineSegment* segments, int32_t count);

    // Outlines (left, top) to (right - 1, bottom - 1) with the current pen.
    void frameRect(const Rect& rect);
    // Fills (left + 1, top + 1) to (right, bottom) exclusive with the fill colour: the top
    // row and the left column of the rectangle are not filled.
    void fillRect(const Rect& rect);

    // Width 0 and 1 draw one-pixel lines.
    void setLineWidth(int32_t width);
    int32_t getLineWidth() const { return lineWidth; }
    void setFrameColor(Color color);
    Color getFrameColor() const { return frameColor; }
    // The fill colour also fills the background of opaque text.
    void setFillColor(Color color);
    Color getFillColor() const { return fillColor; }
    void setFontColor(Color color);
    Color getFontColor() const { return fontColor; }

    // Index outside 0-7 selects font 0; size 0 selects the index's standard size; style is
    // a set of kFontStyle bits. Font 0 is always bold.
    void setFont(FontIndex index, int32_t size = 0, int32_t style = 0);
    FontIndex getFont() const { return fontIndex; }
    int32_t getFontSize() const { return fontSize; }
    int32_t getFontStyle() const { return fontStyle; }

    // One line of text in rect, vertically centred, clipped to rect, "&" drawn as is.
    // Alignment kAlignCenter or kAlignRight; any other value aligns left, one pixel in from
    // the left edge. Opaque text fills its background with the fill colour. Null draws nothing.
    void drawString(const char* text, const Rect& rect, bool opaque, int32_t alignment);

    // The clip rectangle is kept in frame coordinates (drawing offset added, logical
    // pixels); callers that need it in local coordinates subtract the offset, or use
    // getLocalClipRect.
    void setClipRect(const Rect& rect);
    Rect getClipRect() const { return clipRect; }
    Rect getLocalClipRect() const;
    // The clip becomes the frame's bounds, or (0, 0, 1000, 1000) without a frame, in
    // frame coordinates.
    void resetClipRect();

    // Copies rect of this surface (offset added) to the destination's surface at the
    // position (x, y) of its frame coordinates (no offset), inside the destination's clip.
    void copyRectTo(const Rect& rect, CDrawContext* destination, int32_t x, int32_t y);
    // Copies from the off-screen surface at sourcePoint (frame coordinates of that
    // surface) into destinationRect plus this context's offset.
    void copyFromOffscreen(const Rect& destinationRect, COffscreenContext* source, Point sourcePoint);

    // A local rectangle or point in device pixels of the surface (drawing offset added,
    // then scaled), saturated to the 32-bit range instead of wrapping.
    Rect toDevice(const Rect& local) const;
    Point toDevice(Point local) const;
    // The clip rectangle in device pixels of the surface.
    Rect getDeviceClipRect() const { return deviceClip; }
    DisplayScale getDisplayScale() const { return scale; }
    // The mouse position in local coordinates, from the cursor's screen position in device
    // pixels: the window's corner is taken off and the rest mapped to logical pixels.
    Point localMousePosition(Point screenCursor) const;

    Point getDrawOffset() const { return drawOffset; }
    void setDrawOffset(Point offset) { drawOffset = offset; }
    // Screen position of the window's top-left corner: mouse positions are screen
    // positions minus it. Asked of the window at the first use, as most contexts only
    // draw and the question may cost a round trip to the window system.
    Point getScreenOffset() const;
    void setScreenOffset(Point offset) { screenOffset = offset; }

    PixelSurface* getSurface() const { return surface; }
    DrawingWindow* getWindow() const { return window; }
    CView* getFrame() const { return frame; }
    const DrawObjectCounts& getObjectCounts() const { return objectCounts; }

    // [UI thread] The mouse buttons and modifier keys held down now.
    static MouseButtons getMouseButtons();

protected:
    // For off-screen contexts, which create their surface after this base.
    void attachSurface(PixelSurface* ownSurface) { surface = ownSurface; }
    void setFrameClip(const Rect& frameRect);

private:
    Rect defaultClip() const;
    Point windowCorner() const;
    void createPen();
    // A line between two points of frame coordinates (drawing offset added).
    void drawFrameLine(int64_t fromX, int64_t fromY, int64_t toX, int64_t toY);
    // A frame coordinate in device pixels.
    int64_t scaled(int64_t frameCoordinate) const;
    Rect scaledRect(int64_t left, int64_t top, int64_t right, int64_t bottom) const;

    DisplayScale scale = DisplayScale::Normal;
    // Where the window's top-left corner is on the screen, in device pixels, and the screen
    // offset, which starts there and moves by logical offsets as views are entered. Both
    // are asked of the window at first use (windowCorner).
    mutable std::optional<Point> windowOrigin;
    mutable std::optional<Point> screenOffset;
    Point drawOffset;
    PixelSurface* surface = nullptr;
    DrawingWindow* window = nullptr;
    CView* frame = nullptr;
    bool surfaceFromWindow = false;

    int32_t fontSize = -1;
    int32_t fontStyle = 0;
    FontIndex fontIndex = kFontCount;  // invalid, so that the first selection happens
    Color fontColor = kWhiteColor;
    Point penPosition;
    int32_t lineWidth = 0;
    Color frameColor = kWhiteColor;
    // Differs from the default black, so that setting the default builds the first brush.
    Color fillColor{0, 0, 0, 0};
    Rect clipRect;
    // clipRect in device pixels, which is what the surface operations clip to.
    Rect deviceClip;

    // The drawing objects in use, as built from the settings above.
    struct Pen {
        Pixel color = 0;
        int32_t width = 1;        // logical pixels
        int32_t deviceWidth = 1;  // device pixels, for slanted lines
    } pen;
    Pixel brush = 0;
    FontInstance* font = nullptr;

    DrawObjectCounts objectCounts;
};

}  // namespace VSTGUI
