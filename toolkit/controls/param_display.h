// A control that shows its value as text inside its rectangle, over a background bitmap or a
// filled and outlined box, optionally with a bevel and a text shadow. The text comes from a
// value-to-text function of the owner, or "%2.2f". Portable; no platform header.
#pragma once

#include "toolkit/controls/control.h"

#include <cstdint>

// Texts of the displays hold at most this many bytes with the terminating zero.
constexpr int32_t kDisplayTextCapacity = 256;

// Write a zero-terminated text of at most 255 characters.
using CValueToText = void (*)(float value, char* text);
using CValueToTextWithData = void (*)(float value, char* text, void* userData);

// Bits of a display's style.
enum CParamDisplayStyle : int32_t
{
    kShadowTextStyle = 0x4,   // the text is drawn once more, one pixel right and down, first
    kSunkenStyle = 0x80,      // a sunken one-pixel bevel instead of the outline
    kRaisedStyle = 0x100,     // a raised one-pixel bevel instead of the outline
    kHideTextStyle = 0x800,   // no text
    kInvisibleStyle = 0x1000, // nothing at all, and never dirty from the start
    kEditOnDoubleClickStyle = 0x2000, // a text field opens only on a double click
    kNoOutlineStyle = 0x4000          // no outline around the filled box
};

class CParamDisplay : public CControl
{
public:
    CParamDisplay(const CRect& size, CBitmap* background = nullptr, int32_t style = 0);

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* name) const override;

    // Each setter marks the display dirty when the stored value changes.
    virtual void setFontId(int32_t id);
    virtual void setFontColor(CColor color);
    virtual void setBackColor(CColor color);
    virtual void setFrameColor(CColor color);
    virtual void setShadowColor(CColor color);
    // kAlignLeft, kAlignCenter or kAlignRight.
    virtual void setTextAlignment(int32_t alignment);
    virtual void setValueToText(CValueToText function) { valueToText = function; }
    // Takes precedence over the plain function.
    virtual void setValueToTextWithData(CValueToTextWithData function, void* data);
    virtual void setStyle(int32_t value);
    // kStyleBold, kStyleItalic, kStyleUnderline.
    virtual void setFontStyle(int32_t value);
    // True: the text has no background box of its own.
    virtual void setTextTransparency(bool value) { textTransparency = value; }

    int32_t getFontId() const { return fontId; }
    CColor getFontColor() const { return fontColor; }
    CColor getBackColor() const { return backColor; }
    CColor getFrameColor() const { return frameColor; }
    CColor getShadowColor() const { return shadowColor; }
    int32_t getTextAlignment() const { return textAlignment; }
    int32_t getStyle() const { return style; }
    int32_t getFontStyle() const { return fontStyle; }
    bool getTextTransparency() const { return textTransparency; }

protected:
    // Draws the background, the bevel and the text into the control's rectangle; replacement,
    // when given, is drawn instead of the background bitmap.
    void drawValueText(CDrawContext* context, const char* text, CBitmap* replacement = nullptr);
    void drawBackground(CDrawContext* context, CBitmap* replacement);
    void drawBevel(CDrawContext* context);
    void drawText(CDrawContext* context, const char* text);
    // The value through the conversion set; false when none is set.
    bool convertValue(char* text) const;
    // The entry of the font table for fontId (an unknown id is the system font).
    int32_t fontTableIndex() const;

    CValueToText valueToText = nullptr;
    CValueToTextWithData valueToTextWithData = nullptr;
    void* userData = nullptr;
    int32_t textAlignment = kAlignCenter;
    int32_t style = 0;
    int32_t fontId = kFontNormal;
    int32_t fontStyle = 0;
    CColor fontColor = kColorWhite;
    CColor backColor = kColorBlack;
    CColor frameColor = kColorBlack;
    CColor shadowColor = kColorRed;
    bool textTransparency = true;
};
