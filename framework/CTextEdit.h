#pragma once
// A text field: a click (or a double click with kDoubleClickStyle) opens the platform's
// edit field over it; when that closes, the text is copied back, the listener hears of a
// change, and the parent is told "LooseFocus".

#include "framework/CParamDisplay.h"

#include <string>

namespace VSTGUI {

// The message a text edit sends its parent when its edit field closes.
extern const char kMsgLooseFocus[];

class CTextEdit : public CParamDisplay {
public:
    // Text longer than this is cut.
    static constexpr std::size_t kMaxLength = 255;

    CTextEdit(const Rect& size, CControlListener* listener, int32_t tag, const char* text = nullptr,
              CBitmap* background = nullptr, int32_t style = 0);

    void draw(CDrawContext* context) override;
    void handleMouse(CDrawContext* context, Point where, MouseButtons buttons) override;
    bool isKindOf(const char* className) const override;

    virtual void setText(const char* text);
    virtual const char* getText() const;

private:
    void openField(CDrawContext* context);

    std::string text;
};

}  // namespace VSTGUI
