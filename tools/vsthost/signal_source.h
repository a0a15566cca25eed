// Where the audio to render comes from: a sound file or a generated test signal.
#pragma once

#include "options.h"

#include <cstdint>
#include <memory>
#include <string>

class SignalSource
{
public:
    virtual ~SignalSource() = default;
    virtual int channels() const = 0;
    // 0 for a generated signal, which has no rate of its own.
    virtual double sampleRate() const = 0;
    virtual int64_t frames() const = 0;
    // Reads up to count frames, channels interleaved; returns how many it read (0 at the end).
    // Throws ToolError when the source cannot be read.
    virtual int64_t read(double* interleaved, int64_t count) = 0;
};

// Opens a sound file for reading; throws ToolError when it cannot be read.
std::unique_ptr<SignalSource> openSoundFile(const std::string& path);

// A generated signal of the kind options.signal, options.level and options.seed describe.
std::unique_ptr<SignalSource> makeSignal(const Options& options, int channels, double sampleRate,
                                         int64_t frames);

// A reproducible sequence of uniform values in [-1, 1), the same on every platform.
class NoiseGenerator
{
public:
    explicit NoiseGenerator(uint64_t seed) : state(seed) {}
    double next();

private:
    uint64_t state;
};
