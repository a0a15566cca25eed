#include "entry.h"

#include "audioeffect.h"

void* gModuleHandle = nullptr;

extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback audioMaster)
{
    if (!audioMaster) return nullptr;
    if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    AudioEffect* effect = createEffectInstance(audioMaster);
    if (!effect) return nullptr;
    return effect->getAeffect();
}

#if !defined(_WIN32)
// "main" is the older name of the entry: the same function at the same address. (On Windows the
// module-definition file exports it.)
extern "C" AEffect* vstMainAlias(audioMasterCallback audioMaster) __asm__("main")
    __attribute__((alias("VSTPluginMain"), visibility("default")));
#endif
