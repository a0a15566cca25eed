// The editor base: binds the host's editor interface to the toolkit. It owns the frame while
// the editor is open, keeps the editor rectangle and the knob mode, forwards keys and the wheel
// to the frame and gestures to the host, and runs the rate-limited idle pass that controls call
// from inside their mouse loops.
#pragma once

#include "host/aeffeditor.h"
#include "toolkit/core/frame_editor.h"

#include <cstdint>

class CFrame;

class AEffGUIEditor : public AEffEditor, public CFrameEditor
{
public:
    explicit AEffGUIEditor(AudioEffect* effect);
    ~AEffGUIEditor() override;

    bool getRect(ERect** rect) override;
    void idle() override;
    bool onKeyDown(VstKeyCode& keyCode) override;
    bool onKeyUp(VstKeyCode& keyCode) override;
    bool onWheel(float distance) override;
    bool setKnobMode(VstInt32 value) override;

    virtual void setParameter(VstInt32 index, float value);
    // A gesture on the parameter index starts or ends: the host is told.
    void beginEdit(VstInt32 index) override;
    void endEdit(VstInt32 index) override;
    // At most one full idle pass about every 50 ms; calls in between sleep 4 ms and return.
    void idleNow() override;

    int32_t getKnobMode() const override { return knobMode; }
    bool hostSizeWindow(int32_t width, int32_t height) override;

    CFrame* getFrame() const { return frame; }

    // Shared by every editor of the process: the last mode a host asked for.
    static VstInt32 knobMode;

protected:
    ERect rect;
    uint32_t nextIdleTicks = 0;
    bool inIdle = false;
    CFrame* frame = nullptr;
};
