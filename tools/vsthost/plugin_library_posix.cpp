// Loading through the dynamic linker of POSIX systems.
#include "plugin_library.h"

#include <dlfcn.h>

PluginLibrary::~PluginLibrary()
{
    close();
}

bool PluginLibrary::open(const std::string& path, std::string& error)
{
    close();
    // A name without a slash would be searched for on the library path instead of taken as a
    // file, so a bare file name means the one in the current directory.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    dlerror();
    // Local binding keeps the entry names of two plug-ins loaded side by side apart.
    handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
    {
        const char* reason = dlerror();
        error = reason ? reason : "the dynamic linker gave no reason";
        return false;
    }
    return true;
}

void PluginLibrary::close()
{
    if (!handle) return;
    dlclose(handle);
    handle = nullptr;
}

void* PluginLibrary::findSymbol(const char* name) const
{
    return handle ? dlsym(handle, name) : nullptr;
}
