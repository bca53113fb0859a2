#include "framework/CParamDisplay.h"

#include "framework/CBitmap.h"
#include "framework/CDrawContext.h"

#include <cstdio>

namespace VSTGUI {

CParamDisplay::CParamDisplay(const Rect& bounds, CBitmap* bitmap, int32_t displayStyle)
    : CControl(bounds, nullptr, 0, bitmap), style(displayStyle)
{
    if (style & kNoDrawStyle) setDirty(false);
}

void CParamDisplay::valueText(char (&text)[kDisplayTextCapacity]) const
{
    text[0] = '\0';
    if (stringConvertWithData)
        stringConvertWithData(value, text, userData);
    else if (stringConvert)
        stringConvert(value, text);
    else
        std::snprintf(text, sizeof text, "%2.2f", static_cast<double>(value));
    text[kDisplayTextCapacity - 1] = '\0';
}

void CParamDisplay::draw(CDrawContext* context)
{
    char text[kDisplayTextCapacity];
    valueText(text);
    drawText(context, text);
}

void CParamDisplay::drawText(CDrawContext* context, const char* text)
{
    setDirty(false);
    if ((style & kNoDrawStyle) || !context) return;
    if (background) {
        drawBackgroundBitmap(context, backOffset);
    } else if (!transparent) {
        context->setFillColor(backColor);
        context->fillRect(size);
        if (!(style & (kNoFrame | k3DIn | k3DOut))) {
            context->setFrameColor(frameColor);
            context->frameRect(size);
        }
    }
    if (style & (k3DIn | k3DOut)) {
        context->setLineWidth(1);
        const bool in = (style & k3DIn) != 0;
        context->setFrameColor(in ? backColor : frameColor);
        context->moveTo({size.left, size.bottom - 1});
        context->lineTo({size.left, size.top + 1});
        context->lineTo({size.right - 1, size.top + 1});
        context->setFrameColor(in ? frameColor : backColor);
        context->moveTo({size.right - 1, size.top + 1});
        context->lineTo({size.right - 1, size.bottom - 1});
        context->lineTo({size.left, size.bottom - 1});
    }
    if ((style & kNoTextStyle) || text == nullptr || text[0] == '\0') return;
    const Rect saved = context->getLocalClipRect();
    context->setClipRect(size.intersected(saved));
    context->setFont(fontIndex, 0, fontStyle);
    if (style & kShadowText) {
        context->setFontColor(shadowColor);
        context->drawString(text, size.offsetBy(1, 1), !textTransparency, horiAlign);
    }
    context->setFontColor(fontColor);
    context->drawString(text, size, !textTransparency, horiAlign);
    context->setClipRect(saved);
}

bool CParamDisplay::isKindOf(const char* className) const
{
    return isClassName(className, "CParamDisplay") || CControl::isKindOf(className);
}

void CParamDisplay::setStringConvertWithData(StringConvertWithData function, void* data)
{
    stringConvertWithData = function;
    userData = data;
}

void CParamDisplay::setStringConvert(StringConvert function) { stringConvert = function; }

void CParamDisplay::setTextConvert(TextConvert function) { textConvert = function; }

void CParamDisplay::setStyle(int32_t newStyle) { setVisible(style, newStyle); }

void CParamDisplay::setFontStyle(int32_t newStyle) { setVisible(fontStyle, newStyle); }

void CParamDisplay::setTextTransparency(bool state) { textTransparency = state; }

}  // namespace VSTGUI
