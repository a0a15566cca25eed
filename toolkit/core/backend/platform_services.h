// The operating-system services the drawing layer uses besides drawing: devices over windows and
// off-screen images, cursor, window rectangles, button and key state, clocks and the message
// queue. One implementation per platform; platformServices() answers the back end's own.
// Portable; no platform header.
#pragma once

#include "toolkit/core/geometry.h"

#include <cstdint>

class CDrawDevice;

// Physical buttons and modifier keys, read asynchronously.
enum CInputKey
{
    kInputLeftButton,
    kInputMiddleButton,
    kInputRightButton,
    kInputShift,
    kInputControl,
    kInputAlt
};

class CPlatformServices
{
public:
    virtual ~CPlatformServices() = default;

    // A device over a window's client area, released when deleted; null when there is none.
    virtual CDrawDevice* createWindowDevice(void* window) = 0;
    // An off-screen image of width x height with its own device, compatible with `like` (with
    // the screen when null); deleting the device deletes the image.
    virtual CDrawDevice* createImageDevice(CDrawDevice* like, int32_t width, int32_t height) = 0;
    // An off-screen 32-bit image holding a copy of premultiplied BGRA pixels, rows stored
    // bottom-up (the first row in memory is the bottom row), as the PNG decoder delivers them.
    virtual CDrawDevice* createPixelImageDevice(int32_t width, int32_t height,
                                                const uint32_t* pixels) = 0;
    // A device over an existing platform device context, not released when deleted.
    virtual CDrawDevice* createDeviceForHandle(void* nativeDevice) = 0;

    virtual bool cursorPosition(CPoint& screenPoint) = 0;
    virtual bool windowRect(void* window, CRect& screenRect) = 0;
    virtual bool keyDown(CInputKey key) = 0;
    virtual bool buttonsSwapped() = 0; // the system's swap-buttons setting

    virtual uint32_t tickCount() = 0;   // milliseconds
    virtual uint32_t messageTime() = 0; // tick count of the message being processed
    virtual uint32_t doubleClickTime() = 0;
    // Removes a queued left-button-down message of this thread; false when none waits.
    virtual bool takeQueuedLeftButtonDown() = 0;
    // Removes one queued paint message of this thread and dispatches it; false when none waits.
    virtual bool dispatchQueuedPaint() { return false; }
    virtual void sleep(uint32_t milliseconds) = 0;
};

CPlatformServices& platformServices();
