// A stand-in for the frame in toolkit tests: the view size, window and idle step a drawing
// context asks its frame for. Pass asFrame(stub) where a CFrame* is wanted.
#pragma once

#include "toolkit/core/frame_services.h"

#include <functional>

struct CStubFrame
{
    CRect viewSize = CRect(0, 0, 40, 40);
    void* window = nullptr;
    int idleCount = 0;
    std::function<void()> onIdle;
};

inline CFrame* asFrame(CStubFrame& stub)
{
    return reinterpret_cast<CFrame*>(&stub);
}
