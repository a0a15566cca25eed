// The signal path. Both channels of a frame travel together in the two lanes of a vector; the
// mono build runs its one channel in both lanes and keeps the first.
#include "plugin_core.h"
#include "variant.h"

using stage::Lanes;
using stage::splat;

// The live values as the chain reads them for one frame, with the terms that depend only on
// them worked out once.
struct PluginCore::FrameSettings
{
    bool shaperFirst;
    Lanes inGain;
    Lanes shThr, shSlope, shEn, shOff;
    Lanes intThr, intCharge, intDischarge, intEn, intOff;
    Lanes asymmNegative, asymmPositive;
    Lanes outGain;
};

PluginCore::FrameSettings PluginCore::readFrameSettings()
{
    auto live = [this](int index) -> double {
        return paramValues[index].load(std::memory_order_relaxed);
    };
    const float fs = dspSampleRate.load(std::memory_order_relaxed);
    const double asymm = live(kAsymm);
    const double shEn = live(kShEnable);
    const double intEn = live(kIntEnable);

    FrameSettings s;
    // A NaN route counts as integrator first.
    s.shaperFirst = live(kRoute) < 0.5;
    s.inGain = splat<Lanes>(live(kInGain));
    s.shThr = splat<Lanes>(live(kShThr));
    s.shSlope = splat<Lanes>(1.0 - live(kShDrive));
    s.shEn = splat<Lanes>(shEn);
    s.shOff = splat<Lanes>(1.0 - shEn);
    s.intThr = splat<Lanes>(live(kIntThr));
    s.intCharge = splat<Lanes>(
        chargeFactor.get(fs, paramValues[kIntCh].load(std::memory_order_relaxed)));
    s.intDischarge = splat<Lanes>(
        dischargeFactor.get(fs, paramValues[kIntDisch].load(std::memory_order_relaxed)));
    s.intEn = splat<Lanes>(intEn);
    s.intOff = splat<Lanes>(1.0 - intEn);
    s.asymmNegative = splat<Lanes>(asymm < 0.5 ? 2.0 * (0.5 - asymm) : 0.0);
    s.asymmPositive = splat<Lanes>(asymm > 0.5 ? 2.0 * (asymm - 0.5) : 0.0);
    s.outGain = splat<Lanes>(live(kOutGain));
    return s;
}

namespace
{

template <class Settings> Lanes processFrame(Lanes x, const Settings& s, Lanes& envelope)
{
    using stage::integrate;
    using stage::select;
    using stage::shape;

    Lanes g = 2.0 * x * s.inGain;
    Lanes processed;
    if (s.shaperFirst)
    {
        Lanes shaped = shape(g, s.shThr, s.shSlope);
        Lanes a = s.shOff * g + s.shEn * shaped;
        Lanes integrated = integrate(a, s.intThr, s.intCharge, s.intDischarge, envelope);
        processed = s.intOff * a + s.intEn * integrated;
    }
    else
    {
        Lanes integrated = integrate(g, s.intThr, s.intCharge, s.intDischarge, envelope);
        Lanes b = s.intEn * integrated + s.intOff * g;
        Lanes shaped = shape(b, s.shThr, s.shSlope);
        processed = s.shOff * b + s.shEn * shaped;
    }
    // The polarity is that of the input sample itself; zero and NaN are never bypassed.
    Lanes bypass =
        select(x < 0.0, s.asymmNegative, select(x > 0.0, s.asymmPositive, splat<Lanes>(0.0)));
    Lanes y = processed * (1.0 - bypass) + g * bypass;
    return 2.0 * y * s.outGain;
}

} // namespace

template <class Sample>
void PluginCore::processBlock(Sample** inputs, Sample** outputs, VstInt32 frames)
{
    if (frames <= 0)
        return;
    const int last = kNumChannels - 1;
    const Sample* in1 = inputs[0];
    const Sample* in2 = inputs[last];
    Sample* out1 = outputs[0];
    Sample* out2 = outputs[last];
    Lanes env = {envelope[0], envelope[last]};
    // The generation is read before the values it covers, so a change that lands while they are
    // read moves it again and is picked up on the next frame.
    uint32_t seen = settingsGeneration.load(std::memory_order_acquire);
    FrameSettings settings = readFrameSettings();
    for (VstInt32 k = 0; k < frames; ++k)
    {
        uint32_t now = settingsGeneration.load(std::memory_order_acquire);
        if (now != seen)
        {
            seen = now;
            settings = readFrameSettings();
        }
        // Both inputs are read before an output is written: hosts may process in place.
        Lanes x = {static_cast<double>(in1[k]), static_cast<double>(in2[k])};
        Lanes out = processFrame(x, settings, env);
        out1[k] = static_cast<Sample>(out[0]);
        if (kNumChannels == 2)
            out2[k] = static_cast<Sample>(out[1]);
    }
    envelope[0] = env[0];
    if (kNumChannels == 2)
        envelope[1] = env[1];
}

void PluginCore::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    processBlock(inputs, outputs, sampleFrames);
}

void PluginCore::processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames)
{
    processBlock(inputs, outputs, sampleFrames);
}
