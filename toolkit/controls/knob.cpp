#include "toolkit/controls/knob.h"

#include "toolkit/core/bitmap.h"
#include "toolkit/core/draw_context.h"
#include "toolkit/core/frame.h"

#include <cmath>
#include <cstring>

namespace
{
constexpr float kStartAngle = 3.9269907f;         // 225 degrees: the minimum at the lower left
constexpr float kRangeAngle = -4.712389f;         // 270 degrees clockwise
constexpr float kTwoPi = 6.2831855f;              // added and subtracted
constexpr double kTwoPiExact = 6.283185307179586; // compared with
constexpr int32_t kLinearKnobMode = 2;
constexpr float kPixelsPerRange = 200.0f;

// Arrow keys of the host's key codes, and its shift bit.
constexpr unsigned char kKeyLeft = 11;
constexpr unsigned char kKeyUp = 12;
constexpr unsigned char kKeyRight = 13;
constexpr unsigned char kKeyDown = 14;
constexpr unsigned char kKeyModifierShift = 1;
constexpr float kFineStep = 0.1f;

int32_t insetFor(const CBitmap* handle)
{
    return static_cast<int32_t>(static_cast<float>(handle->getWidth()) * 0.5f + 2.5f);
}

// An angle brought into [0, 2 pi].
float wrapped(float angle)
{
    if (angle < 0.0f) return angle + kTwoPi;
    if (angle > kTwoPiExact) return angle - kTwoPi;
    return angle;
}

// The angle unwrapped across the gap, so that it continues from the end it lies beyond.
float unwrapped(float angle, float upper, float halfGap)
{
    if (angle > upper) return angle - kTwoPi;
    if (angle < -halfGap) return angle + kTwoPi;
    return angle;
}
} // namespace

CKnob::CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
             CBitmap* handle, const CPoint& offset)
    : CControl(size, listener, tag, background), bitmapOffset(offset), handleBitmap(handle)
{
    if (handleBitmap)
    {
        handleBitmap->addReference();
        handleInset = insetFor(handleBitmap);
    }
    radius = static_cast<float>(size.right - size.left) * 0.5f;
    rangeAngle = 1.0f;
    setStartAngle(kStartAngle);
    setRangeAngle(kRangeAngle);
    fineFactor = 1.5f;
    setWantsFocus(true);
}

CKnob::~CKnob()
{
    if (handleBitmap) handleBitmap->dropReference();
}

bool CKnob::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CKnob") == 0 || CControl::isTypeOf(name);
}

void CKnob::compute()
{
    angleFactor = (maxValue - minValue) / rangeAngle;
    angleOffset = minValue - angleFactor * startAngle;
    halfGap = (kTwoPi - std::fabs(rangeAngle)) * 0.5f;
    setDirty(true);
}

void CKnob::setStartAngle(float angle)
{
    startAngle = angle;
    compute();
}

void CKnob::setRangeAngle(float angle)
{
    rangeAngle = angle;
    compute();
}

void CKnob::setHandleShadowColor(CColor color)
{
    handleShadowColor = color;
    setDirty(true);
}

void CKnob::setHandleColor(CColor color)
{
    handleColor = color;
    setDirty(true);
}

void CKnob::setHandleBitmap(CBitmap* bitmap)
{
    // The new reference first: the bitmap may be the one held already.
    if (bitmap) bitmap->addReference();
    if (handleBitmap) handleBitmap->dropReference();
    handleBitmap = bitmap;
    if (handleBitmap) handleInset = insetFor(handleBitmap);
}

void CKnob::valueToPoint(CPoint& point) const
{
    const float angle = (value - angleOffset) / angleFactor;
    const int32_t centre = static_cast<int32_t>(radius + 0.5f);
    // NaN and infinite values (or a range of zero) have no angle: the point stays at the centre.
    if (!std::isfinite(angle))
    {
        point = CPoint(centre, centre);
        return;
    }
    const float r = radius - static_cast<float>(handleInset);
    point.x = static_cast<int32_t>(radius + std::cos(angle) * r + 0.5f);
    point.y = static_cast<int32_t>(radius - std::sin(angle) * r + 0.5f);
}

float CKnob::valueFromPoint(const CPoint& point) const
{
    float alpha = static_cast<float>(
        std::atan2(static_cast<double>(radius - point.y), static_cast<double>(point.x - radius)));
    if (alpha < 0.0f) alpha += kTwoPi;
    alpha -= startAngle;

    if (rangeAngle < 0.0f)
    {
        // Measured from the maximum end.
        alpha -= rangeAngle;
        const float w = wrapped(alpha);
        if (w > halfGap - rangeAngle) return maxValue; // the half of the gap next to the maximum
        if (w > -rangeAngle) return minValue;          // the other half
        return unwrapped(alpha, halfGap - rangeAngle, halfGap) * angleFactor + maxValue;
    }
    const float w = wrapped(alpha);
    if (w > rangeAngle + halfGap) return minValue;
    if (w > rangeAngle) return maxValue;
    return unwrapped(alpha, rangeAngle + halfGap, halfGap) * angleFactor + minValue;
}

CPoint CKnob::relativeToCorner(const CPoint& where) const
{
    return CPoint(where.x - size.left, where.y - size.top);
}

bool CKnob::isLinearDrag(int32_t buttons) const
{
    const bool linearMode = frame && frame->getKnobMode() == kLinearKnobMode;
    const bool alt = (buttons & kAltKey) != 0;
    return linearMode != alt;
}

float CKnob::linearStep(float range, int32_t buttons) const
{
    if (buttons & kShiftKey) return range / (kPixelsPerRange * fineFactor);
    return range / kPixelsPerRange;
}

void CKnob::trackMouse(CDrawContext* context, CPoint& start, int32_t buttons)
{
    if (!getMouseEnabled()) return;
    buttons = resolveButtons(context, buttons);
    if (!(buttons & kLeftButton)) return;
    if (modifierClickTaken(context, buttons)) return;
    if (resetOnModifierClick(context, buttons)) return;

    float startValue = value;
    const float range = maxValue - minValue;
    const float halfRange = range * 0.5f;
    const bool linear = isLinearDrag(buttons);
    CPoint where = start;
    const CPoint firstPoint = where;
    float step = linearStep(range, buttons);
    float lastAngleValue = linear ? 0.0f : valueFromPoint(relativeToCorner(where));

    beginEdit();
    CPoint lastPoint(-1, -1);
    int32_t current = 0;
    do
    {
        current = currentButtons(context);
        if (where != lastPoint)
        {
            if (linear)
            {
                // Right and up count positive.
                const int32_t delta = (where.x - firstPoint.x) + (firstPoint.y - where.y);
                if (current != buttons)
                {
                    // A new sensitivity continues from the value reached: no jump.
                    const float newStep = linearStep(range, current);
                    startValue += static_cast<float>(delta) * (step - newStep);
                    step = newStep;
                    buttons = current;
                }
                value = startValue + static_cast<float>(delta) * step;
                clampValue();
            }
            else
            {
                // Crossing the gap pins the knob at the end it came from until the pointer
                // comes back.
                const float a = valueFromPoint(relativeToCorner(where));
                value = a;
                if (lastAngleValue - a > halfRange)
                    value = maxValue;
                else if (a - lastAngleValue > halfRange)
                    value = minValue;
                else
                    lastAngleValue = a;
            }
            if (isDirty() && listener) listener->valueChanged(context, this);
        }
        lastPoint = where;
        if (context) getMouseLocation(context, where);
        idleNow();
    } while (current & kLeftButton);
    endEdit();
}

int32_t CKnob::onKeyDown(VstKeyCode& key)
{
    float step = 0.0f;
    switch (key.virt)
    {
    case kKeyLeft:
    case kKeyDown:
        step = -1.0f;
        break;
    case kKeyUp:
    case kKeyRight:
        step = 1.0f;
        break;
    default:
        return -1;
    }
    if (key.modifier & kKeyModifierShift) step *= kFineStep;
    value += step * wheelIncrement;
    clampValue();
    notifyChange(nullptr);
    return 1;
}

bool CKnob::onWheel(CDrawContext* context, const CPoint&, float distance)
{
    if (!getMouseEnabled()) return false;
    float change = distance * wheelIncrement;
    if (currentButtons(context) & kShiftKey) change *= kFineStep;
    value += change;
    clampValue();
    notifyChange(context);
    return true;
}

void CKnob::draw(CDrawContext* context)
{
    if (background) drawViewBitmap(background, context, size, bitmapOffset, transparency);
    drawHandle(context);
    setDirty(false);
}

void CKnob::drawHandle(CDrawContext* context)
{
    CPoint p;
    valueToPoint(p);
    if (handleBitmap)
    {
        const int32_t w = handleBitmap->getWidth();
        const int32_t h = handleBitmap->getHeight();
        const int32_t left = size.left + p.x - w / 2;
        const int32_t top = size.top + p.y - h / 2;
        handleBitmap->drawTransparent(context, CRect(left, top, left + w, top + h));
        return;
    }
    CPoint tip(size.left - 1 + p.x, size.top + p.y);
    CPoint centre(size.left - 1 + size.width() / 2, size.top + size.height() / 2);
    context->setFrameColor(handleShadowColor);
    context->moveTo(tip);
    context->lineTo(centre);
    tip.offset(1, -1);
    centre.offset(1, -1);
    context->setFrameColor(handleColor);
    context->moveTo(tip);
    context->lineTo(centre);
}

// ---------------------------------------------------------------------------------------------
// CAnimKnob

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t frameCount,
                     int32_t frameHeight, CBitmap* background, const CPoint& offset)
    : CKnob(size, listener, tag, background, nullptr, offset), frameCount(frameCount),
      frameHeight(frameHeight)
{
    handleInset = 0;
}

bool CAnimKnob::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CAnimKnob") == 0 || CKnob::isTypeOf(name);
}

int32_t CAnimKnob::frameTop() const
{
    // Also false for NaN.
    if (frameCount < 1 || frameHeight < 1 || !(value >= 0.0f)) return 0;
    const int32_t total = (frameCount - 1) * frameHeight;
    // A host may send any value: nothing beyond the last frame is ever read.
    if (value >= 1.0f) return total;
    const int32_t y = static_cast<int32_t>(value * static_cast<float>(total));
    return y < total ? y - y % frameHeight : total;
}

void CAnimKnob::draw(CDrawContext* context)
{
    if (background) drawViewBitmap(background, context, size, CPoint(0, frameTop()), transparency);
    valueToPoint(lastHandlePoint);
    setDirty(false);
}

bool CAnimKnob::isDirty() const
{
    if (CView::isDirty()) return true;
    CPoint p;
    valueToPoint(p);
    if (p == lastHandlePoint) return false;
    return value != oldValue;
}
