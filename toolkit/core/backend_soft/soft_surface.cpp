#include "toolkit/core/backend_soft/soft_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace
{
constexpr double kPi = 3.14159265358979323846;
// A dotted pen: this many pixels drawn, then as many left out.
constexpr int32_t kDotLength = 3;
} // namespace

CSoftSurface::CSoftSurface(int32_t width, int32_t height)
    : w(std::max(width, 0)), h(std::max(height, 0)), pixels(static_cast<size_t>(w) * h, 0u)
{
}

CSoftRaster::CSoftRaster(CSoftSurface& surface, const CRect& clip, CSoftRasterMode mode)
    : surface(surface), clip(clip), mode(mode)
{
    this->clip.bound(surface.bounds());
}

void CSoftRaster::put(int32_t x, int32_t y, CSoftPixel pixel)
{
    if (clip.pointInside(CPoint(x, y))) surface.at(x, y) = pixel;
}

void CSoftRaster::plot(int32_t x, int32_t y, CSoftPixel pixel)
{
    if (!clip.pointInside(CPoint(x, y))) return;
    CSoftPixel& target = surface.at(x, y);
    switch (mode)
    {
    case kSoftCopy:
        target = pixel;
        break;
    case kSoftMerge:
        target = 0xFF000000u | ((target | pixel) & 0xFFFFFFu);
        break;
    case kSoftNotXor:
        target = 0xFF000000u | (~(target ^ pixel) & 0xFFFFFFu);
        break;
    }
}

void CSoftRaster::penDot(int32_t x, int32_t y, const CSoftPen& pen)
{
    if (pen.width <= 1)
    {
        plot(x, y, pen.pixel);
        return;
    }
    // Wide pens are drawn as squares centred on the line.
    const int32_t x0 = x - pen.width / 2;
    const int32_t y0 = y - pen.width / 2;
    for (int32_t dy = 0; dy < pen.width; ++dy)
        for (int32_t dx = 0; dx < pen.width; ++dx)
            plot(x0 + dx, y0 + dy, pen.pixel);
}

void CSoftRaster::line(CPoint a, CPoint b, const CSoftPen& pen, int32_t& dashPhase)
{
    if (!pen.visible) return;
    const int32_t dx = std::abs(b.x - a.x);
    const int32_t dy = std::abs(b.y - a.y);
    const int32_t sx = a.x < b.x ? 1 : -1;
    const int32_t sy = a.y < b.y ? 1 : -1;
    const int32_t steps = std::max(dx, dy);
    const bool dotted = pen.dotted && pen.width <= 1;
    int32_t x = a.x;
    int32_t y = a.y;
    int32_t error = (dx > dy ? dx : -dy) / 2;
    for (int32_t i = 0; i < steps; ++i)
    {
        if (!dotted || (dashPhase / kDotLength) % 2 == 0)
            penDot(x, y, pen);
        else if (pen.opaqueGaps)
            plot(x, y, pen.gapPixel);
        ++dashPhase;
        const int32_t e = error;
        if (e > -dx)
        {
            error -= dy;
            x += sx;
        }
        if (e < dy)
        {
            error += dx;
            y += sy;
        }
    }
}

void CSoftRaster::fillRect(const CRect& rect, CSoftPixel pixel)
{
    CRect r = rect;
    r.bound(clip);
    for (int32_t y = r.top; y < r.bottom; ++y)
    {
        CSoftPixel* p = surface.row(y);
        std::fill(p + r.left, p + r.right, pixel);
    }
}

void CSoftRaster::fillPolygon(const CPoint* points, int32_t count, CSoftPixel pixel)
{
    if (count < 3) return;
    int32_t minY = points[0].y;
    int32_t maxY = points[0].y;
    for (int32_t i = 1; i < count; ++i)
    {
        minY = std::min(minY, points[i].y);
        maxY = std::max(maxY, points[i].y);
    }
    minY = std::max(minY, clip.top);
    maxY = std::min(maxY, clip.bottom);
    std::vector<double> crossings;
    for (int32_t y = minY; y < maxY; ++y)
    {
        // Sample each row at the pixel centres; a pixel is inside when its centre is.
        const double yc = y + 0.5;
        crossings.clear();
        for (int32_t i = 0; i < count; ++i)
        {
            const CPoint& p = points[i];
            const CPoint& q = points[(i + 1) % count];
            if ((p.y <= yc) == (q.y <= yc)) continue;
            crossings.push_back(p.x + (yc - p.y) * (q.x - p.x) / static_cast<double>(q.y - p.y));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t i = 0; i + 1 < crossings.size(); i += 2)
        {
            const int32_t from = static_cast<int32_t>(std::ceil(crossings[i] - 0.5));
            const int32_t to = static_cast<int32_t>(std::ceil(crossings[i + 1] - 0.5));
            for (int32_t x = std::max(from, clip.left); x < std::min(to, clip.right); ++x)
                plot(x, y, pixel);
        }
    }
}

void CSoftRaster::fillEllipse(const CRect& box, CSoftPixel pixel)
{
    const double rx = (box.right - box.left - 1) / 2.0;
    const double ry = (box.bottom - box.top - 1) / 2.0;
    if (rx <= 0 || ry <= 0) return;
    const double cx = box.left + rx;
    const double cy = box.top + ry;
    for (int32_t y = std::max(box.top, clip.top); y < std::min(box.bottom, clip.bottom); ++y)
    {
        for (int32_t x = std::max(box.left, clip.left); x < std::min(box.right, clip.right); ++x)
        {
            const double u = (x - cx) / rx;
            const double v = (y - cy) / ry;
            if (u * u + v * v < 1.0) plot(x, y, pixel);
        }
    }
}

void CSoftRaster::arc(const CRect& box, CPoint start, CPoint end, const CSoftPen& pen)
{
    if (!pen.visible) return;
    const double rx = (box.right - box.left - 1) / 2.0;
    const double ry = (box.bottom - box.top - 1) / 2.0;
    if (rx < 0 || ry < 0) return;
    const double cx = box.left + rx;
    const double cy = box.top + ry;
    // Parameter angles of the two rays, y pointing up so that increasing angles run
    // counter-clockwise on the screen.
    auto parameter = [&](CPoint p)
    {
        const double ux = rx > 0 ? (p.x - cx) / rx : (p.x - cx);
        const double uy = ry > 0 ? (cy - p.y) / ry : (cy - p.y);
        return std::atan2(uy, ux);
    };
    const double from = parameter(start);
    double to = parameter(end);
    while (to <= from)
        to += 2 * kPi;
    const int32_t steps =
        std::max(16, static_cast<int32_t>(std::ceil(8 * (rx + ry + 1) * (to - from) / (2 * kPi))));
    std::vector<CPoint> outline;
    for (int32_t i = 0; i <= steps; ++i)
    {
        const double t = from + (to - from) * i / steps;
        const CPoint p(static_cast<int32_t>(std::lround(cx + rx * std::cos(t))),
                       static_cast<int32_t>(std::lround(cy - ry * std::sin(t))));
        if (outline.empty() || outline.back() != p) outline.push_back(p);
    }
    if (outline.size() > 1 && outline.front() == outline.back()) outline.pop_back();
    for (const CPoint& p : outline)
        penDot(p.x, p.y, pen);
}

void CSoftRaster::floodFill(CPoint p, CSoftPixel surfaceColor, CSoftPixel pixel)
{
    if (!clip.pointInside(p)) return;
    const CSoftPixel match = surfaceColor & 0xFFFFFFu;
    auto matches = [&](int32_t x, int32_t y) { return (surface.at(x, y) & 0xFFFFFFu) == match; };
    if (!matches(p.x, p.y)) return;
    const int32_t w = surface.width();
    std::vector<bool> visited(static_cast<size_t>(w) * surface.height(), false);
    std::vector<CPoint> pending{p};
    visited[static_cast<size_t>(p.y) * w + p.x] = true;
    while (!pending.empty())
    {
        const CPoint q = pending.back();
        pending.pop_back();
        surface.at(q.x, q.y) = pixel;
        const CPoint next[4] = {{q.x + 1, q.y}, {q.x - 1, q.y}, {q.x, q.y + 1}, {q.x, q.y - 1}};
        for (const CPoint& n : next)
        {
            if (!clip.pointInside(n)) continue;
            const size_t index = static_cast<size_t>(n.y) * w + n.x;
            if (visited[index] || !matches(n.x, n.y)) continue;
            visited[index] = true;
            pending.push_back(n);
        }
    }
}
