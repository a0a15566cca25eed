// The frame window's OLE drop target and the drag container over the dragged data object.
#include "toolkit/core/backend_win32/win32_drop_target.h"

#include "toolkit/core/drag_container.h"
#include "toolkit/core/draw_context.h"
#include "toolkit/core/frame.h"

#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>

CDragContainer* gDragContainer = nullptr;

namespace
{
IDataObject* dataObject(void* platformDrag)
{
    return static_cast<IDataObject*>(platformDrag);
}

char* copyText(const char* text)
{
    const size_t length = std::strlen(text);
    auto* copy = static_cast<char*>(std::malloc(length + 1));
    if (copy) std::memcpy(copy, text, length + 1);
    return copy;
}

// The data object's global memory in the given clipboard format; release with ReleaseStgMedium.
bool globalData(IDataObject* data, CLIPFORMAT format, STGMEDIUM& medium)
{
    FORMATETC request = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return data && data->GetData(&request, &medium) == S_OK && medium.tymed == TYMED_HGLOBAL;
}

bool isShortcut(const char* path)
{
    const size_t length = std::strlen(path);
    return length >= 4 && _stricmp(path + length - 4, ".lnk") == 0;
}

// The target of a shell shortcut, in place; the path stays as it is when it cannot be resolved.
void resolveShortcut(char* path, int32_t capacity)
{
    IShellLinkA* link = nullptr;
    if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                         reinterpret_cast<void**>(&link)) != S_OK)
        return;
    IPersistFile* file = nullptr;
    if (link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)) == S_OK)
    {
        WCHAR widePath[MAX_PATH];
        char target[MAX_PATH] = "";
        if (MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH) > 0 &&
            file->Load(widePath, STGM_READ) == S_OK &&
            link->GetPath(target, MAX_PATH, nullptr, 0) == S_OK && target[0])
            lstrcpynA(path, target, capacity);
        file->Release();
    }
    link->Release();
}

char* fileItem(IDataObject* data, int32_t index)
{
    STGMEDIUM medium;
    if (!globalData(data, CF_HDROP, medium)) return nullptr;
    char path[MAX_PATH] = "";
    char* item = nullptr;
    if (auto drop = static_cast<HDROP>(GlobalLock(medium.hGlobal)))
    {
        if (DragQueryFileA(drop, static_cast<UINT>(index), path, MAX_PATH) > 0)
        {
            if (isShortcut(path)) resolveShortcut(path, MAX_PATH);
            item = copyText(path);
        }
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    return item;
}

char* textItem(IDataObject* data)
{
    STGMEDIUM medium;
    if (!globalData(data, CF_TEXT, medium)) return nullptr;
    char* item = nullptr;
    if (auto text = static_cast<const char*>(GlobalLock(medium.hGlobal)))
    {
        item = copyText(text);
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    return item;
}

// The dropped files of a file drop; -1 for any other data.
int32_t fileCount(IDataObject* data)
{
    STGMEDIUM medium;
    if (!globalData(data, CF_HDROP, medium)) return -1;
    int32_t count = -1;
    if (auto drop = static_cast<HDROP>(GlobalLock(medium.hGlobal)))
    {
        count = static_cast<int32_t>(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0));
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    return count;
}

void endDrag()
{
    if (gDragContainer) gDragContainer->dropReference();
    gDragContainer = nullptr;
}

class CDropTarget : public IDropTarget
{
public:
    explicit CDropTarget(CFrame* frame) : frame(frame) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IDropTarget)
        {
            AddRef();
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refCount); }
    STDMETHODIMP_(ULONG) Release() override
    {
        if (refCount <= 1)
        {
            delete this;
            return 0;
        }
        return static_cast<ULONG>(--refCount);
    }

    STDMETHODIMP DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override
    {
        if (!data || !frame)
        {
            *effect = DROPEFFECT_NONE;
            return S_OK;
        }
        endDrag();
        gDragContainer = new CDragContainer(data);
        CPoint where;
        CDrawContext* context = beginEvent(where);
        frame->onDragEnter(context, gDragContainer, where);
        context->dropReference();
        *effect = DROPEFFECT_MOVE;
        return S_OK;
    }
    STDMETHODIMP DragOver(DWORD, POINTL, DWORD* effect) override
    {
        if (!gDragContainer || !frame)
        {
            *effect = DROPEFFECT_NONE;
            return S_OK;
        }
        CPoint where;
        CDrawContext* context = beginEvent(where);
        frame->onDragMove(context, gDragContainer, where);
        context->dropReference();
        *effect = DROPEFFECT_MOVE;
        return S_OK;
    }
    STDMETHODIMP DragLeave() override
    {
        if (gDragContainer && frame)
        {
            CPoint where;
            CDrawContext* context = beginEvent(where);
            frame->onDragLeave(context, gDragContainer, where);
            context->dropReference();
        }
        endDrag();
        return S_OK;
    }
    STDMETHODIMP Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override
    {
        // A refused drop must not tell the source to delete what it moved.
        *effect = DROPEFFECT_NONE;
        if (gDragContainer && frame)
        {
            CPoint where;
            CDrawContext* context = beginEvent(where);
            if (frame->onDrop(context, gDragContainer, where)) *effect = DROPEFFECT_MOVE;
            context->dropReference();
        }
        endDrag();
        return S_OK;
    }

    virtual ~CDropTarget() = default;

private:
    // A context for the frame and the cursor in frame coordinates.
    CDrawContext* beginEvent(CPoint& where)
    {
        CDrawContext* context = frame->createDrawContext();
        frame->getMouseLocation(context, where);
        return context;
    }

    int32_t refCount = 0;
    CFrame* frame;
};
} // namespace

void* registerFrameDropTarget(HWND window, CFrame* frame)
{
    auto* target = new CDropTarget(frame);
    // The reference held here destroys the target when OLE did not take one of its own.
    target->AddRef();
    const bool registered = RegisterDragDrop(window, target) == S_OK;
    target->Release();
    return registered ? target : nullptr;
}

CDragContainer::CDragContainer(void* platformDrag) : platformDrag(platformDrag)
{
    if (IDataObject* data = dataObject(platformDrag))
    {
        data->AddRef();
        const int32_t files = fileCount(data);
        nbItems = files >= 0 ? files : 1;
    }
}

CDragContainer::~CDragContainer()
{
    std::free(lastItem);
    if (IDataObject* data = dataObject(platformDrag)) data->Release();
}

void* CDragContainer::first(int32_t& size, int32_t& type)
{
    iterator = 0;
    return next(size, type);
}

void* CDragContainer::next(int32_t& size, int32_t& type)
{
    std::free(lastItem);
    lastItem = nullptr;
    size = 0;
    type = kDragItemUnknown;
    if (iterator >= nbItems) return nullptr;
    const int32_t index = iterator++;
    IDataObject* data = dataObject(platformDrag);
    if ((lastItem = fileItem(data, index)))
        type = kDragItemFile;
    else if ((lastItem = textItem(data)))
        type = kDragItemText;
    if (lastItem) size = static_cast<int32_t>(std::strlen(lastItem));
    return lastItem;
}
