// The software back end's drawing device: a memory surface with its selected objects and state,
// drawn by the toolkit's own raster. Software back end only.
#pragma once

#include "toolkit/core/backend/draw_device.h"
#include "toolkit/core/backend_soft/soft_surface.h"

#include <memory>

class CSoftDevice : public CDrawDevice
{
public:
    CSoftDevice(int32_t width, int32_t height);
    // A device drawing into a surface it does not own, such as a memory window's.
    explicit CSoftDevice(CSoftSurface& borrowed);
    ~CSoftDevice() override;

    CSoftSurface& surface() { return pixels; }

    CDeviceObject* createPen(const CPenDescription& description) override;
    CDeviceObject* createSolidBrush(uint32_t color) override;
    CDeviceObject* createFont(const CFontDescription& description) override;
    CDeviceObject* nullPen() override;
    CDeviceObject* selectObject(CDeviceObject* object) override;
    void deleteObject(CDeviceObject* object) override;
    CDeviceObject* currentObject(CDeviceObjectKind kind) override;

    void setTextColor(uint32_t color) override { textColor = color; }
    void setBackgroundColor(uint32_t color) override { backgroundColor = color; }
    void setBackgroundOpaque(bool opaque) override { backgroundOpaque = opaque; }
    void setRasterOp(CRasterOp op) override { rasterOp = op; }
    void setClipRect(const CRect& rect) override { clip = rect; }

    void moveTo(CPoint p) override { position = p; }
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

    void* nativeHandle() override { return &pixels; }

private:
    CSoftRaster raster();
    CSoftPen currentPen() const;
    // Runs f(destX, destY, sourcePixel) over dest, sampling sourceRect of the source
    // (nearest pixel when the sizes differ), within the clip and both surfaces.
    template <typename F>
    void eachSourcePixel(const CRect& dest, CSoftSurface& source, const CRect& sourceRect, F f);

    std::unique_ptr<CSoftSurface> ownedPixels; // declared first: pixels may refer to it
    CSoftSurface& pixels;
    struct Objects;
    std::unique_ptr<Objects> objects;
    uint32_t textColor = 0;
    uint32_t backgroundColor = 0xFFFFFF;
    bool backgroundOpaque = true;
    CRasterOp rasterOp = kRopCopyPen;
    CRect clip;
    CPoint position;
};
