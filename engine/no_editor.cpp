#include "editor_link.h"

EditorBinding createPluginEditor(AudioEffectX* /*effect*/)
{
    return EditorBinding();
}
