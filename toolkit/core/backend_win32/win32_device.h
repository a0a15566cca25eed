// The Win32 back end's drawing device: a GDI device context (a window's, an existing one or a
// memory one with its image). Win32 back end only.
#pragma once

#include "toolkit/core/backend/draw_device.h"

#include <windows.h>

// The msimg32 blend functions, looked up at run time; null when the library or the function is
// missing, and then never called.
using CAlphaBlendProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                      BLENDFUNCTION);
using CTransparentBltProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);
extern CAlphaBlendProc gAlphaBlendProc;
extern CTransparentBltProc gTransparentBltProc;
// Looks the blend functions up once.
void loadBlendFunctions();

class CWin32Device : public CDrawDevice
{
public:
    // What the device releases when deleted.
    enum COwnership
    {
        kBorrowed, // nothing
        kWindowDC, // ReleaseDC to the window
        kMemoryDC  // the memory device context and its image
    };
    CWin32Device(HDC dc, COwnership ownership, HWND window = nullptr, HBITMAP image = nullptr,
                 HGDIOBJ priorImage = nullptr);
    ~CWin32Device() override;

    CDeviceObject* createPen(const CPenDescription& description) override;
    CDeviceObject* createSolidBrush(uint32_t color) override;
    CDeviceObject* createFont(const CFontDescription& description) override;
    CDeviceObject* nullPen() override;
    CDeviceObject* selectObject(CDeviceObject* object) override;
    void deleteObject(CDeviceObject* object) override;
    CDeviceObject* currentObject(CDeviceObjectKind kind) override;

    void setTextColor(uint32_t color) override;
    void setBackgroundColor(uint32_t color) override;
    void setBackgroundOpaque(bool opaque) override;
    void setRasterOp(CRasterOp op) override;
    void setClipRect(const CRect& rect) override;

    void moveTo(CPoint p) override;
    void lineTo(CPoint p) override;
    void polyline(const CPoint* points, int32_t count) override;
    void polygon(const CPoint* points, int32_t count) override;
    void fillRect(const CRect& rect, CDeviceObject* brush) override;
    void ellipse(const CRect& box) override;
    void arc(const CRect& box, CPoint start, CPoint end) override;
    void setPixel(CPoint p, uint32_t color) override;
    uint32_t getPixel(CPoint p) override;
    void floodFillSurface(CPoint p, uint32_t surfaceColor) override;
    void drawText(const char* text, const CRect& rect, uint32_t format) override;
    CPoint textExtent(const char* text) override;

    void copyBlock(const CRect& dest, CDrawDevice& source, CPoint sourceOrigin) override;
    void alphaBlend(const CRect& dest, CDrawDevice& source, const CRect& sourceRect,
                    uint8_t constantAlpha) override;
    void transparentCopy(const CRect& dest, CDrawDevice& source, const CRect& sourceRect,
                         uint32_t keyColor) override;

    void* nativeHandle() override { return dc; }
    HDC handle() const { return dc; }

private:
    HDC dc;
    COwnership ownership;
    HWND window;
    HBITMAP image;
    HGDIOBJ priorImage;
};
