#pragma once
// A draw context on a pixel surface of its own: containers and the frame draw into one
// and copy the finished pixels to the window in one block transfer. Its size is logical;
// the surface has the device pixels of the frame's display scale.

#include "framework/CDrawContext.h"
#include "framework/PixelSurface.h"

namespace VSTGUI {

class COffscreenContext : public CDrawContext {
public:
    // The new surface is uniformly the background colour; the clip is (0, 0, width,
    // height), the smaller coordinate first for negative sizes.
    COffscreenContext(CView* frame, int32_t width, int32_t height, Color background);
    ~COffscreenContext() override;

    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    Color getBackgroundColor() const { return backgroundColor; }
    const PixelSurface& pixels() const { return ownSurface; }

private:
    int32_t width;
    int32_t height;
    Color backgroundColor;
    PixelSurface ownSurface;
};

}  // namespace VSTGUI
