// Windows standing in for a host's in the Win32 tests: a plain class with default processing.
// Visible windows are shown without activation: Wine would otherwise hand a top-level window to
// the window manager, and wait for the one the virtual display lacks when the window goes.
#pragma once

#include "toolkit/core/geometry.h"
#include "toolkit/core/module.h"

#include <windows.h>

inline HINSTANCE instance()
{
    return static_cast<HINSTANCE>(toolkitModuleHandle());
}

inline HWND createWindow(HWND parent, const CRect& rect, DWORD style,
                         const char* className = "TestHost")
{
    WNDCLASSA existing;
    if (!GetClassInfoA(instance(), className, &existing))
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = instance();
        windowClass.lpszClassName = className;
        RegisterClassA(&windowClass);
    }
    HWND window =
        CreateWindowExA(0, className, "Host", style & ~WS_VISIBLE, rect.left, rect.top,
                        rect.width(), rect.height(), parent, nullptr, instance(), nullptr);
    if (window && (style & WS_VISIBLE))
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    return window;
}
