// The OLE drop target of a frame window and the Win32 reading of the dragged items. Win32 back
// end only.
#pragma once

#include <windows.h>

class CFrame;

// Registers a new drop target for the frame with the window; OLE then holds the only reference
// and releases it when the target is revoked. Null when the registration failed.
void* registerFrameDropTarget(HWND window, CFrame* frame);
