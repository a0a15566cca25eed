// A PluginCore without a host, and helpers to push a few samples through it.
#pragma once

#include "engine/plugin_core.h"
#include "engine/variant.h"

#include <vector>

inline VstIntPtr VSTCALLBACK silentHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*,
                                        float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

// Channel buffers for one block; channel c of frame k is data[c][k].
template <class Sample> struct Block
{
    std::vector<std::vector<Sample>> data;
    std::vector<Sample*> pointers;

    Block(int channels, size_t frames, Sample fill = 0)
        : data(channels, std::vector<Sample>(frames, fill))
    {
        for (auto& channel : data)
            pointers.push_back(channel.data());
    }
    Sample** channels() { return pointers.data(); }
};

// Processes one channel's samples (the same signal on every channel) and returns channel 1.
template <class Sample>
std::vector<Sample> processSamples(PluginCore& effect, const std::vector<Sample>& input)
{
    Block<Sample> in(kNumChannels, input.size()), out(kNumChannels, input.size());
    for (auto& channel : in.data)
        channel = input;
    for (int c = 0; c < kNumChannels; ++c)
        in.pointers[c] = in.data[c].data();
    if constexpr (sizeof(Sample) == sizeof(float))
        effect.processReplacing(in.channels(), out.channels(), static_cast<VstInt32>(input.size()));
    else
        effect.processDoubleReplacing(in.channels(), out.channels(),
                                      static_cast<VstInt32>(input.size()));
    return out.data[0];
}
