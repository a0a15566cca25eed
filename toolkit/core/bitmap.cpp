#include "toolkit/core/bitmap.h"

#include "toolkit/core/backend/draw_device.h"
#include "toolkit/core/backend/platform_bitmap.h"
#include "toolkit/core/backend/platform_services.h"
#include "toolkit/core/backend/resources.h"
#include "toolkit/core/draw_context.h"
#include "toolkit/core/png_image.h"

#include <algorithm>

CBitmap::CBitmap(int32_t resourceId) : resourceId(resourceId)
{
    loadFromResource(resourceId);
    transparentColor = kColorTransparent;
}

CBitmap::CBitmap(CFrame*, int32_t width, int32_t height) : width(width), height(height)
{
    image = platformServices().createImageDevice(nullptr, width, height);
}

CBitmap::~CBitmap()
{
    dispose();
}

void CBitmap::dispose()
{
    delete image;
    image = nullptr;
    mask.clear();
    width = 0;
    height = 0;
    noAlpha = false;
}

bool CBitmap::loadFromResource(int32_t id)
{
    dispose();
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (findResource(id, "PNG", data, size)) return loadFromPngData(data, size);

    // No PNG of that id: the module's own bitmap format, which carries no alpha.
    int32_t w = 0;
    int32_t h = 0;
    CDrawDevice* platformImage = loadPlatformBitmap(id, w, h);
    if (!platformImage) return false;
    image = platformImage;
    width = w;
    height = h;
    noAlpha = true;
    return true;
}

bool CBitmap::loadFromPngData(const uint8_t* data, size_t size)
{
    dispose();
    if (!data) return false;
    PngImage decoded;
    decodePng(data, size, decoded);
    // A header that was read sizes the bitmap even when no image could be made from it; rows
    // that were read stay in the image when decoding stopped early.
    if (!decoded.pixels.empty())
    {
        width = decoded.width;
        height = decoded.height;
        image = platformServices().createPixelImageDevice(
            width, height, reinterpret_cast<const uint32_t*>(decoded.pixels.data()));
        if (!image) width = height = 0;
    }
    noAlpha = false;
    return true;
}

bool CBitmap::loadFromPath(const void*)
{
    dispose();
    return false;
}

bool CBitmap::clippedBlock(CDrawContext* context, const CRect& rect, const CPoint& sourceOffset,
                           CRect& source, CRect& dest) const
{
    if (!context || !context->getDevice() || !image) return false;
    // Work in 64 bits so that extreme offsets and sizes cannot overflow.
    const int64_t w = int64_t(rect.right) - rect.left;
    const int64_t h = int64_t(rect.bottom) - rect.top;
    const int64_t left = std::max<int64_t>(sourceOffset.x, 0);
    const int64_t top = std::max<int64_t>(sourceOffset.y, 0);
    const int64_t right = std::min<int64_t>(int64_t(sourceOffset.x) + w, width);
    const int64_t bottom = std::min<int64_t>(int64_t(sourceOffset.y) + h, height);
    if (left >= right || top >= bottom) return false;
    source = CRect(int32_t(left), int32_t(top), int32_t(right), int32_t(bottom));
    const int64_t destLeft = int64_t(rect.left) + context->offset.x + (left - sourceOffset.x);
    const int64_t destTop = int64_t(rect.top) + context->offset.y + (top - sourceOffset.y);
    if (destLeft < INT32_MIN || destTop < INT32_MIN || destLeft + (right - left) > INT32_MAX ||
        destTop + (bottom - top) > INT32_MAX)
        return false;
    dest = CRect(int32_t(destLeft), int32_t(destTop), int32_t(destLeft + (right - left)),
                 int32_t(destTop + (bottom - top)));
    return true;
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& sourceOffset)
{
    if (!noAlpha)
    {
        drawAlphaBlend(context, rect, sourceOffset, 255);
        return;
    }
    CRect source, dest;
    if (!clippedBlock(context, rect, sourceOffset, source, dest)) return;
    context->getDevice()->copyBlock(dest, *image, CPoint(source.left, source.top));
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const CRect& rect, const CPoint& sourceOffset,
                             uint8_t alpha)
{
    CRect source, dest;
    if (!clippedBlock(context, rect, sourceOffset, source, dest)) return;
    // An image without alpha at full opacity is a plain copy.
    if (noAlpha && alpha == 255)
    {
        context->getDevice()->copyBlock(dest, *image, CPoint(source.left, source.top));
        return;
    }
    // Without the platform's blend function the back end draws nothing.
    context->getDevice()->alphaBlend(dest, *image, source, alpha);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& sourceOffset)
{
    if (!noAlpha)
    {
        // A PNG bitmap draws with its own alpha; the transparent colour does not apply.
        drawAlphaBlend(context, rect, sourceOffset, 255);
        return;
    }
    CRect source, dest;
    if (!clippedBlock(context, rect, sourceOffset, source, dest)) return;
    CDrawDevice* target = context->getDevice();
    if (mask.empty())
    {
        target->transparentCopy(dest, *image, source, platformColor(transparentColor));
        return;
    }
    // With a mask: copy the runs of each row where the mask is clear; the destination stays
    // where it is set.
    for (int32_t y = source.top; y < source.bottom; ++y)
    {
        const uint8_t* row = mask.data() + static_cast<size_t>(y) * width;
        int32_t x = source.left;
        while (x < source.right)
        {
            while (x < source.right && row[x])
                ++x;
            const int32_t runStart = x;
            while (x < source.right && !row[x])
                ++x;
            if (x == runStart) continue;
            const int32_t dx = dest.left + (runStart - source.left);
            const int32_t dy = dest.top + (y - source.top);
            target->copyBlock(CRect(dx, dy, dx + (x - runStart), dy + 1), *image,
                              CPoint(runStart, y));
        }
    }
}

void CBitmap::setTransparencyMask(CDrawContext* context, const CPoint& offset)
{
    mask.clear();
    if (!context || !context->getDevice() || width <= 0 || height <= 0) return;
    CDrawDevice* device = context->getDevice();
    const uint32_t key = platformColor(transparentColor);
    mask.assign(static_cast<size_t>(width) * height, 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
        {
            const CPoint p(x + offset.x + context->offset.x, y + offset.y + context->offset.y);
            mask[static_cast<size_t>(y) * width + x] = device->getPixel(p) == key;
        }
}

void drawViewBitmap(CBitmap* bitmap, CDrawContext* context, const CRect& rect,
                    const CPoint& sourceOffset, bool transparent)
{
    if (transparent)
        bitmap->drawTransparent(context, rect, sourceOffset);
    else
        bitmap->draw(context, rect, sourceOffset);
}
