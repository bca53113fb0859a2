#include "framework/COffscreenContext.h"

#include <algorithm>

namespace VSTGUI {

COffscreenContext::COffscreenContext(CView* ownerFrame, int32_t surfaceWidth, int32_t surfaceHeight, Color background)
    : CDrawContext(nullptr, ownerFrame, nullptr), width(surfaceWidth), height(surfaceHeight),
      backgroundColor(background), ownSurface(VSTGUI::toDevice(surfaceWidth, getDisplayScale()),
                                              VSTGUI::toDevice(surfaceHeight, getDisplayScale()), toPixel(background))
{
    attachSurface(&ownSurface);
    setFrameClip({std::min(0, width), std::min(0, height), std::max(0, width), std::max(0, height)});
    // The surface already holds the background; the colours are left set as filling and
    // outlining it with them would leave them.
    setFillColor(background);
    setFrameColor(background);
}

COffscreenContext::~COffscreenContext() = default;

}  // namespace VSTGUI
