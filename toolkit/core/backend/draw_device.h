// The drawing device behind a drawing context: one platform device context (a window's client
// area or an off-screen image) with its selected pen, brush and font. The drawing context keeps
// every portable rule (what the setters skip, which calls a primitive makes, coordinates); a
// device only executes. One implementation per platform (backend_soft/, backend_win32/).
// Portable; no platform header.
#pragma once

#include "toolkit/core/geometry.h"

#include <cstdint>

// A platform drawing object (pen, brush or font). Opaque: only the device that made it knows
// what it is. Objects are released by whoever created them, through deleteObject.
struct CDeviceObject;

// Pen styles, with the platform's values.
constexpr int32_t kPenSolid = 0;
constexpr int32_t kPenDot = 2;
constexpr int32_t kPenNull = 5;

struct CPenDescription
{
    int32_t style = kPenSolid;
    int32_t width = 0;  // 0 and 1 both give a one-pixel pen
    uint32_t color = 0; // platform colour: red + 256 green + 65536 blue
};

// Font weights and the description bytes the toolkit uses.
constexpr int32_t kFontWeightNormal = 400;
constexpr int32_t kFontWeightBold = 700;
constexpr uint8_t kFontSwissVariablePitch = 0x22;
constexpr uint8_t kFontDecorative = 0x50;
constexpr uint8_t kFontStringPrecision = 1;
constexpr uint8_t kFontStrokeClipPrecision = 2;
constexpr uint8_t kFontAnsiCharSet = 0;
constexpr uint8_t kFontDefaultQuality = 0;

struct CFontDescription
{
    int32_t height = 0; // negative: the character height in pixels
    int32_t width = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = kFontWeightNormal;
    bool italic = false;
    bool underline = false;
    uint8_t charSet = kFontAnsiCharSet;
    uint8_t outPrecision = kFontStringPrecision;
    uint8_t clipPrecision = kFontStrokeClipPrecision;
    uint8_t quality = kFontDefaultQuality;
    uint8_t pitchAndFamily = kFontSwissVariablePitch;
    char faceName[32] = {};
};

// Raster operations of pen and brush drawing, with the platform's values.
enum CRasterOp
{
    kRopNotXorPen = 10,
    kRopCopyPen = 13,
    kRopMergePen = 15
};

// Text format bits, with the platform's values.
constexpr uint32_t kTextLeft = 0x0;
constexpr uint32_t kTextCenter = 0x1;
constexpr uint32_t kTextRight = 0x2;
constexpr uint32_t kTextVCenter = 0x4;
constexpr uint32_t kTextSingleLine = 0x20;
constexpr uint32_t kTextNoPrefix = 0x800;

// What getPixel answers for a pixel outside the surface or the clip.
constexpr uint32_t kInvalidPixel = 0xFFFFFFFFu;

enum CDeviceObjectKind
{
    kPenObject,
    kBrushObject,
    kFontObject
};

class CDrawDevice
{
public:
    virtual ~CDrawDevice() = default;

    // Objects. Creation answers null on failure; selecting answers the object of the same kind
    // that was selected before. A selected object must not be deleted.
    virtual CDeviceObject* createPen(const CPenDescription& description) = 0;
    virtual CDeviceObject* createSolidBrush(uint32_t color) = 0;
    virtual CDeviceObject* createFont(const CFontDescription& description) = 0;
    virtual CDeviceObject* nullPen() = 0; // shared, never deleted
    virtual CDeviceObject* selectObject(CDeviceObject* object) = 0;
    virtual void deleteObject(CDeviceObject* object) = 0;
    virtual CDeviceObject* currentObject(CDeviceObjectKind kind) = 0;

    // State.
    virtual void setTextColor(uint32_t color) = 0;
    virtual void setBackgroundColor(uint32_t color) = 0;
    virtual void setBackgroundOpaque(bool opaque) = 0;
    virtual void setRasterOp(CRasterOp op) = 0;
    virtual void setClipRect(const CRect& rect) = 0; // replaces the clip region

    // Primitives, in device coordinates. Lines exclude their end pixel; fills exclude the right
    // column and the bottom row; boxes are (left, top, right, bottom) with right and bottom out.
    virtual void moveTo(CPoint p) = 0;
    virtual void lineTo(CPoint p) = 0;
    virtual void polyline(const CPoint* points, int32_t count) = 0;
    virtual void polygon(const CPoint* points, int32_t count) = 0; // alternate fill rule
    virtual void fillRect(const CRect& rect, CDeviceObject* brush) = 0;
    virtual void ellipse(const CRect& box) = 0;
    virtual void arc(const CRect& box, CPoint start, CPoint end) = 0; // counter-clockwise
    virtual void setPixel(CPoint p, uint32_t color) = 0;
    virtual uint32_t getPixel(CPoint p) = 0;
    // Fills the area of surfaceColor connected to p with the selected brush.
    virtual void floodFillSurface(CPoint p, uint32_t surfaceColor) = 0;
    virtual void drawText(const char* text, const CRect& rect, uint32_t format) = 0;
    virtual CPoint textExtent(const char* text) = 0; // width and height in pixels

    // Block copies from another device of the same back end into this one. dest gives the
    // position and size; the source block starts at sourceOrigin or fills sourceRect.
    virtual void copyBlock(const CRect& dest, CDrawDevice& source, CPoint sourceOrigin) = 0;
    // Source-over blending of a 32-bit premultiplied BGRA image, scaled by constantAlpha.
    virtual void alphaBlend(const CRect& dest, CDrawDevice& source, const CRect& sourceRect,
                            uint8_t constantAlpha) = 0;
    // Copies every source pixel whose colour differs from keyColor.
    virtual void transparentCopy(const CRect& dest, CDrawDevice& source, const CRect& sourceRect,
                                 uint32_t keyColor) = 0;

    // The platform's own handle (a device context), for the back end's other parts.
    virtual void* nativeHandle() = 0;
};
