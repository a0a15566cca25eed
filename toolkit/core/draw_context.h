// The drawing context: one device (a window's client area or an off-screen image), the current
// drawing state (colours, pen, font, clip, offsets) and the primitives in view coordinates.
// COffscreenContext draws into a private image. Also the mouse polling used by modal mouse loops.
// Portable; the platform's work goes through CDrawDevice and CPlatformServices.
#pragma once

#include "toolkit/core/geometry.h"
#include "toolkit/core/reference_counter.h"

#include <cstdint>

class CFrame;
class CBitmap;
class CDrawDevice;
class CPlatformServices;
struct CDeviceObject;

// Set when the system swaps the left and right mouse buttons; the frame records it.
extern bool gSwapButtons;

// The current buttons and modifier keys (kLeftButton ... kAltKey), read now, not from a message.
int32_t getMouseButtons();
int32_t getMouseButtons(CPlatformServices& services);

class CDrawContext : public CReferenceCounter
{
public:
    // device: drawn into, not owned; when null and a window is given, the context obtains the
    // window's device itself and releases it at destruction.
    CDrawContext(CFrame* frame, CDrawDevice* device, void* window);
    CDrawContext(CFrame* frame, CDrawDevice* device, void* window, CPlatformServices& services);
    ~CDrawContext() override;

    void setFrameColor(CColor color);
    void setFillColor(CColor color);
    void setFontColor(CColor color);
    void setLineWidth(int32_t width);
    void setLineStyle(int32_t style);
    void setDrawMode(int32_t mode);
    // size 0: the font table's default size for the id.
    void setFont(int32_t fontId, int32_t size = 0, int32_t style = 0);
    void setClipRect(const CRect& rect);
    CRect& getClipRect(CRect& rect) const;

    CColor getFrameColor() const { return frameColor; }
    CColor getFillColor() const { return fillColor; }
    CColor getFontColor() const { return fontColor; }
    int32_t getLineWidth() const { return lineWidth; }
    int32_t getLineStyle() const { return lineStyle; }
    int32_t getDrawMode() const { return drawMode; }
    int32_t getFontId() const { return fontId; }
    int32_t getFontSize() const { return fontSize; }
    int32_t getFontStyle() const { return fontStyle; }

    void moveTo(const CPoint& p);
    void lineTo(const CPoint& p);
    void drawLines(const CPoint* points, int32_t numberOfLines);
    void drawPolyline(const CPoint* points, int32_t count);
    void fillPolygon(const CPoint* points, int32_t count);
    void drawPolygon(const CPoint* points, int32_t count, int32_t drawStyle = kStroke);
    void drawRect(const CRect& rect, int32_t drawStyle = kStroke);
    void fillRect(const CRect& rect);
    void drawEllipse(const CRect& rect);
    void fillEllipse(const CRect& rect);
    void drawArc(const CRect& rect, const CPoint& point1, const CPoint& point2);
    void drawPoint(const CPoint& p, CColor color);
    CColor getPoint(const CPoint& p);
    void floodFill(const CPoint& p);

    void drawString(const char* text, const CRect& rect, bool opaque = false,
                    int32_t alignment = kAlignCenter);
    int32_t getStringWidth(const char* text);

    void getMouseLocation(CPoint& point);
    bool waitDoubleClick();
    bool waitDrag();

    CFrame* getFrame() const { return frame; }
    void* getWindow() const { return window; }
    CDrawDevice* getDevice() const { return device; }
    CPlatformServices& getPlatformServices() const { return *services; }

    // Screen position of the drawing origin, and the shift added to every coordinate.
    CPoint offsetScreen;
    CPoint offset;

protected:
    // Puts the state back into the device's hands: re-selects the prior objects and deletes
    // the context's own. Called once, before the device goes away.
    void releaseDeviceObjects();
    // Records what the device has selected, to restore it at the end.
    void recordPriorObjects();
    void applyRecordedState();
    void replacePen();

    CDrawDevice* device = nullptr;
    void* window = nullptr;
    CFrame* frame = nullptr;
    CPlatformServices* services = nullptr;

    int32_t fontSize = -1;
    int32_t fontStyle = 0;
    int32_t fontId = kNumFonts;
    CColor fontColor;
    int32_t lineWidth = 0;
    CColor frameColor;
    CColor fillColor;
    int32_t lineStyle = kDottedLine;
    int32_t drawMode = 3;
    CRect clipRect;

    CDeviceObject* brush = nullptr;
    CDeviceObject* pen = nullptr;
    CDeviceObject* font = nullptr;
    CDeviceObject* priorBrush = nullptr;
    CDeviceObject* priorPen = nullptr;
    CDeviceObject* priorFont = nullptr;
    int32_t penStyle = 0;
    CDrawDevice* ownDevice = nullptr;
};

class COffscreenContext : public CDrawContext
{
public:
    // An image of width x height compatible with the frame's window, in the background colour.
    COffscreenContext(CFrame* frame, int32_t width, int32_t height,
                      CColor background = kColorBlack);
    // An image for the bitmap's size (20 x 20 without a bitmap), compatible with the context's
    // device. drawIntoBitmap: the bitmap's own image is drawn into. Otherwise a private image
    // starts as a copy of the bitmap, or black without one.
    COffscreenContext(CDrawContext* context, CBitmap* bitmap, bool drawIntoBitmap = false);
    ~COffscreenContext() override;

    // Copies a block of destRect's size from this image at sourceOffset into the target at
    // destRect (plus the target's offset).
    void blitTo(CDrawContext* target, const CRect& destRect, const CPoint& sourceOffset = CPoint());
    // Copies sourceRect (plus the source's offset) from the source into this image at
    // destOffset.
    void grabFrom(CDrawContext* source, const CRect& sourceRect,
                  const CPoint& destOffset = CPoint());

    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    CColor getBackgroundColor() const { return backgroundColor; }
    CBitmap* getBitmap() const { return bitmap; }

protected:
    CBitmap* bitmap = nullptr; // the image drawn into or copied, not owned; none in this form
    int32_t height = 0;
    int32_t width = 0;
    bool destroyImage = false;
    CColor backgroundColor;
    CDrawDevice* image = nullptr; // the memory device with its image
};
