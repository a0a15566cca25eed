// Resource lookup in the module's resource section.
#include "toolkit/core/backend/resources.h"
#include "toolkit/core/module.h"

#include <windows.h>

bool findResource(int32_t id, const char* type, const uint8_t*& data, size_t& size)
{
    if (!type) return false;
    HMODULE module = static_cast<HMODULE>(toolkitModuleHandle());
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id & 0xFFFF), type);
    if (!resource) return false;
    HGLOBAL loaded = LoadResource(module, resource);
    if (!loaded) return false;
    const void* bytes = LockResource(loaded);
    if (!bytes) return false;
    data = static_cast<const uint8_t*>(bytes);
    size = SizeofResource(module, resource);
    return true;
}
