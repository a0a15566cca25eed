#include "toolkit/core/frame.h"

#include "toolkit/core/backend/draw_device.h"
#include "toolkit/core/backend/platform_services.h"
#include "toolkit/core/backend/window_services.h"
#include "toolkit/core/draw_context.h"
#include "toolkit/core/frame_editor.h"
#include "toolkit/core/frame_services.h"
#include "toolkit/core/module.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int32_t gFrameCount = 0;
char gClassName[kClassNameCapacity] = "";

namespace
{
constexpr unsigned char kVirtualKeyTab = 2;
constexpr unsigned char kModifierShift = 1;
constexpr int32_t kClassNameLength = 1024;
// A parent this much larger than the frame belongs to the host, not to the plug-in.
constexpr int32_t kHostWindowMargin = 80;
constexpr int32_t kOuterWindowMargin = 60;
} // namespace

CRect frameViewSize(CFrame* frame)
{
    CRect size;
    return frame->getViewSize(size);
}

void frameIdleNow(CFrame* frame)
{
    frame->idleNow();
}

void* frameWindow(CFrame* frame)
{
    return frame->getSystemWindow();
}

CFrame::CFrame(const CRect& size, void* parentWindow, CFrameEditor* editor)
    : CFrame(size, parentWindow, editor, windowServices())
{
}

CFrame::CFrame(const CRect& size, void* parentWindow, CFrameEditor* editor,
               CWindowServices& windows)
    : CViewContainer(size, nullptr, nullptr), editor(editor), parentWindow(parentWindow),
      windows(&windows)
{
    frame = this;
    windows.startOle();
    imageLibrary = windows.loadImageLibrary();
    initWindow(parentWindow);
}

CFrame::~CFrame()
{
    // A field still being edited ends its edit now, while everything it reports to is alive.
    if (focusView) setFocusView(nullptr);
    if (modalView) removeView(modalView, false);
    modalView = nullptr;
    setCursor(kCursorDefault);
    setDropActive(false);
    if (frameContext) frameContext->dropReference();
    frameContext = nullptr;
    windows->stopOle();
    if (backBuffer) backBuffer->dropReference();
    backBuffer = nullptr;
    if (imageLibrary) windows->freeImageLibrary(imageLibrary);
    if (window)
    {
        // A window the system already destroyed is not touched again: its handle may name
        // another window by now.
        if (!windowDestroyed) windows->destroyFrameWindow(window);
        window = nullptr;
        if (--gFrameCount == 0) windows->unregisterFrameClass(gClassName);
    }
}

bool CFrame::initWindow(void* parent)
{
    if (!parent) return false;
    if (gFrameCount++ == 0)
    {
        std::snprintf(gClassName, sizeof(gClassName), "Plugin%p", toolkitModuleHandle());
        windows->registerFrameClass(gClassName);
    }
    gSwapButtons = platformServices().buttonsSwapped();
    window = windows->createFrameWindow(gClassName, parent, size.width(), size.height(), this);
    if (!window)
    {
        // No window holds the class, so the count goes back as if this frame never came.
        if (--gFrameCount == 0) windows->unregisterFrameClass(gClassName);
        return false;
    }
    setDropActive(true);
    return true;
}

bool CFrame::open(CPoint*)
{
    return false;
}

bool CFrame::close()
{
    return false;
}

void CFrame::idle()
{
    if (!openFlag || firstDraw) return;
    if (!isDirty()) return;
    CDrawContext* context = createDrawContext();
    update(context);
    context->dropReference();
}

void CFrame::idleNow()
{
    if (editor) editor->idleNow();
}

uint32_t CFrame::getTicks() const
{
    return editor ? platformServices().tickCount() : 0;
}

int32_t CFrame::getKnobMode() const
{
    return editor ? editor->getKnobMode() : 0;
}

bool CFrame::setPosition(int32_t, int32_t)
{
    return false;
}

bool CFrame::getPosition(int32_t& x, int32_t& y) const
{
    if (!openFlag) return false;
    void* outer = getOuterWindow();
    CRect rect;
    if (!windows->windowRect(outer, rect)) return false;
    const CPoint p = windows->screenToClient(windows->parentOf(outer), CPoint(rect.left, rect.top));
    x = p.x;
    y = p.y;
    return true;
}

bool CFrame::getSize(CRect* rect) const
{
    return rect && getSize(*rect);
}

bool CFrame::getSize(CRect& rect) const
{
    if (!openFlag) return false;
    void* parent = windows->parentOf(window);
    CRect screen;
    if (!windows->windowRect(parent, screen)) return false;
    const CPoint corner =
        windows->screenToClient(windows->parentOf(parent), CPoint(screen.left, screen.top));
    rect = CRect(corner.x, corner.y, corner.x + screen.width(), corner.y + screen.height());
    return true;
}

bool CFrame::setSize(int32_t width, int32_t height)
{
    if (!openFlag) return false;
    if (width == size.width() && height == size.height()) return false;

    if (backBuffer) backBuffer->dropReference();
    backBuffer = nullptr;

    size.right = size.left + width;
    size.bottom = size.top + height;
    if (editor && editor->hostSizeWindow(width, height))
    {
        windows->resizeWindow(window, width, height);
        return true;
    }
    if (window && !walkParentWindows(width, height)) return true;
    CViewContainer::setViewSize(CRect(0, 0, width, height));
    return true;
}

// Resizes the frame window and the plug-in's own windows above it, each growing by the frame
// its parent adds. False when the walk reached a window of the host and stopped there.
bool CFrame::walkParentWindows(int32_t width, int32_t height)
{
    const int32_t d = 2 * windows->dialogFrameHeight();
    if (d == 0)
    {
        windows->resizeWindow(window, width, height);
        return true;
    }
    void* cur = window;
    int32_t dw = 0;
    int32_t dh = 0;
    for (;;)
    {
        void* parent = windows->parentOf(cur);
        char name[kClassNameLength] = "";
        if (parent) windows->className(parent, name, kClassNameLength);
        if (!parent || std::strcmp(name, "MDIClient") == 0)
        {
            windows->resizeWindow(cur, width + dw, height + dh);
            return true;
        }
        CRect rc, rp;
        windows->windowRect(cur, rc);
        windows->windowRect(parent, rp);
        windows->resizeWindow(cur, width + dw, height + dh);
        dw += rp.width() - rc.width();
        dh += rp.height() - rc.height();
        if (dw > kHostWindowMargin || dh > kHostWindowMargin) return false;
        if (dw < 0) dw = 0;
        if (dh < 0) dh = 0;
        cur = parent;
        if (dw == d)
        {
            windows->resizeWindow(cur, width + dw, height + dh);
            return true;
        }
    }
}

void* CFrame::getOuterWindow() const
{
    CRect rc;
    windows->windowRect(window, rc);
    void* cur = window;
    while (cur)
    {
        if (windows->hasCaption(cur)) return cur;
        void* parent = windows->parentOf(cur);
        if (!parent) return cur;
        CRect rp;
        windows->windowRect(parent, rp);
        if (std::abs(rp.width() - rc.width()) > kOuterWindowMargin ||
            std::abs(rp.height() - rc.height()) > kOuterWindowMargin)
            return cur;
        cur = parent;
    }
    return cur;
}

bool CFrame::setModalView(CView* view)
{
    if (view)
    {
        if (modalView) return false;
        modalView = view;
        addView(view);
        return true;
    }
    if (modalView) removeView(modalView, false);
    modalView = nullptr;
    return true;
}

void CFrame::beginEdit(int32_t index)
{
    if (editor) editor->beginEdit(index);
}

void CFrame::endEdit(int32_t index)
{
    if (editor) editor->endEdit(index);
}

bool CFrame::getCurrentLocation(CPoint& where)
{
    CPoint screen;
    platformServices().cursorPosition(screen);
    where = windowPointOf(screen);
    return true;
}

CPoint CFrame::windowPointOf(const CPoint& screenPoint) const
{
    CPoint where = screenPoint;
    CRect rect;
    if (window && platformServices().windowRect(window, rect)) where.offset(-rect.left, -rect.top);
    return where;
}

void CFrame::setCursor(int32_t type)
{
    if (!cursorSaved)
    {
        savedCursor = windows->currentCursor();
        cursorSaved = true;
    }
    switch (type)
    {
    case kCursorWait:
    case kCursorHSize:
    case kCursorVSize:
    case kCursorSizeAll:
    case kCursorNESWSize:
    case kCursorNWSESize:
    case kCursorNotAllowed:
    case kCursorHand:
        windows->showSystemCursor(type);
        break;
    default:
        windows->restoreCursor(savedCursor);
        break;
    }
}

void CFrame::setFocusView(CView* view)
{
    CView* old = focusView;
    focusView = view;
    if (view && view->wantsFocus()) view->setDirty(true);
    if (!old) return;
    old->loseFocus(nullptr);
    if (old->wantsFocus()) old->setDirty(true);
}

bool CFrame::setDropActive(bool flag)
{
    if (!dropActive && !flag) return true;
    if (!window || windowDestroyed) return false;
    if (dropTarget) windows->revokeDropTarget(window);
    dropTarget = flag ? windows->registerDropTarget(window, this) : nullptr;
    dropActive = flag;
    return true;
}

void CFrame::invalidate(const CRect& rect)
{
    for (ChildNode* node = firstChild; node; node = node->next)
        if (node->view->overlaps(rect)) node->view->setDirty(true);
}

bool CFrame::setUpdatesDisabled(bool flag)
{
    const bool previous = updatesAreDisabled;
    updatesAreDisabled = flag;
    return previous;
}

void CFrame::drawView(CView* view)
{
    CDrawContext* context = createDrawContext();
    if (view && isChild(view))
        view->draw(context);
    else
        draw(context);
    context->dropReference();
}

void CFrame::draw(CDrawContext* context)
{
    firstDraw = false;
    CViewContainer::draw(context ? context : frameContext);
}

void CFrame::drawPart(CDrawContext* context, const CRect& updateRect)
{
    firstDraw = false;
    const bool ownContext = !context;
    if (ownContext) context = createDrawContext();
    CRect oldClip;
    context->getClipRect(oldClip);
    CRect clip = updateRect;
    context->setClipRect(clip.bound(oldClip));
    if (updateRect.width() > 0 && updateRect.height() > 0)
        CViewContainer::drawPart(context, updateRect);
    context->setClipRect(oldClip);
    if (ownContext) context->dropReference();
}

void CFrame::update(CDrawContext* context)
{
    if (!openFlag || updatesAreDisabled) return;
    CDrawContext* saved = frameContext;
    COffscreenContext* buffer = getBackBuffer();
    // Whatever asks for a context during the update draws into the buffer.
    frameContext = buffer;
    if (dirty)
    {
        draw(buffer);
        setDirty(false);
    }
    else
    {
        CRect clip;
        buffer->getClipRect(clip);
        if (modalView && modalView->isDirty()) modalView->update(buffer);
        for (ChildNode* node = firstChild; node; node = node->next)
        {
            CRect childClip;
            node->view->getViewSize(childClip);
            buffer->setClipRect(childClip.bound(clip));
            node->view->update(buffer);
        }
        buffer->setClipRect(clip);
    }
    if (context) buffer->blitTo(context, size, CPoint(0, 0));
    frameContext = saved;
}

CDrawContext* CFrame::createDrawContext()
{
    if (frameContext)
    {
        frameContext->addReference();
        return frameContext;
    }
    return new CDrawContext(this, nullptr, window);
}

COffscreenContext* CFrame::getBackBuffer()
{
    if (!backBuffer)
        backBuffer = new COffscreenContext(this, size.width(), size.height(), kColorBlack);
    return backBuffer;
}

void CFrame::trackMouse(CDrawContext* context, CPoint& where, int32_t buttons)
{
    if (!context) context = frameContext;
    // Any press ends keyboard editing.
    if (focusView) setFocusView(nullptr);
    if (buttons == -1 && context) buttons = getMouseButtons(context->getPlatformServices());
    if (modalView)
    {
        if (modalView->hitTest(where, buttons)) modalView->trackMouse(context, where, buttons);
        return;
    }
    CViewContainer::trackMouse(context, where, buttons);
}

int32_t CFrame::onKeyDown(VstKeyCode& key)
{
    if (focusView)
    {
        const int32_t result = focusView->onKeyDown(key);
        if (result != -1) return result;
    }
    if (modalView)
    {
        const int32_t result = modalView->onKeyDown(key);
        if (result != -1) return result;
    }
    if (key.virt == kVirtualKeyTab)
        return advanceNextFocusView(focusView, (key.modifier & kModifierShift) != 0) ? 1 : -1;
    return -1;
}

int32_t CFrame::onKeyUp(VstKeyCode& key)
{
    if (focusView)
    {
        const int32_t result = focusView->onKeyUp(key);
        if (result != -1) return result;
    }
    if (modalView) return modalView->onKeyUp(key);
    return -1;
}

bool CFrame::onWheel(CDrawContext* context, const CPoint& where, float distance)
{
    return onWheelAxis(context, where, 1, distance);
}

bool CFrame::onWheelAxis(CDrawContext* context, const CPoint& where, int32_t axis, float distance)
{
    CView* view = modalView ? modalView : getViewAt(where, false);
    if (!view) return false;
    if (context) return view->onWheelAxis(context, where, axis, distance);
    CDrawContext* own = createDrawContext();
    const bool result = view->onWheelAxis(own, where, axis, distance);
    own->dropReference();
    return result;
}

void CFrame::setViewSize(const CRect& rect)
{
    setSize(rect.width(), rect.height());
}

bool CFrame::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CFrame") == 0 || CViewContainer::isTypeOf(name);
}

CView* CFrame::getViewUnderMouse()
{
    return modalView ? modalView : CViewContainer::getViewUnderMouse();
}

bool CFrame::advanceNextFocusView(CView* current, bool reverse)
{
    if (modalView) return false;
    if (!current) current = focusView;
    if (!current) return CViewContainer::advanceNextFocusView(nullptr, reverse);

    // A view in a nested container: each container upwards continues after the child it holds.
    CView* child = current;
    for (CViewContainer* parent = current->getParentView(); parent && parent != this;
         parent = parent->getParentView())
    {
        if (parent->advanceNextFocusView(child, reverse)) return true;
        child = parent;
    }
    if (CViewContainer::advanceNextFocusView(child, reverse)) return true;
    // No wrap-around: Tab past the last focusable view removes the focus.
    setFocusView(nullptr);
    return false;
}

void CFrame::onWindowDestroyed()
{
    setOpenFlag(false);
    parentWindow = nullptr;
    windowDestroyed = true;
}

void CFrame::onPaint(CDrawDevice* paintDevice, const CRect& paintRect)
{
    COffscreenContext* buffer = getBackBuffer();
    auto* target = new CDrawContext(this, paintDevice, window);
    if (!buffer)
    {
        drawPart(target, paintRect);
        target->dropReference();
        return;
    }
    drawPart(buffer, paintRect);
    buffer->blitTo(target, paintRect, CPoint(paintRect.left, paintRect.top));
    target->dropReference();
}

void CFrame::onButtonDown(const CPoint& where)
{
    auto* context = new CDrawContext(this, nullptr, window);
    CPoint point = where;
    trackMouse(context, point, -1);
    context->dropReference();
}

void CFrame::onWheelMessage(const CPoint& screenWhere, int32_t delta)
{
    auto* context = new CDrawContext(this, nullptr, window);
    onWheel(context, windowPointOf(screenWhere),
            static_cast<float>(static_cast<int16_t>(delta)) / 120.0f);
    context->dropReference();
}
