// A display whose text the user can type: a click opens a native edit window exactly over the
// field with the stored text selected; Enter or any loss of the keyboard focus closes it, stores
// the typed text and tells the listener when it differs. The value itself is not changed: the
// listener reads the text and sets the value. Portable; the edit window is the back end's.
#pragma once

#include "toolkit/controls/param_display.h"
#include "toolkit/core/backend/edit_window.h"
#include "toolkit/core/edit_field.h"

#include <cstdint>

// Turn the stored text into the text shown; the output holds kDisplayTextCapacity bytes.
using CTextToDisplay = void (*)(const char* text, char* display);
using CTextToDisplayWithData = void (*)(const char* text, char* display, void* userData);

// Sent to the parent view (or the frame) when a field's editing ends.
extern const char* kMsgLooseFocus;

class CTextEdit : public CParamDisplay, public CEditFieldColors, private CEditWindowOwner
{
public:
    // text: the initial text (at most 255 characters are kept), or null for none.
    CTextEdit(const CRect& size, CControlListener* listener, int32_t tag,
              const char* text = nullptr, CBitmap* background = nullptr, int32_t style = 0);
    // An edit in progress ends without a word to anyone: the frame may be going as well.
    ~CTextEdit() override;

    // Draws nothing while the edit window covers the field. With a value-to-text function the
    // text of the current value is shown and stored, replacing whatever was typed.
    void draw(CDrawContext* context) override;
    // A left click opens the edit window (the second click of a double click with
    // kEditOnDoubleClickStyle).
    void trackMouse(CDrawContext* context, CPoint& where, int32_t buttons) override;
    // Opens the edit window over the field.
    void takeFocus(CDrawContext* context = nullptr) override;
    // Ends the edit. Re-entered calls (the frame dropping its focus view, the window's own focus
    // loss) find the edit already over: the window goes once and the listener hears once.
    void loseFocus(CDrawContext* context = nullptr) override;
    bool isTypeOf(const char* name) const override;

    virtual void setText(const char* text);
    // buffer: at least kDisplayTextCapacity bytes.
    virtual void getText(char* buffer) const;
    virtual void setTextToDisplay(CTextToDisplay function) { textToDisplay = function; }
    // Takes precedence over the plain function.
    virtual void setTextToDisplayWithData(CTextToDisplayWithData function, void* data);

    bool isEditing() const { return editWindow != nullptr; }

    CColor getEditTextColor() const override { return fontColor; }
    CColor getEditBackColor() const override { return backColor; }
    void* exchangeEditBrush(void* brush) override;

protected:
    // The field's rectangle in the coordinates of the frame's window.
    CRect frameRect(CDrawContext* context) const;
    // Reads the typed text, destroys the window and tells the listener when the text changed.
    void commitEdit(CDrawContext* context);
    void deleteEditBrush();

    void* editBrush = nullptr;
    void* editWindow = nullptr;
    char text[kDisplayTextCapacity] = {};
    CTextToDisplay textToDisplay = nullptr;
    CTextToDisplayWithData textToDisplayWithData = nullptr;
    // A click began an edit gesture that no endEdit has closed yet.
    bool gestureOpen = false;

private:
    void editWindowFinished() override;
    void editWindowDestroyed() override;
};
