#include "editor/plugin_editor.h"

EditorBinding createPluginEditor(AudioEffectX* effect)
{
    auto* editor = new PluginEditor(effect);
    EditorBinding binding;
    binding.editor = editor;
    binding.observer = editor;
    return binding;
}
