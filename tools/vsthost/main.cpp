// vsthost: loads a VST 2.4 effect library, reports what it says about itself, renders audio
// through it, times its processing or shows its editor. Every failure ends in one line on stderr
// and a non-zero exit status; an effect that was created is always closed with effClose.
#include "editor_mode.h"
#include "effect_info.h"
#include "host_session.h"
#include "options.h"
#include "render.h"
#include "signal_source.h"
#include "terminal.h"
#include "tool_error.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace
{

// Messages from libraries (the system's texts on Windows) may end in or contain line breaks;
// the report is one line.
std::string oneLine(const std::string& text)
{
    std::string line;
    for (char c : text)
    {
        const bool isBreak = c == '\n' || c == '\r';
        if (isBreak && (line.empty() || line.back() == ' ')) continue;
        line += isBreak ? ' ' : c;
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

void report(const char* message)
{
    std::fflush(stdout);
    std::fprintf(stderr, "vsthost: %s\n", oneLine(message).c_str());
}

int run(const Options& options)
{
    // A file is opened before the effect so that its rate is the session's.
    std::unique_ptr<SignalSource> source;
    if (!options.inputPath.empty()) source = openSoundFile(options.inputPath);
    double rate = options.sampleRate;
    if (rate <= 0.0) rate = source ? source->sampleRate() : kDefaultSampleRate;

    HostSession session;
    session.setSampleRate(rate);
    session.setBlockSize(options.blockSize);
    if (options.logCallbacks) session.setCallbackLog(stderr);
    std::string error;
    if (!session.load(options.pluginPath, error)) throw ToolError(error);
    applySettings(session, options.program, options.settings);

    if (options.info || (!options.renders() && !options.bench))
        printInfo(session, options.pluginPath, stdout);

    if (options.signal != SignalKind::none)
    {
        const int channels =
            options.channels > 0 ? options.channels : std::max(session.effect()->numInputs, 1);
        const double seconds = options.seconds > 0.0 ? options.seconds : kDefaultSignalSeconds;
        const int64_t frames = options.frames > 0
                                   ? options.frames
                                   : static_cast<int64_t>(std::llround(seconds * rate));
        source = makeSignal(options, channels, rate, frames);
    }
    if (source)
    {
        RenderRequest request;
        request.blockSize = options.blockSize;
        request.doublePrecision = options.doublePrecision;
        request.frames = options.frames;
        request.outputPath = options.outputPath;
        request.printFrames = options.printSamples;
        request.samplesOut = stdout;
        request.showProgress = stderrIsTerminal();
        render(session, *source, request);
    }
    if (options.bench)
    {
        BenchRequest request;
        request.blockSize = options.blockSize;
        request.doublePrecision = options.doublePrecision;
        request.frames = options.frames;
        request.seconds = options.seconds > 0.0 ? options.seconds : kDefaultBenchSeconds;
        request.seed = options.seed;
        const BenchResult result = bench(session, request);
        const double audioSeconds = static_cast<double>(result.frames) / rate;
        std::printf("bench: %s precision, %d-frame blocks, %" PRId64
                    " frames x %d channels in %.3f s: %.3f ns per channel-sample "
                    "(%.0fx real time at %g Hz)\n",
                    options.doublePrecision ? "double" : "float", options.blockSize, result.frames,
                    result.channels, result.seconds, result.nanosecondsPerChannelSample,
                    result.seconds > 0.0 ? audioSeconds / result.seconds : 0.0, rate);
    }
    session.close();
    return std::fflush(stdout) == 0 ? 0 : kFailureStatus;
}

} // namespace

int main(int argc, char** argv)
{
    try
    {
        const Options options = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
        if (options.help)
        {
            std::fputs(kUsageText, stdout);
            return 0;
        }
        return options.editor ? runEditorMode(options) : run(options);
    }
    catch (const ToolError& failure)
    {
        report(failure.what());
        return failure.status();
    }
    catch (const std::exception& failure)
    {
        report(failure.what());
        return kFailureStatus;
    }
}
