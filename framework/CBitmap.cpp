#include "framework/CBitmap.h"

#include "framework/BitmapResources.h"
#include "framework/BmpDecoder.h"
#include "framework/DecodedBitmaps.h"
#include "framework/CDrawContext.h"

#include <algorithm>
#include <vector>

namespace VSTGUI {
namespace {

const BitmapResource* findResource(int32_t id, DisplayScale scale)
{
    const auto resources = bitmapResources();
    const auto found = std::find_if(resources.begin(), resources.end(),
                                    [id, scale](const BitmapResource& r) { return r.id == id && r.scale == scale; });
    return found != resources.end() && found->data != nullptr ? &*found : nullptr;
}

// Draws with blit once for each band of image that device shows inside clip, so that only
// those bands are decoded. device, clip and sourceOffset are in the image's pixels.
template <typename Blit>
void drawBands(PixelSurface& target, const DecodedBitmap& image, const Rect& device, Point sourceOffset,
               const Rect& clip, Blit blit)
{
    // The source rows that land inside the clip; rows outside the image are left out, as
    // the blits leave them.
    const int64_t shown = std::min<int64_t>(device.bottom, clip.bottom) - device.top;
    const int64_t hidden = std::max<int64_t>(int64_t{clip.top} - device.top, 0);
    const int64_t firstRow = std::max<int64_t>(int64_t{sourceOffset.y} + hidden, 0);
    const int64_t endRow = std::min<int64_t>(int64_t{sourceOffset.y} + shown, image.height());
    constexpr int64_t kBand = DecodedBitmap::kBandHeight;
    for (int64_t row = firstRow; row < endRow;) {
        const int64_t bandTop = row / kBand * kBand;
        const int64_t bandEnd = std::min(bandTop + kBand, endRow);
        const auto top = static_cast<int32_t>(device.top + (row - sourceOffset.y));
        const auto bottom = static_cast<int32_t>(device.top + (bandEnd - sourceOffset.y));
        blit(target, image.band(static_cast<int32_t>(row / kBand)),
             Point{sourceOffset.x, static_cast<int32_t>(row - bandTop)}, Rect{device.left, top, device.right, bottom},
             clip);
        row = bandEnd;
    }
}

// The logical image's pixels repeated over the device pixels of each logical pixel: every
// device pixel shows the source pixel of the logical pixel that contains it. Row by row,
// through blit, so that each draw mode works as it does at 1x; a source row is gathered
// once for all the device rows that show it.
template <typename Blit>
void drawEnlarged(PixelSurface& target, const DecodedBitmap& image, const Rect& device, int64_t frameLeft,
                  int64_t frameTop, Point sourceOffset, const Rect& clip, DisplayScale scale, Blit blit)
{
    const Rect area = device.intersected(clip).intersected(target.bounds());
    if (area.isEmpty()) return;
    const auto sourceAt = [scale](int32_t deviceCoordinate, int64_t frameStart, int32_t offset) {
        return int64_t{offset} + toLogical(deviceCoordinate, scale) - frameStart;
    };
    // Source columns run on with the device columns, so those inside the image are one run.
    std::vector<int32_t> columns;
    int32_t left = area.right;
    for (int32_t x = area.left; x < area.right; ++x) {
        const int64_t column = sourceAt(x, frameLeft, sourceOffset.x);
        if (column < 0 || column >= image.width()) continue;
        if (columns.empty()) left = x;
        columns.push_back(static_cast<int32_t>(column));
    }
    if (columns.empty()) return;
    const auto right = static_cast<int32_t>(left + static_cast<int32_t>(columns.size()));
    PixelSurface rowPixels(right - left, 1);
    constexpr int64_t kBand = DecodedBitmap::kBandHeight;
    int64_t gathered = -1;
    for (int32_t y = area.top; y < area.bottom; ++y) {
        const int64_t sourceRow = sourceAt(y, frameTop, sourceOffset.y);
        if (sourceRow < 0 || sourceRow >= image.height()) continue;
        if (sourceRow != gathered) {
            const Pixel* source =
                image.band(static_cast<int32_t>(sourceRow / kBand)).row(static_cast<int32_t>(sourceRow % kBand));
            Pixel* enlarged = rowPixels.row(0);
            for (std::size_t i = 0; i < columns.size(); ++i) enlarged[i] = source[columns[i]];
            gathered = sourceRow;
        }
        blit(target, rowPixels, Point{}, Rect{left, y, right, y + 1}, clip);
    }
}

// Where a source offset (a film-strip frame's corner) lies in the artwork made for scale.
Point scaledSourceOffset(Point sourceOffset, int32_t imageHeight, DisplayScale scale)
{
    return {toDevice(sourceOffset.x, scale), filmStripDeviceRow(sourceOffset.y, imageHeight, scale)};
}

}  // namespace

CBitmap::CBitmap(int32_t id) : resourceId(id) { loadFromResource(id); }

CBitmap::~CBitmap() = default;

const DecodedBitmap* CBitmap::imageAt(DisplayScale scale)
{
    if (scale == DisplayScale::Normal) return decoded.get();
    if (!loaded) return nullptr;
    std::size_t slot = 0;
    while (slot < scaledImages.size() && kDisplayScales[slot + 1] != scale) ++slot;
    if (slot == scaledImages.size()) return nullptr;
    ScaledImage& scaled = scaledImages[slot];
    if (!scaled.looked) {
        scaled.looked = true;
        if (const BitmapResource* found = findResource(resourceId, scale)) scaled.image = decodedBitmap(*found);
    }
    return scaled.image.get();
}

template <typename Blit>
void CBitmap::drawWith(CDrawContext* context, const Rect& destination, Point sourceOffset, Blit blit)
{
    if (!loaded || context == nullptr || context->getSurface() == nullptr) return;
    PixelSurface& target = *context->getSurface();
    const DisplayScale scale = context->getDisplayScale();
    const Rect device = context->toDevice(destination);
    const Rect clip = context->getDeviceClipRect();
    if (const DecodedBitmap* artwork = imageAt(scale)) {
        drawBands(target, *artwork, device,
                  scaledSourceOffset(sourceOffset, imageHeight > 0 ? imageHeight : height, scale), clip, blit);
        return;
    }
    const Point offset = context->getDrawOffset();
    drawEnlarged(target, *decoded, device, int64_t{destination.left} + offset.x, int64_t{destination.top} + offset.y,
                 sourceOffset, clip, scale, blit);
}

void CBitmap::draw(CDrawContext* context, const Rect& destination, Point sourceOffset)
{
    drawWith(context, destination, sourceOffset,
             [](PixelSurface& target, PixelRows band, Point offset, const Rect& part, const Rect& clip) {
                 target.copyFrom(band, offset, part, clip);
             });
}

void CBitmap::drawTransparent(CDrawContext* context, const Rect& destination, Point sourceOffset)
{
    const Pixel transparent = toPixel(transparentColor);
    drawWith(context, destination, sourceOffset,
             [transparent](PixelSurface& target, PixelRows band, Point offset, const Rect& part, const Rect& clip) {
                 target.copyTransparentFrom(band, offset, part, clip, transparent);
             });
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const Rect& destination, Point sourceOffset, uint8_t opacity)
{
    drawWith(context, destination, sourceOffset,
             [opacity](PixelSurface& target, PixelRows band, Point offset, const Rect& part, const Rect& clip) {
                 target.blendFrom(band, offset, part, clip, opacity);
             });
}

void CBitmap::unload()
{
    decoded.reset();
    scaledImages = {};
    width = 0;
    height = 0;
    loaded = false;
}

bool CBitmap::loadFromResource(int32_t id)
{
    unload();
    resourceId = id;
    const BitmapResource* found = findResource(id, DisplayScale::Normal);
    if (found == nullptr) return false;
    decoded = decodedBitmap(*found);
    if (decoded == nullptr) return false;
    width = decoded->width();
    height = decoded->height();
    loaded = true;
    return true;
}

bool CBitmap::resourceSize(int32_t id, int32_t& width, int32_t& height)
{
    const BitmapResource* found = findResource(id, DisplayScale::Normal);
    return found != nullptr && readBmpSize({found->data, found->size}, width, height);
}

Color CBitmap::colorAt(int32_t x, int32_t y) const { return decoded != nullptr ? decoded->colorAt(x, y) : toColor(0); }

bool CBitmap::loadFromPlatformSource(const void*)
{
    unload();
    return false;
}

}  // namespace VSTGUI
