#include "toolkit/controls/param_display.h"

#include "toolkit/core/bitmap.h"
#include "toolkit/core/draw_context.h"

#include <cstdio>
#include <cstring>

namespace
{
constexpr int32_t kBevelStyles = kSunkenStyle | kRaisedStyle;

// Stores a new setting; true when it changed.
template <typename T> bool store(T& member, const T& value)
{
    if (member == value) return false;
    member = value;
    return true;
}
} // namespace

CParamDisplay::CParamDisplay(const CRect& size, CBitmap* background, int32_t style)
    : CControl(size, nullptr, 0, background), style(style)
{
    backOffset = CPoint(0, 0);
    if (style & kInvisibleStyle) setDirty(false);
}

bool CParamDisplay::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CParamDisplay") == 0 || CControl::isTypeOf(name);
}

void CParamDisplay::setFontId(int32_t id)
{
    if (store(fontId, id)) setDirty(true);
}

void CParamDisplay::setFontColor(CColor color)
{
    if (store(fontColor, color)) setDirty(true);
}

void CParamDisplay::setBackColor(CColor color)
{
    if (store(backColor, color)) setDirty(true);
}

void CParamDisplay::setFrameColor(CColor color)
{
    if (store(frameColor, color)) setDirty(true);
}

void CParamDisplay::setShadowColor(CColor color)
{
    if (store(shadowColor, color)) setDirty(true);
}

void CParamDisplay::setTextAlignment(int32_t alignment)
{
    if (store(textAlignment, alignment)) setDirty(true);
}

void CParamDisplay::setValueToTextWithData(CValueToTextWithData function, void* data)
{
    valueToTextWithData = function;
    userData = data;
}

void CParamDisplay::setStyle(int32_t value)
{
    if (store(style, value)) setDirty(true);
}

void CParamDisplay::setFontStyle(int32_t value)
{
    if (store(fontStyle, value)) setDirty(true);
}

int32_t CParamDisplay::fontTableIndex() const
{
    return fontId >= 0 && fontId < kNumFonts ? fontId : kFontSystem;
}

bool CParamDisplay::convertValue(char* text) const
{
    if (valueToTextWithData)
        valueToTextWithData(value, text, userData);
    else if (valueToText)
        valueToText(value, text);
    else
        return false;
    return true;
}

void CParamDisplay::draw(CDrawContext* context)
{
    char text[kDisplayTextCapacity] = "";
    if (!convertValue(text)) std::snprintf(text, sizeof(text), "%2.2f", value);
    drawValueText(context, text);
}

void CParamDisplay::drawValueText(CDrawContext* context, const char* text, CBitmap* replacement)
{
    setDirty(false);
    if (style & kInvisibleStyle) return;
    drawBackground(context, replacement);
    if (style & kBevelStyles) drawBevel(context);
    if ((style & kHideTextStyle) || !text || !text[0]) return;
    drawText(context, text);
}

void CParamDisplay::drawBackground(CDrawContext* context, CBitmap* replacement)
{
    if (CBitmap* bitmap = replacement ? replacement : background)
    {
        drawViewBitmap(bitmap, context, size, backOffset, transparency);
        return;
    }
    if (transparency) return;
    context->setFillColor(backColor);
    context->fillRect(size);
    if (style & (kNoOutlineStyle | kBevelStyles)) return;
    context->setFrameColor(frameColor);
    context->drawRect(size, kStroke);
}

void CParamDisplay::drawBevel(CDrawContext* context)
{
    const bool sunken = (style & kSunkenStyle) != 0;
    const CRect r(size.left, size.top + 1, size.right - 1, size.bottom - 1);
    context->setLineWidth(1);
    context->setFrameColor(sunken ? backColor : frameColor);
    context->moveTo(CPoint(r.left, r.bottom));
    context->lineTo(CPoint(r.left, r.top));
    context->lineTo(CPoint(r.right, r.top));
    context->setFrameColor(sunken ? frameColor : backColor);
    context->moveTo(CPoint(r.right, r.top));
    context->lineTo(CPoint(r.right, r.bottom));
    context->lineTo(CPoint(r.left, r.bottom));
}

void CParamDisplay::drawText(CDrawContext* context, const char* text)
{
    CRect oldClip;
    context->getClipRect(oldClip);
    CRect clip = size;
    context->setClipRect(clip.bound(oldClip));
    context->setFont(fontId, 0, fontStyle);
    if (style & kShadowTextStyle)
    {
        CRect shadow = size;
        context->setFontColor(shadowColor);
        context->drawString(text, shadow.offset(1, 1), !textTransparency, textAlignment);
    }
    context->setFontColor(fontColor);
    context->drawString(text, size, !textTransparency, textAlignment);
    context->setClipRect(oldClip);
}
