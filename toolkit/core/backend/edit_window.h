// The native single-line edit window that a text field shows over itself while the user types:
// made over a rectangle of the frame's window, read back, destroyed. The window tells its owner
// when editing is to end (Enter, or the loss of the keyboard focus) and when the system destroyed
// it together with its parent. One implementation per platform; editWindowServices() answers the
// back end's own. Portable; no platform header.
#pragma once

#include "toolkit/core/geometry.h"

#include <cstdint>

// The most characters an edit window accepts.
constexpr int32_t kEditWindowTextLimit = 255;

class CEditWindowOwner
{
public:
    virtual ~CEditWindowOwner() = default;

    // Enter was pressed in the window, or the window lost the keyboard focus.
    virtual void editWindowFinished() = 0;
    // The system destroyed the window with its parent: the handle names nothing any more, and the
    // window's font went with it.
    virtual void editWindowDestroyed() = 0;
};

struct CEditWindowDescription
{
    CRect rect; // in the client coordinates of the parent window
    const char* text = "";
    int32_t alignment = kAlignLeft; // kAlignLeft, kAlignCenter or kAlignRight
    const char* fontFace = "";
    int32_t fontHeight = 0; // cell height in pixels, normal weight
};

class CEditWindowServices
{
public:
    virtual ~CEditWindowServices() = default;

    // A visible edit window over the rectangle of parent, showing the text wholly selected, taking
    // at most kEditWindowTextLimit characters and holding the keyboard focus. Null when it cannot
    // be made.
    virtual void* createEditWindow(void* parent, const CEditWindowDescription& description,
                                   CEditWindowOwner* owner) = 0;
    // At most capacity - 1 characters and a terminating zero.
    virtual void getEditWindowText(void* window, char* text, int32_t capacity) = 0;
    // Destroys the window and its font. The owner hears nothing more, not even the focus loss
    // that the destruction itself causes.
    virtual void destroyEditWindow(void* window) = 0;
    // Deletes the brush that the frame made to paint an edit window's background.
    virtual void deleteEditBrush(void* brush) = 0;
};

CEditWindowServices& editWindowServices();
