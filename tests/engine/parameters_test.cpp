#include "support/effect_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace
{

std::string programName(PluginCore& effect)
{
    char name[64];
    std::memset(name, 'x', sizeof name);
    effect.getProgramName(name);
    return name;
}

TEST(Parameters, aFreshEffectHoldsTheDefaultsInEveryProgram)
{
    PluginCore effect(silentHost);
    for (int p = 0; p < kNumPrograms; ++p)
    {
        effect.setProgram(p);
        for (int i = 0; i < kNumParams; ++i)
            EXPECT_EQ(effect.getParameter(i), kDefaultValues[i])
                << "program " << p << " index " << i;
        EXPECT_EQ(programName(effect), "Default");
    }
}

TEST(Parameters, switchesAreQuantisedAndEverythingElseIsStoredAsReceived)
{
    struct Case
    {
        int index;
        float sent, stored;
    };
    const Case cases[] = {
        {kShEnable, 0.5f, 1.0f},   {kIntEnable, 0.4999f, 0.0f}, {kShEnable, 0.7f, 1.0f},
        {kIntEnable, -3.0f, 0.0f}, {kShEnable, NAN, 1.0f},      {kIntEnable, 1e30f, 1.0f},
        {kRoute, 0.5f, 0.5f},      {kRoute, 0.49f, 0.49f},      {kAsymm, 1.7f, 1.7f},
        {kShThr, -7.0f, -7.0f},    {kInGain, 1e30f, 1e30f},     {kIntCh, INFINITY, INFINITY},
    };
    for (const Case& c : cases)
    {
        PluginCore effect(silentHost);
        effect.setParameter(c.index, c.sent);
        EXPECT_EQ(effect.getParameter(c.index), c.stored)
            << "index " << c.index << " sent " << c.sent;
    }
    PluginCore effect(silentHost);
    effect.setParameter(kOutGain, NAN);
    EXPECT_TRUE(std::isnan(effect.getParameter(kOutGain)));
}

TEST(Parameters, indicesOutsideTheSetStoreNothingAndReadAsZero)
{
    PluginCore effect(silentHost);
    for (int index : {11, -1, 1000, INT32_MIN})
    {
        effect.setParameter(index, 0.3f);
        EXPECT_EQ(effect.getParameter(index), 0.0f);
        char text[16] = "unchanged";
        effect.getParameterName(index, text);
        EXPECT_STREQ(text, "");
    }
    for (int i = 0; i < kNumParams; ++i)
        EXPECT_EQ(effect.getParameter(i), kDefaultValues[i]);
}

TEST(Parameters, haveTheirNamesAndNoLabels)
{
    PluginCore effect(silentHost);
    const char* names[] = {"Route",   "Asymm",  "Sh.Enable", "Sh.Thr",  "Sh.Drive", "Int.Enable",
                           "Int.Thr", "Int.Ch", "Int.Disch", "In.Gain", "Out.Gain"};
    for (int i = 0; i < kNumParams; ++i)
    {
        char text[32];
        effect.getParameterName(i, text);
        EXPECT_STREQ(text, names[i]);
    }
    for (int i : {0, 5, 10, 11, -1})
    {
        char label[16] = "x";
        effect.getParameterLabel(i, label);
        EXPECT_STREQ(label, "");
    }
}

TEST(Programs, eachProgramKeepsItsOwnValues)
{
    PluginCore effect(silentHost);
    effect.setParameter(kShThr, 0.25f);
    effect.setProgram(1);
    EXPECT_EQ(effect.getParameter(kShThr), 0.5f);
    effect.setParameter(kShThr, 0.75f);
    effect.setParameter(kShEnable, 0.2f);
    effect.setProgram(0);
    EXPECT_EQ(effect.getParameter(kShThr), 0.25f);
    EXPECT_EQ(effect.getParameter(kShEnable), 1.0f);
    effect.setProgram(1);
    EXPECT_EQ(effect.getParameter(kShThr), 0.75f);
    EXPECT_EQ(effect.getParameter(kShEnable), 0.0f);
}

TEST(Programs, selectingAProgramOutsideTheBankIsRefused)
{
    PluginCore effect(silentHost);
    effect.setProgram(3);
    for (int program : {16, -1, 1000})
    {
        effect.setProgram(program);
        EXPECT_EQ(effect.getProgram(), 3);
    }
}

TEST(Programs, namesApplyToTheCurrentProgramAndAreCutToTheField)
{
    PluginCore effect(silentHost);
    effect.setProgram(2);
    char shortName[] = "Crunch";
    effect.setProgramName(shortName);
    EXPECT_EQ(programName(effect), "Crunch");
    char longName[] = "A name far longer than the field holds";
    effect.setProgramName(longName);
    EXPECT_EQ(programName(effect), std::string(longName, 23));

    char text[64];
    ASSERT_TRUE(effect.getProgramNameIndexed(0, 2, text));
    EXPECT_EQ(std::string(text), std::string(longName, 23));
    ASSERT_TRUE(effect.getProgramNameIndexed(7, 15, text)); // the category plays no part
    EXPECT_STREQ(text, "Default");
    for (int index : {16, -1, INT32_MIN})
    {
        std::strcpy(text, "untouched");
        EXPECT_FALSE(effect.getProgramNameIndexed(0, index, text));
        EXPECT_STREQ(text, "untouched");
    }
}

TEST(Identity, namesTheEffectItsVendorAndItsVariant)
{
    PluginCore effect(silentHost);
    char text[64];
    EXPECT_TRUE(effect.getEffectName(text));
    EXPECT_STREQ(text, kEffectName);
    EXPECT_TRUE(effect.getProductString(text));
    EXPECT_STREQ(text, kNumChannels == 2 ? "Bramble Cascader" : "Bramble Cascader mono");
    EXPECT_TRUE(effect.getVendorString(text));
    EXPECT_STREQ(text, "Vextrum");
    EXPECT_EQ(effect.getVendorVersion(), 1100);
    EXPECT_EQ(effect.getPlugCategory(), 1);
    AEffect* record = effect.getAeffect();
    EXPECT_EQ(record->numInputs, kNumChannels);
    EXPECT_EQ(record->numOutputs, kNumChannels);
    EXPECT_EQ(static_cast<uint32_t>(record->uniqueID),
              kNumChannels == 2 ? 0xFF071102u : 0xFF071101u);
    EXPECT_EQ(record->flags, 0x1011);
}

TEST(Parameters, theSampleRateAndResumeLeaveTheEnvelopesAlone)
{
    PluginCore effect(silentHost), reference(silentHost);
    processSamples(effect, std::vector<double>{0.9, 0.9});
    processSamples(reference, std::vector<double>{0.9, 0.9});
    effect.resume();
    effect.setSampleRate(44100.0f);
    effect.dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
    effect.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
    EXPECT_EQ(processSamples(effect, std::vector<double>{0.9}),
              processSamples(reference, std::vector<double>{0.9}));
}

} // namespace
