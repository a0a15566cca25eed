#include "toolkit/controls/on_off_button.h"

#include "toolkit/core/bitmap.h"

#include <cstring>

COnOffButton::COnOffButton(const CRect& size, CControlListener* listener, int32_t tag,
                           CBitmap* background, int32_t style)
    : CControl(size, listener, tag, background), style(style)
{
}

bool COnOffButton::isTypeOf(const char* name) const
{
    return std::strcmp(name, "COnOffButton") == 0 || CControl::isTypeOf(name);
}

void COnOffButton::draw(CDrawContext* context)
{
    if (background)
    {
        const int32_t frameOffset = value == 0.0f ? 0 : background->getHeight() / 2;
        drawViewBitmap(background, context, size, CPoint(0, frameOffset), transparency);
    }
    setDirty(false);
}

void COnOffButton::trackMouse(CDrawContext* context, CPoint&, int32_t buttons)
{
    if (!getMouseEnabled()) return;
    buttons = resolveButtons(context, buttons);
    if (!(buttons & kLeftButton)) return;
    if (modifierClickTaken(context, buttons)) return;

    // The values whose integer part is 0; NaN counts as on.
    const bool off = value > -1.0f && value < 1.0f;
    value = off ? 1.0f : 0.0f;
    if (style == kNotifyBeforeIdle) tellListener(context);
    idleNow();
    if (style == kNotifyAfterIdle) tellListener(context);
}

void COnOffButton::tellListener(CDrawContext* context)
{
    if (!listener) return;
    beginEdit();
    listener->valueChanged(context, this);
    endEdit();
}
