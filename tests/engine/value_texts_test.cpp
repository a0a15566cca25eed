#include "engine/value_texts.h"
#include "support/effect_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace
{

typedef void (*ToText)(float, char*);
typedef float (*ToValue)(const char*);

std::string textOf(ToText toText, float value)
{
    char text[64];
    std::memset(text, 'x', sizeof text);
    toText(value, text);
    return text;
}

TEST(ValueTexts, printValuesInTheirUnits)
{
    struct Case
    {
        ToText toText;
        float value;
        const char* text;
    };
    const Case cases[] = {
        {thresholdToText, 1.0f, "0.0"},   {thresholdToText, 0.5f, "-6.0"},
        {thresholdToText, 0.1f, "-20.0"}, {thresholdToText, 0.001f, "-60.0"},
        {thresholdToText, 0.0f, "-oo"},   {thresholdToText, -0.0f, "-oo"},
        {gainToText, 1.0f, "6.0"},        {gainToText, 0.5f, "0.0"},
        {gainToText, 0.25f, "-6.0"},      {gainToText, 0.05f, "-20.0"},
        {gainToText, 0.0f, "-oo"},        {asymmetryToText, 0.0f, "-50"},
        {asymmetryToText, 0.5f, "0"},     {asymmetryToText, 1.0f, "50"},
        {asymmetryToText, 0.497f, "-0"},  {driveToText, 0.5f, "50"},
        {driveToText, 1.0f, "100"},       {timeToText, 0.5f, "0.50"},
        {timeToText, 0.0f, "0.00"},       {timeToText, 1.0f, "1.00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(textOf(c.toText, c.value), c.text) << "value " << c.value;
}

TEST(ValueTexts, readTypedTextsWithTheirLimits)
{
    struct Case
    {
        ToValue toValue;
        const char* text;
        float value;
    };
    const Case cases[] = {
        {textToGain, "0", 0.5f},
        {textToGain, "6", 0.9976311f},
        {textToGain, "10", 0.9976311f},
        {textToGain, "-6", 0.2505936f},
        {textToGain, "-oo", 0.5f},
        {textToGain, "12dB", 0.9976311f},
        {textToThreshold, "0", 1.0f},
        {textToThreshold, "3", 1.0f},
        {textToThreshold, "-6", 0.5011872f},
        {textToThreshold, "-20", 0.1f},
        {textToThreshold, "-120", 1e-6f},
        {textToAsymmetry, "0", 0.5f},
        {textToAsymmetry, "25", 0.75f},
        {textToAsymmetry, "-50", 0.0f},
        {textToAsymmetry, "80", 1.0f},
        {textToAsymmetry, "left", 0.5f},
        {textToDrive, "50", 0.5f},
        {textToDrive, "150", 1.0f},
        {textToDrive, "-5", 0.0f},
        {textToDrive, "12dB", 0.12f},
        {textToTime, "0.25", 0.25f},
        {textToTime, "2", 1.0f},
        {textToTime, "-1", 0.0f},
        {textToTime, "  0.4 ms", 0.4f},
    };
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(c.toValue(c.text), c.value) << "text \"" << c.text << "\"";
}

TEST(ValueTexts, aTypedNaNReadsLikeTextWithoutANumber)
{
    const ToValue all[] = {textToAsymmetry, textToThreshold, textToDrive, textToTime, textToGain};
    for (ToValue toValue : all)
    {
        EXPECT_FALSE(std::isnan(toValue("nan")));
        EXPECT_EQ(toValue("nan"), toValue("none"));
    }
}

TEST(ValueTexts, stayWithinTheirBoundForAnyFloat)
{
    const float values[] = {1e30f,
                            -1e30f,
                            -7.0f,
                            123456.0f,
                            std::numeric_limits<float>::max(),
                            -std::numeric_limits<float>::max(),
                            std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::denorm_min(),
                            -std::numeric_limits<float>::denorm_min()};
    const ToText all[] = {asymmetryToText, thresholdToText, driveToText, timeToText, gainToText};
    for (ToText toText : all)
        for (float value : values)
            EXPECT_LT(textOf(toText, value).size(), static_cast<size_t>(kDisplayTextSize))
                << "value " << value;
    // A value too wide for fixed decimals keeps its magnitude in exponent form.
    EXPECT_EQ(textOf(driveToText, 1e30f), "1e+32");
}

TEST(ParameterDisplay, showsTheDefaultProgram)
{
    PluginCore effect(silentHost);
    const char* texts[] = {"Sh->Int", "0",    "On",   "-6.0", "50", "On",
                           "-6.0",    "0.50", "0.50", "0.0",  "0.0"};
    for (int i = 0; i < kNumParams; ++i)
    {
        char text[64];
        effect.getParameterDisplay(i, text);
        EXPECT_STREQ(text, texts[i]) << "index " << i;
    }
}

TEST(ParameterDisplay, showsTheStoredSwitchAndRouteValues)
{
    struct Case
    {
        int index;
        float value;
        const char* text;
    };
    const Case cases[] = {{kShEnable, 0.5f, "On"},   {kIntEnable, 0.4999f, "Off"},
                          {kRoute, 0.5f, "Int->Sh"}, {kRoute, 0.49f, "Sh->Int"},
                          {kRoute, NAN, "Int->Sh"},  {kShEnable, NAN, "On"},
                          {kInGain, 0.0f, "-oo"},    {kAsymm, 1.0f, "50"}};
    for (const Case& c : cases)
    {
        PluginCore effect(silentHost);
        effect.setParameter(c.index, c.value);
        char text[64];
        effect.getParameterDisplay(c.index, text);
        EXPECT_STREQ(text, c.text) << "index " << c.index << " value " << c.value;
    }
}

TEST(ParameterDisplay, writesTheEmptyTextOutsideTheSetAndBoundedTextsForWildValues)
{
    PluginCore effect(silentHost);
    for (int index : {11, -1, 500})
    {
        char text[16] = "x";
        effect.getParameterDisplay(index, text);
        EXPECT_STREQ(text, "");
    }
    for (int i = 0; i < kNumParams; ++i)
        for (float value : {1e30f, -7.0f, INFINITY, -INFINITY, NAN})
        {
            effect.setParameter(i, value);
            char text[64];
            std::memset(text, 'x', sizeof text);
            effect.getParameterDisplay(i, text);
            EXPECT_LT(std::strlen(text), static_cast<size_t>(kDisplayTextSize))
                << "index " << i << " value " << value;
        }
}

} // namespace
