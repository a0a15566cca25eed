// The frame: the root of the view tree and its window. It owns its own child window inside the
// host's, draws everything through a frame-sized back buffer, redraws dirty views on idle,
// routes keys to the focus view and moves the focus with Tab, and resizes itself and the host's
// windows on request. Portable; the window system is reached through CWindowServices.
#pragma once

#include "toolkit/core/view.h"

#include <cstdint>

class CDrawDevice;
class CWindowServices;

// Frames currently holding the window class, and the class's name.
extern int32_t gFrameCount;
extern char gClassName[];
constexpr int32_t kClassNameCapacity = 64;

enum CCursorType
{
    kCursorDefault = 0,
    kCursorWait,
    kCursorHSize,
    kCursorVSize,
    kCursorSizeAll,
    kCursorNESWSize,
    kCursorNWSESize,
    kCursorCopy,
    kCursorNotAllowed,
    kCursorHand
};

class CFrame : public CViewContainer
{
public:
    // size: (0, 0, width, height) in window coordinates. Without a parent window there is no
    // window: the frame never paints and gets no input.
    CFrame(const CRect& size, void* parentWindow, CFrameEditor* editor);
    CFrame(const CRect& size, void* parentWindow, CFrameEditor* editor, CWindowServices& windows);
    ~CFrame() override;

    // Frames here always live in a window the host passed; they never open one of their own.
    virtual bool open(CPoint* position = nullptr);
    virtual bool close();
    virtual bool isOpen() const { return openFlag; }
    virtual void idle();
    virtual void idleNow();
    virtual uint32_t getTicks() const;
    virtual int32_t getKnobMode() const;
    virtual bool setPosition(int32_t x, int32_t y);
    virtual bool getPosition(int32_t& x, int32_t& y) const;
    virtual bool setSize(int32_t width, int32_t height);
    virtual bool getSize(CRect* rect) const;
    virtual bool getSize(CRect& rect) const;
    virtual bool setModalView(CView* view);
    virtual CView* getModalView() const { return modalView; }
    virtual void beginEdit(int32_t index);
    virtual void endEdit(int32_t index);
    // The cursor relative to the window's top-left corner.
    virtual bool getCurrentLocation(CPoint& where);
    virtual void setCursor(int32_t type);
    virtual void setFocusView(CView* view);
    virtual CView* getFocusView() const { return focusView; }
    virtual bool setDropActive(bool flag);
    virtual bool isDropActive() const { return dropActive; }
    virtual void setOpenFlag(bool flag) { openFlag = flag; }
    virtual bool getOpenFlag() const { return openFlag; }
    virtual void invalidate(const CRect& rect);
    virtual bool updatesDisabled() const { return updatesAreDisabled; }
    // Returns the previous value.
    virtual bool setUpdatesDisabled(bool flag);
    virtual void drawView(CView* view);

    void draw(CDrawContext* context) override;
    void drawPart(CDrawContext* context, const CRect& updateRect) override;
    void trackMouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;
    int32_t onKeyDown(VstKeyCode& key) override;
    int32_t onKeyUp(VstKeyCode& key) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    bool onWheelAxis(CDrawContext* context, const CPoint& where, int32_t axis,
                     float distance) override;
    void setViewSize(const CRect& rect) override;
    CFrameEditor* getEditor() const override { return editor; }
    bool isTypeOf(const char* name) const override;
    void update(CDrawContext* context) override;
    CView* getViewUnderMouse() override;
    bool advanceNextFocusView(CView* current, bool reverse = false) override;

    // The context to draw with outside a paint: the back buffer during an update, else a new
    // context over the window. The caller drops it.
    CDrawContext* createDrawContext();
    COffscreenContext* getBackBuffer();
    bool initWindow(void* parentWindow);
    // The window that holds the plug-in for the host: the first one upwards with a caption, no
    // parent, or a parent much larger than the frame.
    void* getOuterWindow() const;
    void* getSystemWindow() const { return window; }
    void* getParentSystemWindow() const { return parentWindow; }
    bool isFirstDraw() const { return firstDraw; }
    void* getImageLibrary() const { return imageLibrary; }
    CWindowServices& getWindowServices() const { return *windows; }

    // Window events, delivered by the platform's window back end.
    void onWindowDestroyed();
    // Draws paintRect into the back buffer and copies exactly that rectangle to the window's
    // paint device.
    void onPaint(CDrawDevice* paintDevice, const CRect& paintRect);
    void onButtonDown(const CPoint& where);
    // screenWhere: the cursor in screen coordinates; delta: 120 per wheel notch.
    void onWheelMessage(const CPoint& screenWhere, int32_t delta);

protected:
    // A screen point relative to the window's top-left corner (unchanged without a window).
    CPoint windowPointOf(const CPoint& screenPoint) const;
    // Resizes the window and its parents for a new client size, when the host cannot.
    bool walkParentWindows(int32_t width, int32_t height);

    CFrameEditor* editor = nullptr;
    void* parentWindow = nullptr;
    CView* modalView = nullptr;
    CView* focusView = nullptr;
    bool firstDraw = true;
    bool openFlag = true;
    bool windowDestroyed = false; // the system destroyed the window before the frame went
    bool dropActive = false;
    bool updatesAreDisabled = false;
    void* window = nullptr;
    void* imageLibrary = nullptr;
    void* dropTarget = nullptr;
    COffscreenContext* backBuffer = nullptr;
    CDrawContext* frameContext = nullptr;
    void* savedCursor = nullptr;
    bool cursorSaved = false;
    CWindowServices* windows = nullptr;
};
