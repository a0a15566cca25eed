#include "signal_source.h"

#include "tool_error.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace
{

class SoundFileSource : public SignalSource
{
public:
    SoundFileSource(SNDFILE* file, const SF_INFO& info, std::string path)
        : file(file), info(info), path(std::move(path))
    {
    }
    ~SoundFileSource() override { sf_close(file); }

    int channels() const override { return info.channels; }
    double sampleRate() const override { return info.samplerate; }
    int64_t frames() const override { return info.frames; }

    int64_t read(double* interleaved, int64_t count) override
    {
        const sf_count_t got = sf_readf_double(file, interleaved, count);
        if (got < count && sf_error(file) != SF_ERR_NO_ERROR)
            throw ToolError("cannot read '" + path + "': " + sf_strerror(file));
        return got;
    }

private:
    SNDFILE* file;
    SF_INFO info;
    std::string path;
};

class GeneratedSource : public SignalSource
{
public:
    GeneratedSource(const Options& options, int channels, double sampleRate, int64_t frames)
        : kind(options.signal), value(options.signalValue), level(options.level),
          channelCount(channels), rate(sampleRate), length(frames), noise(options.seed)
    {
    }

    int channels() const override { return channelCount; }
    double sampleRate() const override { return 0.0; }
    int64_t frames() const override { return length; }

    int64_t read(double* interleaved, int64_t count) override
    {
        const int64_t n = std::min(count, length - position);
        const double kTwoPi = 6.283185307179586476925;
        for (int64_t i = 0; i < n; ++i, ++position)
        {
            for (int c = 0; c < channelCount; ++c)
            {
                double x = 0.0;
                switch (kind)
                {
                case SignalKind::noise:
                    x = level * noise.next();
                    break;
                case SignalKind::sine:
                    x = level * std::sin(kTwoPi * value * static_cast<double>(position) / rate);
                    break;
                case SignalKind::impulse:
                    x = position == 0 ? level : 0.0;
                    break;
                case SignalKind::dc:
                    x = value;
                    break;
                case SignalKind::none:
                    break;
                }
                interleaved[i * channelCount + c] = x;
            }
        }
        return n;
    }

private:
    SignalKind kind;
    double value;
    double level;
    int channelCount;
    double rate;
    int64_t length;
    int64_t position = 0;
    NoiseGenerator noise;
};

} // namespace

double NoiseGenerator::next()
{
    // SplitMix64: a well-mixed 64-bit sequence from a counter; the top 53 bits make the double.
    state += 0x9E3779B97F4A7C15ull;
    uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * (2.0 / 9007199254740992.0) - 1.0;
}

std::unique_ptr<SignalSource> openSoundFile(const std::string& path)
{
    SF_INFO info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        throw ToolError("cannot read the sound file '" + path + "': " + sf_strerror(nullptr));
    if (info.channels < 1)
    {
        sf_close(file);
        throw ToolError("the sound file '" + path + "' has no channels");
    }
    return std::make_unique<SoundFileSource>(file, info, path);
}

std::unique_ptr<SignalSource> makeSignal(const Options& options, int channels, double sampleRate,
                                         int64_t frames)
{
    return std::make_unique<GeneratedSource>(options, channels, sampleRate, frames);
}
