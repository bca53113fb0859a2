#include "framework/CDrawContext.h"

#include "framework/COffscreenContext.h"
#include "framework/CFrame.h"
#include "framework/CView.h"
#include "framework/DrawingWindow.h"
#include "framework/GlyphCache.h"
#include "framework/LineRasterizer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

namespace VSTGUI {

namespace {

// The clip of a context that has no frame to take it from.
constexpr Rect kClipWithoutFrame{0, 0, 1000, 1000};

int32_t saturate(int64_t value)
{
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

Rect deviceRect(int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    return {saturate(left), saturate(top), saturate(right), saturate(bottom)};
}

// The scale of the frame a context draws for; 1x without one.
DisplayScale scaleOf(CView* frame)
{
    const CFrame* root = frame != nullptr ? frame->getFrame() : nullptr;
    return root != nullptr ? root->getDisplayScale() : DisplayScale::Normal;
}

// A pen of the given logical width covers the square of that many pixels whose corner is
// this far up and left of each pixel of the path.
constexpr int64_t penReach(int32_t width) { return width / 2; }

}  // namespace

CDrawContext::CDrawContext(DrawingWindow* drawingWindow, CView* ownerFrame, PixelSurface* givenSurface)
    : scale(scaleOf(ownerFrame)), surface(givenSurface), window(drawingWindow), frame(ownerFrame)
{
    if (surface == nullptr && window != nullptr) {
        surface = window->acquireSurface();
        surfaceFromWindow = surface != nullptr;
    }
    setFrameClip(defaultClip());

    createPen();
    setLineWidth(1);
    setFillColor(kBlackColor);
    setFontColor(kWhiteColor);
    setFont(0, kStandardFonts[0].size, 0);
}

Point CDrawContext::getScreenOffset() const
{
    if (!screenOffset) screenOffset = windowCorner();
    return *screenOffset;
}

Point CDrawContext::windowCorner() const
{
    if (!windowOrigin) windowOrigin = window != nullptr ? window->screenOrigin() : Point{};
    return *windowOrigin;
}

CDrawContext::~CDrawContext()
{
    if (surfaceFromWindow) window->releaseSurface(surface);
}

int64_t CDrawContext::scaled(int64_t frameCoordinate) const { return VSTGUI::toDevice(frameCoordinate, scale); }

Rect CDrawContext::scaledRect(int64_t left, int64_t top, int64_t right, int64_t bottom) const
{
    return deviceRect(scaled(left), scaled(top), scaled(right), scaled(bottom));
}

Rect CDrawContext::toDevice(const Rect& local) const
{
    return scaledRect(int64_t{local.left} + drawOffset.x, int64_t{local.top} + drawOffset.y,
                      int64_t{local.right} + drawOffset.x, int64_t{local.bottom} + drawOffset.y);
}

Point CDrawContext::toDevice(Point local) const
{
    return {saturate(scaled(int64_t{local.x} + drawOffset.x)), saturate(scaled(int64_t{local.y} + drawOffset.y))};
}

Point CDrawContext::localMousePosition(Point screenCursor) const
{
    const Point corner = windowCorner();
    const Point offset = getScreenOffset();
    const int64_t deviceX = int64_t{screenCursor.x} - corner.x;
    const int64_t deviceY = int64_t{screenCursor.y} - corner.y;
    // The screen offset is the window's corner plus the logical offsets of the views entered.
    return {saturate(int64_t{VSTGUI::toLogical(saturate(deviceX), scale)} - (int64_t{offset.x} - corner.x)),
            saturate(int64_t{VSTGUI::toLogical(saturate(deviceY), scale)} - (int64_t{offset.y} - corner.y))};
}

Rect CDrawContext::defaultClip() const { return frame != nullptr ? frame->getBounds() : kClipWithoutFrame; }

void CDrawContext::setFrameClip(const Rect& frameRect)
{
    clipRect = frameRect;
    deviceClip = scaledRect(frameRect.left, frameRect.top, frameRect.right, frameRect.bottom);
}

void CDrawContext::drawFrameLine(int64_t fromX, int64_t fromY, int64_t toX, int64_t toY)
{
    if (surface == nullptr) return;
    const int32_t width = std::clamp(pen.width, 1, kMaxPenWidth);
    const bool includeEnd = width > 1;
    if (scale == DisplayScale::Normal) {
        rasterizeLine(*surface, {fromX, fromY}, {toX, toY}, width, deviceClip, pen.color, includeEnd);
        return;
    }
    const int64_t reach = penReach(width);
    if (fromX == toX || fromY == toY) {
        // Along the line, the device pixels of the logical pixels it covers at 1x, so that
        // joined lines meet; across it, the pen's device width from the start of its logical
        // pixel, so that parallel lines (a grid) are equally thick at 1.5x.
        const bool horizontal = fromY == toY;
        const int64_t from = horizontal ? fromX : fromY;
        const int64_t to = horizontal ? toX : toY;
        if (from == to && !includeEnd) return;
        // The path's pixels, the end left out for a one-pixel pen.
        const int64_t last = includeEnd ? to : to + (to > from ? -1 : 1);
        int64_t low = std::min(from, last);
        int64_t high = std::max(from, last) + 1;
        const int64_t across = horizontal ? fromY : fromX;
        const int64_t acrossLow = scaled(across - reach);
        const int64_t acrossHigh = acrossLow + pen.deviceWidth;
        const int64_t alongLow = scaled(low - reach);
        const int64_t alongHigh = scaled(high + width - 1 - reach);
        const Rect block = horizontal ? deviceRect(alongLow, acrossLow, alongHigh, acrossHigh)
                                      : deviceRect(acrossLow, alongLow, acrossHigh, alongHigh);
        surface->fillRect(block, deviceClip, pen.color);
        return;
    }
    // A slanted line runs between the centres of its end pixels' device blocks.
    const int64_t deviceReach = penReach(pen.deviceWidth);
    const auto centre = [&](int64_t coordinate) { return scaled(coordinate - reach) + deviceReach; };
    rasterizeLine(*surface, {centre(fromX), centre(fromY)}, {centre(toX), centre(toY)}, pen.deviceWidth, deviceClip,
                  pen.color, includeEnd);
}

void CDrawContext::moveTo(Point point) { penPosition = point; }

void CDrawContext::lineTo(Point point)
{
    drawFrameLine(int64_t{penPosition.x} + drawOffset.x, int64_t{penPosition.y} + drawOffset.y,
                  int64_t{point.x} + drawOffset.x, int64_t{point.y} + drawOffset.y);
    penPosition = point;
}

void CDrawContext::drawLines(const LineSegment* segments, int32_t count)
{
    if (segments == nullptr) return;
    for (int32_t i = 0; i < count; ++i) {
        moveTo(segments[i].start);
        lineTo(segments[i].end);
    }
}

void CDrawContext::frameRect(const Rect& rect)
{
    const int64_t left = int64_t{rect.left} + drawOffset.x;
    const int64_t top = int64_t{rect.top} + drawOffset.y;
    const int64_t right = int64_t{rect.right} - 1 + drawOffset.x;
    const int64_t bottom = int64_t{rect.bottom} - 1 + drawOffset.y;
    penPosition = rect.topLeft();
    if (scale != DisplayScale::Normal && surface != nullptr && pen.width <= 1) {
        // A ring of the pen's device width whose outer edge is the outer edge of the
        // logical outline, so that no side overhangs another.
        const int64_t outerLeft = scaled(left);
        const int64_t outerTop = scaled(top);
        const int64_t outerRight = std::max(scaled(right) + pen.deviceWidth, outerLeft);
        const int64_t outerBottom = std::max(scaled(bottom) + pen.deviceWidth, outerTop);
        const int64_t thickness = pen.deviceWidth;
        surface->fillRect(deviceRect(outerLeft, outerTop, outerRight, outerTop + thickness), deviceClip, pen.color);
        surface->fillRect(deviceRect(outerLeft, outerBottom - thickness, outerRight, outerBottom), deviceClip,
                          pen.color);
        surface->fillRect(deviceRect(outerLeft, outerTop, outerLeft + thickness, outerBottom), deviceClip, pen.color);
        surface->fillRect(deviceRect(outerRight - thickness, outerTop, outerRight, outerBottom), deviceClip, pen.color);
        return;
    }
    drawFrameLine(left, top, right, top);
    drawFrameLine(right, top, right, bottom);
    drawFrameLine(right, bottom, left, bottom);
    drawFrameLine(left, bottom, left, top);
}

void CDrawContext::fillRect(const Rect& rect)
{
    if (surface == nullptr) return;
    const Rect area = scaledRect(int64_t{rect.left} + 1 + drawOffset.x, int64_t{rect.top} + 1 + drawOffset.y,
                                 int64_t{rect.right} + drawOffset.x, int64_t{rect.bottom} + drawOffset.y);
    surface->fillRect(area, deviceClip, brush);
}

void CDrawContext::createPen()
{
    const int32_t width = std::max(lineWidth, 1);
    pen = Pen{toPixel(frameColor), width, std::clamp(VSTGUI::toDevice(width, scale), 1, kMaxPenWidth)};
    ++objectCounts.pens;
}

void CDrawContext::setLineWidth(int32_t width)
{
    if (width == lineWidth) return;
    lineWidth = width;
    createPen();
}

void CDrawContext::setFrameColor(Color color)
{
    if (color == frameColor) return;
    frameColor = color;
    createPen();
}

void CDrawContext::setFillColor(Color color)
{
    if (color == fillColor) return;
    fillColor = color;
    brush = toPixel(color);
    ++objectCounts.brushes;
}

void CDrawContext::setFontColor(Color color) { fontColor = color; }

void CDrawContext::setFont(FontIndex index, int32_t size, int32_t style)
{
    if (index < 0 || index >= kFontCount) index = 0;
    const StandardFont& standard = kStandardFonts[static_cast<std::size_t>(index)];
    if (size == 0) size = standard.size;
    if (index == fontIndex && size == fontSize && style == fontStyle) return;
    fontIndex = index;
    fontSize = size;
    fontStyle = style;
    // A negative size asks for the same character height as a positive one. Glyphs are
    // rasterised at the device size, to the nearest pixel, never enlarged.
    const int64_t pixels = std::llround(static_cast<double>(std::abs(int64_t{size})) * factor(scale));
    const bool bold = standard.alwaysBold || (style & kFontStyleBold) != 0;
    font = &GlyphCache::font(bold, static_cast<int32_t>(std::min<int64_t>(pixels, GlyphCache::kMaxPixelSize)));
    ++objectCounts.fonts;
}

void CDrawContext::drawString(const char* text, const Rect& rect, bool opaque, int32_t alignment)
{
    if (text == nullptr || surface == nullptr || font == nullptr) return;
    const std::string_view line(text);
    // Left-aligned text keeps one logical pixel from the edge.
    const bool alignedLeft = alignment != kAlignCenter && alignment != kAlignRight;
    const int64_t left = scaled(int64_t{rect.left} + drawOffset.x + (alignedLeft ? 1 : 0));
    const int64_t top = scaled(int64_t{rect.top} + drawOffset.y);
    const int64_t right = scaled(int64_t{rect.right} + drawOffset.x);
    const int64_t bottom = scaled(int64_t{rect.bottom} + drawOffset.y);

    const int64_t width = font->textWidth(line);
    int64_t x = left;
    if (alignment == kAlignCenter)
        x = left + (right - left - width) / 2;
    else if (alignment == kAlignRight)
        x = right - width;
    const int64_t lineTop = top + (bottom - top - font->lineHeight()) / 2;
    const int64_t baseline = lineTop + font->ascent();

    // The text never leaves its rectangle.
    const Rect clip = deviceRect(left, top, right, bottom).intersected(deviceClip);
    if (clip.isEmpty()) return;
    const Pixel color = toPixel(fontColor);
    if (opaque) surface->fillRect(deviceRect(x, lineTop, x + width, lineTop + font->lineHeight()), clip, brush);

    // A glyph reaches at most one character height beyond its advance on either side.
    const int64_t reach = font->pixelSize();
    int64_t penX = x;
    for (const char byte : line) {
        const auto character = static_cast<unsigned char>(byte);
        if (penX - reach >= clip.right) break;
        if (penX + font->advance(character) + reach > clip.left) {
            const Glyph& glyph = font->glyph(character);
            surface->blendMask(glyph.coverage.data(), glyph.width, glyph.height,
                               {saturate(penX + glyph.left), saturate(baseline + glyph.top)}, clip, color);
        }
        penX += font->advance(character);
    }
    if ((fontStyle & kFontStyleUnderline) != 0) {
        const int64_t underline = baseline + font->underlineOffset();
        surface->fillRect(deviceRect(x, underline, x + width, underline + font->underlineThickness()), clip, color);
    }
}

void CDrawContext::setClipRect(const Rect& rect)
{
    const Rect frameRect = deviceRect(int64_t{rect.left} + drawOffset.x, int64_t{rect.top} + drawOffset.y,
                                      int64_t{rect.right} + drawOffset.x, int64_t{rect.bottom} + drawOffset.y);
    if (frameRect == clipRect) return;
    setFrameClip(frameRect);
    ++objectCounts.clipRegions;
}

Rect CDrawContext::getLocalClipRect() const { return clipRect.offsetBy(Point{} - drawOffset); }

void CDrawContext::resetClipRect()
{
    const Rect bounds = defaultClip();
    if (bounds == clipRect) return;
    setFrameClip(bounds);
    ++objectCounts.clipRegions;
}

void CDrawContext::copyRectTo(const Rect& rect, CDrawContext* destination, int32_t x, int32_t y)
{
    if (surface == nullptr || destination == nullptr || destination->surface == nullptr) return;
    const Rect source = toDevice(rect);
    const int64_t targetX = destination->scaled(x);
    const int64_t targetY = destination->scaled(y);
    const Rect target = deviceRect(targetX, targetY, targetX + source.width(), targetY + source.height());
    destination->surface->copyFrom(*surface, source.topLeft(), target, destination->deviceClip);
}

void CDrawContext::copyFromOffscreen(const Rect& destinationRect, COffscreenContext* source, Point sourcePoint)
{
    if (surface == nullptr || source == nullptr || source->getSurface() == nullptr) return;
    const Point sourceDevice{saturate(source->scaled(sourcePoint.x)), saturate(source->scaled(sourcePoint.y))};
    surface->copyFrom(*source->getSurface(), sourceDevice, toDevice(destinationRect), deviceClip);
}

}  // namespace VSTGUI
