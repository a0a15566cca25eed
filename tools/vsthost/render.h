// Processing audio through the hosted effect: rendering a source in blocks, and timing the
// processing of noise.
#pragma once

#include "host_session.h"
#include "signal_source.h"

#include <cstdint>
#include <cstdio>
#include <string>

struct RenderRequest
{
    VstInt32 blockSize = 512;
    bool doublePrecision = false;
    // How many frames of the source to render; negative: all of it.
    int64_t frames = -1;
    // Where the output goes as a float WAV file; empty: nowhere.
    std::string outputPath;
    // How many of the first output frames to print as text on samplesOut.
    int64_t printFrames = 0;
    std::FILE* samplesOut = nullptr;
    // Whether to show the progress of a long render on stderr.
    bool showProgress = false;
};

// Starts processing, renders the source and stops processing again. The effect's inputs get the
// source's channels in turn (input c reads channel c modulo the source's channels). Throws
// ToolError when the effect cannot process in the chosen precision or a file fails.
void render(HostSession& session, SignalSource& source, const RenderRequest& request);

struct BenchRequest
{
    VstInt32 blockSize = 512;
    bool doublePrecision = false;
    // Frames to process; not positive: process for the given wall time instead.
    int64_t frames = 0;
    double seconds = 3.0;
    uint64_t seed = 1;
};

struct BenchResult
{
    int64_t frames = 0;
    int channels = 0;
    double seconds = 0.0;
    double nanosecondsPerChannelSample = 0.0;
};

// Processes uniform noise of peak 1.0 through the effect with its current settings.
BenchResult bench(HostSession& session, const BenchRequest& request);
