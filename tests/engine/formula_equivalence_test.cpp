// The signal path selects instead of branching and keeps its exponentials until a rate or time
// changes; none of that may change a single bit of what the plain formulas give.
#include "engine/reference_chain.h"
#include "support/effect_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace
{

template <class Sample> bool sameSample(Sample a, Sample b)
{
    if (std::isnan(a) && std::isnan(b)) return true;
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class RandomSession
{
public:
    explicit RandomSession(unsigned seed) : random(seed) {}

    float parameterValue()
    {
        int kind = pick(20);
        if (kind == 0) return special(pick(6));
        if (kind == 1) return std::uniform_real_distribution<float>(-2.0f, 3.0f)(random);
        if (kind == 2) return 0.0f; // zero times, thresholds and gains are edges of the formulas
        if (kind == 3) return 0.5f;
        return std::uniform_real_distribution<float>(0.0f, 1.0f)(random);
    }

    double inputSample()
    {
        int kind = pick(100);
        if (kind == 0) return special(pick(6));
        if (kind < 5) return std::uniform_real_distribution<double>(-0.001, 0.001)(random);
        if (kind < 10) return 0.0;
        return std::uniform_real_distribution<double>(-1.5, 1.5)(random);
    }

    float sampleRate()
    {
        const float rates[] = {8000.0f, 44100.0f, 48000.0f, 96000.0f, 768000.0f, 44100.5f};
        return rates[pick(6)];
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

private:
    static float special(int which)
    {
        const float values[] = {std::numeric_limits<float>::quiet_NaN(),
                                std::numeric_limits<float>::infinity(),
                                -std::numeric_limits<float>::infinity(),
                                -0.0f,
                                1e30f,
                                std::numeric_limits<float>::denorm_min()};
        return values[which];
    }

    std::mt19937 random;
};

template <class Sample> void compareWithFormulas(unsigned seed, PluginCore::Kernel kernel)
{
    RandomSession session(seed);
    PluginCore effect(silentHost);
    effect.selectKernel(kernel);
    ReferenceChain reference;
    const int maxFrames = 64;
    Block<Sample> in(kNumChannels, maxFrames), out(kNumChannels, maxFrames);
    for (int block = 0; block < 3000; ++block)
    {
        int changes = session.pick(4);
        for (int n = 0; n < changes; ++n)
        {
            int index = session.pick(kNumParams);
            float value = session.parameterValue();
            effect.setParameter(index, value);
            reference.set(index, value);
        }
        if (session.pick(200) == 0)
        {
            float rate = session.sampleRate();
            effect.setSampleRate(rate);
            reference.fs = rate;
        }
        int frames = session.pick(maxFrames + 1);
        for (int c = 0; c < kNumChannels; ++c)
            for (int k = 0; k < frames; ++k)
                in.data[c][k] = static_cast<Sample>(session.inputSample());
        if constexpr (sizeof(Sample) == sizeof(float))
            effect.processReplacing(in.channels(), out.channels(), frames);
        else
            effect.processDoubleReplacing(in.channels(), out.channels(), frames);
        for (int k = 0; k < frames; ++k)
            for (int c = 0; c < kNumChannels; ++c)
            {
                Sample expected = static_cast<Sample>(reference.sample(in.data[c][k], c));
                ASSERT_TRUE(sameSample(out.data[c][k], expected))
                    << "block " << block << " frame " << k << " channel " << c << ": got "
                    << out.data[c][k] << ", formulas give " << expected;
            }
    }
}

const PluginCore::Kernel kKernels[] = {PluginCore::Kernel::Baseline, PluginCore::Kernel::Sse41};

TEST(FormulaEquivalence, singlePrecisionMatchesThePlainFormulasBitForBit)
{
    for (PluginCore::Kernel kernel : kKernels)
        for (unsigned seed : {1u, 2u, 3u})
            compareWithFormulas<float>(seed, kernel);
}

TEST(FormulaEquivalence, doublePrecisionMatchesThePlainFormulasBitForBit)
{
    for (PluginCore::Kernel kernel : kKernels)
        for (unsigned seed : {4u, 5u, 6u})
            compareWithFormulas<double>(seed, kernel);
}

TEST(FormulaEquivalence, theFastestKernelThisProcessorHasIsChosen)
{
    PluginCore effect(silentHost);
    EXPECT_EQ(effect.selectedKernel(), __builtin_cpu_supports("sse4.1")
                                           ? PluginCore::Kernel::Sse41
                                           : PluginCore::Kernel::Baseline);
}

} // namespace
