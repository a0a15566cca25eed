#include "toolkit/controls/text_edit.h"

#include "toolkit/core/draw_context.h"
#include "toolkit/core/frame.h"

#include <cstring>

const char* kMsgLooseFocus = "LooseFocus";

namespace
{
constexpr int32_t kTextLimit = kDisplayTextCapacity - 1;

// Copies at most kTextLimit characters and always terminates.
void copyText(char* destination, const char* source)
{
    const size_t length = strnlen(source, kTextLimit);
    std::memmove(destination, source, length);
    destination[length] = 0;
}

// Keeps an object alive for a scope even if a callback inside drops the last other reference.
class CKeepAlive
{
public:
    explicit CKeepAlive(CReferenceCounter* object) : object(object) { object->addReference(); }
    ~CKeepAlive() { object->dropReference(); }
    CKeepAlive(const CKeepAlive&) = delete;
    CKeepAlive& operator=(const CKeepAlive&) = delete;

private:
    CReferenceCounter* object;
};
} // namespace

CTextEdit::CTextEdit(const CRect& size, CControlListener* listener, int32_t tag,
                     const char* initialText, CBitmap* background, int32_t style)
    : CParamDisplay(size, background, style)
{
    this->listener = listener;
    this->tag = tag;
    if (initialText) copyText(text, initialText);
    setWantsFocus(true);
}

CTextEdit::~CTextEdit()
{
    if (void* window = editWindow)
    {
        editWindow = nullptr;
        editWindowServices().destroyEditWindow(window);
    }
    deleteEditBrush();
}

bool CTextEdit::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CTextEdit") == 0 || CParamDisplay::isTypeOf(name);
}

void CTextEdit::setText(const char* newText)
{
    if (!newText)
    {
        if (!text[0]) return;
        text[0] = 0;
        setDirty(true);
        return;
    }
    char copy[kDisplayTextCapacity];
    copyText(copy, newText);
    if (std::strcmp(copy, text) == 0) return;
    std::memcpy(text, copy, sizeof(text));
    setDirty(true);
}

void CTextEdit::getText(char* buffer) const
{
    if (buffer) std::memcpy(buffer, text, sizeof(text));
}

void CTextEdit::setTextToDisplayWithData(CTextToDisplayWithData function, void* data)
{
    textToDisplayWithData = function;
    userData = data;
}

void* CTextEdit::exchangeEditBrush(void* brush)
{
    void* previous = editBrush;
    editBrush = brush;
    return previous;
}

void CTextEdit::deleteEditBrush()
{
    if (!editBrush) return;
    editWindowServices().deleteEditBrush(editBrush);
    editBrush = nullptr;
}

void CTextEdit::draw(CDrawContext* context)
{
    if (editWindow)
    {
        setDirty(false);
        return;
    }
    char shown[kDisplayTextCapacity] = "";
    if (textToDisplayWithData)
        textToDisplayWithData(text, shown, userData);
    else if (textToDisplay)
        textToDisplay(text, shown);
    else if (convertValue(shown))
        copyText(text, shown);
    else
        copyText(shown, text);
    drawValueText(context, shown);
    setDirty(false);
}

void CTextEdit::trackMouse(CDrawContext* context, CPoint&, int32_t buttons)
{
    if (!getMouseEnabled()) return;
    buttons = resolveButtons(context, buttons);
    if (modifierClickTaken(context, buttons)) return;
    if (!(buttons & kLeftButton)) return;
    if (frame && frame->getFocusView() == this) return;
    // The first click of a pair only arms the double click.
    if ((style & kEditOnDoubleClickStyle) && !isDoubleClick()) return;
    beginEdit();
    gestureOpen = true;
    takeFocus(context);
}

CRect CTextEdit::frameRect(CDrawContext* context) const
{
    CRect rect = size;
    for (CViewContainer* parent = parentView; parent; parent = parent->getParentView())
    {
        if (parent->notify(const_cast<CTextEdit*>(this), kMsgCheckIfViewContainer) != 1) continue;
        CRect parentSize;
        parent->getViewSize(parentSize);
        rect.offset(parentSize.left, parentSize.top);
    }
    if (context) rect.offset(context->offset.x, context->offset.y);
    return rect;
}

void CTextEdit::takeFocus(CDrawContext* context)
{
    if (!frame || editWindow) return;
    const CRect rect = frameRect(context);
    const FontTableEntry& font = kFontTable[fontTableIndex()];
    CEditWindowDescription description;
    description.rect = rect;
    description.text = text;
    description.alignment = textAlignment;
    description.fontFace = font.face;
    // A table font that would not fit is shrunk to the field.
    description.fontHeight =
        font.defaultSize >= rect.height() - 1 ? rect.height() - 2 : font.defaultSize;
    deleteEditBrush();
    editWindow = editWindowServices().createEditWindow(frame->getSystemWindow(), description,
                                                       static_cast<CEditWindowOwner*>(this));
}

void CTextEdit::loseFocus(CDrawContext* context)
{
    CKeepAlive keepAlive(this);
    if (gestureOpen)
    {
        gestureOpen = false;
        endEdit();
    }
    // The frame calls loseFocus again for the view it leaves; that call ends the edit, and this
    // one then finds no window.
    if (frame && frame->getFocusView() == this) frame->setFocusView(nullptr);
    if (!editWindow) return;
    commitEdit(context);
    if (parentView)
        parentView->notify(this, kMsgLooseFocus);
    else if (frame)
        frame->notify(this, kMsgLooseFocus);
}

void CTextEdit::commitEdit(CDrawContext* context)
{
    char before[kDisplayTextCapacity];
    std::memcpy(before, text, sizeof(text));
    CEditWindowServices& services = editWindowServices();
    services.getEditWindowText(editWindow, text, kTextLimit);
    // Forgotten before it goes: whatever the destruction sets off finds the edit over.
    void* window = editWindow;
    editWindow = nullptr;
    services.destroyEditWindow(window);
    deleteEditBrush();

    CDrawContext* target = context;
    CPoint savedOffset;
    bool offsetMoved = false;
    if (target)
    {
        target->addReference();
    }
    else if (frame)
    {
        target = frame->createDrawContext();
        if (parentView)
        {
            savedOffset = target->offset;
            CPoint origin(0, 0);
            target->offset = parentView->localToFrame(origin);
            offsetMoved = true;
        }
    }

    const bool changed = std::strcmp(before, text) != 0;
    if (changed && listener) listener->valueChanged(target, this);

    if (target)
    {
        if (offsetMoved) target->offset = savedOffset;
        target->dropReference();
    }
    if (changed) idleNow();
}

void CTextEdit::editWindowFinished()
{
    loseFocus(nullptr);
}

void CTextEdit::editWindowDestroyed()
{
    editWindow = nullptr;
}
