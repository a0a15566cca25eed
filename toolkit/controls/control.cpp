#include "toolkit/controls/control.h"

#include "toolkit/core/backend/platform_services.h"
#include "toolkit/core/draw_context.h"
#include "toolkit/core/frame.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr int32_t kControlClick = kLeftButton | kControlKey;

int32_t doubleClickDelayFor(uint32_t systemTime)
{
    const uint32_t atLeast = std::max<uint32_t>(systemTime, kMinDoubleClickDelay);
    return static_cast<int32_t>(std::min<uint32_t>(atLeast, INT32_MAX));
}
} // namespace

int32_t CControlListener::modifierClicked(CDrawContext*, CControl*, int32_t)
{
    return 0;
}

CControl::CControl(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background)
    : CView(size), listener(listener), tag(tag),
      doubleClickDelay(doubleClickDelayFor(platformServices().doubleClickTime()))
{
    setTransparency(false);
    setMouseEnabled(true);
    setBackground(background);
}

CControl::~CControl() = default;

bool CControl::isDirty() const
{
    // != is true for NaN on either side, so a NaN value always counts as changed.
    if (value != oldValue) return true;
    return CView::isDirty();
}

void CControl::setDirty(bool flag)
{
    CView::setDirty(flag);
    if (flag)
        oldValue = value == -1.0f ? 0.0f : -1.0f;
    else
        oldValue = value;
}

bool CControl::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CControl") == 0 || CView::isTypeOf(name);
}

void CControl::idleNow()
{
    if (frame) frame->idleNow();
}

void CControl::beginEdit()
{
    if (!frame) return;
    frame->setFocusView(this);
    frame->beginEdit(tag);
}

void CControl::endEdit()
{
    if (frame) frame->endEdit(tag);
}

void CControl::clampValue()
{
    if (value > maxValue)
        value = maxValue;
    else if (value < minValue)
        value = minValue;
}

bool CControl::resetOnModifierClick(CDrawContext* context, int32_t buttons)
{
    if (buttons != kControlClick) return false;
    beginEdit();
    value = getDefaultValue();
    if (isDirty() && listener) listener->valueChanged(context, this);
    endEdit();
    return true;
}

bool CControl::isDoubleClick()
{
    const uint32_t now = frame ? frame->getTicks() : 0;
    // The difference in unsigned arithmetic stays right when the tick count wraps or passes its
    // sign bit.
    if (firstClickPending && now - lastTicks < static_cast<uint32_t>(doubleClickDelay))
    {
        firstClickPending = false;
        return true;
    }
    lastTicks = now;
    firstClickPending = true;
    return false;
}

int32_t CControl::currentButtons(CDrawContext* context) const
{
    return context ? getMouseButtons(context->getPlatformServices()) : getMouseButtons();
}

int32_t CControl::resolveButtons(CDrawContext* context, int32_t buttons) const
{
    return buttons == -1 ? currentButtons(context) : buttons;
}

bool CControl::modifierClickTaken(CDrawContext* context, int32_t buttons)
{
    if (!listener || (buttons & kModifierMask) == 0) return false;
    return listener->modifierClicked(context, this, buttons) != 0;
}

void CControl::notifyChange(CDrawContext* context)
{
    if (!isDirty() || !listener) return;
    beginEdit();
    listener->valueChanged(context, this);
    endEdit();
}
