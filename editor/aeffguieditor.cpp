#include "editor/aeffguieditor.h"

#include "host/audioeffectx.h"
#include "toolkit/core/backend/platform_services.h"
#include "toolkit/core/backend/window_services.h"
#include "toolkit/core/draw_context.h"
#include "toolkit/core/frame.h"

VstInt32 AEffGUIEditor::knobMode = 0;

namespace
{
constexpr uint32_t kIdleInterval = 100;
constexpr uint32_t kIdleEarlyWindow = 50;
constexpr uint32_t kIdleSleep = 4;

AudioEffectX* effectX(AudioEffect* effect)
{
    return static_cast<AudioEffectX*>(effect);
}
} // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect), rect{0, 0, 0, 0}
{
    nextIdleTicks = platformServices().tickCount();
    if (effect) effect->setEditor(this);
    windowServices().startOle();
}

AEffGUIEditor::~AEffGUIEditor()
{
    windowServices().stopOle();
}

bool AEffGUIEditor::getRect(ERect** out)
{
    *out = &rect;
    return true;
}

void AEffGUIEditor::idle()
{
    // The host's idle service, called from inside an idle pass, must not redraw again.
    if (!inIdle && frame) frame->idle();
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode)
{
    return frame && frame->onKeyDown(keyCode) == 1;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode)
{
    return frame && frame->onKeyUp(keyCode) == 1;
}

bool AEffGUIEditor::onWheel(float distance)
{
    if (!frame) return false;
    auto* context = new CDrawContext(frame, nullptr, systemWindow);
    CPoint where;
    context->getMouseLocation(where);
    const bool handled = frame->onWheel(context, where, distance);
    context->dropReference();
    return handled;
}

bool AEffGUIEditor::setKnobMode(VstInt32 value)
{
    knobMode = value;
    return true;
}

void AEffGUIEditor::setParameter(VstInt32, float) {}

void AEffGUIEditor::beginEdit(VstInt32 index)
{
    if (effect) effectX(effect)->beginEdit(index);
}

void AEffGUIEditor::endEdit(VstInt32 index)
{
    if (effect) effectX(effect)->endEdit(index);
}

void AEffGUIEditor::idleNow()
{
    CPlatformServices& services = platformServices();
    uint32_t now = services.tickCount();
    if (now < nextIdleTicks)
    {
        services.sleep(kIdleSleep);
        now += kIdleSleep;
        if (now < nextIdleTicks - kIdleEarlyWindow) return;
    }
    idle();
    services.dispatchQueuedPaint();
    nextIdleTicks = now + kIdleInterval;
    inIdle = true;
    if (effect) effect->masterIdle();
    inIdle = false;
}

bool AEffGUIEditor::hostSizeWindow(int32_t width, int32_t height)
{
    if (!effect) return false;
    AudioEffectX* host = effectX(effect);
    char canDo[] = "sizeWindow";
    return host->canHostDo(canDo) > 0 && host->sizeWindow(width, height);
}
