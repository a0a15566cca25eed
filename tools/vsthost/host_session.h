// One effect instance hosted by this program: the library it came from, the callback through
// which it asks the host, and the calls that set it up, start and stop processing and close it.
#pragma once

#include "../../host/aeffect.h"
#include "plugin_library.h"

#include <cstdio>
#include <functional>
#include <string>
#include <utility>

typedef AEffect*(VSTCALLBACK* PluginEntryProc)(audioMasterCallback audioMaster);

// The names under which a library exports its entry, in the order a host looks for them.
constexpr const char* kEntryNames[] = {"VSTPluginMain", "main"};

// The entry of a loaded library and the name it was found under; null when it has none.
PluginEntryProc findPluginEntry(const PluginLibrary& library, const char** foundName = nullptr);

class HostSession
{
public:
    // What the callback answers to the version query and to the vendor and product questions.
    static constexpr VstIntPtr kHostVersion = 2400;
    static constexpr const char* kHostVendor = "Bramble";
    static constexpr const char* kHostProduct = "vsthost";

    HostSession() = default;
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // What the callback reports to the effect; set before load() so that the effect's first
    // questions get these answers.
    void setSampleRate(double rate) { sessionRate = rate; }
    void setBlockSize(VstInt32 frames) { sessionBlockSize = frames; }

    // Every callback, and at the end the effClose that ends the effect, is printed to this
    // stream when it is set (null: nothing is printed).
    void setCallbackLog(std::FILE* stream) { callbackLog = stream; }

    // Resizes the effect's editor window to a width and height and tells whether it did. With a
    // handler set the host answers audioMasterCanDo "sizeWindow" with 1 and passes
    // audioMasterSizeWindow (index width, value height) to it; without one it refuses both.
    using WindowSizer = std::function<bool(VstInt32 width, VstInt32 height)>;
    void setWindowSizer(WindowSizer sizer) { windowSizer = std::move(sizer); }

    // Loads the library, calls its entry with this session's callback, checks the record it
    // returns and opens the effect (effOpen). On failure returns false with the cause in error;
    // nothing is left loaded then.
    bool load(const std::string& path, std::string& error);

    AEffect* effect() const { return record; }
    const char* entryName() const { return foundEntryName; }
    double sampleRate() const { return sessionRate; }
    VstInt32 blockSize() const { return sessionBlockSize; }

    // One request to the effect; 0 when none is loaded.
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) const;

    // Prepares processing: effSetSampleRate, effSetBlockSize, effSetProcessPrecision,
    // effMainsChanged 1, effStartProcess.
    void resume(bool doublePrecision);

    // Ends processing: effStopProcess, effMainsChanged 0. Nothing happens when not resumed.
    void suspend();

    // Suspends, closes the effect (effClose) and unloads the library.
    void close();

private:
    static VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                              VstIntPtr value, void* ptr, float opt);
    // The answer to one callback; a call that names no known session (some effects ask the
    // version with a null record at any time) gets the answers that do not depend on one.
    static VstIntPtr answer(const HostSession* session, VstInt32 opcode, VstInt32 index,
                            VstIntPtr value, void* ptr);

    PluginLibrary library;
    AEffect* record = nullptr;
    const char* foundEntryName = nullptr;
    bool resumed = false;
    double sessionRate = 44100.0;
    VstInt32 sessionBlockSize = 512;
    std::FILE* callbackLog = nullptr;
    WindowSizer windowSizer;
};
