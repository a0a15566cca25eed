#include "plugin_core.h"

#include "../host/aeffeditor.h"
#include "../host/entry.h"
#include "editor_link.h"
#include "value_texts.h"
#include "variant.h"

#include <cstring>
#include <new>

namespace
{

constexpr VstInt32 kWheelIndex = fourCharCode("stCA");
constexpr VstIntPtr kWheelValue = fourCharCode("Whee");

void copyText(char* destination, const char* source)
{
    std::strcpy(destination, source);
}

bool inParameterRange(VstInt32 index)
{
    return static_cast<uint32_t>(index) < static_cast<uint32_t>(kNumParams);
}

} // namespace

AudioEffect* createEffectInstance(audioMasterCallback audioMaster)
{
    // Nothing may escape into the host; a failed construction frees what it obtained.
    try
    {
        return new PluginCore(audioMaster);
    }
    catch (...)
    {
        return nullptr;
    }
}

PluginCore::PluginCore(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, kNumPrograms, kNumParams), programs(nullptr), dspSampleRate(0.0f),
      settingsGeneration(0), envelope{0.0, 0.0}, kernel(Kernel::Baseline), editorObserver(nullptr),
      observedEditor(nullptr)
{
    selectKernel(Kernel::Sse41);
    for (std::atomic<float>& value : paramValues)
        value.store(0.0f, std::memory_order_relaxed);
    programs = new ProgramRecord[kNumPrograms];
    for (VstInt32 p = 0; p < kNumPrograms; ++p)
    {
        std::memcpy(programs[p].values, kDefaultValues, sizeof kDefaultValues);
        std::memset(programs[p].name, 0, sizeof programs[p].name);
        copyText(programs[p].name, kDefaultProgramName);
    }
    setProgram(0);
    setNumInputs(kNumChannels);
    setNumOutputs(kNumChannels);
    setUniqueID(kUniqueId);
    canProcessReplacing(true);
    canDoubleReplacing(true);
    resume();
    dspSampleRate.store(sampleRate, std::memory_order_relaxed);
    envelope[0] = envelope[1] = 0.0;

    EditorBinding binding = createPluginEditor(this);
    if (binding.editor) setEditor(binding.editor);
    editorObserver = binding.observer;
    observedEditor = binding.editor;
}

PluginCore::~PluginCore()
{
    delete[] programs;
}

void PluginCore::resume()
{
    AudioEffectX::resume();
}

void PluginCore::setSampleRate(float newRate)
{
    AudioEffectX::setSampleRate(newRate);
    dspSampleRate.store(newRate, std::memory_order_relaxed);
    settingsGeneration.fetch_add(1, std::memory_order_release);
}

void PluginCore::setParameter(VstInt32 index, float value)
{
    if (inParameterRange(index))
    {
        // The switches hold exactly 0 or 1; NaN switches on like 0.5 does.
        float stored = isSwitch(index) ? (value < 0.5f ? 0.0f : 1.0f) : value;
        programs[curProgram].values[index] = stored;
        paramValues[index].store(stored, std::memory_order_relaxed);
        settingsGeneration.fetch_add(1, std::memory_order_release);
    }
    if (editor && editor == observedEditor && editorObserver)
        editorObserver->setParameter(index, value);
}

float PluginCore::getParameter(VstInt32 index)
{
    if (!inParameterRange(index)) return 0.0f;
    return paramValues[index].load(std::memory_order_relaxed);
}

void PluginCore::setProgram(VstInt32 program)
{
    // The bank has no other records to select.
    if (program < 0 || program >= kNumPrograms) return;
    curProgram = program;
    for (VstInt32 i = 0; i < kNumParams; ++i)
        setParameter(i, programs[program].values[i]);
}

void PluginCore::setProgramName(char* name)
{
    // Longer names are cut to the field.
    std::strncpy(programs[curProgram].name, name, kProgramNameSize - 1);
    programs[curProgram].name[kProgramNameSize - 1] = 0;
}

void PluginCore::getProgramName(char* name)
{
    copyText(name, programs[curProgram].name);
}

void PluginCore::getParameterLabel(VstInt32 /*index*/, char* label)
{
    label[0] = 0;
}

void PluginCore::getParameterName(VstInt32 index, char* text)
{
    copyText(text, inParameterRange(index) ? kParameterNames[index] : "");
}

void PluginCore::getParameterDisplay(VstInt32 index, char* text)
{
    if (!inParameterRange(index)) return copyText(text, "");
    float value = paramValues[index].load(std::memory_order_relaxed);
    switch (index)
    {
    case kRoute:
        return copyText(text, value < 0.5f ? "Sh->Int" : "Int->Sh");
    case kShEnable:
    case kIntEnable:
        return copyText(text, value < 0.5f ? "Off" : "On");
    case kAsymm:
        return asymmetryToText(value, text);
    case kShThr:
    case kIntThr:
        return thresholdToText(value, text);
    case kShDrive:
        return driveToText(value, text);
    case kIntCh:
    case kIntDisch:
        return timeToText(value, text);
    default:
        return gainToText(value, text);
    }
}

bool PluginCore::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text)
{
    if (index < 0 || index >= kNumPrograms) return false;
    copyText(text, programs[index].name);
    return true;
}

bool PluginCore::getEffectName(char* name)
{
    copyText(name, kEffectName);
    return true;
}

bool PluginCore::getVendorString(char* text)
{
    copyText(text, kVendorName);
    return true;
}

bool PluginCore::getProductString(char* text)
{
    copyText(text, kEffectName);
    return true;
}

VstInt32 PluginCore::getVendorVersion()
{
    return kVendorVersion;
}

VstInt32 PluginCore::getPlugCategory()
{
    return kPlugCategEffect;
}

VstIntPtr PluginCore::vendorSpecific(VstInt32 lArg, VstIntPtr lArg2, void* /*ptrArg*/,
                                     float floatArg)
{
    if (!editor) return 0;
    if (lArg == kWheelIndex && lArg2 == kWheelValue) return editor->onWheel(floatArg) ? 1 : 0;
    return 0;
}

double PluginCore::integrateSample(double x, float threshold, float tCharge, float tDischarge,
                                   int channel)
{
    float fs = dspSampleRate.load(std::memory_order_relaxed);
    return stage::integrate<double>(x, threshold, stage::followFactor(fs, tCharge),
                                    stage::followFactor(fs, tDischarge),
                                    envelope[channel == 2 ? 1 : 0]);
}
