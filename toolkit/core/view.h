// The view tree: CView occupies a rectangle of the window and CViewContainer owns an ordered
// list of children that it draws back to front and routes input to front to back. A view's
// size is in its parent's coordinates; the root is the frame. Portable; no platform header.
#pragma once

#include "common/vst_key_code.h"
#include "toolkit/core/geometry.h"
#include "toolkit/core/reference_counter.h"

#include <cstdint>

class CBitmap;
class CDrawContext;
class CDragContainer;
class CFrame;
class CFrameEditor;
class COffscreenContext;
class CViewContainer;

// Messages are told apart by the identity of the text, not by its characters.
extern const char* kMsgCheckIfViewContainer;

class CView : public CReferenceCounter
{
public:
    explicit CView(const CRect& size);
    ~CView() override;

    virtual void draw(CDrawContext* context);
    virtual void drawPart(CDrawContext* context, const CRect& updateRect);
    // Touching edges count as overlapping.
    virtual bool overlaps(const CRect& rect) const;
    virtual void trackMouse(CDrawContext* context, CPoint& where, int32_t buttons);
    virtual void setBackground(CBitmap* bitmap);
    virtual CBitmap* getBackground() const { return background; }
    // 1: handled, -1: not handled.
    virtual int32_t onKeyDown(VstKeyCode& key);
    virtual int32_t onKeyUp(VstKeyCode& key);
    virtual bool onWheel(CDrawContext* context, const CPoint& where, float distance);
    // axis: 0 horizontal, 1 vertical.
    virtual bool onWheelAxis(CDrawContext* context, const CPoint& where, int32_t axis,
                             float distance);
    virtual bool onDrop(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void onDragEnter(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void onDragLeave(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void onDragMove(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void loseFocus(CDrawContext* context = nullptr);
    virtual void takeFocus(CDrawContext* context = nullptr);
    virtual bool isDirty() const { return dirty; }
    virtual void setDirty(bool value = true) { dirty = value; }
    virtual void setMouseEnabled(bool value = true) { mouseEnabled = value; }
    virtual bool getMouseEnabled() const { return mouseEnabled; }
    virtual void setMouseableArea(const CRect& rect) { mouseableArea = rect; }
    virtual CRect& getMouseableArea(CRect& rect) const;
    // Right and bottom edges are inside.
    virtual bool hitTest(const CPoint& where, int32_t buttons = -1);
    virtual void setTransparency(bool value) { transparency = value; }
    virtual bool getTransparency() const { return transparency; }
    virtual void setViewSize(const CRect& rect);
    virtual CRect& getViewSize(CRect& rect) const;
    virtual bool onRemoved(CViewContainer* parent);
    virtual bool onAttached(CViewContainer* parent);
    // The cursor position in the coordinates of this view's size rectangle.
    virtual void getMouseLocation(CDrawContext* context, CPoint& point);
    virtual CPoint& frameToLocal(CPoint& point) const;
    virtual CPoint& localToFrame(CPoint& point) const;
    virtual CFrameEditor* getEditor() const;
    virtual int32_t notify(CView* sender, const char* message);
    // rect is in the parent's coordinates.
    virtual void redrawRect(CDrawContext* context, const CRect& rect);
    virtual bool wantsFocus() const { return focusWanted; }
    virtual void setWantsFocus(bool value) { focusWanted = value; }
    virtual bool isTypeOf(const char* name) const;
    virtual void update(CDrawContext* context);

    // Tagged bytes kept with the view. Setting an existing id copies over the stored bytes and
    // fails when they would not fit.
    bool setAttribute(int32_t id, int32_t size, const void* bytes);
    bool getAttributeSize(int32_t id, int32_t& size) const;
    bool getAttribute(int32_t id, int32_t bufferSize, void* buffer, int32_t& size) const;

    CFrame* getFrame() const { return frame; }
    CViewContainer* getParentView() const { return parentView; }
    // Set by the container that adds the view.
    void setFrame(CFrame* value) { frame = value; }
    void setParentView(CViewContainer* value) { parentView = value; }

protected:
    struct AttributeNode
    {
        int32_t id;
        int32_t size;
        unsigned char* bytes;
        AttributeNode* next;
    };
    AttributeNode* findAttribute(int32_t id) const;

    CRect size;
    CRect mouseableArea;
    CFrame* frame = nullptr;
    CViewContainer* parentView = nullptr;
    bool dirty = false;
    bool mouseEnabled = true;
    bool transparency = false;
    bool focusWanted = false;
    CBitmap* background = nullptr;
    AttributeNode* attributes = nullptr;
};

class CViewContainer : public CView
{
public:
    CViewContainer(const CRect& size, CFrame* frame, CBitmap* background = nullptr);
    ~CViewContainer() override;

    virtual void addView(CView* view);
    virtual void addViewWithArea(CView* view, const CRect& mouseableArea, bool mouseEnabled = true);
    // withRelease also drops the reference the creator handed over with addView.
    virtual void removeView(CView* view, const bool& withRelease = false);
    virtual void removeAll(const bool& withRelease = false);
    virtual bool isChild(CView* view) const;
    virtual int32_t getViewCount() const;
    virtual CView* getView(int32_t index) const;
    virtual void setBackgroundColor(CColor color);
    virtual CColor getBackgroundColor() const { return backgroundColor; }
    virtual void setBackgroundOffset(const CPoint& point) { backgroundOffset = point; }
    virtual const CPoint& getBackgroundOffset() const { return backgroundOffset; }
    // rect is in local coordinates.
    virtual void drawBackgroundRect(CDrawContext* context, const CRect& rect);
    // 0: redraw everything when anything is dirty; 1: redraw only the dirty children.
    virtual void setMode(int32_t value) { mode = value; }
    virtual int32_t getMode() const { return mode; }
    virtual void useOffscreen(bool value);
    virtual CView* getViewUnderMouse();
    // where is in the container's parent coordinates.
    virtual CView* getViewAt(const CPoint& where, bool deep = false) const;
    virtual bool advanceNextFocusView(CView* current, bool reverse = false);

    void draw(CDrawContext* context) override;
    void drawPart(CDrawContext* context, const CRect& updateRect) override;
    void trackMouse(CDrawContext* context, CPoint& where, int32_t buttons) override;
    int32_t onKeyDown(VstKeyCode& key) override;
    int32_t onKeyUp(VstKeyCode& key) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    bool onWheelAxis(CDrawContext* context, const CPoint& where, int32_t axis,
                     float distance) override;
    bool onDrop(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void onDragEnter(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void onDragLeave(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void onDragMove(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void loseFocus(CDrawContext* context = nullptr) override;
    void takeFocus(CDrawContext* context = nullptr) override;
    bool isDirty() const override;
    bool hitTest(const CPoint& where, int32_t buttons = -1) override;
    void setViewSize(const CRect& rect) override;
    bool onRemoved(CViewContainer* parent) override;
    bool onAttached(CViewContainer* parent) override;
    CPoint& frameToLocal(CPoint& point) const override;
    CPoint& localToFrame(CPoint& point) const override;
    int32_t notify(CView* sender, const char* message) override;
    // rect is in local coordinates.
    void redrawRect(CDrawContext* context, const CRect& rect) override;
    bool isTypeOf(const char* name) const override;
    void update(CDrawContext* context) override;

    CView* getCurrentDragView() const { return currentDragView; }

protected:
    struct ChildNode
    {
        CView* view;
        ChildNode* next;
        ChildNode* previous;
    };

    // The target of a draw: the back buffer when drawing off-screen, else the context with its
    // offsets advanced to this container's corner.
    CDrawContext* beginTarget(CDrawContext* context, CPoint& savedOffset,
                              CPoint& savedOffsetScreen);
    void endTarget(CDrawContext* context, const CPoint& savedOffset,
                   const CPoint& savedOffsetScreen);
    // The clip a draw starts from; with a back buffer it is moved to the buffer's origin.
    CRect startClip(CDrawContext* target) const;
    void drawBackgroundInto(CDrawContext* target, const CRect& rect);
    void createOffscreen();
    void dropOffscreen();
    void unlink(ChildNode* node);
    CView* childUnder(const CPoint& local) const;
    // Forwards an enter or a move to the child under where, with enter and leave on a change.
    void trackDrag(CDrawContext* context, CDragContainer* drag, const CPoint& where);

    ChildNode* firstChild = nullptr;
    ChildNode* lastChild = nullptr;
    int32_t mode = 1;
    COffscreenContext* offscreen = nullptr;
    CColor backgroundColor = kColorBlack;
    CPoint backgroundOffset;
    bool drawOffscreen = false;
    CView* currentDragView = nullptr;
};
