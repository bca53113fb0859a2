#pragma once
// What a draw context needs from a window: its pixels and its place on the screen.
// Each platform back end implements it for the frame's window, so that nothing above
// the platform layer sees a window-system type.

#include "framework/GraphicsTypes.h"

namespace VSTGUI {

class PixelSurface;

class DrawingWindow {
public:
    // [UI thread] The surface that holds the window's pixels, or null when the window
    // has none. A draw context on the window acquires it once and releases it when done.
    virtual PixelSurface* acquireSurface() = 0;
    // [UI thread] Drawing on the acquired surface is finished: the back end may present it.
    virtual void releaseSurface(PixelSurface* surface) = 0;
    // [UI thread] Screen position of the window's top-left corner.
    virtual Point screenOrigin() const = 0;

protected:
    ~DrawingWindow() = default;
};

}  // namespace VSTGUI
