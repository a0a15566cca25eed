// Fonts of the software back end: faces found through fontconfig, glyphs rendered by FreeType
// (monochrome, hinted). The size is the character (em) height in pixels. Software back end only;
// the FreeType and fontconfig headers stay inside soft_fonts.cpp.
#pragma once

#include "toolkit/core/backend/draw_device.h"

#include <cstdint>
#include <functional>
#include <memory>

class CSoftFontFace;

class CSoftFont
{
public:
    explicit CSoftFont(const CFontDescription& description);
    ~CSoftFont();
    CSoftFont(const CSoftFont&) = delete;
    CSoftFont& operator=(const CSoftFont&) = delete;

    // Width of the text (sum of the advances) and the cell height (ascent + descent).
    CPoint extent(const char* text) const;
    int32_t ascent() const { return ascentPixels; }
    int32_t descent() const { return descentPixels; }

    // Calls ink(x, y) for every pixel of the text drawn with its cell's top-left corner at
    // origin, including the underline.
    void render(const char* text, CPoint origin,
                const std::function<void(int32_t, int32_t)>& ink) const;

private:
    std::shared_ptr<CSoftFontFace> face;
    int32_t pixelSize = 0;
    bool embolden = false;
    bool slant = false;
    bool underline = false;
    int32_t ascentPixels = 0;
    int32_t descentPixels = 0;
    int32_t underlineOffset = 0; // below the baseline
    int32_t underlineThickness = 1;
};
