// Test doubles of the drawing layer's platform side: a device that records what reaches it, a
// platform-services object driven by the test, and helpers that read a context's pixels.
#pragma once

#include "toolkit/core/backend/draw_device.h"
#include "toolkit/core/backend/platform_services.h"
#include "toolkit/core/draw_context.h"

#include <cstdint>
#include <cstdio>
#include <deque>
#include <set>
#include <string>
#include <vector>

// Records every call as a short line of text; objects are numbered handles whose creation,
// selection and deletion the test can follow.
class CRecordingDevice : public CDrawDevice
{
public:
    std::vector<std::string> calls;
    std::vector<CFontDescription> fonts;                    // every font description asked for
    std::set<uintptr_t> live;                               // created and not yet deleted
    uintptr_t selected[3] = {kOwnPen, kOwnBrush, kOwnFont}; // pen, brush, font
    bool failBrushes = false;

    static uintptr_t id(CDeviceObject* object) { return reinterpret_cast<uintptr_t>(object); }
    static CDeviceObject* object(uintptr_t id) { return reinterpret_cast<CDeviceObject*>(id); }
    // The device's own objects and its null pen; every handle's kind is its value modulo 3.
    static constexpr uintptr_t kOwnPen = 903;
    static constexpr uintptr_t kOwnBrush = 904;
    static constexpr uintptr_t kOwnFont = 905;
    static constexpr uintptr_t kNullPen = 906;

    void clear() { calls.clear(); }
    int count(const std::string& prefix) const
    {
        int n = 0;
        for (const std::string& call : calls)
            n += call.compare(0, prefix.size(), prefix) == 0;
        return n;
    }

    CDeviceObject* createPen(const CPenDescription& d) override
    {
        return make(kPenObject,
                    "createPen " + text(d.style) + " " + text(d.width) + " " + hex(d.color));
    }
    CDeviceObject* createSolidBrush(uint32_t color) override
    {
        if (failBrushes)
        {
            log("createSolidBrush failed");
            return nullptr;
        }
        return make(kBrushObject, "createSolidBrush " + hex(color));
    }
    CDeviceObject* createFont(const CFontDescription& d) override
    {
        fonts.push_back(d);
        return make(kFontObject, "createFont " + std::string(d.faceName) + " " + text(d.height));
    }
    CDeviceObject* nullPen() override { return object(kNullPen); }
    CDeviceObject* selectObject(CDeviceObject* o) override
    {
        const uintptr_t handle = id(o);
        const int kind = int(handle % 3);
        log("select " + text(long(handle)));
        const uintptr_t previous = selected[kind];
        selected[kind] = handle;
        return object(previous);
    }
    void deleteObject(CDeviceObject* o) override
    {
        log("delete " + text(long(id(o))));
        live.erase(id(o));
    }
    CDeviceObject* currentObject(CDeviceObjectKind kind) override { return object(selected[kind]); }

    void setTextColor(uint32_t c) override { log("setTextColor " + hex(c)); }
    void setBackgroundColor(uint32_t c) override { log("setBackgroundColor " + hex(c)); }
    void setBackgroundOpaque(bool opaque) override
    {
        log(opaque ? "setBackgroundOpaque 1" : "setBackgroundOpaque 0");
    }
    void setRasterOp(CRasterOp op) override { log("setRasterOp " + text(op)); }
    void setClipRect(const CRect& r) override { log("setClipRect " + rect(r)); }
    void moveTo(CPoint p) override { log("moveTo " + point(p)); }
    void lineTo(CPoint p) override { log("lineTo " + point(p)); }
    void polyline(const CPoint* p, int32_t n) override { log("polyline " + points(p, n)); }
    void polygon(const CPoint* p, int32_t n) override { log("polygon " + points(p, n)); }
    void fillRect(const CRect& r, CDeviceObject* b) override
    {
        log("fillRect " + rect(r) + " brush " + text(long(id(b))));
    }
    void ellipse(const CRect& box) override { log("ellipse " + rect(box)); }
    void arc(const CRect& box, CPoint a, CPoint b) override
    {
        log("arc " + rect(box) + " " + point(a) + " " + point(b));
    }
    void setPixel(CPoint p, uint32_t c) override { log("setPixel " + point(p) + " " + hex(c)); }
    uint32_t getPixel(CPoint p) override
    {
        log("getPixel " + point(p));
        return 0x123456;
    }
    void floodFillSurface(CPoint p, uint32_t c) override
    {
        log("floodFill " + point(p) + " " + hex(c));
    }
    void drawText(const char* t, const CRect& r, uint32_t format) override
    {
        log("drawText " + std::string(t) + " " + rect(r) + " " + hex(format));
    }
    CPoint textExtent(const char* t) override
    {
        log("textExtent " + std::string(t));
        return CPoint(7 * int32_t(std::string(t).size()), 14);
    }
    void copyBlock(const CRect& d, CDrawDevice&, CPoint s) override
    {
        log("copyBlock " + rect(d) + " from " + point(s));
    }
    void alphaBlend(const CRect& d, CDrawDevice&, const CRect& s, uint8_t a) override
    {
        log("alphaBlend " + rect(d) + " " + rect(s) + " " + text(a));
    }
    void transparentCopy(const CRect& d, CDrawDevice&, const CRect& s, uint32_t k) override
    {
        log("transparentCopy " + rect(d) + " " + rect(s) + " " + hex(k));
    }
    void* nativeHandle() override { return nullptr; }

    static std::string text(long v) { return std::to_string(v); }
    static std::string hex(uint32_t v)
    {
        char buffer[16];
        std::snprintf(buffer, sizeof(buffer), "%06x", unsigned(v));
        return buffer;
    }
    static std::string point(CPoint p) { return "(" + text(p.x) + "," + text(p.y) + ")"; }
    static std::string rect(const CRect& r)
    {
        return "(" + text(r.left) + "," + text(r.top) + "," + text(r.right) + "," + text(r.bottom) +
               ")";
    }
    static std::string points(const CPoint* p, int32_t n)
    {
        std::string s;
        for (int32_t i = 0; i < n; ++i)
            s += point(p[i]);
        return s;
    }

private:
    // Handles: pens are multiples of 3, brushes 3k+1, fonts 3k+2.
    CDeviceObject* make(int kind, const std::string& call)
    {
        uintptr_t handle = next;
        while (int(handle % 3) != kind)
            ++handle;
        next = handle + 1;
        live.insert(handle);
        log(call + " -> " + text(long(handle)));
        return object(handle);
    }
    void log(const std::string& call) { calls.push_back(call); }

    uintptr_t next = 3;
};

// Platform services whose buttons, cursor, clock and queue the test sets.
class CFakePlatformServices : public CPlatformServices
{
public:
    std::set<CInputKey> keysDown;
    std::deque<CPoint> cursorPath; // one position per query; the last one stays
    CPoint cursor;
    CRect window = CRect(100, 200, 900, 400);
    uint32_t now = 10000;
    uint32_t tickStep = 0; // added to the clock on every tick query
    uint32_t lastMessageTime = 10000;
    uint32_t doubleClick = 500;
    int queuedLeftButtonDowns = 0;
    CDrawDevice* windowDevice = nullptr; // handed out once by createWindowDevice
    int cursorQueries = 0;

    CDrawDevice* createWindowDevice(void*) override
    {
        CDrawDevice* device = windowDevice;
        windowDevice = nullptr;
        return device;
    }
    CDrawDevice* createImageDevice(CDrawDevice*, int32_t, int32_t) override { return nullptr; }
    CDrawDevice* createPixelImageDevice(int32_t, int32_t, const uint32_t*) override
    {
        return nullptr;
    }
    CDrawDevice* createDeviceForHandle(void*) override { return nullptr; }
    bool cursorPosition(CPoint& p) override
    {
        ++cursorQueries;
        if (!cursorPath.empty())
        {
            cursor = cursorPath.front();
            cursorPath.pop_front();
        }
        p = cursor;
        return true;
    }
    bool windowRect(void*, CRect& r) override
    {
        r = window;
        return true;
    }
    bool keyDown(CInputKey key) override { return keysDown.count(key) != 0; }
    bool buttonsSwapped() override { return false; }
    uint32_t tickCount() override
    {
        const uint32_t t = now;
        now += tickStep;
        return t;
    }
    uint32_t messageTime() override { return lastMessageTime; }
    uint32_t doubleClickTime() override { return doubleClick; }
    bool takeQueuedLeftButtonDown() override
    {
        if (queuedLeftButtonDowns == 0) return false;
        --queuedLeftButtonDowns;
        return true;
    }
    void sleep(uint32_t) override {}
};

// Pixels of a context: colours compared without alpha, regions as inked bounds and counts.
inline bool sameColor(CColor a, CColor b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

struct CInk
{
    CRect bounds; // of the pixels that differ from the background; empty when none
    int count = 0;
};

inline CInk inkOf(CDrawContext& context, const CRect& area, CColor background)
{
    CInk ink;
    bool any = false;
    for (int32_t y = area.top; y < area.bottom; ++y)
        for (int32_t x = area.left; x < area.right; ++x)
        {
            if (sameColor(context.getPoint(CPoint(x, y)), background)) continue;
            ++ink.count;
            if (!any) ink.bounds = CRect(x, y, x + 1, y + 1);
            ink.bounds.left = std::min(ink.bounds.left, x);
            ink.bounds.top = std::min(ink.bounds.top, y);
            ink.bounds.right = std::max(ink.bounds.right, x + 1);
            ink.bounds.bottom = std::max(ink.bounds.bottom, y + 1);
            any = true;
        }
    return ink;
}

// The pixels of an area as text, one row per line: '#' where the colour is `ink`, '.' where it
// is the background, '?' for anything else.
inline std::string picture(CDrawContext& context, const CRect& area, CColor ink, CColor background)
{
    std::string s;
    for (int32_t y = area.top; y < area.bottom; ++y)
    {
        for (int32_t x = area.left; x < area.right; ++x)
        {
            const CColor c = context.getPoint(CPoint(x, y));
            s += sameColor(c, ink) ? '#' : sameColor(c, background) ? '.' : '?';
        }
        s += '\n';
    }
    return s;
}
