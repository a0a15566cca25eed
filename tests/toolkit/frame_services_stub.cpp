#include "frame_services_stub.h"

namespace
{
CStubFrame& stubOf(CFrame* frame)
{
    return *reinterpret_cast<CStubFrame*>(frame);
}
} // namespace

CRect frameViewSize(CFrame* frame)
{
    return stubOf(frame).viewSize;
}

void frameIdleNow(CFrame* frame)
{
    CStubFrame& stub = stubOf(frame);
    ++stub.idleCount;
    if (stub.onIdle) stub.onIdle();
}

void* frameWindow(CFrame* frame)
{
    return stubOf(frame).window;
}
