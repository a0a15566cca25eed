// The plug-in interface as a host sees it: the record a host holds for each effect instance,
// the callback through which the effect talks to the host, and the opcodes of both directions.
// Plain C layout; nothing here depends on a platform header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "../common/vst_key_code.h" // what a key opcode hands to the editor

typedef int32_t VstInt32;
typedef int16_t VstInt16;
typedef intptr_t VstIntPtr;

#if defined(_WIN32) && !defined(_WIN64)
#define VSTCALLBACK __cdecl
#else
#define VSTCALLBACK
#endif

struct AEffect;

typedef VstIntPtr(VSTCALLBACK* audioMasterCallback)(AEffect* effect, VstInt32 opcode,
                                                    VstInt32 index, VstIntPtr value, void* ptr,
                                                    float opt);
typedef VstIntPtr(VSTCALLBACK* AEffectDispatcherProc)(AEffect* effect, VstInt32 opcode,
                                                      VstInt32 index, VstIntPtr value, void* ptr,
                                                      float opt);
typedef void(VSTCALLBACK* AEffectProcessProc)(AEffect* effect, float** inputs, float** outputs,
                                              VstInt32 sampleFrames);
typedef void(VSTCALLBACK* AEffectProcessDoubleProc)(AEffect* effect, double** inputs,
                                                    double** outputs, VstInt32 sampleFrames);
typedef void(VSTCALLBACK* AEffectSetParameterProc)(AEffect* effect, VstInt32 index, float value);
typedef float(VSTCALLBACK* AEffectGetParameterProc)(AEffect* effect, VstInt32 index);

// Four-character code, first character in the most significant byte.
constexpr VstInt32 fourCharCode(const char (&code)[5])
{
    return static_cast<VstInt32>(
        (static_cast<uint32_t>(static_cast<unsigned char>(code[0])) << 24) |
        (static_cast<uint32_t>(static_cast<unsigned char>(code[1])) << 16) |
        (static_cast<uint32_t>(static_cast<unsigned char>(code[2])) << 8) |
        static_cast<uint32_t>(static_cast<unsigned char>(code[3])));
}

constexpr VstInt32 kEffectMagic = fourCharCode("VstP");

struct AEffect
{
    VstInt32 magic;
    AEffectDispatcherProc dispatcher;
    AEffectProcessProc process;
    AEffectSetParameterProc setParameter;
    AEffectGetParameterProc getParameter;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 numInputs;
    VstInt32 numOutputs;
    VstInt32 flags;
    VstIntPtr resvd1;
    VstIntPtr resvd2;
    VstInt32 initialDelay;
    VstInt32 realQualities;
    VstInt32 offQualities;
    float ioRatio;
    void* object;
    void* user;
    VstInt32 uniqueID;
    VstInt32 version;
    AEffectProcessProc processReplacing;
    AEffectProcessDoubleProc processDoubleReplacing;
    char future[56];
};

// Hosts read the record by offset, so its layout is fixed for both pointer sizes.
#if INTPTR_MAX == INT32_MAX
static_assert(sizeof(AEffect) == 144, "record size");
static_assert(offsetof(AEffect, magic) == 0 && offsetof(AEffect, dispatcher) == 4 &&
                  offsetof(AEffect, process) == 8 && offsetof(AEffect, setParameter) == 12 &&
                  offsetof(AEffect, getParameter) == 16 && offsetof(AEffect, numPrograms) == 20 &&
                  offsetof(AEffect, numParams) == 24 && offsetof(AEffect, numInputs) == 28 &&
                  offsetof(AEffect, numOutputs) == 32 && offsetof(AEffect, flags) == 36 &&
                  offsetof(AEffect, resvd1) == 40 && offsetof(AEffect, resvd2) == 44 &&
                  offsetof(AEffect, initialDelay) == 48 && offsetof(AEffect, realQualities) == 52 &&
                  offsetof(AEffect, offQualities) == 56 && offsetof(AEffect, ioRatio) == 60 &&
                  offsetof(AEffect, object) == 64 && offsetof(AEffect, user) == 68 &&
                  offsetof(AEffect, uniqueID) == 72 && offsetof(AEffect, version) == 76 &&
                  offsetof(AEffect, processReplacing) == 80 &&
                  offsetof(AEffect, processDoubleReplacing) == 84 &&
                  offsetof(AEffect, future) == 88,
              "32-bit record offsets");
#else
static_assert(sizeof(AEffect) == 192, "record size");
static_assert(offsetof(AEffect, magic) == 0 && offsetof(AEffect, dispatcher) == 8 &&
                  offsetof(AEffect, process) == 16 && offsetof(AEffect, setParameter) == 24 &&
                  offsetof(AEffect, getParameter) == 32 && offsetof(AEffect, numPrograms) == 40 &&
                  offsetof(AEffect, numParams) == 44 && offsetof(AEffect, numInputs) == 48 &&
                  offsetof(AEffect, numOutputs) == 52 && offsetof(AEffect, flags) == 56 &&
                  offsetof(AEffect, resvd1) == 64 && offsetof(AEffect, resvd2) == 72 &&
                  offsetof(AEffect, initialDelay) == 80 && offsetof(AEffect, realQualities) == 84 &&
                  offsetof(AEffect, offQualities) == 88 && offsetof(AEffect, ioRatio) == 92 &&
                  offsetof(AEffect, object) == 96 && offsetof(AEffect, user) == 104 &&
                  offsetof(AEffect, uniqueID) == 112 && offsetof(AEffect, version) == 116 &&
                  offsetof(AEffect, processReplacing) == 120 &&
                  offsetof(AEffect, processDoubleReplacing) == 128 &&
                  offsetof(AEffect, future) == 136,
              "64-bit record offsets");
#endif

enum VstAEffectFlags : VstInt32
{
    effFlagsHasEditor = 1 << 0,
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsCanDoubleReplacing = 1 << 12,
};

// Requests from the host to the effect.
enum AEffectOpcodes : VstInt32
{
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2,
    effGetProgram = 3,
    effSetProgramName = 4,
    effGetProgramName = 5,
    effGetParamLabel = 6,
    effGetParamDisplay = 7,
    effGetParamName = 8,
    effSetSampleRate = 10,
    effSetBlockSize = 11,
    effMainsChanged = 12,
    effEditGetRect = 13,
    effEditOpen = 14,
    effEditClose = 15,
    effEditIdle = 19,
    effIdentify = 22,
    effGetChunk = 23,
    effSetChunk = 24,
    effProcessEvents = 25,
    effCanBeAutomated = 26,
    effString2Parameter = 27,
    effGetProgramNameIndexed = 29,
    effGetInputProperties = 33,
    effGetOutputProperties = 34,
    effGetPlugCategory = 35,
    effOfflineNotify = 38,
    effOfflinePrepare = 39,
    effOfflineRun = 40,
    effProcessVarIo = 41,
    effSetSpeakerArrangement = 42,
    effSetBypass = 44,
    effGetEffectName = 45,
    effGetVendorString = 47,
    effGetProductString = 48,
    effGetVendorVersion = 49,
    effVendorSpecific = 50,
    effCanDo = 51,
    effGetTailSize = 52,
    effGetParameterProperties = 56,
    effGetVstVersion = 58,
    effEditKeyDown = 59,
    effEditKeyUp = 60,
    effSetEditKnobMode = 61,
    effGetMidiProgramName = 62,
    effGetCurrentMidiProgram = 63,
    effGetMidiProgramCategory = 64,
    effHasMidiProgramsChanged = 65,
    effGetMidiKeyName = 66,
    effBeginSetProgram = 67,
    effEndSetProgram = 68,
    effGetSpeakerArrangement = 69,
    effShellGetNextPlugin = 70,
    effStartProcess = 71,
    effStopProcess = 72,
    effSetTotalSampleToProcess = 73,
    effSetPanLaw = 74,
    effBeginLoadBank = 75,
    effBeginLoadProgram = 76,
    effSetProcessPrecision = 77,
    effGetNumMidiInputChannels = 78,
    effGetNumMidiOutputChannels = 79,
};

// Requests from the effect to the host.
enum AudioMasterOpcodes : VstInt32
{
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterGetTime = 7,
    audioMasterProcessEvents = 8,
    audioMasterIOChanged = 13,
    audioMasterSizeWindow = 15,
    audioMasterGetSampleRate = 16,
    audioMasterGetBlockSize = 17,
    audioMasterGetInputLatency = 18,
    audioMasterGetOutputLatency = 19,
    audioMasterGetCurrentProcessLevel = 23,
    audioMasterGetAutomationState = 24,
    audioMasterOfflineStart = 25,
    audioMasterOfflineRead = 26,
    audioMasterOfflineWrite = 27,
    audioMasterOfflineGetCurrentPass = 28,
    audioMasterOfflineGetCurrentMetaPass = 29,
    audioMasterGetVendorString = 32,
    audioMasterGetProductString = 33,
    audioMasterGetVendorVersion = 34,
    audioMasterVendorSpecific = 35,
    audioMasterCanDo = 37,
    audioMasterGetLanguage = 38,
    audioMasterGetDirectory = 41,
    audioMasterUpdateDisplay = 42,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
    audioMasterOpenFileSelector = 45,
    audioMasterCloseFileSelector = 46,
};

enum VstPlugCategory : VstInt32
{
    kPlugCategUnknown = 0,
    kPlugCategEffect = 1,
    kPlugCategSynth = 2,
};

enum VstProcessPrecision : VstInt32
{
    kVstProcessPrecision32 = 0,
    kVstProcessPrecision64 = 1,
};

// An editor's rectangle as reported to the host.
struct ERect
{
    VstInt16 top;
    VstInt16 left;
    VstInt16 bottom;
    VstInt16 right;
};

// Structures that pass between host and effect only by pointer; this effect never looks inside.
struct VstEvents;
struct VstTimeInfo;
struct VstPinProperties;
struct VstParameterProperties;
struct VstSpeakerArrangement;
struct VstVariableIo;
struct VstOfflineTask;
struct VstAudioFile;
struct VstPatchChunkInfo;
struct VstFileSelect;
struct MidiProgramName;
struct MidiProgramCategory;
struct MidiKeyName;
