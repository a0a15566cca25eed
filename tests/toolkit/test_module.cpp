// The module whose resources the toolkit searches in the test programs: the program itself.
#include "toolkit/core/module.h"

#if defined(_WIN32)
#include <windows.h>
#endif

void* toolkitModuleHandle()
{
#if defined(_WIN32)
    return GetModuleHandleA(nullptr);
#else
    return nullptr;
#endif
}
