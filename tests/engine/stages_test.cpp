#include "support/effect_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{

struct ShapeCase
{
    double x;
    float threshold, drive;
    double expected;
};

TEST(Shaper, reducesTheSlopeAboveTheThresholdAndKeepsTheSign)
{
    const ShapeCase cases[] = {
        {0.9, 0.5f, 0.5f, 0.7},   {-0.9, 0.5f, 0.5f, -0.7}, {0.5, 0.5f, 0.5f, 0.5},
        {0.3, 0.5f, 0.5f, 0.3},   {0.0, 0.5f, 0.5f, 0.0},   {0.9, 0.5f, 1.0f, 0.5},
        {-3.0, 0.5f, 1.0f, -0.5}, {0.8, 0.0f, 0.25f, 0.6},  {-0.4, 0.0f, 0.25f, -0.3},
        {0.9, 0.5f, 0.0f, 0.9},
    };
    for (const ShapeCase& c : cases)
        EXPECT_NEAR(shapeSample(c.x, c.threshold, c.drive), c.expected, 1e-15)
            << "x " << c.x << " threshold " << c.threshold << " drive " << c.drive;
}

TEST(Shaper, passesNaNThrough)
{
    EXPECT_TRUE(std::isnan(shapeSample(NAN, 0.5f, 0.5f)));
}

TEST(Integrator, chargesTowardsTheExcessWithTheChargeTime)
{
    PluginCore effect(silentHost);
    const double outputs[] = {0.51330, 0.52601, 0.53816};
    const double envelopes[] = {0.013302, 0.026013, 0.038161};
    for (int k = 0; k < 3; ++k)
    {
        double positive = effect.integrateSample(0.8, 0.5f, 0.5f, 0.5f, 1);
        double negative = effect.integrateSample(-0.8, 0.5f, 0.5f, 0.5f, 2);
        EXPECT_NEAR(positive, outputs[k], 5e-6);
        EXPECT_EQ(negative, -positive);
        // The envelope is what lifts the output above the threshold.
        EXPECT_NEAR(positive - 0.5, envelopes[k], 5e-7);
    }
}

TEST(Integrator, aSampleBelowTheThresholdPassesAndResetsTheEnvelope)
{
    PluginCore effect(silentHost);
    effect.integrateSample(0.8, 0.5f, 0.5f, 0.5f, 1);
    effect.integrateSample(0.8, 0.5f, 0.5f, 0.5f, 1);
    EXPECT_EQ(effect.integrateSample(0.3, 0.5f, 0.5f, 0.5f, 1), 0.3);
    // Charging starts again from zero.
    EXPECT_NEAR(effect.integrateSample(0.8, 0.5f, 0.5f, 0.5f, 1), 0.51330, 5e-6);
}

TEST(Integrator, withBothTimesZeroEveryInputComesBackUnchanged)
{
    PluginCore effect(silentHost);
    for (double x : {0.8, -0.9, 0.2, 1.7, 0.5, -0.5, 0.0})
        EXPECT_DOUBLE_EQ(effect.integrateSample(x, 0.5f, 0.0f, 0.0f, 1), x);
}

TEST(Integrator, aSampleExactlyAtTheThresholdDischargesTowardsZero)
{
    PluginCore effect(silentHost);
    double charged = effect.integrateSample(0.9, 0.5f, 0.0f, 0.5f, 1); // envelope takes 0.4
    EXPECT_DOUBLE_EQ(charged, 0.9);
    double r = std::exp(-1.0 / 22.05);
    double expected = 0.5 + 0.4 * r; // 0.4 + (0 - 0.4)(1 - r)
    EXPECT_NEAR(effect.integrateSample(0.5, 0.5f, 0.0f, 0.5f, 1), expected, 1e-12);
    PluginCore fresh(silentHost);
    EXPECT_EQ(fresh.integrateSample(-0.5, 0.5f, 0.5f, 0.5f, 1), -0.5);
}

TEST(Integrator, withThresholdZeroSilenceAfterALoudPassageDecaysWithTheDischargeTime)
{
    PluginCore effect(silentHost);
    for (int k = 0; k < 200; ++k)
        effect.integrateSample(1.0, 0.0f, 0.5f, 0.5f, 1);
    double previous = effect.integrateSample(0.0, 0.0f, 0.5f, 0.5f, 1);
    EXPECT_GT(previous, 0.0);
    const double r = std::exp(-1.0 / 22.05);
    for (int k = 0; k < 100; ++k)
    {
        double next = effect.integrateSample(0.0, 0.0f, 0.5f, 0.5f, 1);
        EXPECT_GT(next, 0.0);
        EXPECT_NEAR(next / previous, r, 1e-9);
        previous = next;
    }
}

TEST(Integrator, keepsASeparateEnvelopePerChannel)
{
    PluginCore effect(silentHost);
    effect.integrateSample(0.9, 0.5f, 0.5f, 0.5f, 1);
    effect.integrateSample(0.9, 0.5f, 0.5f, 0.5f, 1);
    // Channel 2 has seen nothing and starts from zero.
    PluginCore fresh(silentHost);
    EXPECT_EQ(effect.integrateSample(0.9, 0.5f, 0.5f, 0.5f, 2),
              fresh.integrateSample(0.9, 0.5f, 0.5f, 0.5f, 2));
}

TEST(Integrator, countsItsTimeConstantInSamplesOfTheCurrentRate)
{
    struct RateCase
    {
        float rate;
        double samples; // time constant of 0.5 ms
    };
    const RateCase cases[] = {{8000.0f, 4.0},     {11025.0f, 5.5125},    {22050.5f, 11.02525},
                              {44100.0f, 22.05},  {88200.0f, 44.1},      {96000.0f, 48.0},
                              {192000.0f, 96.0},  {352800.0f, 176.4},    {705600.0f, 352.8},
                              {768000.0f, 384.0}, {44100.25f, 22.050125}};
    for (const RateCase& c : cases)
    {
        PluginCore effect(silentHost);
        effect.setSampleRate(c.rate);
        // From an empty envelope the first output rises by (1 - r) of the excess 1.0.
        double rise = effect.integrateSample(1.5, 0.5f, 0.5f, 0.5f, 1) - 0.5;
        EXPECT_NEAR(rise, 1.0 - std::exp(-1.0 / c.samples), 1e-12) << "rate " << c.rate;
    }
}

} // namespace
