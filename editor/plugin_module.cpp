// The toolkit finds its resources in the plug-in library itself.
#include "host/entry.h"
#include "toolkit/core/module.h"

void* toolkitModuleHandle()
{
    return gModuleHandle;
}
