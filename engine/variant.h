// What the stereo and the mono library differ in. The build defines BRAMBLE_MONO for the mono one.
#pragma once

#include "../host/aeffect.h"

#if defined(BRAMBLE_MONO) && BRAMBLE_MONO
constexpr int kNumChannels = 1;
constexpr VstInt32 kUniqueId = static_cast<VstInt32>(0xFF071101u);
constexpr const char* kEffectName = "Bramble Cascader mono";
#else
constexpr int kNumChannels = 2;
constexpr VstInt32 kUniqueId = static_cast<VstInt32>(0xFF071102u);
constexpr const char* kEffectName = "Bramble Cascader";
#endif

constexpr const char* kVendorName = "Vextrum";
constexpr VstInt32 kVendorVersion = 1100;
