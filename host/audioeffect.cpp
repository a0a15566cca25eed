#include "audioeffect.h"

#include "aeffeditor.h"

#include <cstring>

namespace
{

AudioEffect* instanceOf(AEffect* effect)
{
    return static_cast<AudioEffect*>(effect->object);
}

VstIntPtr VSTCALLBACK dispatchTrampoline(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                         VstIntPtr value, void* ptr, float opt)
{
    AudioEffect* instance = instanceOf(effect);
    VstIntPtr result = instance->dispatcher(opcode, index, value, ptr, opt);
    if (opcode != effClose) return result;
    // The record lives inside the instance, so it goes with it.
    delete instance;
    return 1;
}

void VSTCALLBACK processTrampoline(AEffect* effect, float** inputs, float** outputs,
                                   VstInt32 sampleFrames)
{
    instanceOf(effect)->process(inputs, outputs, sampleFrames);
}

void VSTCALLBACK processReplacingTrampoline(AEffect* effect, float** inputs, float** outputs,
                                            VstInt32 sampleFrames)
{
    instanceOf(effect)->processReplacing(inputs, outputs, sampleFrames);
}

void VSTCALLBACK processDoubleReplacingTrampoline(AEffect* effect, double** inputs,
                                                  double** outputs, VstInt32 sampleFrames)
{
    instanceOf(effect)->processDoubleReplacing(inputs, outputs, sampleFrames);
}

void VSTCALLBACK setParameterTrampoline(AEffect* effect, VstInt32 index, float value)
{
    instanceOf(effect)->setParameter(index, value);
}

float VSTCALLBACK getParameterTrampoline(AEffect* effect, VstInt32 index)
{
    return instanceOf(effect)->getParameter(index);
}

} // namespace

AudioEffect::AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
    : audioMaster(audioMaster), editor(nullptr), sampleRate(44100.0f), blockSize(1024),
      numPrograms(numPrograms), numParams(numParams), curProgram(0)
{
    std::memset(&cEffect, 0, sizeof(cEffect));
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchTrampoline;
    cEffect.process = processTrampoline;
    cEffect.setParameter = setParameterTrampoline;
    cEffect.getParameter = getParameterTrampoline;
    cEffect.numPrograms = numPrograms;
    cEffect.numParams = numParams;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = fourCharCode("NoEf");
    cEffect.version = 1;
    cEffect.processReplacing = processReplacingTrampoline;
    cEffect.processDoubleReplacing = processDoubleReplacingTrampoline;
    setFlag(effFlagsCanReplacing, true);
}

AudioEffect::~AudioEffect()
{
    delete editor;
}

void AudioEffect::setEditor(AEffEditor* newEditor)
{
    editor = newEditor;
    setFlag(effFlagsHasEditor, newEditor != nullptr);
}

void AudioEffect::setFlag(VstInt32 flag, bool state)
{
    if (state)
        cEffect.flags |= flag;
    else
        cEffect.flags &= ~flag;
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt)
{
    if (!audioMaster) return 0;
    return audioMaster(&cEffect, opcode, index, value, ptr, opt);
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value)
{
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

VstInt32 AudioEffect::getMasterVersion()
{
    VstInt32 version = static_cast<VstInt32>(callHost(audioMasterVersion));
    return version != 0 ? version : 1;
}

VstInt32 AudioEffect::getCurrentUniqueId()
{
    return static_cast<VstInt32>(callHost(audioMasterCurrentId));
}

void AudioEffect::masterIdle()
{
    callHost(audioMasterIdle);
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt)
{
    char* text = static_cast<char*>(ptr);
    // A host that passes no buffer gets no answer instead of a write through null.
    switch (opcode)
    {
    case effOpen:
        open();
        return 0;
    case effClose:
        close();
        return 0;
    case effSetProgram:
        if (value >= 0 && value < numPrograms) setProgram(static_cast<VstInt32>(value));
        return 0;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        if (text) setProgramName(text);
        return 0;
    case effGetProgramName:
        if (text) getProgramName(text);
        return 0;
    case effGetParamLabel:
        if (text) getParameterLabel(index, text);
        return 0;
    case effGetParamDisplay:
        if (text) getParameterDisplay(index, text);
        return 0;
    case effGetParamName:
        if (text) getParameterName(index, text);
        return 0;
    case effSetSampleRate:
        setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        setBlockSize(static_cast<VstInt32>(value));
        return 0;
    case effMainsChanged:
        if (value == 0)
            suspend();
        else
            resume();
        return 0;
    case effEditGetRect:
        return editor && ptr && editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
    case effEditOpen:
        return editor && editor->open(ptr) ? 1 : 0;
    case effEditClose:
        if (editor) editor->close();
        return 0;
    case effEditIdle:
        if (editor) editor->idle();
        return 0;
    case effIdentify:
        return fourCharCode("NvEf");
    case effGetChunk:
        return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk:
        return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default:
        return 0;
    }
}
