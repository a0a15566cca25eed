// Platform services of the software back end: memory windows and images, the pointer and keys
// of the soft input state, a monotonic millisecond clock and an empty message queue.
#include "toolkit/core/backend/platform_services.h"
#include "toolkit/core/backend_soft/soft_clock.h"
#include "toolkit/core/backend_soft/soft_device.h"
#include "toolkit/core/backend_soft/soft_windows.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace
{
class CSoftPlatformServices : public CPlatformServices
{
public:
    CDrawDevice* createWindowDevice(void* window) override
    {
        if (!window) return nullptr;
        return new CSoftDevice(static_cast<CSoftWindow*>(window)->surface);
    }
    CDrawDevice* createImageDevice(CDrawDevice*, int32_t width, int32_t height) override
    {
        return new CSoftDevice(width, height);
    }
    CDrawDevice* createPixelImageDevice(int32_t width, int32_t height,
                                        const uint32_t* pixels) override
    {
        auto* device = new CSoftDevice(width, height);
        CSoftSurface& surface = device->surface();
        if (pixels)
            for (int32_t y = 0; y < surface.height(); ++y)
                std::memcpy(surface.row(surface.height() - 1 - y),
                            pixels + static_cast<size_t>(y) * surface.width(),
                            sizeof(CSoftPixel) * surface.width());
        return device;
    }
    CDrawDevice* createDeviceForHandle(void*) override { return nullptr; }

    bool cursorPosition(CPoint& screenPoint) override
    {
        screenPoint = softInput().cursor;
        return true;
    }
    bool windowRect(void* window, CRect& screenRect) override
    {
        if (!window) return false;
        screenRect = softWindowScreenRect(static_cast<CSoftWindow*>(window));
        return true;
    }
    bool keyDown(CInputKey key) override
    {
        CSoftInput& input = softInput();
        switch (key)
        {
        case kInputLeftButton:
            if (input.onPoll) input.onPoll();
            return input.leftButton;
        case kInputMiddleButton: return input.middleButton;
        case kInputRightButton: return input.rightButton;
        case kInputShift: return input.shift;
        case kInputControl: return input.control;
        case kInputAlt: return input.alt;
        }
        return false;
    }
    bool buttonsSwapped() override { return softInput().swapButtons; }

    uint32_t tickCount() override
    {
        if (softClock().held) return softClock().now;
        using namespace std::chrono;
        return static_cast<uint32_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    uint32_t messageTime() override { return tickCount(); }
    uint32_t doubleClickTime() override { return softClock().doubleClickTime; }
    bool takeQueuedLeftButtonDown() override { return false; }
    void sleep(uint32_t milliseconds) override
    {
        // A held clock is moved instead: the time passes without waiting for it.
        if (softClock().held)
        {
            softClock().now += milliseconds;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};
} // namespace

CSoftClock& softClock()
{
    static CSoftClock clock;
    return clock;
}

CPlatformServices& platformServices()
{
    static CSoftPlatformServices services;
    return services;
}
