// An editor and a listener that write what reaches them into one log, for the control tests.
#pragma once

#include "toolkit/controls/control.h"
#include "toolkit/core/frame_editor.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using CLog = std::vector<std::string>;

struct CLoggingEditor : CFrameEditor
{
    CLog& log;
    int32_t knobMode = 0;
    std::function<void()> onIdle;

    explicit CLoggingEditor(CLog& log) : log(log) {}
    void idleNow() override
    {
        log.push_back("idle");
        if (onIdle) onIdle();
    }
    void beginEdit(int32_t tag) override { log.push_back("begin " + std::to_string(tag)); }
    void endEdit(int32_t tag) override { log.push_back("end " + std::to_string(tag)); }
    int32_t getKnobMode() const override { return knobMode; }
    bool hostSizeWindow(int32_t, int32_t) override { return false; }
};

// Logs "changed <tag> <value>" (or the text of a text field, see textOf).
struct CLoggingListener : CControlListener
{
    CLog& log;
    int32_t modifierAnswer = 0;
    std::function<std::string(CControl*)> describe;
    std::function<void(CControl*)> onChange;

    explicit CLoggingListener(CLog& log) : log(log) {}
    void valueChanged(CDrawContext*, CControl* control) override
    {
        log.push_back("changed " + std::to_string(control->getTag()) + " " + describeOf(control));
        if (onChange) onChange(control);
    }
    int32_t modifierClicked(CDrawContext*, CControl* control, int32_t buttons) override
    {
        log.push_back("modifier " + std::to_string(control->getTag()) + " " +
                      std::to_string(buttons));
        return modifierAnswer;
    }
    std::string describeOf(CControl* control) const
    {
        if (describe) return describe(control);
        char text[32];
        std::snprintf(text, sizeof(text), "%.3f", control->getValue());
        return text;
    }
};
