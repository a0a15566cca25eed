// The effect's chain written the plain way, one sample at a time, with branches and one
// exponential per sample above the threshold. The optimised signal path must produce exactly
// these samples.
#pragma once

#include "engine/parameters.h"

#include <cmath>

struct ReferenceChain
{
    float fs = 44100.0f;
    float p[kNumParams];
    double envelope[2] = {0.0, 0.0};

    ReferenceChain()
    {
        for (int i = 0; i < kNumParams; ++i)
            p[i] = kDefaultValues[i];
    }

    // What the effect stores for a value the host sends.
    void set(int index, float value)
    {
        if (index == kShEnable || index == kIntEnable) value = value < 0.5f ? 0.0f : 1.0f;
        p[index] = value;
    }

    static double shape(double x, float threshold, float drive)
    {
        double s = x < 0 ? -1.0 : 1.0;
        double m = std::fabs(x);
        if (m > threshold) m = threshold + (m - threshold) * (1.0 - static_cast<double>(drive));
        return s * m;
    }

    double integrate(double x, float threshold, float tCharge, float tDischarge, int channel)
    {
        double& e = envelope[channel];
        double tc = tCharge == 0.0f ? 1.0 / fs : tCharge;
        double td = tDischarge == 0.0f ? 1.0 / fs : tDischarge;
        double s = x < 0 ? -1.0 : 1.0;
        double m = std::fabs(x);
        double excess = m - threshold;
        if (!(excess >= 0))
        {
            e = 0.0;
            return s * m;
        }
        double r = excess > e ? std::exp(-1.0 / (static_cast<double>(fs) * tc * 0.001))
                              : std::exp(-1.0 / (static_cast<double>(fs) * td * 0.001));
        e = e + (excess - e) * (1.0 - r);
        return s * (threshold + e);
    }

    double sample(double x, int channel)
    {
        const double route = p[kRoute], asymm = p[kAsymm];
        const double shEn = p[kShEnable], intEn = p[kIntEnable];
        double g = 2.0 * x * p[kInGain];
        double processed;
        if (route < 0.5)
        {
            double s = shape(g, p[kShThr], p[kShDrive]);
            double a = (1 - shEn) * g + shEn * s;
            double i = integrate(a, p[kIntThr], p[kIntCh], p[kIntDisch], channel);
            processed = (1 - intEn) * a + intEn * i;
        }
        else
        {
            double i = integrate(g, p[kIntThr], p[kIntCh], p[kIntDisch], channel);
            double b = intEn * i + (1 - intEn) * g;
            double s = shape(b, p[kShThr], p[kShDrive]);
            processed = (1 - shEn) * b + shEn * s;
        }
        double a = 0.0;
        if (x < 0 && asymm < 0.5)
            a = 2 * (0.5 - asymm);
        else if (x > 0 && asymm > 0.5)
            a = 2 * (asymm - 0.5);
        double y = processed * (1 - a) + g * a;
        return 2 * y * p[kOutGain];
    }
};
