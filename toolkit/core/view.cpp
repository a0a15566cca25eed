#include "toolkit/core/view.h"

#include "toolkit/core/bitmap.h"
#include "toolkit/core/draw_context.h"
#include "toolkit/core/frame.h"

#include <cstring>

const char* kMsgCheckIfViewContainer = "kMsgCheckIfViewContainer";

namespace
{
CPoint topLeft(const CRect& rect)
{
    return CPoint(rect.left, rect.top);
}

// Advances a context's origin by a corner and puts it back when the scope ends.
class ShiftedOrigin
{
public:
    ShiftedOrigin(CDrawContext* context, const CPoint& corner) : context(context)
    {
        if (!context) return;
        savedOffset = context->offset;
        savedOffsetScreen = context->offsetScreen;
        context->offset.offset(corner.x, corner.y);
        context->offsetScreen.offset(corner.x, corner.y);
    }
    ~ShiftedOrigin()
    {
        if (!context) return;
        context->offset = savedOffset;
        context->offsetScreen = savedOffsetScreen;
    }
    ShiftedOrigin(const ShiftedOrigin&) = delete;
    ShiftedOrigin& operator=(const ShiftedOrigin&) = delete;

private:
    CDrawContext* context;
    CPoint savedOffset;
    CPoint savedOffsetScreen;
};

bool insideInclusive(const CRect& area, const CPoint& p)
{
    return area.left <= p.x && p.x <= area.right && area.top <= p.y && p.y <= area.bottom;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// CView

CView::CView(const CRect& size) : size(size), mouseableArea(size) {}

CView::~CView()
{
    if (background) background->dropReference();
    while (attributes)
    {
        AttributeNode* next = attributes->next;
        delete[] attributes->bytes;
        delete attributes;
        attributes = next;
    }
}

void CView::draw(CDrawContext* context)
{
    if (background) drawViewBitmap(background, context, size, CPoint(0, 0), transparency);
    setDirty(false);
}

void CView::drawPart(CDrawContext* context, const CRect&)
{
    draw(context);
}

bool CView::overlaps(const CRect& rect) const
{
    return rect.right >= size.left && rect.left <= size.right && rect.bottom >= size.top &&
           rect.top <= size.bottom;
}

void CView::trackMouse(CDrawContext*, CPoint&, int32_t) {}

void CView::setBackground(CBitmap* bitmap)
{
    if (background) background->dropReference();
    background = bitmap;
    if (background) background->addReference();
    setDirty(true);
}

int32_t CView::onKeyDown(VstKeyCode&)
{
    return -1;
}

int32_t CView::onKeyUp(VstKeyCode&)
{
    return -1;
}

bool CView::onWheel(CDrawContext*, const CPoint&, float)
{
    return false;
}

bool CView::onWheelAxis(CDrawContext* context, const CPoint& where, int32_t, float distance)
{
    return onWheel(context, where, distance);
}

bool CView::onDrop(CDrawContext*, CDragContainer*, const CPoint&)
{
    return false;
}

void CView::onDragEnter(CDrawContext*, CDragContainer*, const CPoint&) {}
void CView::onDragLeave(CDrawContext*, CDragContainer*, const CPoint&) {}
void CView::onDragMove(CDrawContext*, CDragContainer*, const CPoint&) {}
void CView::loseFocus(CDrawContext*) {}
void CView::takeFocus(CDrawContext*) {}

CRect& CView::getMouseableArea(CRect& rect) const
{
    rect = mouseableArea;
    return rect;
}

bool CView::hitTest(const CPoint& where, int32_t)
{
    return insideInclusive(mouseableArea, where);
}

void CView::setViewSize(const CRect& rect)
{
    size = rect;
    setDirty(true);
}

CRect& CView::getViewSize(CRect& rect) const
{
    rect = size;
    return rect;
}

bool CView::onRemoved(CViewContainer*)
{
    return true;
}

bool CView::onAttached(CViewContainer*)
{
    return true;
}

void CView::getMouseLocation(CDrawContext* context, CPoint& point)
{
    if (!parentView || parentView->notify(this, kMsgCheckIfViewContainer) != 1)
    {
        context->getMouseLocation(point);
        return;
    }
    CRect parentSize;
    parentView->getViewSize(parentSize);
    ShiftedOrigin shift(context, topLeft(parentSize));
    parentView->getMouseLocation(context, point);
}

CPoint& CView::frameToLocal(CPoint& point) const
{
    if (parentView && parentView->isTypeOf("CViewContainer"))
        return parentView->frameToLocal(point);
    return point;
}

CPoint& CView::localToFrame(CPoint& point) const
{
    if (parentView && parentView->isTypeOf("CViewContainer"))
        return parentView->localToFrame(point);
    return point;
}

CFrameEditor* CView::getEditor() const
{
    return frame ? frame->getEditor() : nullptr;
}

int32_t CView::notify(CView*, const char*)
{
    return 0;
}

void CView::redrawRect(CDrawContext* context, const CRect& rect)
{
    if (parentView)
        parentView->redrawRect(context, rect);
    else if (frame)
        frame->drawPart(context, rect);
}

bool CView::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CView") == 0;
}

void CView::update(CDrawContext* context)
{
    if (!isDirty()) return;
    if (context)
        redrawRect(context, size);
    else if (frame)
        frame->drawView(this);
    setDirty(false);
}

CView::AttributeNode* CView::findAttribute(int32_t id) const
{
    for (AttributeNode* node = attributes; node; node = node->next)
        if (node->id == id) return node;
    return nullptr;
}

bool CView::setAttribute(int32_t id, int32_t bytesSize, const void* bytes)
{
    if (bytesSize < 0 || (bytesSize > 0 && !bytes)) return false;
    if (AttributeNode* node = findAttribute(id))
    {
        if (node->size < bytesSize) return false;
        if (bytesSize > 0) std::memcpy(node->bytes, bytes, static_cast<size_t>(bytesSize));
        return true;
    }
    auto* node =
        new AttributeNode{id, bytesSize, new unsigned char[bytesSize > 0 ? bytesSize : 1], nullptr};
    if (bytesSize > 0) std::memcpy(node->bytes, bytes, static_cast<size_t>(bytesSize));
    AttributeNode** tail = &attributes;
    while (*tail)
        tail = &(*tail)->next;
    *tail = node;
    return true;
}

bool CView::getAttributeSize(int32_t id, int32_t& outSize) const
{
    const AttributeNode* node = findAttribute(id);
    if (!node) return false;
    outSize = node->size;
    return true;
}

bool CView::getAttribute(int32_t id, int32_t bufferSize, void* buffer, int32_t& outSize) const
{
    const AttributeNode* node = findAttribute(id);
    if (!node || bufferSize < node->size || (node->size > 0 && !buffer)) return false;
    if (node->size > 0) std::memcpy(buffer, node->bytes, static_cast<size_t>(node->size));
    outSize = node->size;
    return true;
}

// ---------------------------------------------------------------------------------------------
// CViewContainer

CViewContainer::CViewContainer(const CRect& size, CFrame* frame, CBitmap* background) : CView(size)
{
    this->frame = frame;
    setBackground(background);
}

CViewContainer::~CViewContainer()
{
    removeAll(true);
    dropOffscreen();
}

void CViewContainer::addView(CView* view)
{
    if (!view) return;
    auto* node = new ChildNode{view, nullptr, nullptr};
    view->addReference();
    view->setFrame(frame);
    view->setParentView(this);
    if (!firstChild)
    {
        firstChild = node;
    }
    else
    {
        ChildNode* last = firstChild;
        while (last->next)
            last = last->next;
        last->next = node;
        node->previous = last;
    }
    lastChild = node;
    view->onAttached(this);
    view->setDirty(true);
}

void CViewContainer::addViewWithArea(CView* view, const CRect& area, bool enabled)
{
    if (!view) return;
    view->setMouseEnabled(enabled);
    view->setMouseableArea(area);
    addView(view);
}

void CViewContainer::unlink(ChildNode* node)
{
    if (node->previous)
        node->previous->next = node->next;
    else
        firstChild = node->next;
    if (node->next)
        node->next->previous = node->previous;
    else
        lastChild = node->previous;
    delete node;
}

void CViewContainer::removeView(CView* view, const bool& withRelease)
{
    if (frame && frame->getFocusView() == view) frame->setFocusView(nullptr);
    ChildNode* node = firstChild;
    while (node && node->view != view)
        node = node->next;
    if (!node) return;
    view->onRemoved(this);
    if (withRelease) view->dropReference();
    node->view->dropReference();
    unlink(node);
}

void CViewContainer::removeAll(const bool& withRelease)
{
    ChildNode* node = firstChild;
    while (node)
    {
        ChildNode* next = node->next;
        node->view->onRemoved(this);
        if (withRelease) node->view->dropReference();
        node->view->dropReference();
        delete node;
        node = next;
    }
    firstChild = nullptr;
    lastChild = nullptr;
}

bool CViewContainer::isChild(CView* view) const
{
    for (ChildNode* node = firstChild; node; node = node->next)
        if (node->view == view) return true;
    return false;
}

int32_t CViewContainer::getViewCount() const
{
    int32_t count = 0;
    for (ChildNode* node = firstChild; node; node = node->next)
        ++count;
    return count;
}

CView* CViewContainer::getView(int32_t index) const
{
    if (index < 0) return nullptr;
    ChildNode* node = firstChild;
    for (int32_t i = 0; node && i < index; ++i)
        node = node->next;
    return node ? node->view : nullptr;
}

void CViewContainer::setBackgroundColor(CColor color)
{
    backgroundColor = color;
    setDirty(true);
}

void CViewContainer::drawBackgroundInto(CDrawContext* target, const CRect& rect)
{
    if (background)
    {
        drawViewBitmap(background, target, rect, backgroundOffset, transparency);
        return;
    }
    if (transparency) return;
    target->setFillColor(backgroundColor);
    target->fillRect(rect);
}

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& rect)
{
    if (!background)
    {
        drawBackgroundInto(context, rect);
        return;
    }
    CRect oldClip;
    context->getClipRect(oldClip);
    CRect clip = rect;
    context->setClipRect(clip.bound(oldClip));
    drawViewBitmap(background, context,
                   CRect(0, 0, background->getWidth(), background->getHeight()), backgroundOffset,
                   transparency);
    context->setClipRect(oldClip);
}

void CViewContainer::useOffscreen(bool value)
{
    drawOffscreen = value;
    if (!value) dropOffscreen();
}

void CViewContainer::createOffscreen()
{
    offscreen = new COffscreenContext(frame, size.width(), size.height(), kColorBlack);
}

void CViewContainer::dropOffscreen()
{
    if (!offscreen) return;
    offscreen->dropReference();
    offscreen = nullptr;
}

CDrawContext* CViewContainer::beginTarget(CDrawContext* context, CPoint& savedOffset,
                                          CPoint& savedOffsetScreen)
{
    if (drawOffscreen && !offscreen) createOffscreen();
    if (offscreen && transparency) offscreen->grabFrom(context, size, CPoint(0, 0));
    if (drawOffscreen && offscreen) return offscreen;
    savedOffset = context->offset;
    savedOffsetScreen = context->offsetScreen;
    context->offset.offset(size.left, size.top);
    context->offsetScreen.offset(size.left, size.top);
    return context;
}

void CViewContainer::endTarget(CDrawContext* context, const CPoint& savedOffset,
                               const CPoint& savedOffsetScreen)
{
    context->offset = savedOffset;
    context->offsetScreen = savedOffsetScreen;
}

CRect CViewContainer::startClip(CDrawContext* target) const
{
    CRect clip;
    target->getClipRect(clip);
    // A back buffer starts at this container's corner, whatever the frame's clip said.
    if (target == offscreen && static_cast<const CView*>(frame) != this)
        clip = CRect(0, 0, clip.width(), clip.height());
    return clip;
}

void CViewContainer::draw(CDrawContext* context)
{
    if (!context) return;
    CPoint savedOffset, savedOffsetScreen;
    CDrawContext* target = beginTarget(context, savedOffset, savedOffsetScreen);
    const CRect r(0, 0, size.width(), size.height());
    CRect savedClip;
    target->getClipRect(savedClip);
    const CRect oldClip = startClip(target);

    CRect clip = r;
    target->setClipRect(clip.bound(oldClip));
    drawBackgroundInto(target, r);

    for (ChildNode* node = firstChild; node; node = node->next)
    {
        CRect childClip;
        node->view->getViewSize(childClip);
        target->setClipRect(childClip.bound(oldClip));
        node->view->draw(target);
    }

    target->setClipRect(savedClip);
    if (target == offscreen)
        offscreen->blitTo(context, size, CPoint(0, 0));
    else
        endTarget(context, savedOffset, savedOffsetScreen);
    setDirty(false);
}

void CViewContainer::drawPart(CDrawContext* context, const CRect& updateRect)
{
    if (!context) return;
    CPoint savedOffset, savedOffsetScreen;
    CDrawContext* target = beginTarget(context, savedOffset, savedOffsetScreen);
    CRect visible = updateRect;
    visible.bound(size);
    CRect clientRect = visible;
    clientRect.offset(-size.left, -size.top);

    CRect savedClip;
    target->getClipRect(savedClip);
    const CRect oldClip = startClip(target);
    CRect newClip = clientRect;
    newClip.bound(oldClip);
    target->setClipRect(newClip);

    drawBackgroundRect(target, clientRect);

    const bool scrolls = isTypeOf("CScrollContainer");
    for (ChildNode* node = firstChild; node; node = node->next)
    {
        CView* child = node->view;
        if (!child->overlaps(clientRect)) continue;
        CRect childSize;
        child->getViewSize(childSize);
        CRect childClip = childSize;
        childClip.bound(newClip);
        if (childClip.width() == 0 || childClip.height() == 0) continue;
        target->setClipRect(childClip);
        const bool wasDirty = child->isDirty();
        child->drawPart(target, clientRect);
        // A child drawn only in part stays dirty, so that a later update draws it whole.
        if (wasDirty && childClip != childSize && !scrolls) child->setDirty(true);
    }

    target->setClipRect(savedClip);
    if (target == offscreen)
        offscreen->blitTo(context, visible, CPoint(clientRect.left, clientRect.top));
    else
        endTarget(context, savedOffset, savedOffsetScreen);
    setDirty(false);
}

bool CViewContainer::isDirty() const
{
    if (dirty) return true;
    const CRect bounds(0, 0, size.width(), size.height());
    for (ChildNode* node = firstChild; node; node = node->next)
    {
        if (!node->view->isDirty()) continue;
        CRect visible;
        node->view->getViewSize(visible);
        visible.bound(bounds);
        if (visible.width() > 0 && visible.height() > 0) return true;
    }
    return false;
}

void CViewContainer::update(CDrawContext* context)
{
    const CRect r(0, 0, size.width(), size.height());
    if (mode == 0)
    {
        if (!isDirty()) return;
        redrawRect(context, r);
        setDirty(false);
        return;
    }
    if (mode != 1) return;
    if (dirty)
    {
        redrawRect(context, r);
        setDirty(false);
        return;
    }
    for (ChildNode* node = firstChild; node; node = node->next)
    {
        CView* child = node->view;
        if (!child->isDirty() || !child->overlaps(r)) continue;
        if (child->notify(this, kMsgCheckIfViewContainer) != 0)
        {
            child->update(context);
            continue;
        }
        CRect childRect;
        child->getViewSize(childRect);
        redrawRect(context, childRect.bound(r));
    }
    setDirty(false);
}

void CViewContainer::redrawRect(CDrawContext* context, const CRect& rect)
{
    CRect inParent = rect;
    inParent.offset(size.left, size.top);
    if (transparency)
    {
        // The parent repaints the area, this container included.
        if (parentView)
            parentView->redrawRect(context, inParent);
        else if (frame)
            frame->drawPart(context, inParent);
        return;
    }
    CPoint origin(0, 0);
    if (parentView) parentView->localToFrame(origin);
    ShiftedOrigin shift(parentView ? context : nullptr, origin);
    drawPart(context, inParent);
}

void CViewContainer::trackMouse(CDrawContext* context, CPoint& where, int32_t buttons)
{
    CPoint local(where.x - size.left, where.y - size.top);
    if (buttons == -1 && context) buttons = getMouseButtons(context->getPlatformServices());
    for (ChildNode* node = lastChild; node; node = node->previous)
    {
        CView* child = node->view;
        if (child->getMouseEnabled() && child->hitTest(local, buttons))
        {
            child->trackMouse(context, local, buttons);
            return;
        }
    }
}

int32_t CViewContainer::onKeyDown(VstKeyCode& key)
{
    for (ChildNode* node = lastChild; node; node = node->previous)
    {
        const int32_t result = node->view->onKeyDown(key);
        if (result != -1) return result;
    }
    return -1;
}

int32_t CViewContainer::onKeyUp(VstKeyCode& key)
{
    for (ChildNode* node = lastChild; node; node = node->previous)
    {
        const int32_t result = node->view->onKeyUp(key);
        if (result != -1) return result;
    }
    return -1;
}

bool CViewContainer::onWheel(CDrawContext* context, const CPoint& where, float distance)
{
    return onWheelAxis(context, where, 1, distance);
}

bool CViewContainer::onWheelAxis(CDrawContext* context, const CPoint& where, int32_t axis,
                                 float distance)
{
    CView* view = getViewAt(where, false);
    if (!view) return false;
    ShiftedOrigin shift(context, topLeft(size));
    const CPoint local(where.x - size.left, where.y - size.top);
    return view->onWheelAxis(context, local, axis, distance);
}

CView* CViewContainer::childUnder(const CPoint& local) const
{
    for (ChildNode* node = lastChild; node; node = node->previous)
    {
        CRect area;
        node->view->getMouseableArea(area);
        if (insideInclusive(area, local)) return node->view;
    }
    return nullptr;
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep) const
{
    if (!frame) return nullptr;
    const CPoint local(where.x - size.left, where.y - size.top);
    CView* child = childUnder(local);
    if (!child || !deep) return child;
    if (child->isTypeOf("CViewContainer"))
        return static_cast<CViewContainer*>(child)->getViewAt(local, true);
    return child;
}

CView* CViewContainer::getViewUnderMouse()
{
    if (!frame) return nullptr;
    CPoint where;
    frame->getCurrentLocation(where);
    frameToLocal(where);
    return childUnder(where);
}

bool CViewContainer::advanceNextFocusView(CView* current, bool reverse)
{
    ChildNode* node = reverse ? lastChild : firstChild;
    auto step = [reverse](ChildNode* n) { return reverse ? n->previous : n->next; };
    if (current)
    {
        while (node && node->view != current)
            node = step(node);
        if (node) node = step(node);
    }
    for (; node; node = step(node))
    {
        CView* candidate = node->view;
        if (candidate->wantsFocus())
        {
            if (frame) frame->setFocusView(candidate);
            return true;
        }
        if (candidate->isTypeOf("CViewContainer") &&
            static_cast<CViewContainer*>(candidate)->advanceNextFocusView(nullptr, reverse))
            return true;
    }
    return false;
}

CPoint& CViewContainer::frameToLocal(CPoint& point) const
{
    point.offset(-size.left, -size.top);
    if (parentView && parentView->isTypeOf("CViewContainer"))
        return parentView->frameToLocal(point);
    return point;
}

CPoint& CViewContainer::localToFrame(CPoint& point) const
{
    point.offset(size.left, size.top);
    if (parentView && parentView->isTypeOf("CViewContainer"))
        return parentView->localToFrame(point);
    return point;
}

void CViewContainer::setViewSize(const CRect& rect)
{
    CView::setViewSize(rect);
    if (offscreen && drawOffscreen)
    {
        dropOffscreen();
        createOffscreen();
    }
}

bool CViewContainer::onAttached(CViewContainer*)
{
    if (!offscreen && drawOffscreen) createOffscreen();
    return true;
}

bool CViewContainer::onRemoved(CViewContainer*)
{
    dropOffscreen();
    return true;
}

int32_t CViewContainer::notify(CView*, const char* message)
{
    return message == kMsgCheckIfViewContainer ? 1 : 0;
}

bool CViewContainer::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CViewContainer") == 0 || CView::isTypeOf(name);
}

void CViewContainer::loseFocus(CDrawContext*) {}
void CViewContainer::takeFocus(CDrawContext*) {}

bool CViewContainer::hitTest(const CPoint& where, int32_t buttons)
{
    return CView::hitTest(where, buttons);
}

void CViewContainer::trackDrag(CDrawContext* context, CDragContainer* drag, const CPoint& where)
{
    if (!frame) return;
    const CPoint local(where.x - size.left, where.y - size.top);
    ShiftedOrigin shift(context, topLeft(size));
    CView* view = getViewAt(where, false);
    if (view != currentDragView)
    {
        if (currentDragView) currentDragView->onDragLeave(context, drag, local);
        if (view) view->onDragEnter(context, drag, local);
        currentDragView = view;
    }
    else if (view)
    {
        view->onDragMove(context, drag, local);
    }
}

void CViewContainer::onDragEnter(CDrawContext* context, CDragContainer* drag, const CPoint& where)
{
    trackDrag(context, drag, where);
}

void CViewContainer::onDragMove(CDrawContext* context, CDragContainer* drag, const CPoint& where)
{
    trackDrag(context, drag, where);
}

void CViewContainer::onDragLeave(CDrawContext* context, CDragContainer* drag, const CPoint& where)
{
    if (!frame) return;
    const CPoint local(where.x - size.left, where.y - size.top);
    ShiftedOrigin shift(context, topLeft(size));
    if (currentDragView) currentDragView->onDragLeave(context, drag, local);
    currentDragView = nullptr;
}

bool CViewContainer::onDrop(CDrawContext* context, CDragContainer* drag, const CPoint& where)
{
    if (!frame) return false;
    const CPoint local(where.x - size.left, where.y - size.top);
    ShiftedOrigin shift(context, topLeft(size));
    bool result = false;
    if (CView* view = getViewAt(where, false))
    {
        result = view->onDrop(context, drag, local);
        view->onDragLeave(context, drag, local);
    }
    currentDragView = nullptr;
    return result;
}
