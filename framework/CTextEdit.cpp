#include "framework/CTextEdit.h"

#include "framework/CDrawContext.h"
#include "framework/CFrame.h"

namespace VSTGUI {

const char kMsgLooseFocus[] = "LooseFocus";

CTextEdit::CTextEdit(const Rect& bounds, CControlListener* controlListener, int32_t controlTag, const char* initial,
                     CBitmap* bitmap, int32_t displayStyle)
    : CParamDisplay(bounds, bitmap, displayStyle)
{
    listener = controlListener;
    tag = controlTag;
    setText(initial);
}

void CTextEdit::setText(const char* newText)
{
    text.assign(newText ? newText : "");
    if (text.size() > kMaxLength) text.resize(kMaxLength);
    setDirty(true);
}

const char* CTextEdit::getText() const { return text.c_str(); }

void CTextEdit::draw(CDrawContext* context)
{
    if (!textConvert) {
        drawText(context, text.c_str());
        return;
    }
    char input[kMaxLength + 1] = {};
    text.copy(input, kMaxLength);
    char shown[kDisplayTextCapacity] = {};
    textConvert(input, shown);
    shown[kDisplayTextCapacity - 1] = '\0';
    drawText(context, shown);
}

void CTextEdit::handleMouse(CDrawContext* context, Point, MouseButtons buttons)
{
    if (!acceptsLeftClick(context, buttons)) return;
    // With the double-click style the first click only arms the field.
    if ((style & kDoubleClickStyle) && !registerClick()) return;
    openField(context);
}

void CTextEdit::openField(CDrawContext* context)
{
    platform::Window* window = parentFrame ? parentFrame->getWindow() : nullptr;
    if (!window) return;
    Point corner = size.topLeft();
    toFrame(corner);
    // The window places the field in its device pixels.
    const Rect field = parentFrame->frameToWindow(Rect::fromSize(corner, size.width(), size.height()));
    std::string edited = text;
    if (!window->editText(field, edited, kMaxLength)) return;
    const bool changed = edited != text;
    setText(edited.c_str());
    if (changed) notifyListener(context);
    if (parentView) parentView->notify(this, kMsgLooseFocus);
}

bool CTextEdit::isKindOf(const char* className) const
{
    return isClassName(className, "CTextEdit") || CParamDisplay::isKindOf(className);
}

}  // namespace VSTGUI
