// The audio path may not allocate, lock or call the host. The test binary counts every
// allocation through operator new and, on Linux, every mutex lock, around blocks processed with
// parameter, program and sample-rate changes in between.
#include "support/effect_fixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>

#if defined(__linux__)
#include <dlfcn.h>
#include <pthread.h>
#endif

namespace
{

std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};
std::atomic<long> gLocks{0};
std::atomic<long> gHostCalls{0};

void* countedAllocation(std::size_t size)
{
    if (gCounting.load()) gAllocations.fetch_add(1);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

VstIntPtr VSTCALLBACK countingHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    if (gCounting.load()) gHostCalls.fetch_add(1);
    return opcode == audioMasterVersion ? 2400 : 0;
}

} // namespace

void* operator new(std::size_t size)
{
    return countedAllocation(size);
}
void* operator new[](std::size_t size)
{
    return countedAllocation(size);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

#if defined(__linux__)
extern "C" int pthread_mutex_lock(pthread_mutex_t* mutex)
{
    typedef int (*LockFunction)(pthread_mutex_t*);
    static LockFunction next =
        reinterpret_cast<LockFunction>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
    if (gCounting.load()) gLocks.fetch_add(1);
    return next(mutex);
}
#endif

namespace
{

template <class Sample> void processWhileCounting(PluginCore& effect)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<float> loud(-1.0f, 1.0f), value(0.0f, 1.0f);
    Block<Sample> in(kNumChannels, 512), out(kNumChannels, 512);
    for (auto& channel : in.data)
        for (Sample& x : channel)
            x = loud(random);
    gCounting = true;
    for (int block = 0; block < 200; ++block)
    {
        effect.setParameter(block % kNumParams, value(random));
        if (block % 50 == 0) effect.setSampleRate(block % 100 == 0 ? 48000.0f : 44100.0f);
        if (block % 70 == 0) effect.setProgram(block % kNumPrograms);
        if constexpr (sizeof(Sample) == sizeof(float))
            effect.processReplacing(in.channels(), out.channels(), 512);
        else
            effect.processDoubleReplacing(in.channels(), out.channels(), 512);
    }
    gCounting = false;
}

TEST(AudioPath, allocatesNothingLocksNothingAndCallsNothingInTheHost)
{
    PluginCore effect(countingHost);
    processWhileCounting<float>(effect);
    processWhileCounting<double>(effect);
    EXPECT_EQ(gAllocations.load(), 0);
    EXPECT_EQ(gLocks.load(), 0);
    EXPECT_EQ(gHostCalls.load(), 0);
}

TEST(AudioPath, theCountersSeeAllocationsAndHostCalls)
{
    // Without this the test above could pass because nothing is counted at all.
    gCounting = true;
    PluginCore* effect = new PluginCore(countingHost);
    effect->setParameterAutomated(kAsymm, 0.3f);
    gCounting = false;
    delete effect;
    EXPECT_GT(gAllocations.exchange(0), 0);
    EXPECT_EQ(gHostCalls.exchange(0), 1);
}

} // namespace
