// Platform services of the software back end: off-screen images only (no windows yet), no
// buttons or keys held, a monotonic millisecond clock and an empty message queue.
#include "toolkit/core/backend/platform_services.h"
#include "toolkit/core/backend_soft/soft_device.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace
{
constexpr uint32_t kDoubleClickMilliseconds = 500;

class CSoftPlatformServices : public CPlatformServices
{
public:
    CDrawDevice* createWindowDevice(void*) override { return nullptr; }
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
        screenPoint = CPoint();
        return false;
    }
    bool windowRect(void*, CRect&) override { return false; }
    bool keyDown(CInputKey) override { return false; }
    bool buttonsSwapped() override { return false; }

    uint32_t tickCount() override
    {
        using namespace std::chrono;
        return static_cast<uint32_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    uint32_t messageTime() override { return tickCount(); }
    uint32_t doubleClickTime() override { return kDoubleClickMilliseconds; }
    bool takeQueuedLeftButtonDown() override { return false; }
    void sleep(uint32_t milliseconds) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};
} // namespace

CPlatformServices& platformServices()
{
    static CSoftPlatformServices services;
    return services;
}
