// Memory windows and the window services of the software back end.
#include "toolkit/core/backend_soft/soft_windows.h"

#include "toolkit/core/backend/window_services.h"
#include "toolkit/core/backend_soft/soft_device.h"
#include "toolkit/core/frame.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace
{
std::set<std::string>& registeredClasses()
{
    static std::set<std::string> classes;
    return classes;
}

bool& hostWindowsAccepted()
{
    static bool accepted = false;
    return accepted;
}

int32_t& liveWindows()
{
    static int32_t count = 0;
    return count;
}

CSoftWindow* soft(void* window)
{
    return static_cast<CSoftWindow*>(window);
}

class CSoftWindowServices : public CWindowServices
{
public:
    bool acceptsHostWindows() override { return hostWindowsAccepted(); }
    bool registerFrameClass(const char* name) override
    {
        return registeredClasses().insert(name).second;
    }
    void unregisterFrameClass(const char* name) override { registeredClasses().erase(name); }

    void* createFrameWindow(const char* name, void* parent, int32_t width, int32_t height,
                            CFrame* frame) override
    {
        if (!parent || !softClassRegistered(name)) return nullptr;
        CSoftWindow* window = createSoftWindow(soft(parent), CRect(0, 0, width, height), name);
        window->frame = frame;
        return window;
    }
    void destroyFrameWindow(void* window) override
    {
        if (!window) return;
        soft(window)->frame = nullptr;
        destroySoftWindow(soft(window));
    }

    void* parentOf(void* window) override { return window ? soft(window)->parent : nullptr; }
    bool className(void* window, char* name, int32_t capacity) override
    {
        if (!window || capacity <= 0) return false;
        const std::string& text = soft(window)->className;
        const size_t n = std::min(text.size(), static_cast<size_t>(capacity - 1));
        std::memcpy(name, text.data(), n);
        name[n] = 0;
        return true;
    }
    bool windowRect(void* window, CRect& screenRect) override
    {
        if (!window) return false;
        screenRect = softWindowScreenRect(soft(window));
        return true;
    }
    bool hasCaption(void* window) override { return window && soft(window)->caption; }
    void resizeWindow(void* window, int32_t width, int32_t height) override
    {
        if (!window) return;
        CSoftWindow* w = soft(window);
        w->rect.right = w->rect.left + width;
        w->rect.bottom = w->rect.top + height;
        w->surface = CSoftSurface(width, height);
    }
    CPoint screenToClient(void* window, const CPoint& screenPoint) override
    {
        if (!window) return screenPoint;
        const CRect r = softWindowScreenRect(soft(window));
        return CPoint(screenPoint.x - r.left, screenPoint.y - r.top);
    }
    int32_t dialogFrameHeight() override { return 3; }

    void* currentCursor() override
    {
        return reinterpret_cast<void*>(static_cast<intptr_t>(softInput().cursorType + 1));
    }
    void showSystemCursor(int32_t type) override { softInput().cursorType = type; }
    void restoreCursor(void* cursor) override
    {
        softInput().cursorType = static_cast<int32_t>(reinterpret_cast<intptr_t>(cursor)) - 1;
    }

    // Memory windows take no drops.
    void startOle() override {}
    void stopOle() override {}
    void* registerDropTarget(void*, CFrame*) override { return nullptr; }
    void revokeDropTarget(void*) override {}

    // The raster blends by itself.
    void* loadImageLibrary() override { return nullptr; }
    void freeImageLibrary(void*) override {}
};
} // namespace

CWindowServices& windowServices()
{
    static CSoftWindowServices services;
    return services;
}

void softAcceptHostWindows(bool accept)
{
    hostWindowsAccepted() = accept;
}

CSoftInput& softInput()
{
    static CSoftInput input;
    return input;
}

CSoftWindow* createSoftWindow(CSoftWindow* parent, const CRect& rect, const char* className,
                              bool caption)
{
    auto* window = new CSoftWindow;
    window->parent = parent;
    window->className = className ? className : "";
    window->rect = rect;
    window->caption = caption;
    window->surface = CSoftSurface(rect.width(), rect.height());
    if (parent) parent->children.push_back(window);
    ++liveWindows();
    return window;
}

void destroySoftWindow(CSoftWindow* window)
{
    if (!window) return;
    while (!window->children.empty())
        destroySoftWindow(window->children.back());
    if (window->frame) window->frame->onWindowDestroyed();
    if (CSoftWindow* parent = window->parent)
    {
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    }
    --liveWindows();
    delete window;
}

CRect softWindowScreenRect(const CSoftWindow* window)
{
    CRect r = window->rect;
    for (const CSoftWindow* p = window->parent; p; p = p->parent)
        r.offset(p->rect.left, p->rect.top);
    return r;
}

bool softClassRegistered(const std::string& className)
{
    return registeredClasses().count(className) != 0;
}

int32_t softWindowCount()
{
    return liveWindows();
}

void softWindowPaint(CSoftWindow* window, const CRect& rect)
{
    if (!window || !window->frame) return;
    CRect paint = rect;
    paint.bound(CRect(0, 0, window->rect.width(), window->rect.height()));
    if (paint.isEmpty()) return;
    CSoftDevice device(window->surface);
    window->frame->onPaint(&device, paint);
}

void softWindowButtonDown(CSoftWindow* window, const CPoint& where)
{
    if (window && window->frame) window->frame->onButtonDown(where);
}

void softWindowWheel(CSoftWindow* window, const CPoint& screenWhere, int32_t delta)
{
    if (window && window->frame) window->frame->onWheelMessage(screenWhere, delta);
}
