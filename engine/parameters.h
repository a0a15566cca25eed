// The effect's parameters and programs.
#pragma once

#include "../host/aeffect.h"

enum ParameterIndex : VstInt32
{
    kRoute = 0,
    kAsymm,
    kShEnable,
    kShThr,
    kShDrive,
    kIntEnable,
    kIntThr,
    kIntCh,
    kIntDisch,
    kInGain,
    kOutGain,
    kNumParams
};

constexpr VstInt32 kNumPrograms = 16;

// 23 visible characters and the terminator.
constexpr int kProgramNameSize = 24;

struct ProgramRecord
{
    float values[kNumParams];
    char name[kProgramNameSize];
};

constexpr float kDefaultValues[kNumParams] = {0.0f, 0.5f, 1.0f, 0.5f, 0.5f, 1.0f,
                                              0.5f, 0.5f, 0.5f, 0.5f, 0.5f};

constexpr const char* kParameterNames[kNumParams] = {
    "Route",   "Asymm",  "Sh.Enable", "Sh.Thr",  "Sh.Drive", "Int.Enable",
    "Int.Thr", "Int.Ch", "Int.Disch", "In.Gain", "Out.Gain"};

constexpr const char* kDefaultProgramName = "Default";

inline bool isSwitch(VstInt32 index)
{
    return index == kShEnable || index == kIntEnable;
}
