// Loading through the Windows module loader.
#include "plugin_library.h"

#include <windows.h>

#include <cstdio>

namespace
{

std::string lastErrorText()
{
    const DWORD code = GetLastError();
    char text[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, text, sizeof text, nullptr);
    // The system's texts end in a line break; the caller wants one line.
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' ||
                          text[length - 1] == ' ' || text[length - 1] == '.'))
        text[--length] = 0;
    char result[600];
    if (length > 0)
        std::snprintf(result, sizeof result, "%s (error %lu)", text,
                      static_cast<unsigned long>(code));
    else
        std::snprintf(result, sizeof result, "error %lu", static_cast<unsigned long>(code));
    return result;
}

} // namespace

PluginLibrary::~PluginLibrary()
{
    close();
}

bool PluginLibrary::open(const std::string& path, std::string& error)
{
    close();
    // The loader wants backslashes in a path.
    std::string file = path;
    for (char& c : file)
        if (c == '/') c = '\\';
    // A missing dependency must fail the call, not open a message box.
    const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(file.c_str());
    if (!module) error = lastErrorText();
    SetErrorMode(previousMode);
    handle = module;
    return module != nullptr;
}

void PluginLibrary::close()
{
    if (!handle) return;
    FreeLibrary(static_cast<HMODULE>(handle));
    handle = nullptr;
}

void* PluginLibrary::findSymbol(const char* name) const
{
    if (!handle) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
