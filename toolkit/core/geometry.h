// The toolkit's value types: points, rectangles, colours, and the constants of the drawing
// interface. Portable; no platform header.
#pragma once

#include <algorithm>
#include <cstdint>

struct CPoint
{
    int32_t x = 0;
    int32_t y = 0;

    CPoint() = default;
    CPoint(int32_t x, int32_t y) : x(x), y(y) {}
    bool operator==(const CPoint& other) const { return x == other.x && y == other.y; }
    bool operator!=(const CPoint& other) const { return !(*this == other); }
    CPoint& offset(int32_t dx, int32_t dy)
    {
        x += dx;
        y += dy;
        return *this;
    }
};

// left, top inclusive; right, bottom exclusive. Not normalised on construction.
struct CRect
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    CRect() = default;
    CRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
        : left(left), top(top), right(right), bottom(bottom)
    {
    }

    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    bool operator==(const CRect& other) const
    {
        return left == other.left && top == other.top && right == other.right &&
               bottom == other.bottom;
    }
    bool operator!=(const CRect& other) const { return !(*this == other); }

    CRect& offset(int32_t dx, int32_t dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
        return *this;
    }
    // Intersection; rectangles that do not overlap give zero width or height, never negative.
    CRect& bound(const CRect& other)
    {
        left = std::max(left, other.left);
        top = std::max(top, other.top);
        right = std::min(right, other.right);
        bottom = std::min(bottom, other.bottom);
        if (bottom < top)
            bottom = top;
        if (right < left)
            right = left;
        return *this;
    }
    bool pointInside(const CPoint& p) const
    {
        return left <= p.x && p.x < right && top <= p.y && p.y < bottom;
    }
    bool isEmpty() const { return right <= left || bottom <= top; }
};

struct CColor
{
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 0;

    bool operator==(const CColor& other) const
    {
        return red == other.red && green == other.green && blue == other.blue &&
               alpha == other.alpha;
    }
    bool operator!=(const CColor& other) const { return !(*this == other); }
};

// The platform colour value: red + 256 green + 65536 blue; alpha never reaches the platform.
inline uint32_t platformColor(const CColor& c)
{
    return static_cast<uint32_t>(c.red) | (static_cast<uint32_t>(c.green) << 8) |
           (static_cast<uint32_t>(c.blue) << 16);
}

constexpr CColor kColorCyan = {0, 255, 255, 255};
constexpr CColor kColorMagenta = {255, 0, 255, 255};
constexpr CColor kColorYellow = {255, 255, 0, 255};
constexpr CColor kColorBlue = {0, 0, 255, 255};
constexpr CColor kColorGreen = {0, 255, 0, 255};
constexpr CColor kColorRed = {255, 0, 0, 255};
constexpr CColor kColorGrey = {127, 127, 127, 255};
constexpr CColor kColorWhite = {255, 255, 255, 255};
constexpr CColor kColorBlack = {0, 0, 0, 255};
constexpr CColor kColorTransparent = {255, 255, 255, 0};

enum CDrawStyle
{
    kStroke = 0,
    kFill,
    kFillAndStroke
};

enum CLineStyle
{
    kSolidLine = 0,
    kDottedLine
};

enum CDrawMode
{
    kModeCopy = 0,
    kModeOr,
    kModeXor
};

enum CHoriTxtAlign
{
    kAlignLeft = 0,
    kAlignCenter,
    kAlignRight
};

enum CTxtFace
{
    kStyleBold = 1,
    kStyleItalic = 2,
    kStyleUnderline = 4
};

enum CButton
{
    kLeftButton = 1,
    kMiddleButton = 2,
    kRightButton = 4,
    kShiftKey = 8,
    kControlKey = 16,
    kAltKey = 32
};

enum CFont
{
    kFontSystem = 0,
    kFontVeryBig,
    kFontBig,
    kFontNormal,
    kFontSmall,
    kFontSmaller,
    kFontVerySmall,
    kFontSymbol,
    kNumFonts
};

struct FontTableEntry
{
    const char* face;
    int32_t defaultSize;
};

// Indexed by font id; an id above 7 is treated as 0.
constexpr FontTableEntry kFontTable[kNumFonts] = {
    {"Arial", 12}, {"Arial", 18}, {"Arial", 14}, {"Arial", 12},
    {"Arial", 11}, {"Arial", 10}, {"Arial", 9},  {"Symbol", 13},
};
