#include "toolkit/core/backend_win32/win32_device.h"

#include <cstring>

CAlphaBlendProc gAlphaBlendProc = nullptr;
CTransparentBltProc gTransparentBltProc = nullptr;

void loadBlendFunctions()
{
    static bool loaded = false;
    if (loaded) return;
    loaded = true;
    HMODULE library = LoadLibraryA("msimg32.dll");
    if (!library) return;
    gAlphaBlendProc = reinterpret_cast<CAlphaBlendProc>(
        reinterpret_cast<void*>(GetProcAddress(library, "AlphaBlend")));
    gTransparentBltProc = reinterpret_cast<CTransparentBltProc>(
        reinterpret_cast<void*>(GetProcAddress(library, "TransparentBlt")));
}

namespace
{
HGDIOBJ gdi(CDeviceObject* object)
{
    return reinterpret_cast<HGDIOBJ>(object);
}

CDeviceObject* wrap(HGDIOBJ object)
{
    return reinterpret_cast<CDeviceObject*>(object);
}

// CPoint and POINT have the same layout: two 32-bit signed coordinates, x first.
static_assert(sizeof(CPoint) == sizeof(POINT) && sizeof(LONG) == sizeof(int32_t),
              "CPoint must match POINT");
const POINT* toPoints(const CPoint* points)
{
    return reinterpret_cast<const POINT*>(points);
}

HDC sourceDC(CDrawDevice& source)
{
    return static_cast<HDC>(source.nativeHandle());
}
} // namespace

CWin32Device::CWin32Device(HDC dc, COwnership ownership, HWND window, HBITMAP image,
                           HGDIOBJ priorImage)
    : dc(dc), ownership(ownership), window(window), image(image), priorImage(priorImage)
{
}

CWin32Device::~CWin32Device()
{
    switch (ownership)
    {
    case kWindowDC:
        ReleaseDC(window, dc);
        break;
    case kMemoryDC:
        if (priorImage) SelectObject(dc, priorImage);
        DeleteDC(dc);
        if (image) DeleteObject(image);
        break;
    case kBorrowed:
        break;
    }
}

CDeviceObject* CWin32Device::createPen(const CPenDescription& description)
{
    LOGPEN pen;
    pen.lopnStyle = static_cast<UINT>(description.style);
    pen.lopnWidth = POINT{description.width, 0};
    pen.lopnColor = description.color;
    return wrap(CreatePenIndirect(&pen));
}

CDeviceObject* CWin32Device::createSolidBrush(uint32_t color)
{
    LOGBRUSH brush;
    brush.lbStyle = BS_SOLID;
    brush.lbColor = color;
    brush.lbHatch = 0;
    return wrap(CreateBrushIndirect(&brush));
}

CDeviceObject* CWin32Device::createFont(const CFontDescription& description)
{
    LOGFONTA font;
    std::memset(&font, 0, sizeof(font));
    font.lfHeight = description.height;
    font.lfWidth = description.width;
    font.lfEscapement = description.escapement;
    font.lfOrientation = description.orientation;
    font.lfWeight = description.weight;
    font.lfItalic = description.italic ? 1 : 0;
    font.lfUnderline = description.underline ? 1 : 0;
    font.lfStrikeOut = 0;
    font.lfCharSet = description.charSet;
    font.lfOutPrecision = description.outPrecision;
    font.lfClipPrecision = description.clipPrecision;
    font.lfQuality = description.quality;
    font.lfPitchAndFamily = description.pitchAndFamily;
    static_assert(sizeof(font.lfFaceName) == sizeof(description.faceName), "face name sizes");
    std::memcpy(font.lfFaceName, description.faceName, LF_FACESIZE);
    font.lfFaceName[LF_FACESIZE - 1] = 0;
    return wrap(CreateFontIndirectA(&font));
}

CDeviceObject* CWin32Device::nullPen()
{
    return wrap(GetStockObject(NULL_PEN));
}

CDeviceObject* CWin32Device::selectObject(CDeviceObject* object)
{
    return wrap(SelectObject(dc, gdi(object)));
}

void CWin32Device::deleteObject(CDeviceObject* object)
{
    DeleteObject(gdi(object));
}

CDeviceObject* CWin32Device::currentObject(CDeviceObjectKind kind)
{
    const UINT type = kind == kPenObject ? OBJ_PEN : kind == kBrushObject ? OBJ_BRUSH : OBJ_FONT;
    return wrap(GetCurrentObject(dc, type));
}

void CWin32Device::setTextColor(uint32_t color)
{
    SetTextColor(dc, color);
}

void CWin32Device::setBackgroundColor(uint32_t color)
{
    SetBkColor(dc, color);
}

void CWin32Device::setBackgroundOpaque(bool opaque)
{
    SetBkMode(dc, opaque ? OPAQUE : TRANSPARENT);
}

void CWin32Device::setRasterOp(CRasterOp op)
{
    SetROP2(dc, static_cast<int>(op));
}

void CWin32Device::setClipRect(const CRect& rect)
{
    HRGN region = CreateRectRgn(rect.left, rect.top, rect.right, rect.bottom);
    SelectClipRgn(dc, region);
    DeleteObject(region);
}

void CWin32Device::moveTo(CPoint p)
{
    MoveToEx(dc, p.x, p.y, nullptr);
}

void CWin32Device::lineTo(CPoint p)
{
    LineTo(dc, p.x, p.y);
}

void CWin32Device::polyline(const CPoint* points, int32_t count)
{
    Polyline(dc, toPoints(points), count);
}

void CWin32Device::polygon(const CPoint* points, int32_t count)
{
    Polygon(dc, toPoints(points), count);
}

void CWin32Device::fillRect(const CRect& rect, CDeviceObject* brush)
{
    const RECT r{rect.left, rect.top, rect.right, rect.bottom};
    FillRect(dc, &r, static_cast<HBRUSH>(gdi(brush)));
}

void CWin32Device::ellipse(const CRect& box)
{
    Ellipse(dc, box.left, box.top, box.right, box.bottom);
}

void CWin32Device::arc(const CRect& box, CPoint start, CPoint end)
{
    Arc(dc, box.left, box.top, box.right, box.bottom, start.x, start.y, end.x, end.y);
}

void CWin32Device::setPixel(CPoint p, uint32_t color)
{
    SetPixel(dc, p.x, p.y, color);
}

uint32_t CWin32Device::getPixel(CPoint p)
{
    return GetPixel(dc, p.x, p.y);
}

void CWin32Device::floodFillSurface(CPoint p, uint32_t surfaceColor)
{
    ExtFloodFill(dc, p.x, p.y, surfaceColor, FLOODFILLSURFACE);
}

void CWin32Device::drawText(const char* text, const CRect& rect, uint32_t format)
{
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    DrawTextA(dc, text, -1, &r, format);
}

CPoint CWin32Device::textExtent(const char* text)
{
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
    return CPoint(size.cx, size.cy);
}

void CWin32Device::copyBlock(const CRect& dest, CDrawDevice& source, CPoint sourceOrigin)
{
    BitBlt(dc, dest.left, dest.top, dest.width(), dest.height(), sourceDC(source), sourceOrigin.x,
           sourceOrigin.y, SRCCOPY);
}

void CWin32Device::alphaBlend(const CRect& dest, CDrawDevice& source, const CRect& sourceRect,
                              uint8_t constantAlpha)
{
    loadBlendFunctions();
    if (!gAlphaBlendProc) return;
    BLENDFUNCTION blend;
    blend.BlendOp = AC_SRC_OVER;
    blend.BlendFlags = 0;
    blend.SourceConstantAlpha = constantAlpha;
    blend.AlphaFormat = AC_SRC_ALPHA;
    gAlphaBlendProc(dc, dest.left, dest.top, dest.width(), dest.height(), sourceDC(source),
                    sourceRect.left, sourceRect.top, sourceRect.width(), sourceRect.height(),
                    blend);
}

void CWin32Device::transparentCopy(const CRect& dest, CDrawDevice& source, const CRect& sourceRect,
                                   uint32_t keyColor)
{
    loadBlendFunctions();
    if (!gTransparentBltProc) return;
    gTransparentBltProc(dc, dest.left, dest.top, dest.width(), dest.height(), sourceDC(source),
                        sourceRect.left, sourceRect.top, sourceRect.width(), sourceRect.height(),
                        keyColor);
}
