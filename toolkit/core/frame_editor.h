// The editor as the frame sees it: the few services a frame asks of whoever created it. The
// plug-in's editor base implements this; the toolkit knows nothing else of the editor, the
// effect or the host. Portable; no platform header.
#pragma once

#include <cstdint>

class CFrameEditor
{
public:
    virtual ~CFrameEditor() = default;

    // One idle step of the editor, run in the middle of a gesture so that the change shows.
    virtual void idleNow() = 0;
    // The start and the end of a gesture on the parameter index (a control's tag).
    virtual void beginEdit(int32_t index) = 0;
    virtual void endEdit(int32_t index) = 0;
    // The knob mode last set on an editor of this process.
    virtual int32_t getKnobMode() const = 0;
    // Asks the host to resize its window to width x height; false when the host cannot.
    virtual bool hostSizeWindow(int32_t width, int32_t height) = 0;
};
