#include "render.h"

#include "tool_error.h"

#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <type_traits>
#include <vector>

namespace
{

// The two ways of processing, so that one loop serves both.
template <class T> struct Precision;

template <> struct Precision<float>
{
    static constexpr const char* kName = "float";
    static bool available(const AEffect* effect)
    {
        return (effect->flags & effFlagsCanReplacing) != 0 && effect->processReplacing;
    }
    static void process(AEffect* effect, float** inputs, float** outputs, VstInt32 frames)
    {
        effect->processReplacing(effect, inputs, outputs, frames);
    }
    static sf_count_t write(SNDFILE* file, const float* frames, sf_count_t count)
    {
        return sf_writef_float(file, frames, count);
    }
};

template <> struct Precision<double>
{
    static constexpr const char* kName = "double";
    static bool available(const AEffect* effect)
    {
        return (effect->flags & effFlagsCanDoubleReplacing) != 0 && effect->processDoubleReplacing;
    }
    static void process(AEffect* effect, double** inputs, double** outputs, VstInt32 frames)
    {
        effect->processDoubleReplacing(effect, inputs, outputs, frames);
    }
    static sf_count_t write(SNDFILE* file, const double* frames, sf_count_t count)
    {
        return sf_writef_double(file, frames, count);
    }
};

// One buffer per channel and the array of their addresses that the process calls take. An
// effect without inputs or outputs still gets a valid array.
template <class T> class ChannelBuffers
{
public:
    ChannelBuffers(int channels, int64_t frames)
        : samples(static_cast<size_t>(std::max(channels, 1) * frames)),
          pointers(static_cast<size_t>(std::max(channels, 1)))
    {
        for (size_t c = 0; c < pointers.size(); ++c)
            pointers[c] = samples.data() + c * static_cast<size_t>(frames);
    }
    T** get() { return pointers.data(); }
    T* channel(int c) { return pointers[static_cast<size_t>(c)]; }

private:
    std::vector<T> samples;
    std::vector<T*> pointers;
};

template <class T> void checkPrecision(const AEffect* effect)
{
    if (!Precision<T>::available(effect))
        throw ToolError(std::string("the effect cannot process in ") + Precision<T>::kName +
                        " precision");
}

// The output file: 32-bit float WAV, the same bytes for the same samples.
class OutputFile
{
public:
    OutputFile(const std::string& path, int channels, double sampleRate) : path(path)
    {
        if (channels < 1) throw ToolError("the effect has no outputs to write to '" + path + "'");
        SF_INFO info = {};
        info.samplerate = static_cast<int>(std::lround(sampleRate));
        info.channels = channels;
        info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        file = sf_open(path.c_str(), SFM_WRITE, &info);
        if (!file) throw ToolError("cannot write '" + path + "': " + sf_strerror(nullptr));
        // The peak chunk carries the time of writing; without it a render is reproducible.
        sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    }
    ~OutputFile()
    {
        if (file) sf_close(file);
    }
    template <class T> void write(const T* frames, sf_count_t count)
    {
        if (Precision<T>::write(file, frames, count) != count)
            throw ToolError("cannot write '" + path + "': " + sf_strerror(file));
    }
    void close()
    {
        const int status = sf_close(file);
        file = nullptr;
        if (status != 0)
            throw ToolError("cannot finish '" + path + "': " + sf_error_number(status));
    }

private:
    std::string path;
    SNDFILE* file = nullptr;
};

class Progress
{
public:
    Progress(bool enabled, int64_t total) : enabled(enabled && total > 0), total(total) {}
    void update(int64_t done)
    {
        if (!enabled) return;
        const int percent = static_cast<int>(done * 100 / total);
        if (percent == shown) return;
        shown = percent;
        std::fprintf(stderr, "\rrendering %3d%%", percent);
        std::fflush(stderr);
    }
    void finish()
    {
        if (enabled && shown >= 0) std::fprintf(stderr, "\n");
    }

private:
    bool enabled;
    int64_t total;
    int shown = -1;
};

template <class T>
void renderIn(HostSession& session, SignalSource& source, const RenderRequest& request)
{
    AEffect* effect = session.effect();
    checkPrecision<T>(effect);
    const int inputs = effect->numInputs;
    const int outputs = effect->numOutputs;
    const int sourceChannels = source.channels();
    const int64_t block = request.blockSize;
    const int64_t total =
        request.frames >= 0 ? std::min(request.frames, source.frames()) : source.frames();

    std::vector<double> sourceFrames(static_cast<size_t>(block * sourceChannels));
    ChannelBuffers<T> in(inputs, block);
    ChannelBuffers<T> out(outputs, block);
    std::vector<T> outputFrames(static_cast<size_t>(block * std::max(outputs, 1)));
    std::unique_ptr<OutputFile> file;
    if (!request.outputPath.empty())
        file = std::make_unique<OutputFile>(request.outputPath, outputs, session.sampleRate());
    // Only a render of more than a second is worth a progress line.
    Progress progress(request.showProgress && total > session.sampleRate(), total);

    session.resume(std::is_same<T, double>::value);
    int64_t done = 0;
    while (done < total)
    {
        const int64_t got = source.read(sourceFrames.data(), std::min(block, total - done));
        if (got == 0) break;
        for (int c = 0; c < inputs; ++c)
        {
            const int from = c % sourceChannels;
            T* channel = in.channel(c);
            for (int64_t i = 0; i < got; ++i)
                channel[i] = static_cast<T>(sourceFrames[i * sourceChannels + from]);
        }
        Precision<T>::process(effect, in.get(), out.get(), static_cast<VstInt32>(got));

        for (int64_t i = 0; i < got && done + i < request.printFrames; ++i)
        {
            for (int c = 0; c < outputs; ++c)
                std::fprintf(request.samplesOut, c ? " %.9g" : "%.9g",
                             static_cast<double>(out.channel(c)[i]));
            std::fputc('\n', request.samplesOut);
        }
        if (file)
        {
            for (int64_t i = 0; i < got; ++i)
                for (int c = 0; c < outputs; ++c)
                    outputFrames[i * outputs + c] = out.channel(c)[i];
            file->write(outputFrames.data(), got);
        }
        done += got;
        progress.update(done);
    }
    progress.finish();
    session.suspend();
    if (file) file->close();
}

template <class T> BenchResult benchIn(HostSession& session, const BenchRequest& request)
{
    using Clock = std::chrono::steady_clock;
    AEffect* effect = session.effect();
    checkPrecision<T>(effect);
    const int inputs = effect->numInputs;
    const int outputs = effect->numOutputs;
    const int64_t block = request.blockSize;
    // A stretch of noise made beforehand, read block by block over and over, so that making it
    // is not timed; long enough that the effect does not see the same few blocks all the time.
    const int64_t noiseFrames = (std::max<int64_t>(65536, block) + block - 1) / block * block;
    ChannelBuffers<T> noise(inputs, noiseFrames);
    NoiseGenerator generator(request.seed);
    for (int c = 0; c < inputs; ++c)
        for (int64_t i = 0; i < noiseFrames; ++i)
            noise.channel(c)[i] = static_cast<T>(generator.next());
    std::vector<T*> in(static_cast<size_t>(std::max(inputs, 1)), noise.channel(0));
    ChannelBuffers<T> out(outputs, block);

    session.resume(std::is_same<T, double>::value);
    // One block first, untimed: it may be where the effect touches its memory for the first time.
    Precision<T>::process(effect, noise.get(), out.get(), static_cast<VstInt32>(block));

    const auto limit = std::chrono::duration<double>(request.seconds);
    int64_t frames = 0;
    int64_t offset = 0;
    const Clock::time_point start = Clock::now();
    Clock::time_point now = start;
    for (;;)
    {
        int64_t n = block;
        if (request.frames > 0)
        {
            if (frames >= request.frames) break;
            n = std::min(block, request.frames - frames);
        }
        else if (now - start >= limit)
            break;
        for (int c = 0; c < inputs; ++c)
            in[static_cast<size_t>(c)] = noise.channel(c) + offset;
        Precision<T>::process(effect, in.data(), out.get(), static_cast<VstInt32>(n));
        frames += n;
        offset = (offset + block) % noiseFrames;
        now = Clock::now();
    }
    session.suspend();

    BenchResult result;
    result.frames = frames;
    result.channels = outputs;
    result.seconds = std::chrono::duration<double>(now - start).count();
    const double channelSamples = static_cast<double>(frames) * std::max(outputs, 1);
    result.nanosecondsPerChannelSample =
        channelSamples > 0.0 ? result.seconds * 1e9 / channelSamples : 0.0;
    return result;
}

} // namespace

void render(HostSession& session, SignalSource& source, const RenderRequest& request)
{
    if (request.doublePrecision)
        renderIn<double>(session, source, request);
    else
        renderIn<float>(session, source, request);
}

BenchResult bench(HostSession& session, const BenchRequest& request)
{
    return request.doublePrecision ? benchIn<double>(session, request)
                                   : benchIn<float>(session, request);
}
