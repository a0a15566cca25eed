// The effect creates its editor through this factory, so that the engine needs nothing of the
// editor but the two interfaces it talks to.
#pragma once

#include "../host/aeffect.h"

class AEffEditor;
class AudioEffectX;

// Told about every parameter change, whatever its source.
class ParameterObserver
{
public:
    virtual ~ParameterObserver() {}
    virtual void setParameter(VstInt32 index, float value) = 0;
};

struct EditorBinding
{
    AEffEditor* editor = nullptr;
    ParameterObserver* observer = nullptr;
};

// Defined by the editor.
EditorBinding createPluginEditor(AudioEffectX* effect);
