#include "vst_names.h"

#include <cstdint>
#include <cstdio>

namespace
{

struct NamedNumber
{
    VstInt32 number;
    const char* name;
};

constexpr NamedNumber kHostOpcodes[] = {
    {audioMasterAutomate, "audioMasterAutomate"},
    {audioMasterVersion, "audioMasterVersion"},
    {audioMasterCurrentId, "audioMasterCurrentId"},
    {audioMasterIdle, "audioMasterIdle"},
    {audioMasterGetTime, "audioMasterGetTime"},
    {audioMasterProcessEvents, "audioMasterProcessEvents"},
    {audioMasterIOChanged, "audioMasterIOChanged"},
    {audioMasterSizeWindow, "audioMasterSizeWindow"},
    {audioMasterGetSampleRate, "audioMasterGetSampleRate"},
    {audioMasterGetBlockSize, "audioMasterGetBlockSize"},
    {audioMasterGetInputLatency, "audioMasterGetInputLatency"},
    {audioMasterGetOutputLatency, "audioMasterGetOutputLatency"},
    {audioMasterGetCurrentProcessLevel, "audioMasterGetCurrentProcessLevel"},
    {audioMasterGetAutomationState, "audioMasterGetAutomationState"},
    {audioMasterOfflineStart, "audioMasterOfflineStart"},
    {audioMasterOfflineRead, "audioMasterOfflineRead"},
    {audioMasterOfflineWrite, "audioMasterOfflineWrite"},
    {audioMasterOfflineGetCurrentPass, "audioMasterOfflineGetCurrentPass"},
    {audioMasterOfflineGetCurrentMetaPass, "audioMasterOfflineGetCurrentMetaPass"},
    {audioMasterGetVendorString, "audioMasterGetVendorString"},
    {audioMasterGetProductString, "audioMasterGetProductString"},
    {audioMasterGetVendorVersion, "audioMasterGetVendorVersion"},
    {audioMasterVendorSpecific, "audioMasterVendorSpecific"},
    {audioMasterCanDo, "audioMasterCanDo"},
    {audioMasterGetLanguage, "audioMasterGetLanguage"},
    {audioMasterGetDirectory, "audioMasterGetDirectory"},
    {audioMasterUpdateDisplay, "audioMasterUpdateDisplay"},
    {audioMasterBeginEdit, "audioMasterBeginEdit"},
    {audioMasterEndEdit, "audioMasterEndEdit"},
    {audioMasterOpenFileSelector, "audioMasterOpenFileSelector"},
    {audioMasterCloseFileSelector, "audioMasterCloseFileSelector"},
};

constexpr NamedNumber kFlags[] = {
    {effFlagsHasEditor, "hasEditor"},         {effFlagsCanReplacing, "canReplacing"},
    {effFlagsProgramChunks, "programChunks"}, {effFlagsIsSynth, "isSynth"},
    {effFlagsNoSoundInStop, "noSoundInStop"}, {effFlagsCanDoubleReplacing, "canDoubleReplacing"},
};

// Indexed by the category number.
constexpr const char* kCategories[] = {
    "unknown",     "effect",          "synth",       "analysis", "mastering", "spatializer",
    "room effect", "surround effect", "restoration", "offline",  "shell",     "generator",
};

} // namespace

const char* hostOpcodeName(VstInt32 opcode)
{
    for (const NamedNumber& entry : kHostOpcodes)
        if (entry.number == opcode) return entry.name;
    return "unknown";
}

std::string effectFlagNames(VstInt32 flags)
{
    std::string names;
    uint32_t rest = static_cast<uint32_t>(flags);
    auto append = [&names](const std::string& name)
    {
        if (!names.empty()) names += ", ";
        names += name;
    };
    for (const NamedNumber& entry : kFlags)
    {
        if ((rest & static_cast<uint32_t>(entry.number)) == 0) continue;
        append(entry.name);
        rest &= ~static_cast<uint32_t>(entry.number);
    }
    for (int bit = 0; bit < 32; ++bit)
    {
        const uint32_t mask = 1u << bit;
        if ((rest & mask) == 0) continue;
        char text[16];
        std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(mask));
        append(text);
    }
    return names.empty() ? "none" : names;
}

const char* categoryName(VstIntPtr category)
{
    constexpr VstIntPtr count = sizeof kCategories / sizeof kCategories[0];
    return category >= 0 && category < count ? kCategories[category] : "unknown";
}

std::string fourCharText(VstInt32 code)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        const unsigned c = (static_cast<uint32_t>(code) >> shift) & 0xFFu;
        if (c >= 0x20 && c < 0x7F && c != '\\')
        {
            text += static_cast<char>(c);
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
        text += escaped;
    }
    return text;
}
