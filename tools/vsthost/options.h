// The command line of vsthost.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class SignalKind
{
    none,
    noise,
    sine,
    impulse,
    dc,
};

struct Options
{
    bool help = false;
    std::string pluginPath;

    bool info = false;
    bool bench = false;
    std::string inputPath;
    SignalKind signal = SignalKind::none;
    // Frequency of the sine or value of the constant.
    double signalValue = 0.0;

    std::string outputPath;
    int64_t printSamples = 0;
    // Negative: not given.
    double seconds = -1.0;
    int64_t frames = -1;
    double level = 0.5;
    // 0: as many as the effect has inputs.
    int channels = 0;
    uint64_t seed = 1;

    // Negative: not given.
    int program = -1;
    // "NAME=VALUE" or "INDEX=VALUE", in the order given.
    std::vector<std::string> settings;
    // 0: the input file's rate, else kDefaultSampleRate.
    double sampleRate = 0.0;
    int blockSize = 512;
    bool doublePrecision = false;

    bool logCallbacks = false;

    // The editor in a window of the tool's own, driven by commands (editor_mode.h).
    bool editor = false;
    // Where the commands come from; empty: stdin.
    std::string scriptPath;
    // Screen position of the window's top-left corner.
    int windowX = 0;
    int windowY = 0;
    bool windowAtGiven = false;

    bool renders() const { return !inputPath.empty() || signal != SignalKind::none; }
};

constexpr double kDefaultSampleRate = 44100.0;
constexpr double kDefaultSignalSeconds = 1.0;
constexpr double kDefaultBenchSeconds = 3.0;
constexpr int kMaxBlockSize = 1 << 20;
constexpr int kMaxChannels = 64;

extern const char* const kUsageText;

// Reads the arguments after the program name; throws ToolError with kUsageStatus for a command
// line that cannot be run.
Options parseOptions(const std::vector<std::string>& arguments);
