// Bitmaps: 32-bit images loaded from the module's PNG resources (premultiplied alpha, drawn with
// source-over blending) or blank images made for a frame, and the parts of them drawn into a
// drawing context. Portable; the image is a device of the build's back end.
#pragma once

#include "toolkit/core/geometry.h"
#include "toolkit/core/reference_counter.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CFrame;
class CDrawContext;
class CDrawDevice;

class CBitmap : public CReferenceCounter
{
public:
    // Loads the PNG resource of the id (low 16 bits), or the platform bitmap of that id.
    explicit CBitmap(int32_t resourceId);
    // A blank image of width x height, compatible with the screen.
    CBitmap(CFrame* frame, int32_t width, int32_t height);
    ~CBitmap() override;

    // Every draw takes the block of rect's size at sourceOffset from the image and puts it at
    // rect (plus the context's offset); the part of the block outside the image is left out.
    virtual void draw(CDrawContext* context, const CRect& rect,
                      const CPoint& sourceOffset = CPoint());
    virtual void drawTransparent(CDrawContext* context, const CRect& rect,
                                 const CPoint& sourceOffset = CPoint());
    virtual void drawAlphaBlend(CDrawContext* context, const CRect& rect,
                                const CPoint& sourceOffset = CPoint(), uint8_t alpha = 128);
    virtual void dispose();
    virtual bool loadFromResource(int32_t resourceId);
    // Loading by path is not supported: releases the image and answers false.
    virtual bool loadFromPath(const void* path);

    // The PNG decoding of loadFromResource, from bytes in memory. True whenever the bytes were
    // given, also when decoding stopped early (the image then holds what was read, or nothing).
    bool loadFromPngData(const uint8_t* data, size_t size);

    void setTransparentColor(CColor color) { transparentColor = color; }
    CColor getTransparentColor() const { return transparentColor; }
    // Records which pixels of the context, at offset and over the bitmap's size, have the
    // transparent colour; drawTransparent then keeps the destination there.
    void setTransparencyMask(CDrawContext* context, const CPoint& offset = CPoint());

    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    int32_t getResourceId() const { return resourceId; }
    bool isLoaded() const { return image != nullptr; }
    // True: the image carries no usable alpha (blank or platform bitmap, or nothing loaded).
    bool noAlpha = true;

    // The back end's device holding the image; null when there is none. Owned by the bitmap.
    CDrawDevice* getImageDevice() const { return image; }

protected:
    // The block of rect's size at sourceOffset, clipped to the image: the source rectangle in
    // image pixels and the destination in the context's device coordinates. False when empty.
    bool clippedBlock(CDrawContext* context, const CRect& rect, const CPoint& sourceOffset,
                      CRect& source, CRect& dest) const;

    int32_t resourceId = 0;
    int32_t width = 0;
    int32_t height = 0;
    CColor transparentColor = kColorTransparent;
    CDrawDevice* image = nullptr;
    // One byte per pixel, rows top-down, width x height; set where the destination stays.
    std::vector<uint8_t> mask;
};

// How a view draws its background bitmap: colour-keyed when the view is transparent, else with
// draw (which blends a PNG image by its own alpha).
void drawViewBitmap(CBitmap* bitmap, CDrawContext* context, const CRect& rect,
                    const CPoint& sourceOffset, bool transparent);
