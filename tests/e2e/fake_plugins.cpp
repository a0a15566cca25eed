// Stand-ins for plug-ins, for what the host does around the effect. The build makes one library
// per kind:
//   FAKE_NO_ENTRY     exports neither VSTPluginMain nor main
//   FAKE_NULL_EFFECT  VSTPluginMain returns no effect
//   FAKE_MAIN_ONLY    only the old name main, which returns no effect
//   FAKE_BAD_MAGIC    VSTPluginMain returns a record without the magic and without a
//                     dispatcher, so a host that used it anyway would crash
//   FAKE_TRACING      a working one-in, one-out effect with one parameter that prints every
//                     request it gets (but the text queries) and every process call on stderr,
//                     and at power-on what the host answers to its questions
#include "host/aeffect.h"

#if defined(_WIN32)
#define FAKE_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#if defined(FAKE_NO_ENTRY)

FAKE_EXPORT int fakePluginVersion()
{
    return 1;
}

#elif defined(FAKE_NULL_EFFECT)

FAKE_EXPORT AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback /*audioMaster*/)
{
    return nullptr;
}

#elif defined(FAKE_MAIN_ONLY)

// A function cannot be called main in C++; the symbol gets the name through the assembler.
FAKE_EXPORT AEffect* VSTCALLBACK oldStyleEntry(audioMasterCallback audioMaster) __asm__("main");

AEffect* VSTCALLBACK oldStyleEntry(audioMasterCallback /*audioMaster*/)
{
    return nullptr;
}

#elif defined(FAKE_BAD_MAGIC)

namespace
{
AEffect gRecord;
}

FAKE_EXPORT AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback /*audioMaster*/)
{
    gRecord.magic = fourCharCode("VstX");
    return &gRecord;
}

#elif defined(FAKE_TRACING)

#include <cstdio>
#include <cstring>

namespace
{

AEffect gRecord;
audioMasterCallback gHost = nullptr;
float gGain = 1.0f;

void traceHostAnswers()
{
    char vendor[64] = {};
    char product[64] = {};
    char feature[] = "sendVstEvents";
    const long long version = gHost(&gRecord, audioMasterVersion, 0, 0, nullptr, 0.0f);
    const long long rate = gHost(&gRecord, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f);
    const long long block = gHost(&gRecord, audioMasterGetBlockSize, 0, 0, nullptr, 0.0f);
    gHost(&gRecord, audioMasterGetVendorString, 0, 0, vendor, 0.0f);
    gHost(&gRecord, audioMasterGetProductString, 0, 0, product, 0.0f);
    const long long canDo = gHost(&gRecord, audioMasterCanDo, 0, 0, feature, 0.0f);
    std::fprintf(stderr, "trace: host %lld rate %lld block %lld vendor %s product %s cando %lld\n",
                 version, rate, block, vendor, product, canDo);
}

VstIntPtr VSTCALLBACK dispatch(AEffect* /*effect*/, VstInt32 opcode, VstInt32 index,
                               VstIntPtr value, void* ptr, float opt)
{
    switch (opcode)
    {
    case effGetParamName:
        std::strcpy(static_cast<char*>(ptr), "Gain");
        return 0;
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetEffectName:
    case effGetVendorString:
    case effGetProductString:
        std::strcpy(static_cast<char*>(ptr), "");
        return 0;
    default:
        break;
    }
    std::fprintf(stderr, "trace: dispatch %d index %d value %lld opt %g\n",
                 static_cast<int>(opcode), static_cast<int>(index), static_cast<long long>(value),
                 static_cast<double>(opt));
    if (opcode == effMainsChanged && value == 1) traceHostAnswers();
    return opcode == effClose ? 1 : 0;
}

template <class T> void processWith(const char* name, T** inputs, T** outputs, VstInt32 frames)
{
    std::fprintf(stderr, "trace: %s %d\n", name, static_cast<int>(frames));
    for (VstInt32 i = 0; i < frames; ++i)
        outputs[0][i] = inputs[0][i] * gGain;
}

void VSTCALLBACK processFloat(AEffect* /*effect*/, float** inputs, float** outputs, VstInt32 frames)
{
    processWith("process", inputs, outputs, frames);
}

void VSTCALLBACK processDouble(AEffect* /*effect*/, double** inputs, double** outputs,
                               VstInt32 frames)
{
    processWith("process-double", inputs, outputs, frames);
}

void VSTCALLBACK setParameter(AEffect* /*effect*/, VstInt32 index, float value)
{
    std::fprintf(stderr, "trace: set %d %g\n", static_cast<int>(index), static_cast<double>(value));
    gGain = value;
}

float VSTCALLBACK getParameter(AEffect* /*effect*/, VstInt32 /*index*/)
{
    return gGain;
}

} // namespace

FAKE_EXPORT AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback audioMaster)
{
    if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    gHost = audioMaster;
    gRecord.magic = kEffectMagic;
    gRecord.dispatcher = dispatch;
    gRecord.setParameter = setParameter;
    gRecord.getParameter = getParameter;
    gRecord.numParams = 1;
    gRecord.numInputs = 1;
    gRecord.numOutputs = 1;
    gRecord.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
    gRecord.uniqueID = fourCharCode("Trce");
    gRecord.processReplacing = processFloat;
    gRecord.processDoubleReplacing = processDouble;
    return &gRecord;
}

#else
#error "choose the kind of fake plug-in"
#endif
