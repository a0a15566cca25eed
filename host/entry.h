// The library's entry point and the factory it calls.
#pragma once

#include "aeffect.h"

class AudioEffect;

// Creates the effect of this library; null when no instance can be made. The engine defines it.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster);

// The handle of this library as the platform's loader reports it; the toolkit finds its
// resources and registers its windows with it.
extern void* gModuleHandle;

#if defined(_WIN32)
#define VST_EXPORT // exported by the module-definition file
#else
#define VST_EXPORT __attribute__((visibility("default")))
#endif

extern "C" VST_EXPORT AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback audioMaster);
