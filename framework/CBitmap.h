#pragma once
// One bitmap resource of the module, shared by reference count and blitted whole or as
// a sub-rectangle (a film-strip frame): opaquely, leaving out a transparent colour, or
// with a constant opacity. Sizes, destinations and source offsets are logical; a context
// that draws above 1x gets the artwork made for its scale, pixel for pixel, or, where the
// table has none, the 1x artwork enlarged by repeating pixels. The pixels are shared with
// every other bitmap of the same resource in the process.

#include "framework/CReferenceCounter.h"
#include "framework/DecodedBitmaps.h"
#include "framework/GraphicsTypes.h"
#include "framework/PixelSurface.h"

#include <array>
#include <cstdint>
#include <memory>

namespace VSTGUI {

class CDrawContext;

class CBitmap : public CReferenceCounter {
public:
    // Loads the resource; a missing or malformed one leaves the bitmap empty (0 x 0).
    explicit CBitmap(int32_t resourceId);
    ~CBitmap() override;

    // The destination rect is in the context's local coordinates; the source offset is the
    // top-left of the copied area inside the bitmap, which has the destination's size.
    virtual void draw(CDrawContext* context, const Rect& destination, Point sourceOffset);
    // As draw, leaving out the pixels whose RGB equals the transparent colour.
    virtual void drawTransparent(CDrawContext* context, const Rect& destination, Point sourceOffset);
    // As draw, blended over the destination with a constant opacity, 0-255.
    virtual void drawAlphaBlend(CDrawContext* context, const Rect& destination, Point sourceOffset, uint8_t opacity);
    virtual void unload();
    virtual bool loadFromResource(int32_t resourceId);
    // Platform image sources are not supported: the bitmap is unloaded and false returned.
    virtual bool loadFromPlatformSource(const void* source);

    // The size a bitmap of the resource would have, read from its headers without
    // decoding it; false for a missing or malformed resource.
    static bool resourceSize(int32_t resourceId, int32_t& width, int32_t& height);

    int32_t getResourceId() const { return resourceId; }
    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    bool isLoaded() const { return loaded; }
    // The logical height of one image of a film strip, 0 when the bitmap is one image. The
    // artwork above 1x gives every image whole device rows (filmStripDeviceRow), so a
    // source offset is found there image by image; controls that draw strips set it.
    void setImageHeight(int32_t logicalHeight) { imageHeight = logicalHeight; }
    int32_t getImageHeight() const { return imageHeight; }
    void setTransparentColor(Color color) { transparentColor = color; }
    Color getTransparentColor() const { return transparentColor; }
    // The colour at (x, y), black outside the bitmap.
    Color colorAt(int32_t x, int32_t y) const;
    // The 1x image shared with every other bitmap of the resource; null when not loaded.
    const DecodedBitmap* image() const { return decoded.get(); }
    // The artwork made for scale (device-sized), null when the table has none; loaded on
    // first use and kept while the bitmap lives.
    const DecodedBitmap* imageAt(DisplayScale scale);

private:
    // Draws with blit(target, source, sourceOffset, destination, clip) the parts of the
    // image that destination shows inside the context's clip.
    template <typename Blit>
    void drawWith(CDrawContext* context, const Rect& destination, Point sourceOffset, Blit blit);

    struct ScaledImage {
        bool looked = false;
        std::shared_ptr<const DecodedBitmap> image;
    };

    int32_t resourceId;
    int32_t width = 0;
    int32_t height = 0;
    int32_t imageHeight = 0;
    Color transparentColor = kTransparentColor;
    bool loaded = false;
    std::shared_ptr<const DecodedBitmap> decoded;
    // One slot for each scale of kDisplayScales above 1x.
    std::array<ScaledImage, std::size(kDisplayScales) - 1> scaledImages;
};

}  // namespace VSTGUI
