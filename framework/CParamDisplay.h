#pragma once
// A text display of a value: the value is turned into text by a conversion function (or
// "%2.2f") and drawn over a filled, framed or 3D-edged background. It ignores the mouse,
// the wheel and keys.

#include "framework/CControl.h"

namespace VSTGUI {

// Writes the text of a value into a buffer of at least kDisplayTextCapacity bytes.
using StringConvert = void (*)(float value, char* text);
using StringConvertWithData = void (*)(float value, char* text, void* userData);
// Turns entered text into stored text (text edits).
using TextConvert = void (*)(char* input, char* output);

inline constexpr std::size_t kDisplayTextCapacity = 256;

// DisplayStyle bits with an effect; other bits are stored without one.
inline constexpr int32_t kShadowText = 0x4;
inline constexpr int32_t k3DIn = 0x80;
inline constexpr int32_t k3DOut = 0x100;
inline constexpr int32_t kNoTextStyle = 0x800;
inline constexpr int32_t kNoDrawStyle = 0x1000;
inline constexpr int32_t kDoubleClickStyle = 0x2000;
inline constexpr int32_t kNoFrame = 0x4000;

class CParamDisplay : public CControl {
public:
    explicit CParamDisplay(const Rect& size, CBitmap* background = nullptr, int32_t style = 0);

    void draw(CDrawContext* context) override;
    bool isKindOf(const char* className) const override;

    virtual void setFont(FontIndex index) { setVisible(fontIndex, index); }
    virtual void setFontColor(Color color) { setVisible(fontColor, color); }
    virtual void setBackColor(Color color) { setVisible(backColor, color); }
    virtual void setFrameColor(Color color) { setVisible(frameColor, color); }
    virtual void setShadowColor(Color color) { setVisible(shadowColor, color); }
    virtual void setHoriAlign(int32_t align) { setVisible(horiAlign, align); }
    virtual void setStringConvertWithData(StringConvertWithData function, void* userData);
    virtual void setStringConvert(StringConvert function);
    virtual void setTextConvert(TextConvert function);
    virtual void setStyle(int32_t newStyle);
    virtual void setFontStyle(int32_t newStyle);
    virtual void setTextTransparency(bool state);

    FontIndex getFont() const { return fontIndex; }
    Color getFontColor() const { return fontColor; }
    Color getBackColor() const { return backColor; }
    Color getFrameColor() const { return frameColor; }
    Color getShadowColor() const { return shadowColor; }
    int32_t getHoriAlign() const { return horiAlign; }
    int32_t getStyle() const { return style; }
    int32_t getFontStyle() const { return fontStyle; }
    bool getTextTransparency() const { return textTransparency; }

protected:
    // The display's drawing after the text is known: background, edges, text.
    void drawText(CDrawContext* context, const char* text);
    // The text of the current value.
    void valueText(char (&text)[kDisplayTextCapacity]) const;
    // Stores value and marks the display dirty when it changed.
    template <typename T>
    void setVisible(T& field, const T& newValue)
    {
        if (field == newValue) return;
        field = newValue;
        setDirty(true);
    }

    StringConvert stringConvert = nullptr;
    StringConvertWithData stringConvertWithData = nullptr;
    TextConvert textConvert = nullptr;
    void* userData = nullptr;
    int32_t horiAlign = kAlignCenter;
    int32_t style;
    FontIndex fontIndex = 3;
    int32_t fontStyle = 0;
    Color fontColor = kWhiteColor;
    Color backColor = kBlackColor;
    Color frameColor = kBlackColor;
    Color shadowColor = kRedColor;
    bool textTransparency = true;
};

}  // namespace VSTGUI
