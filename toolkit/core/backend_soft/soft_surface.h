// A memory surface of 32-bit pixels (blue, green, red, alpha bytes; rows top-down) and the
// software raster that draws into it with the toolkit's pixel rules: lines exclude their end
// pixel, fills exclude their right column and bottom row. Software back end only.
#pragma once

#include "toolkit/core/geometry.h"

#include <cstdint>
#include <vector>

// A pixel value: 0xAARRGGBB.
using CSoftPixel = uint32_t;

// Platform colour (red + 256 green + 65536 blue) to an opaque pixel and back.
inline CSoftPixel softPixelFromColor(uint32_t color)
{
    return 0xFF000000u | ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}
inline uint32_t softColorFromPixel(CSoftPixel pixel)
{
    return ((pixel >> 16) & 0xFFu) | (pixel & 0xFF00u) | ((pixel & 0xFFu) << 16);
}

class CSoftSurface
{
public:
    CSoftSurface(int32_t width, int32_t height);

    int32_t width() const { return w; }
    int32_t height() const { return h; }
    CRect bounds() const { return CRect(0, 0, w, h); }
    CSoftPixel* row(int32_t y) { return pixels.data() + static_cast<size_t>(y) * w; }
    const CSoftPixel* row(int32_t y) const { return pixels.data() + static_cast<size_t>(y) * w; }
    CSoftPixel& at(int32_t x, int32_t y) { return row(y)[x]; }
    CSoftPixel at(int32_t x, int32_t y) const { return row(y)[x]; }

private:
    int32_t w;
    int32_t h;
    std::vector<CSoftPixel> pixels;
};

// How pen and brush pixels combine with the surface.
enum CSoftRasterMode
{
    kSoftCopy,
    kSoftMerge, // or
    kSoftNotXor
};

// A pen as the raster sees it.
struct CSoftPen
{
    bool visible = true;
    bool dotted = false;
    int32_t width = 1;
    CSoftPixel pixel = 0xFF000000u;
    // The gaps of a dotted pen are painted in this colour while the background is opaque.
    bool opaqueGaps = false;
    CSoftPixel gapPixel = 0xFFFFFFFFu;
};

// Draws into one surface within a clip rectangle.
class CSoftRaster
{
public:
    CSoftRaster(CSoftSurface& surface, const CRect& clip, CSoftRasterMode mode);

    // One pixel combined with the raster mode, clipped.
    void plot(int32_t x, int32_t y, CSoftPixel pixel);
    // One pixel replaced, clipped.
    void put(int32_t x, int32_t y, CSoftPixel pixel);

    // A line from a to b without the pixel at b. dashPhase carries the dot pattern across the
    // segments of one polyline.
    void line(CPoint a, CPoint b, const CSoftPen& pen, int32_t& dashPhase);
    // Rows top..bottom-1, columns left..right-1, replaced (fills ignore the raster mode).
    void fillRect(const CRect& rect, CSoftPixel pixel);
    // The interior of a polygon, alternate (even-odd) rule, combined with the raster mode.
    void fillPolygon(const CPoint* points, int32_t count, CSoftPixel pixel);
    // Ellipse within box (right and bottom out): interior and outline parts.
    void fillEllipse(const CRect& box, CSoftPixel pixel);
    // The outline from the ray towards start to the ray towards end, counter-clockwise; the
    // whole outline when both rays are the same.
    void arc(const CRect& box, CPoint start, CPoint end, const CSoftPen& pen);
    // Fills the 4-connected area of surfaceColor around p.
    void floodFill(CPoint p, CSoftPixel surfaceColor, CSoftPixel pixel);

private:
    void penDot(int32_t x, int32_t y, const CSoftPen& pen);

    CSoftSurface& surface;
    CRect clip;
    CSoftRasterMode mode;
};
