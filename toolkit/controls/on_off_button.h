// A two-state button: each left press toggles the value between 0 (off) and 1 (on), and the
// button shows the upper (off) or the lower (on) half of its two-frame bitmap. Portable; no
// platform header.
#pragma once

#include "toolkit/controls/control.h"

#include <cstdint>

// When the listener hears of a press: after the idle pass that repaints the button, or before it.
enum COnOffButtonStyle : int32_t
{
    kNotifyAfterIdle = 0,
    kNotifyBeforeIdle = 1
};

class COnOffButton : public CControl
{
public:
    // background: the off frame on top, the on frame in the lower half; style: a
    // COnOffButtonStyle, any other value tells the listener nothing.
    COnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                 int32_t style = kNotifyAfterIdle);

    // Any value other than exactly 0 shows the on frame.
    void draw(CDrawContext* context) override;
    // Toggles on the press; a value between -1 and 1 (exclusive) counts as off.
    void trackMouse(CDrawContext* context, CPoint& where, int32_t buttons) override;
    bool isTypeOf(const char* name) const override;

    virtual int32_t getStyle() const { return style; }
    virtual void setStyle(int32_t value) { style = value; }

protected:
    void tellListener(CDrawContext* context);

    int32_t style = kNotifyAfterIdle;
};
