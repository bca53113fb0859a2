#include "framework/CTextLabel.h"

namespace VSTGUI {

CTextLabel::CTextLabel(const Rect& bounds, const char* initial, CBitmap* bitmap, int32_t displayStyle)
    : CParamDisplay(bounds, bitmap, displayStyle)
{
    setText(initial);
}

void CTextLabel::setText(const char* newText)
{
    if (newText)
        text.emplace(newText);
    else
        text.reset();
    setDirty(true);
}

const char* CTextLabel::getText() const { return text ? text->c_str() : nullptr; }

void CTextLabel::draw(CDrawContext* context) { drawText(context, getText()); }

bool CTextLabel::isKindOf(const char* className) const
{
    return isClassName(className, "CTextLabel") || CParamDisplay::isKindOf(className);
}

}  // namespace VSTGUI
