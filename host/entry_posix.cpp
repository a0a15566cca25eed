// Shared-object loader glue: the library notes its own handle when it is loaded (the entry itself
// and its second name are in entry.cpp).
#include "entry.h"

#include <dlfcn.h>

namespace
{

__attribute__((constructor)) void noteModuleHandle()
{
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&noteModuleHandle), &info) != 0)
        gModuleHandle = info.dli_fbase;
}

} // namespace
