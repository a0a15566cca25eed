// Native builds have no editor windows: the effect's editor needs a Windows window to open in.
#include "editor_window.h"

std::unique_ptr<WindowSystem> createWindowSystem(WindowListener& /*listener*/, std::string& error)
{
    error = "editor windows need the Windows build of vsthost";
    return nullptr;
}
