// Window services of the Win32 back end: the frame window class and its window procedure, the
// window walk, system cursors, the OLE drop target and msimg32.
#include "toolkit/core/backend/platform_services.h"
#include "toolkit/core/backend/window_services.h"
#include "toolkit/core/backend_win32/win32_device.h"
#include "toolkit/core/backend_win32/win32_drop_target.h"
#include "toolkit/core/edit_field.h"
#include "toolkit/core/frame.h"
#include "toolkit/core/module.h"

#include <ole2.h>

namespace
{
constexpr DWORD kFrameWindowStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

HINSTANCE moduleInstance()
{
    return static_cast<HINSTANCE>(toolkitModuleHandle());
}

HWND hwnd(void* window)
{
    return static_cast<HWND>(window);
}

CFrame* frameOf(HWND window)
{
    return reinterpret_cast<CFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT paint(CFrame* frame, HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (CDrawDevice* device = platformServices().createDeviceForHandle(dc))
    {
        const RECT& r = ps.rcPaint;
        frame->onPaint(device, CRect(r.left, r.top, r.right, r.bottom));
        delete device;
    }
    EndPaint(window, &ps);
    return 0;
}

// The native edit window over the focus view asks for its colours.
LRESULT colorEdit(CFrame* frame, HWND window, WPARAM wParam, LPARAM lParam)
{
    auto* field = dynamic_cast<CEditFieldColors*>(frame->getFocusView());
    if (!field) return DefWindowProcA(window, WM_CTLCOLOREDIT, wParam, lParam);
    HDC dc = reinterpret_cast<HDC>(wParam);
    const COLORREF back = platformColor(field->getEditBackColor());
    SetTextColor(dc, platformColor(field->getEditTextColor()));
    SetBkColor(dc, back);
    HBRUSH brush = CreateSolidBrush(back);
    if (void* previous = field->exchangeEditBrush(brush))
        DeleteObject(static_cast<HGDIOBJ>(previous));
    return reinterpret_cast<LRESULT>(brush);
}

LRESULT CALLBACK frameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CFrame* frame = frameOf(window);
    if (!frame) return DefWindowProcA(window, message, wParam, lParam);
    switch (message)
    {
    case WM_DESTROY:
        // The window goes before the frame: OLE must let go of the drop target with it.
        if (frame->isDropActive()) RevokeDragDrop(window);
        frame->onWindowDestroyed();
        break;
    case WM_PAINT:
        if (GetUpdateRect(window, nullptr, FALSE)) return paint(frame, window);
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        frame->onButtonDown(CPoint(LOWORD(lParam), HIWORD(lParam)));
        return 0;
    case WM_MOUSEWHEEL:
        frame->onWheelMessage(
            CPoint(static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam))),
            static_cast<int16_t>(HIWORD(wParam)));
        break; // the default passes the wheel on to the parent window
    case WM_CTLCOLOREDIT:
        return colorEdit(frame, window, wParam, lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LPCSTR systemCursorId(int32_t type)
{
    switch (type)
    {
    case kCursorWait:
        return IDC_WAIT;
    case kCursorHSize:
        return IDC_SIZEWE;
    case kCursorVSize:
        return IDC_SIZENS;
    case kCursorSizeAll:
        return IDC_SIZEALL;
    case kCursorNESWSize:
        return IDC_SIZENESW;
    case kCursorNWSESize:
        return IDC_SIZENWSE;
    case kCursorNotAllowed:
        return IDC_NO;
    case kCursorHand:
        return IDC_HAND;
    }
    return nullptr;
}

// The operating system's platform family: 2 and above for the NT line; 0 when unknown.
DWORD platformFamily()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const bool known = GetVersionExA(&version) != 0;
#pragma GCC diagnostic pop
    return known ? version.dwPlatformId : 0;
}

template <typename Proc> Proc lookUp(HMODULE library, const char* name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

class CWin32WindowServices : public CWindowServices
{
public:
    bool registerFrameClass(const char* className) override
    {
        WNDCLASSA windowClass = {};
        windowClass.style = CS_GLOBALCLASS;
        windowClass.lpfnWndProc = frameWindowProc;
        windowClass.hInstance = moduleInstance();
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = className;
        return RegisterClassA(&windowClass) != 0;
    }
    void unregisterFrameClass(const char* className) override
    {
        UnregisterClassA(className, moduleInstance());
    }

    void* createFrameWindow(const char* className, void* parent, int32_t width, int32_t height,
                            CFrame* frame) override
    {
        HWND window = CreateWindowExA(0, className, "Window", kFrameWindowStyle, 0, 0, width,
                                      height, hwnd(parent), nullptr, moduleInstance(), nullptr);
        if (window) SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
        return window;
    }
    void destroyFrameWindow(void* window) override
    {
        if (!window) return;
        SetWindowLongPtrA(hwnd(window), GWLP_USERDATA, 0);
        DestroyWindow(hwnd(window));
    }

    void* parentOf(void* window) override { return window ? GetParent(hwnd(window)) : nullptr; }
    bool className(void* window, char* name, int32_t capacity) override
    {
        if (!window || capacity <= 0) return false;
        name[0] = 0;
        return GetClassNameA(hwnd(window), name, capacity) > 0;
    }
    bool windowRect(void* window, CRect& screenRect) override
    {
        RECT r;
        if (!window || !GetWindowRect(hwnd(window), &r)) return false;
        screenRect = CRect(r.left, r.top, r.right, r.bottom);
        return true;
    }
    bool hasCaption(void* window) override
    {
        if (!window) return false;
        const LONG style = GetWindowLongA(hwnd(window), GWL_STYLE);
        return (style & WS_CAPTION) == WS_CAPTION;
    }
    void resizeWindow(void* window, int32_t width, int32_t height) override
    {
        if (!window) return;
        SetWindowPos(hwnd(window), nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    CPoint screenToClient(void* window, const CPoint& screenPoint) override
    {
        POINT p{screenPoint.x, screenPoint.y};
        if (window) MapWindowPoints(HWND_DESKTOP, hwnd(window), &p, 1);
        return CPoint(p.x, p.y);
    }
    int32_t dialogFrameHeight() override { return GetSystemMetrics(SM_CYDLGFRAME); }

    void* currentCursor() override { return GetCursor(); }
    void showSystemCursor(int32_t type) override
    {
        if (LPCSTR id = systemCursorId(type)) SetCursor(LoadCursorA(nullptr, id));
    }
    void restoreCursor(void* cursor) override { SetCursor(static_cast<HCURSOR>(cursor)); }

    void startOle() override { OleInitialize(nullptr); }
    void stopOle() override { OleUninitialize(); }
    void* registerDropTarget(void* window, CFrame* frame) override
    {
        return window ? registerFrameDropTarget(hwnd(window), frame) : nullptr;
    }
    void revokeDropTarget(void* window) override
    {
        if (window) RevokeDragDrop(hwnd(window));
    }

    void* loadImageLibrary() override
    {
        // The device's own reference keeps the functions valid after this handle is freed.
        loadBlendFunctions();
        gAlphaBlendProc = nullptr;
        gTransparentBltProc = nullptr;
        HMODULE library = LoadLibraryA("msimg32.dll");
        if (!library) return nullptr;
        gAlphaBlendProc = lookUp<CAlphaBlendProc>(library, "AlphaBlend");
        if (platformFamily() > 1)
            gTransparentBltProc = lookUp<CTransparentBltProc>(library, "TransparentBlt");
        return library;
    }
    void freeImageLibrary(void* library) override
    {
        if (library) FreeLibrary(static_cast<HMODULE>(library));
    }
};
} // namespace

CWindowServices& windowServices()
{
    static CWin32WindowServices services;
    return services;
}
