#include "toolkit/core/backend_soft/soft_fonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>

// One loaded face file, shared by every font object of that face.
class CSoftFontFace
{
public:
    FT_Face face = nullptr;
    bool bold = false;   // the file itself is bold
    bool italic = false; // the file itself is italic or oblique
    ~CSoftFontFace()
    {
        if (face) FT_Done_Face(face);
    }
};

namespace
{
// The FreeType library, the fontconfig configuration and the faces loaded so far. One per
// module, built on first use and torn down when the module goes. fontconfig itself is shared
// with whoever else in the process uses it (a second plug-in library, the host), so it is never
// shut down from here.
class CSoftFontEngine
{
public:
    CSoftFontEngine()
    {
        if (FT_Init_FreeType(&library) != 0) library = nullptr;
        config = FcInitLoadConfigAndFonts();
    }
    ~CSoftFontEngine()
    {
        faces.clear();
        if (library) FT_Done_FreeType(library);
        if (config) FcConfigDestroy(config);
    }

    std::shared_ptr<CSoftFontFace> find(const char* family, bool bold, bool italic)
    {
        if (!library || !config) return nullptr;
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        FcPatternDestroy(pattern);
        if (!match) return nullptr;

        std::shared_ptr<CSoftFontFace> loaded;
        FcChar8* file = nullptr;
        int index = 0;
        int weight = FC_WEIGHT_REGULAR;
        int matchedSlant = FC_SLANT_ROMAN;
        FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(match, FC_SLANT, 0, &matchedSlant);
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
        {
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            const auto key = std::make_pair(std::string(reinterpret_cast<char*>(file)), index);
            auto known = faces.find(key);
            if (known != faces.end())
            {
                loaded = known->second;
            }
            else
            {
                auto face = std::make_shared<CSoftFontFace>();
                if (FT_New_Face(library, key.first.c_str(), index, &face->face) == 0)
                {
                    face->bold = weight >= FC_WEIGHT_BOLD;
                    face->italic = matchedSlant != FC_SLANT_ROMAN;
                    faces[key] = face;
                    loaded = face;
                }
                else
                {
                    face->face = nullptr;
                }
            }
        }
        FcPatternDestroy(match);
        return loaded;
    }

private:
    FT_Library library = nullptr;
    FcConfig* config = nullptr;
    std::map<std::pair<std::string, int>, std::shared_ptr<CSoftFontFace>> faces;
};

CSoftFontEngine& fontEngine()
{
    static CSoftFontEngine engine;
    return engine;
}

int32_t scaled(long fontUnits, int32_t pixelSize, int unitsPerEm)
{
    return static_cast<int32_t>(
        std::lround(static_cast<double>(fontUnits) * pixelSize / std::max(unitsPerEm, 1)));
}

// 8-bit texts are taken as Latin-1.
FT_ULong characterCode(char c)
{
    return static_cast<unsigned char>(c);
}
} // namespace

CSoftFont::CSoftFont(const CFontDescription& description)
{
    const bool wantBold = description.weight >= kFontWeightBold;
    face = fontEngine().find(description.faceName, wantBold, description.italic);
    pixelSize = std::abs(description.height);
    if (pixelSize == 0) pixelSize = 12;
    underline = description.underline;
    if (!face) return;
    embolden = wantBold && !face->bold;
    slant = description.italic && !face->italic;

    FT_Face f = face->face;
    FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(pixelSize));
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    if (os2 && (os2->usWinAscent || os2->usWinDescent))
    {
        ascentPixels = scaled(os2->usWinAscent, pixelSize, f->units_per_EM);
        descentPixels = scaled(os2->usWinDescent, pixelSize, f->units_per_EM);
    }
    else
    {
        ascentPixels = static_cast<int32_t>((f->size->metrics.ascender + 32) >> 6);
        descentPixels = static_cast<int32_t>((-f->size->metrics.descender + 32) >> 6);
    }
    underlineOffset = std::max(1, scaled(-f->underline_position, pixelSize, f->units_per_EM));
    underlineThickness = std::max(1, scaled(f->underline_thickness, pixelSize, f->units_per_EM));
}

CSoftFont::~CSoftFont() = default;

CPoint CSoftFont::extent(const char* text) const
{
    int32_t width = 0;
    if (face && text)
    {
        FT_Face f = face->face;
        FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(pixelSize));
        for (const char* c = text; *c; ++c)
        {
            if (FT_Load_Char(f, characterCode(*c), FT_LOAD_TARGET_MONO) != 0) continue;
            width += static_cast<int32_t>((f->glyph->advance.x + 32) >> 6);
            if (embolden) width += 1;
        }
    }
    return CPoint(width, ascentPixels + descentPixels);
}

void CSoftFont::render(const char* text, CPoint origin,
                       const std::function<void(int32_t, int32_t)>& ink) const
{
    if (!face || !text) return;
    FT_Face f = face->face;
    FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(pixelSize));
    const int32_t baseline = origin.y + ascentPixels;
    int32_t penX = origin.x;
    for (const char* c = text; *c; ++c)
    {
        if (FT_Load_Char(f, characterCode(*c), FT_LOAD_TARGET_MONO) != 0) continue;
        FT_GlyphSlot glyph = f->glyph;
        int32_t advance = static_cast<int32_t>((glyph->advance.x + 32) >> 6);
        if (glyph->format == FT_GLYPH_FORMAT_OUTLINE)
        {
            if (embolden)
            {
                FT_Outline_Embolden(&glyph->outline, 64);
                advance += 1;
            }
            if (slant)
            {
                FT_Matrix shear = {0x10000, 0x3000, 0, 0x10000};
                FT_Outline_Transform(&glyph->outline, &shear);
            }
        }
        if (FT_Render_Glyph(glyph, FT_RENDER_MODE_MONO) == 0)
        {
            const FT_Bitmap& bitmap = glyph->bitmap;
            for (unsigned int y = 0; y < bitmap.rows; ++y)
            {
                const unsigned char* row = bitmap.buffer + static_cast<long>(y) * bitmap.pitch;
                for (unsigned int x = 0; x < bitmap.width; ++x)
                {
                    if (row[x >> 3] & (0x80 >> (x & 7)))
                        ink(penX + glyph->bitmap_left + static_cast<int32_t>(x),
                            baseline - glyph->bitmap_top + static_cast<int32_t>(y));
                }
            }
        }
        penX += advance;
    }
    if (underline)
    {
        for (int32_t y = 0; y < underlineThickness; ++y)
            for (int32_t x = origin.x; x < penX; ++x)
                ink(x, baseline + underlineOffset + y);
    }
}
