// What a drawing context needs from the frame that owns it. The frame defines these functions.
#pragma once

#include "toolkit/core/geometry.h"

class CFrame;

// The frame's view size: the initial clip rectangle of a context drawing for it.
CRect frameViewSize(CFrame* frame);
// One idle step of the frame (redraws what is dirty); used while waiting for a drag.
void frameIdleNow(CFrame* frame);
// The frame's platform window, or null when it has none.
void* frameWindow(CFrame* frame);
