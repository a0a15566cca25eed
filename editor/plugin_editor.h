// The effect's editor: eight film-strip knobs, eight editable value fields and three on/off
// buttons over the face image, bound to the effect's parameters by one control table.
#pragma once

#include "editor/aeffguieditor.h"
#include "engine/editor_link.h"
#include "toolkit/controls/control.h"

class AudioEffectX;
class CAnimKnob;
class CBitmap;
class COnOffButton;
class CTextEdit;

// Resource ids of the images built into the plug-in library.
enum PluginEditorImage
{
    kFaceImage = 128,
    kKnobImage = 129,
    kPowerButtonImage = 130,
    kRouteButtonImage = 131
};

class PluginEditor : public AEffGUIEditor, public CControlListener, public ParameterObserver
{
public:
    explicit PluginEditor(AudioEffectX* effect);
    ~PluginEditor() override;

    bool open(void* parentWindow) override;
    void close() override;
    // Brings the controls bound to the index up to date with the value the effect stored.
    void setParameter(VstInt32 index, float value) override;
    void valueChanged(CDrawContext* context, CControl* control) override;
    // Controls report gestures with their tag; the host hears the parameter index.
    void beginEdit(VstInt32 tag) override;
    void endEdit(VstInt32 tag) override;

    static constexpr int kKnobCount = 8;
    static constexpr int kFieldCount = 8;
    static constexpr int kButtonCount = 3;

protected:
    CBitmap* background = nullptr;
    CAnimKnob* knobs[kKnobCount] = {};
    CTextEdit* fields[kFieldCount] = {};
    COnOffButton* buttons[kButtonCount] = {};
};

// The binding of control tags to parameter indices: -1 for a tag that is not a control.
VstInt32 parameterOfTag(VstInt32 tag);
