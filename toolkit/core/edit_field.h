// What a view that shows a native edit window over itself tells the frame when that window asks
// for its colours: the frame answers for its focus view. Portable; no platform header.
#pragma once

#include "toolkit/core/geometry.h"

class CEditFieldColors
{
public:
    virtual ~CEditFieldColors() = default;

    virtual CColor getEditTextColor() const = 0;
    virtual CColor getEditBackColor() const = 0;
    // Stores the platform brush that paints the edit window and returns the previous one
    // (null when none), which the caller deletes.
    virtual void* exchangeEditBrush(void* brush) = 0;
};
