#include "framework/CDrawContext.h"

#include "framework/COffscreenContext.h"
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

}  // namespace

CDrawContext::CDrawContext(DrawingWindow* drawingWindow, CView* ownerFrame, PixelSurface* givenSurface)
    : surface(givenSurface), window(drawingWindow), frame(ownerFrame)
{
    if (surface == nullptr && window != nullptr) {
        surface = window->acquireSurface();
        surfaceFromWindow = surface != nullptr;
    }
    clipRect = defaultClip();

    createPen();
    setLineWidth(1);
    setFillColor(kBlackColor);
    setFontColor(kWhiteColor);
    setFont(0, kStandardFonts[0].size, 0);
}

Point CDrawContext::getScreenOffset() const
{
    if (!screenOffset) screenOffset = window != nullptr ? window->screenOrigin() : Point{};
    return *screenOffset;
}

CDrawContext::~CDrawContext()
{
    if (surfaceFromWindow) window->releaseSurface(surface);
}

Rect CDrawContext::toDevice(const Rect& local) const
{
    return deviceRect(int64_t{local.left} + drawOffset.x, int64_t{local.top} + drawOffset.y,
                      int64_t{local.right} + drawOffset.x, int64_t{local.bottom} + drawOffset.y);
}

Point CDrawContext::toDevice(Point local) const
{
    return {saturate(int64_t{local.x} + drawOffset.x), saturate(int64_t{local.y} + drawOffset.y)};
}

Rect CDrawContext::defaultClip() const { return frame != nullptr ? frame->getBounds() : kClipWithoutFrame; }

void CDrawContext::drawDeviceLine(int64_t fromX, int64_t fromY, int64_t toX, int64_t toY)
{
    if (surface != nullptr) rasterizeLine(*surface, {fromX, fromY}, {toX, toY}, pen.width, clipRect, pen.color);
}

void CDrawContext::moveTo(Point point) { penPosition = point; }

void CDrawContext::lineTo(Point point)
{
    drawDeviceLine(int64_t{penPosition.x} + drawOffset.x, int64_t{penPosition.y} + drawOffset.y,
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
    drawDeviceLine(left, top, right, top);
    drawDeviceLine(right, top, right, bottom);
    drawDeviceLine(right, bottom, left, bottom);
    drawDeviceLine(left, bottom, left, top);
    penPosition = rect.topLeft();
}

void CDrawContext::fillRect(const Rect& rect)
{
    if (surface == nullptr) return;
    const Rect area = deviceRect(int64_t{rect.left} + 1 + drawOffset.x, int64_t{rect.top} + 1 + drawOffset.y,
                                 int64_t{rect.right} + drawOffset.x, int64_t{rect.bottom} + drawOffset.y);
    surface->fillRect(area, clipRect, brush);
}

void CDrawContext::createPen()
{
    pen = Pen{toPixel(frameColor), std::max(lineWidth, 1)};
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
    // A negative size asks for the same character height as a positive one.
    const int64_t pixels = std::abs(int64_t{size});
    const bool bold = standard.alwaysBold || (style & kFontStyleBold) != 0;
    font = &GlyphCache::font(bold, static_cast<int32_t>(std::min<int64_t>(pixels, GlyphCache::kMaxPixelSize)));
    ++objectCounts.fonts;
}

void CDrawContext::drawString(const char* text, const Rect& rect, bool opaque, int32_t alignment)
{
    if (text == nullptr || surface == nullptr || font == nullptr) return;
    const std::string_view line(text);
    int64_t left = int64_t{rect.left} + drawOffset.x;
    const int64_t top = int64_t{rect.top} + drawOffset.y;
    const int64_t right = int64_t{rect.right} + drawOffset.x;
    const int64_t bottom = int64_t{rect.bottom} + drawOffset.y;
    if (alignment != kAlignCenter && alignment != kAlignRight)
        ++left;  // left-aligned text keeps one pixel from the edge

    const int64_t width = font->textWidth(line);
    int64_t x = left;
    if (alignment == kAlignCenter)
        x = left + (right - left - width) / 2;
    else if (alignment == kAlignRight)
        x = right - width;
    const int64_t lineTop = top + (bottom - top - font->lineHeight()) / 2;
    const int64_t baseline = lineTop + font->ascent();

    // The text never leaves its rectangle.
    const Rect clip = deviceRect(left, top, right, bottom).intersected(clipRect);
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
    const Rect device = toDevice(rect);
    if (device == clipRect) return;
    clipRect = device;
    ++objectCounts.clipRegions;
}

Rect CDrawContext::getLocalClipRect() const { return clipRect.offsetBy(Point{} - drawOffset); }

void CDrawContext::resetClipRect()
{
    const Rect bounds = defaultClip();
    if (bounds == clipRect) return;
    clipRect = bounds;
    ++objectCounts.clipRegions;
}

void CDrawContext::copyRectTo(const Rect& rect, CDrawContext* destination, int32_t x, int32_t y)
{
    if (surface == nullptr || destination == nullptr || destination->surface == nullptr) return;
    const Rect source = toDevice(rect);
    const Rect target = deviceRect(x, y, int64_t{x} + source.width(), int64_t{y} + source.height());
    destination->surface->copyFrom(*surface, source.topLeft(), target, destination->clipRect);
}

void CDrawContext::copyFromOffscreen(const Rect& destinationRect, COffscreenContext* source, Point sourcePoint)
{
    if (surface == nullptr || source == nullptr || source->getSurface() == nullptr) return;
    surface->copyFrom(*source->getSurface(), sourcePoint, toDevice(destinationRect), clipRect);
}

}  // namespace VSTGUI
