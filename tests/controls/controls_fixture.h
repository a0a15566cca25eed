// A frame in a memory window of the software back end, whose pointer, keys and clock the
// control tests drive, with the logging editor and listener.
#pragma once

#include "control_loggers.h"
#include "toolkit/core/backend_soft/soft_clock.h"
#include "toolkit/core/backend_soft/soft_device.h"
#include "toolkit/core/backend_soft/soft_edit_window.h"
#include "toolkit/core/backend_soft/soft_windows.h"
#include "toolkit/core/bitmap.h"
#include "toolkit/core/frame.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

// One position of the pointer with the buttons and keys held there.
struct CPointerStep
{
    CPoint where; // frame coordinates
    bool shift = false;
    bool control = false;
    bool alt = false;
};

// A frame of 200 x 120 in a host window at (100, 50) of the screen.
struct WindowedFrame : ::testing::Test
{
    static constexpr int32_t kWidth = 200;
    static constexpr int32_t kHeight = 120;
    const CPoint screenOrigin{100, 50};

    CLog log;
    CLoggingEditor editor{log};
    CLoggingListener listener{log};
    CSoftWindow* host =
        createSoftWindow(nullptr, CRect(100, 50, 100 + kWidth, 50 + kHeight), "Host", true);
    CFrame* frame = new CFrame(CRect(0, 0, kWidth, kHeight), host, &editor);

    ~WindowedFrame() override
    {
        closeFrame();
        destroySoftWindow(host);
        softInput() = CSoftInput();
        softClock() = CSoftClock();
    }

    void closeFrame()
    {
        if (frame) frame->dropReference();
        frame = nullptr;
    }

    CSoftWindow* window() const { return static_cast<CSoftWindow*>(frame->getSystemWindow()); }

    void setKeys(const CPointerStep& step)
    {
        CSoftInput& input = softInput();
        input.cursor = CPoint(screenOrigin.x + step.where.x, screenOrigin.y + step.where.y);
        input.shift = step.shift;
        input.control = step.control;
        input.alt = step.alt;
    }

    // A left press at the first step, the pointer following the others one per poll of the
    // button, then the release.
    void drag(const std::vector<CPointerStep>& steps, std::function<void()> atPoll = nullptr)
    {
        size_t next = 0;
        softInput().onPoll = [this, &steps, &next, atPoll]
        {
            if (atPoll) atPoll();
            if (next < steps.size())
                setKeys(steps[next++]);
            else
                softInput().leftButton = false;
        };
        setKeys(steps.front());
        softInput().leftButton = true;
        softWindowButtonDown(window(), steps.front().where);
        softInput().onPoll = nullptr;
        softInput().leftButton = false;
    }

    void click(const CPoint& where, bool shift = false, bool control = false)
    {
        drag({{where, shift, control}});
    }

    void paint() { softWindowPaint(window(), CRect(0, 0, kWidth, kHeight)); }
    CSoftPixel pixel(int32_t x, int32_t y) const { return window()->surface.at(x, y); }
};

inline CSoftPixel opaquePixel(CColor c)
{
    return softPixelFromColor(platformColor(c));
}

// A blank bitmap of width x (height x colours): bands of height rows, each in one colour.
inline CBitmap* makeBands(int32_t width, int32_t height, const std::vector<CColor>& colours)
{
    auto* bitmap = new CBitmap(nullptr, width, height * static_cast<int32_t>(colours.size()));
    CSoftSurface& surface = static_cast<CSoftDevice*>(bitmap->getImageDevice())->surface();
    for (int32_t y = 0; y < surface.height(); ++y)
        for (int32_t x = 0; x < width; ++x)
            surface.at(x, y) = opaquePixel(colours[y / height]);
    return bitmap;
}
