#include "host_session.h"

#include "vst_names.h"

#include <cinttypes>
#include <cstring>

namespace
{

// The session whose effect is being created: the entry and the effect's constructor call the
// host before the record carries the session's address.
thread_local HostSession* tCreatingSession = nullptr;

// Strings handed to the effect's questions are at most this long with the terminator.
constexpr size_t kHostStringSize = 64;

void copyHostString(void* destination, const char* text)
{
    if (!destination) return;
    std::strncpy(static_cast<char*>(destination), text, kHostStringSize - 1);
    static_cast<char*>(destination)[kHostStringSize - 1] = 0;
}

} // namespace

PluginEntryProc findPluginEntry(const PluginLibrary& library, const char** foundName)
{
    for (const char* name : kEntryNames)
    {
        if (void* symbol = library.findSymbol(name))
        {
            if (foundName) *foundName = name;
            return reinterpret_cast<PluginEntryProc>(symbol);
        }
    }
    return nullptr;
}

HostSession::~HostSession()
{
    close();
}

bool HostSession::load(const std::string& path, std::string& error)
{
    close();
    std::string reason;
    if (!library.open(path, reason))
    {
        error = "cannot load '" + path + "': " + reason;
        return false;
    }
    PluginEntryProc entry = findPluginEntry(library, &foundEntryName);
    if (!entry)
    {
        error = "'" + path + "' is no VST plug-in: it exports neither VSTPluginMain nor main";
        library.close();
        return false;
    }

    HostSession* outer = tCreatingSession;
    tCreatingSession = this;
    AEffect* created = entry(&HostSession::hostCallback);
    tCreatingSession = outer;

    if (!created)
    {
        error =
            "the entry " + std::string(foundEntryName) + " of '" + path + "' returned no effect";
        library.close();
        return false;
    }
    if (created->magic != kEffectMagic)
    {
        char magic[16];
        std::snprintf(magic, sizeof magic, "0x%08" PRIX32, static_cast<uint32_t>(created->magic));
        error =
            "the entry of '" + path + "' returned a record without the VstP magic (" + magic + ")";
        // Nothing in a record of unknown kind can be trusted, not even its dispatcher.
        library.close();
        return false;
    }
    // resvd1 belongs to the host: it leads the callback back to this session.
    created->resvd1 = reinterpret_cast<VstIntPtr>(this);
    record = created;
    dispatch(effOpen);
    return true;
}

VstIntPtr HostSession::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt) const
{
    if (!record) return 0;
    return record->dispatcher(record, opcode, index, value, ptr, opt);
}

void HostSession::resume(bool doublePrecision)
{
    if (!record || resumed) return;
    dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sessionRate));
    dispatch(effSetBlockSize, 0, sessionBlockSize);
    dispatch(effSetProcessPrecision, 0,
             doublePrecision ? kVstProcessPrecision64 : kVstProcessPrecision32);
    dispatch(effMainsChanged, 0, 1);
    dispatch(effStartProcess);
    resumed = true;
}

void HostSession::suspend()
{
    if (!record || !resumed) return;
    dispatch(effStopProcess);
    dispatch(effMainsChanged, 0, 0);
    resumed = false;
}

void HostSession::close()
{
    if (record)
    {
        suspend();
        // The effect frees itself and its record here.
        const VstIntPtr result = dispatch(effClose);
        record = nullptr;
        if (callbackLog)
        {
            std::fprintf(callbackLog, "dispatch: opcode %" PRId32 " (effClose) -> %" PRIdPTR "\n",
                         static_cast<VstInt32>(effClose), result);
            std::fflush(callbackLog);
        }
    }
    library.close();
    foundEntryName = nullptr;
}

VstIntPtr HostSession::answer(const HostSession* session, VstInt32 opcode, VstInt32 index,
                              VstIntPtr value, void* ptr)
{
    const bool sizes = session && session->windowSizer;
    switch (opcode)
    {
    case audioMasterVersion:
        return kHostVersion;
    case audioMasterGetSampleRate:
        return session ? static_cast<VstIntPtr>(session->sessionRate) : 0;
    case audioMasterGetBlockSize:
        return session ? session->sessionBlockSize : 0;
    case audioMasterGetVendorString:
        copyHostString(ptr, kHostVendor);
        return ptr ? 1 : 0;
    case audioMasterGetProductString:
        copyHostString(ptr, kHostProduct);
        return ptr ? 1 : 0;
    case audioMasterCanDo:
        return sizes && ptr && std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0;
    case audioMasterSizeWindow:
        return sizes && session->windowSizer(index, static_cast<VstInt32>(value)) ? 1 : 0;
    default:
        return 0;
    }
}

VstIntPtr VSTCALLBACK HostSession::hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                VstIntPtr value, void* ptr, float opt)
{
    HostSession* session = effect && effect->resvd1 ? reinterpret_cast<HostSession*>(effect->resvd1)
                                                    : tCreatingSession;
    const VstIntPtr result = answer(session, opcode, index, value, ptr);
    if (session && session->callbackLog)
    {
        // The feature asked for is worth seeing; no other pointer is read.
        const bool showText = opcode == audioMasterCanDo && ptr;
        std::fprintf(session->callbackLog,
                     "callback: opcode %" PRId32 " (%s) index %" PRId32 " value %" PRIdPTR
                     " ptr 0x%" PRIxPTR "%s%s%s opt %g -> %" PRIdPTR "\n",
                     opcode, hostOpcodeName(opcode), index, value, reinterpret_cast<uintptr_t>(ptr),
                     showText ? " \"" : "", showText ? static_cast<const char*>(ptr) : "",
                     showText ? "\"" : "", static_cast<double>(opt), result);
        std::fflush(session->callbackLog);
    }
    return result;
}
