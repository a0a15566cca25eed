// The rotary knob: dragged along a circle or in a straight line (the host's knob mode, inverted
// by alt), turned by the wheel and the arrow keys, reset by a control-click. CAnimKnob draws it as
// one frame of a vertical film strip chosen by the value. Angles are counter-clockwise from the
// positive horizontal axis with the vertical axis pointing up; by default the minimum sits at the
// lower left, the maximum at the lower right, and a 90 degree gap lies between them at the bottom.
// Portable; no platform header.
#pragma once

#include "toolkit/controls/control.h"

#include <cstdint>

class CKnob : public CControl
{
public:
    // background: drawn from offset; handle: drawn as the handle instead of two lines (either may
    // be null).
    CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
          CBitmap* handle, const CPoint& offset = CPoint());
    ~CKnob() override;

    void draw(CDrawContext* context) override;
    // A drag in a polling loop of its own until the left button is released.
    void trackMouse(CDrawContext* context, CPoint& where, int32_t buttons) override;
    // Arrow keys move the value by the wheel increment (a tenth of it with shift).
    int32_t onKeyDown(VstKeyCode& key) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    bool isTypeOf(const char* name) const override;

    virtual void drawHandle(CDrawContext* context);
    virtual void setStartAngle(float angle);
    virtual float getStartAngle() const { return startAngle; }
    // Signed sweep from the minimum to the maximum; negative turns clockwise.
    virtual void setRangeAngle(float angle);
    virtual float getRangeAngle() const { return rangeAngle; }
    // The handle's point on the knob for the value, relative to the control's top-left corner.
    virtual void valueToPoint(CPoint& point) const;
    // The value for a point relative to the control's top-left corner; the gap gives the end
    // on its side.
    virtual float valueFromPoint(const CPoint& point) const;
    virtual void setHandleInset(int32_t inset) { handleInset = inset; }
    virtual void setHandleShadowColor(CColor color);
    virtual void setHandleColor(CColor color);
    virtual void setHandleBitmap(CBitmap* bitmap);
    // Divides the linear drag's sensitivity while shift is held.
    virtual void setFineFactor(float factor) { fineFactor = factor; }
    virtual float getFineFactor() const { return fineFactor; }

    int32_t getHandleInset() const { return handleInset; }
    CBitmap* getHandleBitmap() const { return handleBitmap; }

protected:
    // The derived angle members, after a change of either angle; marks the knob dirty.
    void compute();
    bool isLinearDrag(int32_t buttons) const;
    // The value per pixel of a linear drag with these buttons.
    float linearStep(float range, int32_t buttons) const;
    CPoint relativeToCorner(const CPoint& where) const;

    CPoint bitmapOffset;
    CColor handleColor = kColorWhite;
    CColor handleShadowColor = kColorGrey;
    CBitmap* handleBitmap = nullptr;
    int32_t handleInset = 3;
    float startAngle = 0.0f;
    float rangeAngle = 1.0f;
    float halfGap = 0.0f;
    float angleFactor = 0.0f;
    float angleOffset = 0.0f;
    float radius = 0.0f;
    float fineFactor = 1.5f;
};

class CAnimKnob : public CKnob
{
public:
    // background: the film strip of frameCount frames of the control's width and frameHeight
    // pixels, stacked top to bottom, the minimum at the top.
    CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t frameCount,
              int32_t frameHeight, CBitmap* background, const CPoint& offset = CPoint());

    void draw(CDrawContext* context) override;
    // A change too small to move the handle point by a pixel does not ask for a redraw.
    bool isDirty() const override;
    bool isTypeOf(const char* name) const override;

    int32_t getFrameCount() const { return frameCount; }
    int32_t getFrameHeight() const { return frameHeight; }
    // The strip's row at which the frame for the value starts: values below 0 and NaN give the
    // first frame, values from 1 up the last.
    int32_t frameTop() const;

protected:
    int32_t frameCount = 0;
    int32_t frameHeight = 0;
    CPoint lastHandlePoint;
};
