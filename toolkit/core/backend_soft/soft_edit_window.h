// The software back end's edit windows: a memory edit field over a rectangle of a memory window
// that records what it was made with, and the typing, Enter and focus loss that a test delivers
// to it as a user would. Software back end only.
#pragma once

#include "toolkit/core/geometry.h"

#include <cstdint>
#include <string>
#include <vector>

class CEditWindowOwner;
struct CSoftWindow;

struct CSoftEditWindow
{
    CSoftWindow* parent = nullptr; // never touched: the parent may go first
    CRect rect;                    // in the parent's client coordinates
    std::string text;
    bool allSelected = false; // the whole text is selected: typing replaces it
    bool focused = false;
    int32_t alignment = kAlignLeft;
    std::string fontFace;
    int32_t fontHeight = 0;
    int32_t limit = 0;
    CEditWindowOwner* owner = nullptr;
};

// The edit windows open now, oldest first.
const std::vector<CSoftEditWindow*>& softEditWindows();
// Reads and destructions asked for windows that are not open (already destroyed, or never made).
int32_t softEditStrayCalls();

// Typed characters replace the selection, or follow the text without one; the limit cuts them.
void softEditType(CSoftEditWindow* edit, const char* typed);
// A key press. Enter ends the edit, after which the window may be gone; every other key (Escape,
// Tab) is the field's own and changes nothing here.
void softEditKeyDown(CSoftEditWindow* edit, int32_t virtualKey);
// The keyboard focus moves elsewhere: the owner ends the edit; the window may be gone afterwards.
void softEditTakeFocusAway(CSoftEditWindow* edit);
// The system destroys the window with its parent: the owner is told and the window goes.
void softEditDestroyWithParent(CSoftEditWindow* edit);

// Virtual keys of the edit window's key messages.
constexpr int32_t kSoftKeyTab = 9;
constexpr int32_t kSoftKeyReturn = 13;
constexpr int32_t kSoftKeyEscape = 27;
