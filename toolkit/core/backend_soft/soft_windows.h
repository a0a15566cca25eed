// The software back end's window system: windows in memory, each with a surface of its client
// size, nested in parents at positions in their parent's client area. Events (paint, button,
// wheel) are delivered by calling the functions below, as a window system would from its
// message loop, and the pointer and keys are a state that callers set. Software back end only.
#pragma once

#include "toolkit/core/backend_soft/soft_surface.h"
#include "toolkit/core/geometry.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CFrame;

struct CSoftWindow
{
    CSoftWindow* parent = nullptr;
    std::vector<CSoftWindow*> children;
    std::string className;
    CRect rect; // in the parent's client coordinates (screen coordinates without a parent)
    bool caption = false;
    CFrame* frame = nullptr; // receives the window's events
    CSoftSurface surface{0, 0};
};

// Host windows are memory windows only where a program says so (tests of an editor); a real
// host's window handle means nothing to this back end, so by default editors decline to open.
void softAcceptHostWindows(bool accept);

// A window of rect inside parent (null: a top-level window on the screen).
CSoftWindow* createSoftWindow(CSoftWindow* parent, const CRect& rect, const char* className,
                              bool caption = false);
// Destroys the window's children first; a frame still linked is told its window went.
void destroySoftWindow(CSoftWindow* window);
CRect softWindowScreenRect(const CSoftWindow* window);
bool softClassRegistered(const std::string& className);
// The number of live windows, for checks that nothing is left behind.
int32_t softWindowCount();

// Events: the paint of an invalid rectangle, a button press at a client point, a wheel turn
// with the cursor at a screen point (delta 120 per notch).
void softWindowPaint(CSoftWindow* window, const CRect& rect);
void softWindowButtonDown(CSoftWindow* window, const CPoint& where);
void softWindowWheel(CSoftWindow* window, const CPoint& screenWhere, int32_t delta);

// The pointer, the buttons and the modifier keys as the platform services report them.
struct CSoftInput
{
    CPoint cursor; // screen coordinates
    bool leftButton = false;
    bool middleButton = false;
    bool rightButton = false;
    bool shift = false;
    bool control = false;
    bool alt = false;
    bool swapButtons = false;
    // The system cursor on show: 0 the default arrow, else a CCursorType.
    int32_t cursorType = 0;
    // Called each time the left button is polled, so that a caller can move the pointer while
    // a control follows a drag in its own loop.
    std::function<void()> onPoll;
};
CSoftInput& softInput();
