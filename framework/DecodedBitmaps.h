#pragma once
// The pixels of the module's bitmap resources, shared by every bitmap of the same resource
// in the process: a host with the plug-in on every track keeps one copy of the skin, not
// one per editor, and an editor opened beside another one decodes nothing. Artwork stored
// as the surfaces hold pixels (the skin at its own size) is read where it lies in the
// library: no memory of ours, no decoding, its pages shared with every process. Other
// artwork is decoded in bands of rows as draws first reach them, so a film strip costs only
// the frames shown and a first opening touches no memory for pixels nobody has looked at.
// An image lives as long as some bitmap holds it.

#include "framework/BitmapResources.h"
#include "framework/PackedImage.h"
#include "framework/PixelSurface.h"

#include <cstddef>
#include <memory>
#include <mutex>
#include <span>
#include <variant>

namespace VSTGUI {

class DecodedBitmap {
public:
    static constexpr int32_t kBandHeight = 32;

    // The file must be well formed (readBmpSize succeeded on it) and outlive the image.
    DecodedBitmap(std::span<const unsigned char> file, int32_t width, int32_t height);
    // Pixels read where they are stored; they outlive the image.
    explicit DecodedBitmap(PixelRows stored);
    // The artwork of a larger scale, packed; its header parsed, its bytes outlive the image.
    // Every band decodes on its own, so laziness and the once-per-band rule are the same.
    explicit DecodedBitmap(packed::PackedImage image);

    int32_t width() const { return imageWidth; }
    int32_t height() const { return imageHeight; }
    // [any thread] The rows from index * kBandHeight on (kBandHeight of them, fewer in the
    // last band), decoded by the first caller. Once decoded a band is never written again;
    // the view stays valid while the image lives.
    PixelRows band(int32_t index) const;
    // [any thread] The colour at (x, y), black outside the image.
    Color colorAt(int32_t x, int32_t y) const;

private:
    struct Band {
        // call_once lets exactly one caller decode; it publishes the pixels to every other
        // caller, which waits for the decoding or finds it done.
        mutable std::once_flag decoded;
        mutable PixelSurface pixels;
    };
    // The stored bytes: a .bmp file or a packed image, decoded band by band, or pixels read
    // in place (no bands then).
    std::variant<std::span<const unsigned char>, packed::PackedImage, PixelRows> source;
    int32_t imageWidth;
    int32_t imageHeight;
    std::unique_ptr<Band[]> bands;
};

// [any thread] The resource's image, or null when its headers do not read: a .bmp file at
// any scale (read in place where it stores the pixels as surfaces hold them) or a packed
// image (the stored form of the larger scales). No pixel is decoded yet; a band whose
// packed bits are damaged decodes black.
std::shared_ptr<const DecodedBitmap> decodedBitmap(const BitmapResource& resource);

// [any thread] How many images are alive in the process: what the bitmaps cost.
std::size_t decodedBitmapCount();

}  // namespace VSTGUI
