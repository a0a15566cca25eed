// Bitmap resources of the module, selected into a memory device context of their own.
#include "toolkit/core/backend/platform_bitmap.h"
#include "toolkit/core/backend_win32/win32_device.h"
#include "toolkit/core/module.h"

CDrawDevice* loadPlatformBitmap(int32_t id, int32_t& width, int32_t& height)
{
    HINSTANCE module = static_cast<HINSTANCE>(toolkitModuleHandle());
    HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(id & 0xFFFF));
    if (!bitmap) return nullptr;
    BITMAP description;
    if (!GetObjectA(bitmap, sizeof(description), &description))
    {
        DeleteObject(bitmap);
        return nullptr;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc)
    {
        DeleteObject(bitmap);
        return nullptr;
    }
    width = description.bmWidth;
    height = description.bmHeight;
    HGDIOBJ prior = SelectObject(dc, bitmap);
    return new CWin32Device(dc, CWin32Device::kMemoryDC, nullptr, bitmap, prior);
}
