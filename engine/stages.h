// The two non-linear stages, written once for a single sample (double) and for both channels of
// a frame at once (Lanes). They select instead of branching, so the cost does not depend on how
// often the signal crosses a threshold.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

namespace stage
{

typedef double Lanes __attribute__((vector_size(16)));
// What comparing two Lanes gives: all ones where true.
typedef decltype(Lanes{} < Lanes{}) LaneMask;

template <class T> inline T splat(double v);
template <> inline double splat<double>(double v)
{
    return v;
}
template <> inline Lanes splat<Lanes>(double v)
{
    return Lanes{v, v};
}

inline double select(bool condition, double a, double b)
{
    return condition ? a : b;
}
inline Lanes select(LaneMask condition, Lanes a, Lanes b)
{
    return condition ? a : b;
}

inline double magnitude(double x)
{
    return std::fabs(x);
}
inline Lanes magnitude(Lanes x)
{
    const LaneMask noSign = {INT64_MAX, INT64_MAX};
    return reinterpret_cast<Lanes>(reinterpret_cast<LaneMask>(x) & noSign);
}

// True where e >= 0; false where e < 0 and where e is NaN.
inline bool atLeastZero(double e)
{
    return e >= 0.0;
}
inline LaneMask atLeastZero(Lanes e)
{
    return e >= 0.0;
}

// s · v with s = -1 for negative samples and +1 for zero, positive and NaN ones. Multiplying by
// -1 is exact, so it is written as flipping the sign bit.
inline double negatedWhere(bool negative, double v)
{
    return negative ? -v : v;
}
inline Lanes negatedWhere(LaneMask negative, Lanes v)
{
    const LaneMask signBit = {INT64_MIN, INT64_MIN};
    return reinterpret_cast<Lanes>(reinterpret_cast<LaneMask>(v) ^ (negative & signBit));
}

// Hard knee: above the threshold the magnitude grows with the slope 1 - drive.
template <class T> inline T shape(T x, T threshold, T slopeAbove)
{
    auto negative = x < 0.0;
    T m = magnitude(x);
    T knee = threshold + (m - threshold) * slopeAbove;
    return negatedWhere(negative, select(m > threshold, knee, m));
}

// a where pickA holds, b where pickB holds, 0 where neither does; the two never overlap.
inline Lanes either(LaneMask pickA, Lanes a, LaneMask pickB, Lanes b)
{
    LaneMask bits =
        (reinterpret_cast<LaneMask>(a) & pickA) | (reinterpret_cast<LaneMask>(b) & pickB);
    return reinterpret_cast<Lanes>(bits);
}

// Thresholded follower: the excess above the threshold is smoothed with separate charge and
// discharge factors (each 1 - r) and put back on top of the threshold. Below the threshold the
// sample passes and the envelope is forgotten.
template <class T>
inline T integrate(T x, T threshold, T chargeFactor, T dischargeFactor, T& envelope)
{
    auto negative = x < 0.0;
    T m = magnitude(x);
    T e = m - threshold;
    auto above = atLeastZero(e);
    T factor = select(e > envelope, chargeFactor, dischargeFactor);
    T followed = envelope + (e - envelope) * factor;
    envelope = select(above, followed, splat<T>(0.0));
    return negatedWhere(negative, select(above, threshold + envelope, m));
}

// 1 - r of the follower for a time constant in milliseconds; a time of 0 takes the excess at once.
inline double followFactor(float sampleRate, float timeMs)
{
    double fs = sampleRate;
    double t = timeMs == 0.0f ? 1.0 / fs : timeMs;
    return 1.0 - std::exp(-1.0 / (fs * t * 0.001));
}

// Keeps one follow factor and computes it again only when the rate or the time changed, so the
// exponential is paid for per change, not per sample. Compares bit patterns so that a NaN time
// does not count as a change on every sample.
class FollowFactorCache
{
public:
    double get(float sampleRate, float timeMs)
    {
        uint32_t rateBits = bitsOf(sampleRate);
        uint32_t timeBits = bitsOf(timeMs);
        if (rateBits != cachedRateBits || timeBits != cachedTimeBits || !valid)
        {
            cachedRateBits = rateBits;
            cachedTimeBits = timeBits;
            factor = followFactor(sampleRate, timeMs);
            valid = true;
        }
        return factor;
    }

private:
    static uint32_t bitsOf(float v)
    {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        return bits;
    }

    uint32_t cachedRateBits = 0;
    uint32_t cachedTimeBits = 0;
    double factor = 0.0;
    bool valid = false;
};

} // namespace stage

// The stages as single-sample operations with the effect's settings as the host stores them.
inline double shapeSample(double x, float threshold, float drive)
{
    return stage::shape<double>(x, threshold, 1.0 - static_cast<double>(drive));
}
