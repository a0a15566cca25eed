// Windows loader glue: the load notification keeps the module handle. The exported names
// VSTPluginMain and main come from the module-definition file.
#include "entry.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD /*reason*/, LPVOID /*reserved*/)
{
    gModuleHandle = instance;
    return TRUE;
}
