// Views for the view-tree and frame tests: a view that paints one colour and records what the
// tree routes to it, a flag that tells when a view was destroyed, and an editor that records
// what a frame asks of it.
#pragma once

#include "toolkit/core/draw_context.h"
#include "toolkit/core/frame_editor.h"
#include "toolkit/core/view.h"

#include <string>
#include <vector>

class CProbeView : public CView
{
public:
    CProbeView(const CRect& size, CColor color = kColorRed, bool* destroyed = nullptr)
        : CView(size), color(color), destroyed(destroyed)
    {
    }
    ~CProbeView() override
    {
        if (destroyed) *destroyed = true;
    }

    void draw(CDrawContext* context) override
    {
        ++draws;
        context->setFillColor(color);
        // fillRect leaves the left and top edge out; widen it so the view covers its size.
        context->fillRect(CRect(size.left - 1, size.top - 1, size.right, size.bottom));
        setDirty(false);
    }
    void drawPart(CDrawContext* context, const CRect& updateRect) override
    {
        ++partDraws;
        CView::drawPart(context, updateRect);
    }
    void trackMouse(CDrawContext*, CPoint& where, int32_t buttons) override
    {
        presses.push_back(where);
        lastButtons = buttons;
    }
    bool onWheel(CDrawContext*, const CPoint& where, float distance) override
    {
        wheels.push_back(distance);
        wheelPoint = where;
        return true;
    }
    int32_t onKeyDown(VstKeyCode& key) override
    {
        keys.push_back(key.virt);
        return keyAnswer;
    }
    void loseFocus(CDrawContext*) override { ++focusLosses; }

    CColor color;
    bool* destroyed;
    int draws = 0;
    int partDraws = 0;
    std::vector<CPoint> presses;
    int32_t lastButtons = 0;
    std::vector<float> wheels;
    CPoint wheelPoint;
    std::vector<int> keys;
    int32_t keyAnswer = -1;
    int focusLosses = 0;
};

struct RecordingEditor : CFrameEditor
{
    bool hostResizes = false;
    int32_t knobMode = 0;
    std::vector<std::string> calls;
    void idleNow() override { calls.push_back("idleNow"); }
    void beginEdit(int32_t index) override { calls.push_back("begin " + std::to_string(index)); }
    void endEdit(int32_t index) override { calls.push_back("end " + std::to_string(index)); }
    int32_t getKnobMode() const override { return knobMode; }
    bool hostSizeWindow(int32_t width, int32_t height) override
    {
        calls.push_back("sizeWindow " + std::to_string(width) + "x" + std::to_string(height));
        return hostResizes;
    }
};

inline bool samePixel(CColor a, CColor b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}
