#pragma once
// A value display that shows a fixed text instead of its value.

#include "framework/CParamDisplay.h"

#include <optional>
#include <string>

namespace VSTGUI {

class CTextLabel : public CParamDisplay {
public:
    explicit CTextLabel(const Rect& size, const char* text = nullptr, CBitmap* background = nullptr, int32_t style = 0);

    void draw(CDrawContext* context) override;
    bool isKindOf(const char* className) const override;

    // Keeps a copy of text; null clears it.
    virtual void setText(const char* text);
    // The stored text, or null without one.
    virtual const char* getText() const;

private:
    std::optional<std::string> text;
};

}  // namespace VSTGUI
