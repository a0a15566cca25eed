// The signal path. Both channels of a frame travel together in the two lanes of a vector; the
// mono build runs its one channel in both lanes and keeps the first.
#include "plugin_core.h"
#include "variant.h"

#include <emmintrin.h>

using stage::LaneMask;
using stage::Lanes;
using stage::splat;

// The live values as the chain reads them for one frame, with the terms that depend only on
// them worked out once.
struct PluginCore::FrameSettings
{
    bool shaperFirst;
    bool bypassesNothing; // asymmetry at its centre (or NaN): neither polarity bypasses
    Lanes inGain;
    bool shaperOn, integratorOn;
    Lanes shThr, shSlope;
    Lanes intThr, intCharge, intDischarge;
    Lanes asymmNegative, asymmPositive;
    Lanes outGain;
};

PluginCore::FrameSettings PluginCore::readFrameSettings()
{
    auto live = [this](int index) -> double
    { return paramValues[index].load(std::memory_order_relaxed); };
    const float fs = dspSampleRate.load(std::memory_order_relaxed);
    const double asymm = live(kAsymm);

    FrameSettings s;
    // A NaN route counts as integrator first.
    s.shaperFirst = live(kRoute) < 0.5;
    s.inGain = splat<Lanes>(live(kInGain));
    s.shThr = splat<Lanes>(live(kShThr));
    s.shSlope = splat<Lanes>(1.0 - live(kShDrive));
    s.shaperOn = live(kShEnable) == 1.0;
    s.intThr = splat<Lanes>(live(kIntThr));
    s.intCharge =
        splat<Lanes>(chargeFactor.get(fs, paramValues[kIntCh].load(std::memory_order_relaxed)));
    s.intDischarge = splat<Lanes>(
        dischargeFactor.get(fs, paramValues[kIntDisch].load(std::memory_order_relaxed)));
    s.integratorOn = live(kIntEnable) == 1.0;
    s.asymmNegative = splat<Lanes>(asymm < 0.5 ? 2.0 * (0.5 - asymm) : 0.0);
    s.asymmPositive = splat<Lanes>(asymm > 0.5 ? 2.0 * (asymm - 0.5) : 0.0);
    s.bypassesNothing = !(asymm < 0.5) && !(asymm > 0.5);
    s.outGain = splat<Lanes>(live(kOutGain));
    return s;
}

namespace
{

// y = P·(1 − a) + G·a, with a chosen by the polarity of the input sample itself; zero and NaN
// are never bypassed. With a = 0 on both polarities the mix is P·1 + G·0, which is P + G·0 to
// the bit, and the common centred setting skips choosing a.
template <class Settings>
__attribute__((always_inline)) inline Lanes asymmetryMix(Lanes x, Lanes g, Lanes processed,
                                                         const Settings& s)
{
    if (s.bypassesNothing) return processed + g * 0.0;
    LaneMask negative = x<0.0, positive = x> 0.0;
    Lanes bypass = stage::either(negative, s.asymmNegative, positive, s.asymmPositive);
    return processed * (1.0 - bypass) + g * bypass;
}

// A stage's on/off mix (1 − on)·dry + on·wet. The switches hold exactly 0 or 1, so the mix is
// 1·dry + 0·wet or 0·dry + 1·wet, which are dry + wet·0 and wet + dry·0 to the bit.
__attribute__((always_inline)) inline Lanes onOffMix(bool on, Lanes dry, Lanes wet)
{
    return on ? wet + dry * 0.0 : dry + wet * 0.0;
}

template <class Settings>
__attribute__((always_inline)) inline Lanes processFrame(Lanes x, const Settings& s,
                                                         Lanes& envelope)
{
    using stage::integrate;
    using stage::shape;

    Lanes g = 2.0 * x * s.inGain;
    Lanes processed;
    if (s.shaperFirst)
    {
        Lanes shaped = shape(g, s.shThr, s.shSlope);
        Lanes a = onOffMix(s.shaperOn, g, shaped);
        Lanes integrated = integrate(a, s.intThr, s.intCharge, s.intDischarge, envelope);
        processed = onOffMix(s.integratorOn, a, integrated);
    }
    else
    {
        Lanes integrated = integrate(g, s.intThr, s.intCharge, s.intDischarge, envelope);
        Lanes b = onOffMix(s.integratorOn, g, integrated);
        Lanes shaped = shape(b, s.shThr, s.shSlope);
        processed = onOffMix(s.shaperOn, b, shaped);
    }
    return 2.0 * asymmetryMix(x, g, processed, s) * s.outGain;
}

typedef float FloatPair __attribute__((vector_size(8)));

// A frame's two samples into the lanes and back, converting both at once.
inline Lanes lanesOf(float a, float b)
{
    // Pairing the floats first and widening them together takes one conversion, not two.
    __m128 pair = _mm_unpacklo_ps(_mm_set_ss(a), _mm_set_ss(b));
    return reinterpret_cast<Lanes>(_mm_cvtps_pd(pair));
}
inline Lanes lanesOf(double a, double b)
{
    return Lanes{a, b};
}

inline void store(Lanes out, float* out1, float* out2)
{
    FloatPair rounded = __builtin_convertvector(out, FloatPair);
    *out1 = rounded[0];
    *out2 = rounded[1];
}
inline void store(Lanes out, double* out1, double* out2)
{
    *out1 = out[0];
    *out2 = out[1];
}

} // namespace

template <class Sample>
__attribute__((always_inline)) inline void
PluginCore::processBlock(Sample** inputs, Sample** outputs, VstInt32 frames)
{
    if (frames <= 0) return;
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
        Lanes x = lanesOf(in1[k], in2[k]);
        // In the mono build both outputs are channel 1: the second store repeats the first.
        store(processFrame(x, settings, env), &out1[k], &out2[k]);
    }
    envelope[0] = env[0];
    if (kNumChannels == 2) envelope[1] = env[1];
}

// The same chain compiled for processors with SSE4.1, whose blend instruction makes each select
// one operation instead of three. Both compute identical bits.
__attribute__((target("sse4.1"))) void
PluginCore::processReplacingSse41(float** inputs, float** outputs, VstInt32 frames)
{
    processBlock(inputs, outputs, frames);
}

__attribute__((target("sse4.1"))) void
PluginCore::processDoubleReplacingSse41(double** inputs, double** outputs, VstInt32 frames)
{
    processBlock(inputs, outputs, frames);
}

void PluginCore::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    if (kernel == Kernel::Sse41) return processReplacingSse41(inputs, outputs, sampleFrames);
    processBlock(inputs, outputs, sampleFrames);
}

void PluginCore::processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames)
{
    if (kernel == Kernel::Sse41) return processDoubleReplacingSse41(inputs, outputs, sampleFrames);
    processBlock(inputs, outputs, sampleFrames);
}

void PluginCore::selectKernel(Kernel wanted)
{
    kernel =
        wanted == Kernel::Sse41 && !__builtin_cpu_supports("sse4.1") ? Kernel::Baseline : wanted;
}
