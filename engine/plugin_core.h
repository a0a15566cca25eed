// The effect: parameters, programs, identity and the signal path.
#pragma once

#include "../host/audioeffectx.h"
#include "parameters.h"
#include "stages.h"

#include <atomic>

class ParameterObserver;

class PluginCore : public AudioEffectX
{
public:
    explicit PluginCore(audioMasterCallback audioMaster);
    ~PluginCore() override;

    void resume() override;
    void setSampleRate(float newRate) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) override;
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override;
    VstIntPtr vendorSpecific(VstInt32 lArg, VstIntPtr lArg2, void* ptrArg, float floatArg) override;
    VstInt32 getPlugCategory() override;

    // The signal path is compiled for the baseline instruction set and for SSE4.1; the effect
    // uses the fastest one the processor has. Tests and benchmarks may pick the baseline.
    enum class Kernel
    {
        Baseline,
        Sse41
    };
    void selectKernel(Kernel wanted);
    Kernel selectedKernel() const { return kernel; }

    // The integrator as a single-sample operation on the envelope of channel 1 or 2.
    double integrateSample(double x, float threshold, float tCharge, float tDischarge, int channel);

private:
    struct FrameSettings;
    FrameSettings readFrameSettings();
    template <class Sample> void processBlock(Sample** inputs, Sample** outputs, VstInt32 frames);
    void processReplacingSse41(float** inputs, float** outputs, VstInt32 frames);
    void processDoubleReplacingSse41(double** inputs, double** outputs, VstInt32 frames);

    ProgramRecord* programs;
    // Written by the host's threads, read by the audio thread on every frame: relaxed atomics
    // are plain loads and stores on x86 and keep that sharing well defined.
    std::atomic<float> dspSampleRate;
    std::atomic<float> paramValues[kNumParams];
    // Counts changes of the values above. The audio thread reads it on every frame and reads the
    // values again only when it moved, so an unchanged setting costs one load per frame.
    std::atomic<uint32_t> settingsGeneration;
    double envelope[2];
    // Audio-thread state: the follow factors of the current rate and times.
    stage::FollowFactorCache chargeFactor;
    stage::FollowFactorCache dischargeFactor;
    Kernel kernel;
    ParameterObserver* editorObserver;
    // The editor the observer belongs to; another editor attached later is not told.
    AEffEditor* observedEditor;
};
