// The window system as the frame uses it: the class its windows are made from, its own child
// window inside the host's, the walk over parent windows when it resizes, cursors, the drop
// target and the image library with the blending functions. One implementation per platform;
// windowServices() answers the back end's own. The back end delivers the window's paint,
// button, wheel and destroy events to the frame's on... functions. Portable; no platform header.
#pragma once

#include "toolkit/core/geometry.h"

#include <cstdint>

class CFrame;

class CWindowServices
{
public:
    virtual ~CWindowServices() = default;

    // Whether a window handle a host passes can hold a frame. A back end without a window
    // system of the host's kind answers false, so that an editor declines to open.
    virtual bool acceptsHostWindows() { return true; }

    // The class of frame windows: one for all frames of the module.
    virtual bool registerFrameClass(const char* className) = 0;
    virtual void unregisterFrameClass(const char* className) = 0;
    // A visible child window of the class inside parent, at (0, 0), whose events go to frame.
    virtual void* createFrameWindow(const char* className, void* parent, int32_t width,
                                    int32_t height, CFrame* frame) = 0;
    // Unlinks the frame from the window first, so that the last events find no frame.
    virtual void destroyFrameWindow(void* window) = 0;

    virtual void* parentOf(void* window) = 0;
    virtual bool className(void* window, char* name, int32_t capacity) = 0;
    virtual bool windowRect(void* window, CRect& screenRect) = 0;
    virtual bool hasCaption(void* window) = 0;
    // Keeps the window's position and z-order.
    virtual void resizeWindow(void* window, int32_t width, int32_t height) = 0;
    // window null: the screen.
    virtual CPoint screenToClient(void* window, const CPoint& screenPoint) = 0;
    virtual int32_t dialogFrameHeight() = 0;

    virtual void* currentCursor() = 0;
    // One of the system cursors of CCursorType (kCursorWait ... kCursorHand).
    virtual void showSystemCursor(int32_t type) = 0;
    virtual void restoreCursor(void* cursor) = 0;

    // The thread's OLE runtime and the frame window's drop target (null when none registered).
    virtual void startOle() = 0;
    virtual void stopOle() = 0;
    virtual void* registerDropTarget(void* window, CFrame* frame) = 0;
    virtual void revokeDropTarget(void* window) = 0;

    // Loads the library of the blending functions and looks them up; null when it is missing.
    virtual void* loadImageLibrary() = 0;
    virtual void freeImageLibrary(void* library) = 0;
};

CWindowServices& windowServices();
