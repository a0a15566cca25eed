#include "engine/reference_chain.h"
#include "support/effect_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace
{

struct Setting
{
    int index;
    float value;
};

struct PathCase
{
    const char* what;
    std::vector<Setting> settings;
    std::vector<double> input;
    std::vector<double> expected;
};

// Worked examples at 44100 Hz, defaults unless a setting says otherwise.
const PathCase kPathCases[] = {
    {"defaults pass magnitudes below 0.5",
     {},
     {0.1, -0.3, 0.49, -0.4999, 0.0},
     {0.1, -0.3, 0.49, -0.4999, 0.0}},
    {"a constant 0.9 is shaped to 0.7, then smoothed",
     {},
     {0.9, 0.9, 0.9},
     {0.508868, 0.517342, 0.525441}},
    {"shaper first with the shaper threshold at 0.3", {{kShThr, 0.3f}}, {0.9}, {0.504434}},
    {"integrator first with the shaper threshold at 0.3",
     {{kShThr, 0.3f}, {kRoute, 1.0f}},
     {0.9},
     {0.408868}},
    {"route exactly 0.5 puts the integrator first",
     {{kShThr, 0.3f}, {kRoute, 0.5f}},
     {0.9},
     {0.408868}},
    {"both stages off pass the input",
     {{kShEnable, 0.0f}, {kIntEnable, 0.0f}},
     {0.9, -0.8, 1.5},
     {0.9, -0.8, 1.5}},
    {"asymmetry 1.0 lets positive half-waves bypass",
     {{kAsymm, 1.0f}},
     {0.9, -0.9, 0.9, -0.9},
     {0.9, -0.517342, 0.9, -0.533181}},
    {"asymmetry 0.0 lets negative half-waves bypass",
     {{kAsymm, 0.0f}},
     {0.9, -0.9, 0.9, -0.9},
     {0.508868, -0.9, 0.525441, -0.9}},
    {"asymmetry 0.75 mixes half processed, half dry", {{kAsymm, 0.75f}}, {0.9}, {0.704434}},
    {"input gain 1.0 doubles", {{kInGain, 1.0f}}, {0.2}, {0.4}},
    {"output gain 1.0 doubles", {{kOutGain, 1.0f}}, {0.2}, {0.4}},
    {"output gain 0 is silence", {{kOutGain, 0.0f}}, {0.2, -0.9}, {0.0, 0.0}},
};

template <class Sample> void checkPathCases(double tolerance)
{
    for (const PathCase& c : kPathCases)
    {
        PluginCore effect(silentHost);
        for (const Setting& s : c.settings)
            effect.setParameter(s.index, s.value);
        std::vector<Sample> input(c.input.begin(), c.input.end());
        std::vector<Sample> output = processSamples(effect, input);
        for (size_t k = 0; k < output.size(); ++k)
            EXPECT_NEAR(output[k], c.expected[k], tolerance) << c.what << ", frame " << k;
    }
}

TEST(SignalPath, computesTheWorkedExamplesInSinglePrecision)
{
    checkPathCases<float>(1e-6);
}

TEST(SignalPath, computesTheWorkedExamplesInDoublePrecision)
{
    checkPathCases<double>(1e-6);
}

TEST(SignalPath, withTheDefaultsQuietSamplesComeOutBitForBit)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> quiet(-0.4999f, 0.4999f);
    std::vector<float> inputF(1000);
    for (float& x : inputF)
        x = quiet(random);
    std::vector<double> inputD(inputF.begin(), inputF.end());
    PluginCore effectF(silentHost), effectD(silentHost);
    EXPECT_EQ(processSamples(effectF, inputF), inputF);
    EXPECT_EQ(processSamples(effectD, inputD), inputD);
}

TEST(SignalPath, theEnvelopeFollowsTheSignalWhileTheIntegratorIsSwitchedOut)
{
    PluginCore bypassed(silentHost);
    bypassed.setParameter(kIntEnable, 0.0f);
    processSamples(bypassed, std::vector<double>{0.9, 0.9});
    bypassed.setParameter(kIntEnable, 1.0f);
    // Two frames of charging already happened, so the third frame matches the worked example.
    EXPECT_NEAR(processSamples(bypassed, std::vector<double>{0.9})[0], 0.525441, 1e-6);
}

TEST(SignalPath, aBlockOfZeroFramesWritesNothingAndChangesNothing)
{
    PluginCore effect(silentHost);
    Block<float> in(kNumChannels, 4, 0.9f), out(kNumChannels, 4, 42.0f);
    effect.processReplacing(in.channels(), out.channels(), 0);
    effect.processReplacing(in.channels(), out.channels(), -5);
    EXPECT_EQ(out.data[0], std::vector<float>(4, 42.0f));
    EXPECT_NEAR(processSamples(effect, std::vector<double>{0.9})[0], 0.508868, 1e-6);
}

TEST(SignalPath, processesInPlace)
{
    PluginCore inPlace(silentHost), separate(silentHost);
    Block<float> buffer(kNumChannels, 3, 0.9f);
    inPlace.processReplacing(buffer.channels(), buffer.channels(), 3);
    EXPECT_EQ(buffer.data[0], processSamples(separate, std::vector<float>(3, 0.9f)));
}

TEST(SignalPath, stereoChannelsAreIndependent)
{
    if (kNumChannels < 2) GTEST_SKIP() << "one channel in this build";
    PluginCore effect(silentHost), single(silentHost);
    Block<double> in(2, 3), out(2, 3);
    in.data[0] = {0.9, 0.9, 0.9};
    in.data[1] = {0.3, -0.95, 0.95};
    effect.processDoubleReplacing(in.channels(), out.channels(), 3);
    EXPECT_EQ(out.data[0], processSamples(single, in.data[0]));
    ReferenceChain reference;
    for (int k = 0; k < 3; ++k)
    {
        reference.sample(in.data[0][k], 0);
        EXPECT_EQ(out.data[1][k], reference.sample(in.data[1][k], 1));
    }
    // The same signal on both channels gives the same outputs.
    in.data[1] = in.data[0];
    PluginCore same(silentHost);
    same.processDoubleReplacing(in.channels(), out.channels(), 3);
    EXPECT_EQ(out.data[0], out.data[1]);
}

TEST(SignalPath, anyBlockSizesGiveTheSamplesOfOneBlock)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<float> loud(-1.0f, 1.0f);
    const int frames = 4096;
    Block<float> in(kNumChannels, frames), whole(kNumChannels, frames),
        pieces(kNumChannels, frames);
    for (auto& channel : in.data)
        for (float& x : channel)
            x = loud(random);
    PluginCore one(silentHost), many(silentHost);
    one.processReplacing(in.channels(), whole.channels(), frames);

    std::uniform_int_distribution<int> size(0, 300);
    int done = 0;
    for (int n = 0; done < frames; ++n)
    {
        int count = std::min(frames - done, n % 5 == 0 ? n % 2 : size(random)); // 0s and 1s too
        std::vector<float*> inputs, outputs;
        for (int c = 0; c < kNumChannels; ++c)
        {
            inputs.push_back(in.data[c].data() + done);
            outputs.push_back(pieces.data[c].data() + done);
        }
        many.processReplacing(inputs.data(), outputs.data(), count);
        done += count;
    }
    EXPECT_EQ(std::memcmp(whole.data[0].data(), pieces.data[0].data(), frames * sizeof(float)), 0);
    EXPECT_EQ(whole.data, pieces.data);
}

TEST(SignalPath, keepsItsFormulasAtEverySampleRate)
{
    const float rates[] = {8000.0f,   11025.0f,  22050.0f,  32000.0f,  44100.0f,  48000.0f,
                           88200.0f,  96000.0f,  176400.0f, 192000.0f, 352800.0f, 384000.0f,
                           705600.0f, 768000.0f, 44099.5f,  47999.9f,  22050.25f, 96000.125f};
    std::mt19937 random(3);
    std::uniform_real_distribution<float> loud(-1.0f, 1.0f);
    for (float rate : rates)
    {
        PluginCore effect(silentHost);
        effect.setSampleRate(rate);
        ReferenceChain reference;
        reference.fs = rate;
        std::vector<double> input(512);
        for (double& x : input)
            x = loud(random);
        std::vector<double> output = processSamples(effect, input);
        for (size_t k = 0; k < input.size(); ++k)
        {
            double expected = reference.sample(input[k], 0);
            if (kNumChannels == 2) reference.sample(input[k], 1);
            ASSERT_EQ(output[k], expected) << "rate " << rate << ", frame " << k;
        }
    }
}

} // namespace
