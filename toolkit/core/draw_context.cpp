#include "toolkit/core/draw_context.h"

#include "toolkit/core/backend/draw_device.h"
#include "toolkit/core/backend/platform_services.h"
#include "toolkit/core/frame_services.h"

#include <algorithm>
#include <cstring>
#include <new>

bool gSwapButtons = false;

namespace
{
// Polylines of up to this many points are translated without allocating.
constexpr int32_t kLocalPointCount = 30;

// Translates points by the offset, into a local buffer or, for long lists, a heap buffer.
class CTranslatedPoints
{
public:
    CTranslatedPoints(const CPoint* points, int32_t count, const CPoint& offset)
    {
        if (count > kLocalPointCount)
        {
            heap = new (std::nothrow) CPoint[count];
            if (!heap) return;
            data = heap;
        }
        else
        {
            data = local;
        }
        for (int32_t i = 0; i < count; ++i)
            data[i] = CPoint(points[i].x + offset.x, points[i].y + offset.y);
    }
    ~CTranslatedPoints() { delete[] heap; }
    CTranslatedPoints(const CTranslatedPoints&) = delete;
    CTranslatedPoints& operator=(const CTranslatedPoints&) = delete;

    const CPoint* get() const { return data; }

private:
    CPoint local[kLocalPointCount];
    CPoint* heap = nullptr;
    CPoint* data = nullptr;
};

bool insideDragSquare(const CPoint& origin, const CPoint& p)
{
    return p.x >= origin.x - 2 && p.x < origin.x + 2 && p.y >= origin.y - 2 && p.y < origin.y + 2;
}

// True once the tick count has reached the deadline (wrap-around safe).
bool reached(uint32_t now, uint32_t deadline)
{
    return static_cast<int32_t>(now - deadline) >= 0;
}
} // namespace

int32_t getMouseButtons(CPlatformServices& services)
{
    int32_t buttons = 0;
    if (services.keyDown(kInputLeftButton)) buttons |= gSwapButtons ? kRightButton : kLeftButton;
    if (services.keyDown(kInputMiddleButton)) buttons |= kMiddleButton;
    if (services.keyDown(kInputRightButton)) buttons |= gSwapButtons ? kLeftButton : kRightButton;
    if (services.keyDown(kInputShift)) buttons |= kShiftKey;
    if (services.keyDown(kInputControl)) buttons |= kControlKey;
    if (services.keyDown(kInputAlt)) buttons |= kAltKey;
    return buttons;
}

int32_t getMouseButtons()
{
    return getMouseButtons(platformServices());
}

// --- CDrawContext ------------------------------------------------------------------------------

CDrawContext::CDrawContext(CFrame* frame, CDrawDevice* device, void* window)
    : CDrawContext(frame, device, window, platformServices())
{
}

CDrawContext::CDrawContext(CFrame* frame, CDrawDevice* device, void* window,
                           CPlatformServices& services)
    : device(device), window(window), frame(frame), services(&services)
{
    clipRect = frame ? frameViewSize(frame) : CRect(0, 0, 1000, 1000);

    if (device)
    {
        recordPriorObjects();
        device->setBackgroundOpaque(false);
    }
    else if (window)
    {
        ownDevice = services.createWindowDevice(window);
        if (ownDevice)
        {
            this->device = ownDevice;
            recordPriorObjects();
            ownDevice->setBackgroundOpaque(false);
        }
    }
    if (window)
    {
        CRect screenRect;
        if (services.windowRect(window, screenRect))
            offsetScreen = CPoint(screenRect.left, screenRect.top);
    }

    setFrameColor(kColorWhite);
    setLineStyle(kSolidLine);
    setLineWidth(1);
    setFillColor(kColorBlack);
    setFontColor(kColorWhite);
    setFont(kFontSystem, 0, 0);
    setDrawMode(kModeCopy);
}

CDrawContext::~CDrawContext()
{
    releaseDeviceObjects();
    delete ownDevice;
}

void CDrawContext::recordPriorObjects()
{
    priorBrush = device->currentObject(kBrushObject);
    priorPen = device->currentObject(kPenObject);
    priorFont = device->currentObject(kFontObject);
}

// An off-screen image gets its device after the initial state was recorded without one: give
// it the pen, brush, font, text colour and raster operation that the fields describe, so that a
// setter that is skipped as unchanged later still finds its value on the device.
void CDrawContext::applyRecordedState()
{
    if (!device) return;
    replacePen();
    CColor fill = fillColor;
    fillColor.alpha = static_cast<uint8_t>(~fill.alpha);
    setFillColor(fill);
    setFontColor(fontColor);
    int32_t id = fontId, size = fontSize, style = fontStyle;
    fontId = kNumFonts;
    setFont(id, size, style);
    int32_t mode = drawMode;
    drawMode = -1;
    setDrawMode(mode);
}

void CDrawContext::releaseDeviceObjects()
{
    if (!device) return;
    if (priorBrush) device->selectObject(priorBrush);
    if (priorPen) device->selectObject(priorPen);
    if (priorFont) device->selectObject(priorFont);
    if (brush) device->deleteObject(brush);
    if (pen) device->deleteObject(pen);
    if (font) device->deleteObject(font);
    brush = pen = font = nullptr;
    priorBrush = priorPen = priorFont = nullptr;
}

void CDrawContext::replacePen()
{
    if (!device) return;
    CPenDescription description;
    description.style = penStyle;
    description.width = lineWidth;
    description.color = platformColor(frameColor);
    CDeviceObject* newPen = device->createPen(description);
    if (!newPen) return;
    device->selectObject(newPen);
    if (pen) device->deleteObject(pen);
    pen = newPen;
}

void CDrawContext::setFrameColor(CColor color)
{
    if (color == frameColor) return;
    frameColor = color;
    replacePen();
}

void CDrawContext::setLineWidth(int32_t width)
{
    if (width == lineWidth) return;
    lineWidth = width;
    replacePen();
}

void CDrawContext::setLineStyle(int32_t style)
{
    if (style == lineStyle) return;
    lineStyle = style;
    penStyle = style == kDottedLine ? kPenDot : kPenSolid;
    replacePen();
}

void CDrawContext::setFillColor(CColor color)
{
    if (color == fillColor) return;
    fillColor = color;
    if (!device) return;
    device->setBackgroundColor(platformColor(color));
    CDeviceObject* newBrush = device->createSolidBrush(platformColor(color));
    if (!newBrush) return;
    device->selectObject(newBrush);
    if (brush) device->deleteObject(brush);
    brush = newBrush;
}

void CDrawContext::setFontColor(CColor color)
{
    fontColor = color;
    if (device) device->setTextColor(platformColor(color));
}

void CDrawContext::setDrawMode(int32_t mode)
{
    if (mode == drawMode) return;
    drawMode = mode;
    if (!device) return;
    switch (mode)
    {
    case kModeOr:
        device->setRasterOp(kRopMergePen);
        break;
    case kModeXor:
        device->setRasterOp(kRopNotXorPen);
        break;
    default:
        device->setRasterOp(kRopCopyPen);
        break;
    }
}

void CDrawContext::setFont(int32_t id, int32_t size, int32_t style)
{
    if (id < 0 || id >= kNumFonts) id = kFontSystem;
    const int32_t effectiveSize = size != 0 ? size : kFontTable[id].defaultSize;
    if (id == fontId && effectiveSize == fontSize && style == fontStyle) return;
    fontStyle = style;
    fontId = id;
    fontSize = effectiveSize;
    if (!device) return;

    CFontDescription description;
    description.height = -effectiveSize;
    description.weight = (style & kStyleBold) ? kFontWeightBold : kFontWeightNormal;
    description.italic = (style & kStyleItalic) != 0;
    description.underline = (style & kStyleUnderline) != 0;
    description.pitchAndFamily = kFontSwissVariablePitch;
    if (id == kFontSymbol) description.pitchAndFamily = kFontDecorative;
    if (id == kFontSystem) description.weight = kFontWeightBold;
    std::strncpy(description.faceName, kFontTable[id].face, sizeof(description.faceName) - 1);

    CDeviceObject* newFont = device->createFont(description);
    if (!newFont) return;
    device->selectObject(newFont);
    if (font) device->deleteObject(font);
    font = newFont;
}

void CDrawContext::setClipRect(const CRect& rect)
{
    CRect translated = rect;
    translated.offset(offset.x, offset.y);
    if (translated == clipRect) return;
    clipRect = translated;
    if (device) device->setClipRect(clipRect);
}

CRect& CDrawContext::getClipRect(CRect& rect) const
{
    rect = clipRect;
    rect.offset(-offset.x, -offset.y);
    return rect;
}

void CDrawContext::moveTo(const CPoint& p)
{
    if (device) device->moveTo(CPoint(p.x + offset.x, p.y + offset.y));
}

void CDrawContext::lineTo(const CPoint& p)
{
    if (device) device->lineTo(CPoint(p.x + offset.x, p.y + offset.y));
}

void CDrawContext::drawLines(const CPoint* points, int32_t numberOfLines)
{
    for (int32_t i = 0; i < numberOfLines; ++i)
    {
        moveTo(points[2 * i]);
        lineTo(points[2 * i + 1]);
    }
}

void CDrawContext::drawPolyline(const CPoint* points, int32_t count)
{
    if (!device || !points || count <= 0) return;
    CTranslatedPoints translated(points, count, offset);
    if (translated.get()) device->polyline(translated.get(), count);
}

void CDrawContext::fillPolygon(const CPoint* points, int32_t count)
{
    if (!device || !points || count <= 0) return;
    CTranslatedPoints translated(points, count, offset);
    if (!translated.get()) return;
    CDeviceObject* previousPen = device->selectObject(device->nullPen());
    device->polygon(translated.get(), count);
    device->selectObject(previousPen);
}

void CDrawContext::drawPolygon(const CPoint* points, int32_t count, int32_t drawStyle)
{
    switch (drawStyle)
    {
    case kFill:
        fillPolygon(points, count);
        break;
    case kFillAndStroke:
        fillPolygon(points, count);
        drawPolyline(points, count);
        break;
    case kStroke:
        drawPolyline(points, count);
        break;
    default:
        break;
    }
}

void CDrawContext::drawRect(const CRect& rect, int32_t drawStyle)
{
    if (!device) return;
    if (drawStyle != kStroke && drawStyle != kFill && drawStyle != kFillAndStroke) return;
    CRect r = rect;
    r.offset(offset.x, offset.y);
    if (drawStyle == kFill || drawStyle == kFillAndStroke)
    {
        if (brush) device->fillRect(r, brush);
    }
    if (drawStyle == kStroke || drawStyle == kFillAndStroke)
    {
        device->moveTo(CPoint(r.left, r.top));
        device->lineTo(CPoint(r.right - 1, r.top));
        device->lineTo(CPoint(r.right - 1, r.bottom - 1));
        device->lineTo(CPoint(r.left, r.bottom - 1));
        device->lineTo(CPoint(r.left, r.top));
    }
}

void CDrawContext::fillRect(const CRect& rect)
{
    if (!device || !brush) return;
    CRect r = rect;
    r.offset(offset.x, offset.y);
    device->fillRect(CRect(r.left + 1, r.top + 1, r.right, r.bottom), brush);
}

void CDrawContext::fillEllipse(const CRect& rect)
{
    if (!device) return;
    CRect r = rect;
    r.offset(offset.x, offset.y);
    CDeviceObject* previousPen = device->selectObject(device->nullPen());
    device->ellipse(CRect(r.left + 1, r.top + 1, r.right + 1, r.bottom + 1));
    device->selectObject(previousPen);
}

void CDrawContext::drawEllipse(const CRect& rect)
{
    const CPoint top(rect.left + (rect.right - rect.left) / 2, rect.top);
    drawArc(rect, top, top);
}

void CDrawContext::drawArc(const CRect& rect, const CPoint& point1, const CPoint& point2)
{
    if (!device) return;
    CRect r = rect;
    r.offset(offset.x, offset.y);
    device->arc(CRect(r.left, r.top, r.right + 1, r.bottom + 1),
                CPoint(point1.x + offset.x, point1.y + offset.y),
                CPoint(point2.x + offset.x, point2.y + offset.y));
}

void CDrawContext::drawPoint(const CPoint& p, CColor color)
{
    if (device) device->setPixel(CPoint(p.x + offset.x, p.y + offset.y), platformColor(color));
}

CColor CDrawContext::getPoint(const CPoint& p)
{
    CColor color;
    color.alpha = 255;
    if (!device) return color;
    const uint32_t value = device->getPixel(CPoint(p.x + offset.x, p.y + offset.y));
    color.red = static_cast<uint8_t>(value & 0xFF);
    color.green = static_cast<uint8_t>((value >> 8) & 0xFF);
    color.blue = static_cast<uint8_t>((value >> 16) & 0xFF);
    return color;
}

void CDrawContext::floodFill(const CPoint& p)
{
    if (!device) return;
    const CPoint q(p.x + offset.x, p.y + offset.y);
    device->floodFillSurface(q, device->getPixel(q));
}

void CDrawContext::drawString(const char* text, const CRect& rect, bool opaque, int32_t alignment)
{
    if (!text || !device) return;
    device->setBackgroundOpaque(opaque);
    CRect r = rect;
    r.offset(offset.x, offset.y);
    uint32_t format = kTextSingleLine | kTextVCenter | kTextNoPrefix;
    if (alignment == kAlignCenter)
        format |= kTextCenter;
    else if (alignment == kAlignRight)
        format |= kTextRight;
    else
        r.left += 1;
    device->drawText(text, r, format);
    device->setBackgroundOpaque(false);
}

int32_t CDrawContext::getStringWidth(const char* text)
{
    if (!text || !device) return 0;
    return device->textExtent(text).x;
}

void CDrawContext::getMouseLocation(CPoint& point)
{
    CPoint screen;
    services->cursorPosition(screen);
    point = CPoint(screen.x - offsetScreen.x, screen.y - offsetScreen.y);
}

bool CDrawContext::waitDoubleClick()
{
    CPoint origin;
    getMouseLocation(origin);
    const uint32_t deadline = services->messageTime() + services->doubleClickTime();
    if (reached(services->tickCount(), deadline)) return false;
    for (;;)
    {
        CPoint p;
        getMouseLocation(p);
        if (!insideDragSquare(origin, p)) return false;
        if (services->takeQueuedLeftButtonDown()) return true;
        if (reached(services->tickCount(), deadline)) return false;
    }
}

bool CDrawContext::waitDrag()
{
    if (!frame) return false;
    CPoint origin;
    getMouseLocation(origin);
    while (getMouseButtons(*services) & kLeftButton)
    {
        frameIdleNow(frame);
        CPoint p;
        getMouseLocation(p);
        if (!insideDragSquare(origin, p)) return true;
    }
    return false;
}

// --- COffscreenContext -------------------------------------------------------------------------

COffscreenContext::COffscreenContext(CFrame* frame, int32_t width, int32_t height,
                                     CColor background)
    : CDrawContext(frame, nullptr, nullptr), height(height), width(width), destroyImage(true),
      backgroundColor(background)
{
    clipRect =
        CRect(std::min(0, width), std::min(0, height), std::max(0, width), std::max(0, height));

    CDrawDevice* windowDevice = frame ? services->createWindowDevice(frameWindow(frame)) : nullptr;
    image = services->createImageDevice(windowDevice, width, height);
    delete windowDevice;
    // The image keeps its device's initial background mode (opaque) until the first text.
    if (image)
    {
        device = image;
        recordPriorObjects();
        applyRecordedState();
    }

    setFillColor(background);
    setFrameColor(background);
    fillRect(CRect(0, 0, width, height));
    drawRect(CRect(0, 0, width, height), kStroke);
}

COffscreenContext::~COffscreenContext()
{
    releaseDeviceObjects();
    device = nullptr;
    if (destroyImage) delete image;
}

void COffscreenContext::blitTo(CDrawContext* target, const CRect& destRect,
                               const CPoint& sourceOffset)
{
    if (!target || !device || !target->getDevice()) return;
    CRect dest = destRect;
    dest.offset(target->offset.x, target->offset.y);
    target->getDevice()->copyBlock(dest, *device, sourceOffset);
}

void COffscreenContext::grabFrom(CDrawContext* source, const CRect& sourceRect,
                                 const CPoint& destOffset)
{
    if (!source || !device || !source->getDevice()) return;
    CRect from = sourceRect;
    from.offset(source->offset.x, source->offset.y);
    const CRect dest(destOffset.x, destOffset.y, destOffset.x + from.width(),
                     destOffset.y + from.height());
    device->copyBlock(dest, *source->getDevice(), CPoint(from.left, from.top));
}
