// Edit windows of the software back end.
#include "toolkit/core/backend_soft/soft_edit_window.h"

#include "toolkit/core/backend/edit_window.h"

#include <algorithm>
#include <cstring>

namespace
{
class CSoftEditWindowServices : public CEditWindowServices
{
public:
    ~CSoftEditWindowServices() override
    {
        for (CSoftEditWindow* edit : open)
            delete edit;
    }

    void* createEditWindow(void* parent, const CEditWindowDescription& description,
                           CEditWindowOwner* owner) override
    {
        if (!parent) return nullptr;
        auto* edit = new CSoftEditWindow;
        edit->parent = static_cast<CSoftWindow*>(parent);
        edit->rect = description.rect;
        edit->text = description.text ? description.text : "";
        edit->allSelected = true;
        edit->focused = true;
        edit->alignment = description.alignment;
        edit->fontFace = description.fontFace ? description.fontFace : "";
        edit->fontHeight = description.fontHeight;
        edit->limit = kEditWindowTextLimit;
        edit->owner = owner;
        open.push_back(edit);
        return edit;
    }

    void getEditWindowText(void* window, char* text, int32_t capacity) override
    {
        if (!text || capacity <= 0) return;
        text[0] = 0;
        if (!isOpen(static_cast<CSoftEditWindow*>(window)))
        {
            ++strayCalls;
            return;
        }
        const std::string& stored = static_cast<CSoftEditWindow*>(window)->text;
        const size_t n = std::min(stored.size(), static_cast<size_t>(capacity - 1));
        std::memcpy(text, stored.data(), n);
        text[n] = 0;
    }

    void destroyEditWindow(void* window) override
    {
        auto* edit = static_cast<CSoftEditWindow*>(window);
        if (!isOpen(edit))
        {
            ++strayCalls;
            return;
        }
        open.erase(std::remove(open.begin(), open.end(), edit), open.end());
        delete edit;
    }

    void deleteEditBrush(void*) override {}

    bool isOpen(const CSoftEditWindow* edit) const
    {
        return std::find(open.begin(), open.end(), edit) != open.end();
    }

    std::vector<CSoftEditWindow*> open;
    int32_t strayCalls = 0;
};

CSoftEditWindowServices& softServices()
{
    static CSoftEditWindowServices services;
    return services;
}

// Tells the owner that the edit is to end. The owner destroys the window, so nothing of it is
// used afterwards.
void finish(CSoftEditWindow* edit)
{
    if (CEditWindowOwner* owner = edit->owner) owner->editWindowFinished();
}
} // namespace

CEditWindowServices& editWindowServices()
{
    return softServices();
}

const std::vector<CSoftEditWindow*>& softEditWindows()
{
    return softServices().open;
}

int32_t softEditStrayCalls()
{
    return softServices().strayCalls;
}

void softEditType(CSoftEditWindow* edit, const char* typed)
{
    if (!edit || !typed) return;
    if (edit->allSelected) edit->text.clear();
    edit->allSelected = false;
    const size_t room = edit->limit > static_cast<int32_t>(edit->text.size())
                            ? static_cast<size_t>(edit->limit) - edit->text.size()
                            : 0;
    edit->text.append(typed, std::min(std::strlen(typed), room));
}

void softEditKeyDown(CSoftEditWindow* edit, int32_t virtualKey)
{
    if (edit && virtualKey == kSoftKeyReturn) finish(edit);
}

void softEditTakeFocusAway(CSoftEditWindow* edit)
{
    if (!edit || !edit->focused) return;
    edit->focused = false;
    finish(edit);
}

void softEditDestroyWithParent(CSoftEditWindow* edit)
{
    if (!edit || !softServices().isOpen(edit)) return;
    CEditWindowOwner* owner = edit->owner;
    softServices().destroyEditWindow(edit);
    if (owner) owner->editWindowDestroyed();
}
