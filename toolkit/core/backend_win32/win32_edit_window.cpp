// Edit windows of the Win32 back end: a child window of the system "EDIT" class whose window
// procedure is taken over, so that Enter and the loss of the keyboard focus reach the owner.
#include "toolkit/core/backend/edit_window.h"
#include "toolkit/core/module.h"

#include <windows.h>

#include <cstring>

// The edit class's own window procedure, remembered when an edit window is taken over. Only one
// field is edited at a time.
WNDPROC gEditWindowProc = nullptr;

namespace
{
HWND hwnd(void* window)
{
    return static_cast<HWND>(window);
}

CEditWindowOwner* ownerOf(HWND window)
{
    return reinterpret_cast<CEditWindowOwner*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// The frame unlinks itself from its window before destroying it: an edit window whose parent no
// longer names a frame is going with it, and its text is abandoned rather than committed.
bool parentFrameGone(HWND window)
{
    HWND parent = GetParent(window);
    return !parent || GetWindowLongPtrA(parent, GWLP_USERDATA) == 0;
}

LRESULT passOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(gEditWindowProc, window, message, wParam, lParam);
}

LRESULT finish(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CEditWindowOwner* owner = ownerOf(window);
    if (owner && !parentFrameGone(window)) owner->editWindowFinished();
    // Ending the edit destroys the window: the message then has no one left to go to.
    if (!IsWindow(window)) return 0;
    return passOn(window, message, wParam, lParam);
}

// Only a window that the system destroys with its parent gets here: the back end's own
// destruction hands the window back to its class first.
LRESULT destroyedWithParent(HWND window, WPARAM wParam, LPARAM lParam)
{
    CEditWindowOwner* owner = ownerOf(window);
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(passOn(window, WM_GETFONT, 0, 0));
    const LRESULT result = passOn(window, WM_NCDESTROY, wParam, lParam);
    if (font) DeleteObject(font);
    if (owner) owner->editWindowDestroyed();
    return result;
}

LRESULT CALLBACK editWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) return finish(window, message, wParam, lParam);
        break;
    case WM_KILLFOCUS:
        return finish(window, message, wParam, lParam);
    case WM_NCDESTROY:
        return destroyedWithParent(window, wParam, lParam);
    }
    return passOn(window, message, wParam, lParam);
}

DWORD alignmentStyle(int32_t alignment)
{
    if (alignment == kAlignCenter) return ES_CENTER;
    if (alignment == kAlignRight) return ES_RIGHT;
    return 0;
}

HFONT createFont(const CEditWindowDescription& description)
{
    LOGFONTA font = {};
    font.lfHeight = description.fontHeight;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = ANSI_CHARSET;
    font.lfOutPrecision = OUT_STRING_PRECIS;
    font.lfClipPrecision = CLIP_STROKE_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    if (description.fontFace) std::strncpy(font.lfFaceName, description.fontFace, LF_FACESIZE - 1);
    return CreateFontIndirectA(&font);
}

class CWin32EditWindowServices : public CEditWindowServices
{
public:
    void* createEditWindow(void* parent, const CEditWindowDescription& description,
                           CEditWindowOwner* owner) override
    {
        const DWORD style =
            WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | alignmentStyle(description.alignment);
        const CRect& r = description.rect;
        HWND window = CreateWindowExA(0, "EDIT", description.text ? description.text : "", style,
                                      r.left, r.top, r.width(), r.height(), hwnd(parent), nullptr,
                                      static_cast<HINSTANCE>(toolkitModuleHandle()), nullptr);
        if (!window) return nullptr;
        HFONT font = createFont(description);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
        SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        SendMessageA(window, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
        SendMessageA(window, EM_SETSEL, 0, -1);
        SendMessageA(window, EM_LIMITTEXT, kEditWindowTextLimit, 0);
        SetFocus(window);
        gEditWindowProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editWindowProc)));
        return window;
    }

    void getEditWindowText(void* window, char* text, int32_t capacity) override
    {
        if (!text || capacity <= 0) return;
        text[0] = 0;
        if (window) GetWindowTextA(hwnd(window), text, capacity);
    }

    void destroyEditWindow(void* window) override
    {
        HWND edit = hwnd(window);
        if (!edit || !IsWindow(edit)) return;
        // Handed back to its class first, the window tells no one of the focus loss its
        // destruction causes.
        SetWindowLongPtrA(edit, GWLP_USERDATA, 0);
        if (GetWindowLongPtrA(edit, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(editWindowProc))
            SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gEditWindowProc));
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(edit, WM_GETFONT, 0, 0));
        DestroyWindow(edit);
        if (font) DeleteObject(font);
    }

    void deleteEditBrush(void* brush) override
    {
        if (brush) DeleteObject(static_cast<HGDIOBJ>(brush));
    }
};
} // namespace

CEditWindowServices& editWindowServices()
{
    static CWin32EditWindowServices services;
    return services;
}
