// A frame without a window for toolkit tests, made on first use with the view size set before,
// and an editor that counts the idle steps the frame asks for. Pass asFrame(stub) where a
// CFrame* is wanted.
#pragma once

#include "toolkit/core/frame.h"
#include "toolkit/core/frame_editor.h"

#include <functional>

struct CStubFrame : CFrameEditor
{
    CRect viewSize = CRect(0, 0, 40, 40);
    int idleCount = 0;
    std::function<void()> onIdle;
    CFrame* frame = nullptr;

    CStubFrame() = default;
    CStubFrame(const CStubFrame&) = delete;
    CStubFrame& operator=(const CStubFrame&) = delete;
    ~CStubFrame() override
    {
        if (frame) frame->dropReference();
    }

    void idleNow() override
    {
        ++idleCount;
        if (onIdle) onIdle();
    }
    void beginEdit(int32_t) override {}
    void endEdit(int32_t) override {}
    int32_t getKnobMode() const override { return 0; }
    bool hostSizeWindow(int32_t, int32_t) override { return false; }
};

inline CFrame* asFrame(CStubFrame& stub)
{
    if (!stub.frame) stub.frame = new CFrame(stub.viewSize, nullptr, &stub);
    return stub.frame;
}
