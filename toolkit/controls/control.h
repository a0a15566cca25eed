// The base of the toolkit's controls: a view holding one value in a range, a tag that names it
// to its owner and a listener that hears of the user's changes. It keeps the dirty state by
// comparing the value with the value last drawn, brackets a user gesture with begin and end of
// edit (which also makes it the frame's focus view), resets to its default on a control-click and
// times double clicks. Portable; no platform header.
#pragma once

#include "toolkit/core/view.h"

#include <cstdint>

class CControl;

class CControlListener
{
public:
    virtual ~CControlListener() = default;

    // Called after the new value (or text) is stored in the control. context may be null.
    virtual void valueChanged(CDrawContext* context, CControl* control) = 0;
    // A click with modifier keys; a non-zero answer takes the click away from the control.
    virtual int32_t modifierClicked(CDrawContext* context, CControl* control, int32_t buttons);
};

// The modifier bits of a mouse state (shift, control, alt and one the platform never sets).
constexpr int32_t kModifierMask = 0x78;
// A double click is never shorter than this, whatever the system says.
constexpr int32_t kMinDoubleClickDelay = 250;

class CControl : public CView
{
public:
    CControl(const CRect& size, CControlListener* listener = nullptr, int32_t tag = 0,
             CBitmap* background = nullptr);
    ~CControl() override;

    void draw(CDrawContext* context) override = 0;
    // True while the value differs from the value last drawn (NaN always differs).
    bool isDirty() const override;
    // Dirty: the value last drawn is forced to differ from the value. Clean: the value counts
    // as drawn.
    void setDirty(bool value = true) override;
    bool isTypeOf(const char* name) const override;

    // Asks the frame for an idle pass now, so that the window repaints during a gesture.
    virtual void idleNow();
    // Stores the value as it is: no clamping, no redraw request (the change makes it dirty).
    virtual void setValue(float value) { this->value = value; }
    virtual float getValue() const { return value; }
    virtual void setMin(float value) { minValue = value; }
    virtual float getMin() const { return minValue; }
    virtual void setMax(float value) { maxValue = value; }
    virtual float getMax() const { return maxValue; }
    virtual void setOldValue(float value) { oldValue = value; }
    virtual float getOldValue() const { return oldValue; }
    virtual void setDefaultValue(float value) { defaultValue = value; }
    virtual float getDefaultValue() const { return defaultValue; }
    virtual void setTag(int32_t value) { tag = value; }
    virtual int32_t getTag() const { return tag; }
    // The start of a user gesture: the control becomes the frame's focus view and the frame
    // reports the start of an edit of the tag. endEdit reports its end.
    virtual void beginEdit();
    virtual void endEdit();
    // Where in the background bitmap a value display draws it from.
    virtual void setBackOffset(const CPoint& offset) { backOffset = offset; }
    // For a background that is the whole frame's image: the control's own corner.
    virtual void takeBackOffsetFromOrigin() { backOffset = CPoint(size.left, size.top); }
    // The step of a wheel notch or an arrow key.
    virtual void setWheelIncrement(float value) { wheelIncrement = value; }
    virtual float getWheelIncrement() const { return wheelIncrement; }
    // Brings the value into [min, max]; NaN is left alone.
    virtual void clampValue();
    // A control-left-click (and nothing else held) resets the value to the default inside one
    // begin/end pair, telling the listener; true when it did.
    virtual bool resetOnModifierClick(CDrawContext* context, int32_t buttons);

    // True for the second of two clicks within the double-click time; the click after a double
    // click starts a new pair.
    bool isDoubleClick();

    void setListener(CControlListener* value) { listener = value; }
    CControlListener* getListener() const { return listener; }
    const CPoint& getBackOffset() const { return backOffset; }
    int32_t getDoubleClickDelay() const { return doubleClickDelay; }

protected:
    // The buttons of a mouse call: the given ones, or the current ones when they are -1.
    int32_t resolveButtons(CDrawContext* context, int32_t buttons) const;
    // The current buttons and modifier keys, through the context's platform when there is one.
    int32_t currentButtons(CDrawContext* context) const;
    // A click with modifiers goes to the listener first; true when the listener took it.
    bool modifierClickTaken(CDrawContext* context, int32_t buttons);
    // Tells the listener of a change, inside its own begin/end pair, when the value changed.
    void notifyChange(CDrawContext* context);

    CControlListener* listener = nullptr;
    int32_t tag = 0;
    float oldValue = -1.0f;
    float defaultValue = 0.5f;
    float value = 0.0f;
    float minValue = 0.0f;
    float maxValue = 1.0f;
    float wheelIncrement = 0.1f;
    // The tick count of the first click of a pair, while one is pending.
    uint32_t lastTicks = 0;
    bool firstClickPending = false;
    int32_t doubleClickDelay = kMinDoubleClickDelay;
    CPoint backOffset;
};
