#include "toolkit/core/backend_soft/soft_device.h"

#include "toolkit/core/backend_soft/soft_fonts.h"

#include <algorithm>
#include <cstring>
#include <vector>

// The software back end's pens, brushes and fonts.
struct CDeviceObject
{
    CDeviceObjectKind kind;
    bool stock = false; // shared, never deleted
    CPenDescription pen;
    uint32_t brushColor = 0;
    std::unique_ptr<CSoftFont> font;
};

namespace
{
CDeviceObject* makePen(const CPenDescription& description, bool stock)
{
    auto* object = new CDeviceObject{kPenObject, stock, description, 0, nullptr};
    return object;
}

CDeviceObject* makeBrush(uint32_t color, bool stock)
{
    return new CDeviceObject{kBrushObject, stock, {}, color, nullptr};
}

CDeviceObject* makeFont(const CFontDescription& description, bool stock)
{
    auto* object = new CDeviceObject{kFontObject, stock, {}, 0, nullptr};
    object->font = std::make_unique<CSoftFont>(description);
    return object;
}

// Shared objects like a fresh device context's: a null pen, and the defaults selected into
// every new device (black pen, white brush, a bold sans-serif font).
struct CStockObjects
{
    CStockObjects()
    {
        CPenDescription none;
        none.style = kPenNull;
        nullPen.reset(makePen(none, true));
        blackPen.reset(makePen(CPenDescription(), true));
        whiteBrush.reset(makeBrush(0xFFFFFF, true));
        CFontDescription system;
        system.height = -16;
        system.weight = kFontWeightBold;
        std::strcpy(system.faceName, "Arial");
        systemFont.reset(makeFont(system, true));
    }
    std::unique_ptr<CDeviceObject> nullPen, blackPen, whiteBrush, systemFont;
};

CStockObjects& stock()
{
    static CStockObjects objects;
    return objects;
}

CSoftRasterMode rasterMode(CRasterOp op)
{
    switch (op)
    {
    case kRopMergePen:
        return kSoftMerge;
    case kRopNotXorPen:
        return kSoftNotXor;
    default:
        return kSoftCopy;
    }
}
} // namespace

struct CSoftDevice::Objects
{
    CDeviceObject* pen = stock().blackPen.get();
    CDeviceObject* brush = stock().whiteBrush.get();
    CDeviceObject* font = stock().systemFont.get();
};

CSoftDevice::CSoftDevice(int32_t width, int32_t height)
    : ownedPixels(std::make_unique<CSoftSurface>(width, height)), pixels(*ownedPixels),
      objects(std::make_unique<Objects>()), clip(pixels.bounds())
{
}

CSoftDevice::CSoftDevice(CSoftSurface& borrowed)
    : pixels(borrowed), objects(std::make_unique<Objects>()), clip(pixels.bounds())
{
}

CSoftDevice::~CSoftDevice() = default;

CDeviceObject* CSoftDevice::createPen(const CPenDescription& description)
{
    return makePen(description, false);
}

CDeviceObject* CSoftDevice::createSolidBrush(uint32_t color)
{
    return makeBrush(color, false);
}

CDeviceObject* CSoftDevice::createFont(const CFontDescription& description)
{
    return makeFont(description, false);
}

CDeviceObject* CSoftDevice::nullPen()
{
    return stock().nullPen.get();
}

CDeviceObject* CSoftDevice::selectObject(CDeviceObject* object)
{
    if (!object) return nullptr;
    CDeviceObject** slot = object->kind == kPenObject     ? &objects->pen
                           : object->kind == kBrushObject ? &objects->brush
                                                          : &objects->font;
    CDeviceObject* previous = *slot;
    *slot = object;
    return previous;
}

void CSoftDevice::deleteObject(CDeviceObject* object)
{
    if (!object || object->stock) return;
    // Like the platform: a selected object stays alive.
    if (object == objects->pen || object == objects->brush || object == objects->font) return;
    delete object;
}

CDeviceObject* CSoftDevice::currentObject(CDeviceObjectKind kind)
{
    switch (kind)
    {
    case kPenObject:
        return objects->pen;
    case kBrushObject:
        return objects->brush;
    default:
        return objects->font;
    }
}

CSoftRaster CSoftDevice::raster()
{
    return CSoftRaster(pixels, clip, rasterMode(rasterOp));
}

CSoftPen CSoftDevice::currentPen() const
{
    const CPenDescription& description = objects->pen->pen;
    CSoftPen pen;
    pen.visible = description.style != kPenNull;
    pen.dotted = description.style == kPenDot;
    pen.width = std::max(description.width, 1);
    pen.pixel = softPixelFromColor(description.color);
    pen.opaqueGaps = backgroundOpaque;
    pen.gapPixel = softPixelFromColor(backgroundColor);
    return pen;
}

void CSoftDevice::lineTo(CPoint p)
{
    int32_t phase = 0;
    raster().line(position, p, currentPen(), phase);
    position = p;
}

void CSoftDevice::polyline(const CPoint* points, int32_t count)
{
    CSoftRaster r = raster();
    const CSoftPen pen = currentPen();
    int32_t phase = 0;
    for (int32_t i = 1; i < count; ++i)
        r.line(points[i - 1], points[i], pen, phase);
}

void CSoftDevice::polygon(const CPoint* points, int32_t count)
{
    CSoftRaster r = raster();
    r.fillPolygon(points, count, softPixelFromColor(objects->brush->brushColor));
    const CSoftPen pen = currentPen();
    int32_t phase = 0;
    for (int32_t i = 0; i < count && count > 1; ++i)
        r.line(points[i], points[(i + 1) % count], pen, phase);
}

void CSoftDevice::fillRect(const CRect& rect, CDeviceObject* brush)
{
    if (!brush || brush->kind != kBrushObject) return;
    raster().fillRect(rect, softPixelFromColor(brush->brushColor));
}

void CSoftDevice::ellipse(const CRect& box)
{
    CSoftRaster r = raster();
    r.fillEllipse(box, softPixelFromColor(objects->brush->brushColor));
    const CPoint top(box.left + (box.right - box.left) / 2, box.top);
    r.arc(box, top, top, currentPen());
}

void CSoftDevice::arc(const CRect& box, CPoint start, CPoint end)
{
    raster().arc(box, start, end, currentPen());
}

void CSoftDevice::setPixel(CPoint p, uint32_t color)
{
    CSoftRaster(pixels, clip, kSoftCopy).put(p.x, p.y, softPixelFromColor(color));
}

uint32_t CSoftDevice::getPixel(CPoint p)
{
    CRect visible = clip;
    visible.bound(pixels.bounds());
    if (!visible.pointInside(p)) return kInvalidPixel;
    return softColorFromPixel(pixels.at(p.x, p.y));
}

void CSoftDevice::floodFillSurface(CPoint p, uint32_t surfaceColor)
{
    raster().floodFill(p, softPixelFromColor(surfaceColor),
                       softPixelFromColor(objects->brush->brushColor));
}

void CSoftDevice::drawText(const char* text, const CRect& rect, uint32_t format)
{
    const CSoftFont* font = objects->font->font.get();
    if (!text || !font) return;
    // One line: horizontal placement by the format, centred vertically, clipped to the rect.
    const CPoint size = font->extent(text);
    int32_t x = rect.left;
    if (format & kTextCenter)
        x = rect.left + (rect.right - rect.left - size.x) / 2;
    else if (format & kTextRight)
        x = rect.right - size.x;
    int32_t y = rect.top;
    if (format & kTextVCenter) y = rect.top + (rect.bottom - rect.top - size.y) / 2;

    CRect textClip = rect;
    textClip.bound(clip);
    CSoftRaster r(pixels, textClip, kSoftCopy);
    if (backgroundOpaque)
        r.fillRect(CRect(x, y, x + size.x, y + size.y), softPixelFromColor(backgroundColor));
    const CSoftPixel ink = softPixelFromColor(textColor);
    font->render(text, CPoint(x, y), [&](int32_t px, int32_t py) { r.put(px, py, ink); });
}

CPoint CSoftDevice::textExtent(const char* text)
{
    const CSoftFont* font = objects->font->font.get();
    return font ? font->extent(text) : CPoint();
}

template <typename F>
void CSoftDevice::eachSourcePixel(const CRect& dest, CSoftSurface& source, const CRect& sourceRect,
                                  F f)
{
    const int32_t dw = dest.width();
    const int32_t dh = dest.height();
    const int32_t sw = sourceRect.width();
    const int32_t sh = sourceRect.height();
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    CRect target = dest;
    target.bound(clip);
    target.bound(pixels.bounds());
    for (int32_t y = target.top; y < target.bottom; ++y)
    {
        const int32_t sy =
            sourceRect.top + static_cast<int32_t>(static_cast<int64_t>(y - dest.top) * sh / dh);
        if (sy < 0 || sy >= source.height()) continue;
        for (int32_t x = target.left; x < target.right; ++x)
        {
            const int32_t sx = sourceRect.left +
                               static_cast<int32_t>(static_cast<int64_t>(x - dest.left) * sw / dw);
            if (sx < 0 || sx >= source.width()) continue;
            f(x, y, source.at(sx, sy));
        }
    }
}

void CSoftDevice::copyBlock(const CRect& dest, CDrawDevice& source, CPoint sourceOrigin)
{
    auto* soft = dynamic_cast<CSoftDevice*>(&source);
    if (!soft) return;
    const CRect from(sourceOrigin.x, sourceOrigin.y, sourceOrigin.x + dest.width(),
                     sourceOrigin.y + dest.height());
    if (soft == this)
    {
        // Copy within one surface through a snapshot, so overlapping blocks stay intact.
        CSoftSurface snapshot = pixels;
        eachSourcePixel(dest, snapshot, from,
                        [&](int32_t x, int32_t y, CSoftPixel p) { pixels.at(x, y) = p; });
        return;
    }
    eachSourcePixel(dest, soft->pixels, from,
                    [&](int32_t x, int32_t y, CSoftPixel p) { pixels.at(x, y) = p; });
}

void CSoftDevice::alphaBlend(const CRect& dest, CDrawDevice& source, const CRect& sourceRect,
                             uint8_t constantAlpha)
{
    auto* soft = dynamic_cast<CSoftDevice*>(&source);
    if (!soft || soft == this) return;
    const uint32_t ca = constantAlpha;
    eachSourcePixel(
        dest, soft->pixels, sourceRect,
        [&](int32_t x, int32_t y, CSoftPixel s)
        {
            CSoftPixel& d = pixels.at(x, y);
            // Premultiplied source over destination: d = s * ca + d * (1 - alpha(s) * ca).
            uint32_t channel[4];
            const uint32_t sa = ((s >> 24) * ca + 127) / 255;
            for (int shift = 0, i = 0; shift < 32; shift += 8, ++i)
            {
                const uint32_t sc = (((s >> shift) & 0xFF) * ca + 127) / 255;
                const uint32_t dc = (d >> shift) & 0xFF;
                channel[i] = std::min<uint32_t>(255, sc + (dc * (255 - sa) + 127) / 255);
            }
            d = channel[0] | (channel[1] << 8) | (channel[2] << 16) | (channel[3] << 24);
        });
}

void CSoftDevice::transparentCopy(const CRect& dest, CDrawDevice& source, const CRect& sourceRect,
                                  uint32_t keyColor)
{
    auto* soft = dynamic_cast<CSoftDevice*>(&source);
    if (!soft || soft == this) return;
    const CSoftPixel key = softPixelFromColor(keyColor) & 0xFFFFFFu;
    eachSourcePixel(dest, soft->pixels, sourceRect,
                    [&](int32_t x, int32_t y, CSoftPixel s)
                    {
                        if ((s & 0xFFFFFFu) != key) pixels.at(x, y) = s;
                    });
}
