#include "editor/plugin_editor.h"

#include "engine/value_texts.h"
#include "host/audioeffectx.h"
#include "toolkit/controls/knob.h"
#include "toolkit/controls/on_off_button.h"
#include "toolkit/controls/text_edit.h"
#include "toolkit/core/backend/window_services.h"
#include "toolkit/core/bitmap.h"
#include "toolkit/core/frame.h"

#include <cstring>

namespace
{
struct Place
{
    int32_t left, top, right, bottom;
    CRect rect() const { return CRect(left, top, right, bottom); }
};

struct KnobBinding
{
    VstInt32 tag;
    Place place;
    VstInt32 parameter;
};

struct FieldBinding
{
    VstInt32 tag;
    Place place;
    VstInt32 parameter;
    void (*valueToText)(float, char*);
    float (*textToValue)(const char*);
};

struct ButtonBinding
{
    VstInt32 tag;
    Place place;
    VstInt32 parameter;
    int32_t image;
};

constexpr KnobBinding kKnobs[PluginEditor::kKnobCount] = {
    {1, {56, 80, 120, 144}, 9},  {2, {624, 80, 688, 144}, 10}, {3, {544, 32, 608, 96}, 1},
    {4, {144, 80, 208, 144}, 3}, {5, {216, 80, 280, 144}, 4},  {6, {312, 80, 376, 144}, 6},
    {7, {384, 80, 448, 144}, 7}, {8, {456, 80, 520, 144}, 8},
};

constexpr FieldBinding kFields[PluginEditor::kFieldCount] = {
    {9, {64, 60, 112, 76}, 9, gainToText, textToGain},
    {10, {632, 60, 680, 76}, 10, gainToText, textToGain},
    {11, {552, 12, 600, 28}, 1, asymmetryToText, textToAsymmetry},
    {12, {152, 60, 200, 76}, 3, thresholdToText, textToThreshold},
    {13, {224, 60, 272, 76}, 4, driveToText, textToDrive},
    {14, {320, 60, 368, 76}, 6, thresholdToText, textToThreshold},
    {15, {392, 60, 440, 76}, 7, timeToText, textToTime},
    {16, {464, 60, 512, 76}, 8, timeToText, textToTime},
};

constexpr ButtonBinding kButtons[PluginEditor::kButtonCount] = {
    {17, {227, 8, 269, 50}, 2, kPowerButtonImage},
    {18, {467, 8, 509, 50}, 5, kPowerButtonImage},
    {19, {395, 8, 437, 50}, 0, kRouteButtonImage},
};

constexpr VstInt32 kLastParameter = 10;
constexpr int32_t kKnobFrames = 61;
constexpr int32_t kKnobFrameHeight = 64;
constexpr int32_t kFieldStyle = 1;
constexpr int32_t kButtonStyle = 0;

const FieldBinding* fieldOfTag(VstInt32 tag)
{
    for (const FieldBinding& field : kFields)
        if (field.tag == tag) return &field;
    return nullptr;
}
} // namespace

VstInt32 parameterOfTag(VstInt32 tag)
{
    for (const KnobBinding& knob : kKnobs)
        if (knob.tag == tag) return knob.parameter;
    for (const FieldBinding& field : kFields)
        if (field.tag == tag) return field.parameter;
    for (const ButtonBinding& button : kButtons)
        if (button.tag == tag) return button.parameter;
    return -1;
}

PluginEditor::PluginEditor(AudioEffectX* effect) : AEffGUIEditor(effect)
{
    background = new CBitmap(kFaceImage);
    rect.top = 0;
    rect.left = 0;
    rect.bottom = static_cast<VstInt16>(background->getHeight());
    rect.right = static_cast<VstInt16>(background->getWidth());
}

PluginEditor::~PluginEditor()
{
    background->dropReference();
}

bool PluginEditor::open(void* parentWindow)
{
    // Without a window system of the host's kind there is nothing to open the frame in.
    if (!windowServices().acceptsHostWindows()) return false;
    AEffEditor::open(parentWindow);
    auto* newFrame = new CFrame(CRect(0, 0, background->getWidth(), background->getHeight()),
                                parentWindow, this);

    auto* knobStrip = new CBitmap(kKnobImage);
    for (int i = 0; i < kKnobCount; ++i)
    {
        const KnobBinding& b = kKnobs[i];
        knobs[i] = new CAnimKnob(b.place.rect(), this, b.tag, kKnobFrames, kKnobFrameHeight,
                                 knobStrip, CPoint(0, 0));
        knobs[i]->setValue(effect->getParameter(b.parameter));
        newFrame->addView(knobs[i]);
    }

    for (int i = 0; i < kFieldCount; ++i)
    {
        const FieldBinding& b = kFields[i];
        CTextEdit* field =
            new CTextEdit(b.place.rect(), this, b.tag, nullptr, nullptr, kFieldStyle);
        field->setFontId(kFontSmall);
        field->setFontColor(kColorGreen);
        field->setBackColor(kColorBlack);
        field->setFrameColor(kColorBlack);
        field->setTransparency(true);
        field->setValue(effect->getParameter(b.parameter));
        field->setValueToText(b.valueToText);
        fields[i] = field;
        newFrame->addView(field);
    }

    auto* powerStrip = new CBitmap(kPowerButtonImage);
    auto* routeStrip = new CBitmap(kRouteButtonImage);
    for (int i = 0; i < kButtonCount; ++i)
    {
        const ButtonBinding& b = kButtons[i];
        CBitmap* strip = b.image == kRouteButtonImage ? routeStrip : powerStrip;
        buttons[i] = new COnOffButton(b.place.rect(), this, b.tag, strip, kButtonStyle);
        buttons[i]->setValue(effect->getParameter(b.parameter));
        newFrame->addView(buttons[i]);
    }

    // Each control holds its own reference: the strips live as long as the controls.
    routeStrip->dropReference();
    powerStrip->dropReference();
    knobStrip->dropReference();

    newFrame->setBackground(background);
    frame = newFrame;
    return true;
}

void PluginEditor::close()
{
    CFrame* closing = frame;
    frame = nullptr;
    if (closing) closing->dropReference();
    AEffEditor::close();
}

void PluginEditor::setParameter(VstInt32 index, float)
{
    if (!frame || static_cast<uint32_t>(index) > kLastParameter) return;
    // The effect's stored value, e.g. the 0 or 1 a switch makes of what the host sent.
    const float value = effect->getParameter(index);
    for (int i = 0; i < kKnobCount; ++i)
        if (kKnobs[i].parameter == index) knobs[i]->setValue(value);
    for (int i = 0; i < kFieldCount; ++i)
        if (kFields[i].parameter == index) fields[i]->setValue(value);
    for (int i = 0; i < kButtonCount; ++i)
        if (kButtons[i].parameter == index) buttons[i]->setValue(value);
}

void PluginEditor::valueChanged(CDrawContext*, CControl* control)
{
    const VstInt32 tag = control->getTag();
    const VstInt32 parameter = parameterOfTag(tag);
    if (parameter < 0) return;
    if (const FieldBinding* field = fieldOfTag(tag))
    {
        char text[256];
        static_cast<CTextEdit*>(control)->getText(text);
        effect->setParameterAutomated(parameter, field->textToValue(text));
    }
    else
    {
        effect->setParameterAutomated(parameter, control->getValue());
    }
    control->setDirty(true);
}

void PluginEditor::beginEdit(VstInt32 tag)
{
    const VstInt32 parameter = parameterOfTag(tag);
    if (parameter >= 0) AEffGUIEditor::beginEdit(parameter);
}

void PluginEditor::endEdit(VstInt32 tag)
{
    const VstInt32 parameter = parameterOfTag(tag);
    if (parameter >= 0) AEffGUIEditor::endEdit(parameter);
}
