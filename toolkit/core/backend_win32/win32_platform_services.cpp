// Platform services of the Win32 back end: window and memory device contexts, cursor, window
// rectangles, asynchronous key state, clocks and the thread's message queue.
#include "toolkit/core/backend/platform_services.h"
#include "toolkit/core/backend_win32/win32_device.h"

#include <cstring>

namespace
{
// A memory device context with a 32-bit image of its own, rows bottom-up; null on failure.
CWin32Device* createDibDevice(int32_t width, int32_t height, const uint32_t* pixels)
{
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return nullptr;
    BITMAPINFO info;
    std::memset(&info, 0, sizeof(info));
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP image = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!image)
    {
        DeleteDC(dc);
        return nullptr;
    }
    if (pixels && bits)
        std::memcpy(bits, pixels, sizeof(uint32_t) * static_cast<size_t>(width) * height);
    HGDIOBJ prior = SelectObject(dc, image);
    return new CWin32Device(dc, CWin32Device::kMemoryDC, nullptr, image, prior);
}

class CWin32PlatformServices : public CPlatformServices
{
public:
    CDrawDevice* createWindowDevice(void* window) override
    {
        if (!window) return nullptr;
        HWND hwnd = static_cast<HWND>(window);
        HDC dc = GetDC(hwnd);
        if (!dc) return nullptr;
        return new CWin32Device(dc, CWin32Device::kWindowDC, hwnd);
    }

    CDrawDevice* createImageDevice(CDrawDevice* like, int32_t width, int32_t height) override
    {
        if (!like) return createDibDevice(width, height, nullptr);
        HDC likeDC = static_cast<HDC>(like->nativeHandle());
        HDC dc = CreateCompatibleDC(likeDC);
        if (!dc) return nullptr;
        HBITMAP image = CreateCompatibleBitmap(likeDC, width, height);
        HGDIOBJ prior = image ? SelectObject(dc, image) : nullptr;
        return new CWin32Device(dc, CWin32Device::kMemoryDC, nullptr, image, prior);
    }

    CDrawDevice* createPixelImageDevice(int32_t width, int32_t height,
                                        const uint32_t* pixels) override
    {
        return createDibDevice(width, height, pixels);
    }

    CDrawDevice* createDeviceForHandle(void* nativeDevice) override
    {
        if (!nativeDevice) return nullptr;
        return new CWin32Device(static_cast<HDC>(nativeDevice), CWin32Device::kBorrowed);
    }

    bool cursorPosition(CPoint& screenPoint) override
    {
        POINT p{0, 0};
        const bool known = GetCursorPos(&p) != 0;
        screenPoint = CPoint(p.x, p.y);
        return known;
    }

    bool windowRect(void* window, CRect& screenRect) override
    {
        RECT r;
        if (!GetWindowRect(static_cast<HWND>(window), &r)) return false;
        screenRect = CRect(r.left, r.top, r.right, r.bottom);
        return true;
    }

    bool keyDown(CInputKey key) override
    {
        int code = VK_LBUTTON;
        switch (key)
        {
        case kInputLeftButton:
            code = VK_LBUTTON;
            break;
        case kInputMiddleButton:
            code = VK_MBUTTON;
            break;
        case kInputRightButton:
            code = VK_RBUTTON;
            break;
        case kInputShift:
            code = VK_SHIFT;
            break;
        case kInputControl:
            code = VK_CONTROL;
            break;
        case kInputAlt:
            code = VK_MENU;
            break;
        }
        return (GetAsyncKeyState(code) & 0x8000) != 0;
    }

    bool buttonsSwapped() override { return GetSystemMetrics(SM_SWAPBUTTON) != 0; }

    uint32_t tickCount() override { return GetTickCount(); }
    uint32_t messageTime() override { return static_cast<uint32_t>(GetMessageTime()); }
    uint32_t doubleClickTime() override { return GetDoubleClickTime(); }
    bool takeQueuedLeftButtonDown() override
    {
        MSG message;
        return PeekMessageA(&message, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE) != 0;
    }
    bool dispatchQueuedPaint() override
    {
        MSG message;
        if (!PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) return false;
        DispatchMessageA(&message);
        return true;
    }
    void sleep(uint32_t milliseconds) override { Sleep(milliseconds); }
};
} // namespace

CPlatformServices& platformServices()
{
    static CWin32PlatformServices services;
    return services;
}
