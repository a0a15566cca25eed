// A plug-in library loaded into this process: opening the file, looking up exported functions
// and unloading it again. The platform's loader is used in exactly one source file per platform
// (plugin_library_posix.cpp, plugin_library_win32.cpp); nothing else includes its headers.
#pragma once

#include <string>

class PluginLibrary
{
public:
    PluginLibrary() = default;
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // Loads the library at path, unloading any library held before. On failure returns false and
    // describes the cause in error (one line, no trailing newline).
    bool open(const std::string& path, std::string& error);

    // Unloads the library; nothing happens when none is loaded.
    void close();

    bool isOpen() const { return handle != nullptr; }

    // The address of the exported function of that name, or null.
    void* findSymbol(const char* name) const;

private:
    void* handle = nullptr;
};
