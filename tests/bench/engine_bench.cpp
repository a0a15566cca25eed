// Cost of the signal path in nanoseconds per channel-sample: stereo, 512-frame blocks, for the
// signals that exercise its branches differently.
#include "support/effect_fixture.h"

#include <benchmark/benchmark.h>

#include <random>

namespace
{

constexpr int kFrames = 512;

enum class Signal
{
    LoudNoise,      // both stages working, the integrator above its threshold about half the time
    LoudAsymmetric, // the same with the positive half-waves partly bypassed (Asymm 0.75)
    QuietNoise,     // below both thresholds
    ConstantLoud,   // always above both thresholds
    SubnormalTail,  // threshold 0 after a loud passage: the envelope decays into subnormals
};

template <class Sample> void fill(Block<Sample>& block, Signal signal)
{
    std::mt19937 random(1);
    std::uniform_real_distribution<double> loud(-1.0, 1.0), quiet(-0.25, 0.25);
    for (auto& channel : block.data)
        for (Sample& x : channel)
        {
            switch (signal)
            {
            case Signal::LoudNoise:
            case Signal::LoudAsymmetric:
                x = static_cast<Sample>(loud(random));
                break;
            case Signal::QuietNoise:
                x = static_cast<Sample>(quiet(random));
                break;
            case Signal::ConstantLoud:
                x = static_cast<Sample>(0.9);
                break;
            case Signal::SubnormalTail:
                x = 0;
                break;
            }
        }
}

template <class Sample> void process(PluginCore& effect, Block<Sample>& in, Block<Sample>& out)
{
    if constexpr (sizeof(Sample) == sizeof(float))
        effect.processReplacing(in.channels(), out.channels(), kFrames);
    else
        effect.processDoubleReplacing(in.channels(), out.channels(), kFrames);
}

template <class Sample>
void processBlocks(benchmark::State& state, Signal signal, PluginCore::Kernel kernel)
{
    PluginCore effect(silentHost);
    effect.selectKernel(kernel);
    Block<Sample> in(kNumChannels, kFrames), out(kNumChannels, kFrames);
    if (signal == Signal::SubnormalTail)
    {
        effect.setParameter(kIntThr, 0.0f);
        Block<Sample> loud(kNumChannels, kFrames, static_cast<Sample>(1.0));
        process(effect, loud, out);
        // Long enough for the envelope to reach the subnormal range and stay there.
        for (int block = 0; block < 200; ++block)
            process(effect, in, out);
    }
    if (signal == Signal::LoudAsymmetric) effect.setParameter(kAsymm, 0.75f);
    fill(in, signal);
    for (auto _ : state)
    {
        process(effect, in, out);
        benchmark::DoNotOptimize(out.data[0].data());
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_channel_sample"] = benchmark::Counter(
        static_cast<double>(kFrames) * kNumChannels,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void registerAll()
{
    const std::pair<const char*, Signal> signals[] = {{"LoudNoise", Signal::LoudNoise},
                                                      {"LoudAsymmetric", Signal::LoudAsymmetric},
                                                      {"QuietNoise", Signal::QuietNoise},
                                                      {"ConstantLoud", Signal::ConstantLoud},
                                                      {"SubnormalTail", Signal::SubnormalTail}};
    const std::pair<const char*, PluginCore::Kernel> kernels[] = {
        {"", PluginCore::Kernel::Sse41}, {"/baseline", PluginCore::Kernel::Baseline}};
    for (auto [kernelName, kernel] : kernels)
        for (auto [name, signal] : signals)
        {
            std::string suffix = std::string(name) + kernelName;
            benchmark::RegisterBenchmark(("processReplacing/" + suffix).c_str(),
                                         [signal = signal, kernel = kernel](benchmark::State& s)
                                         { processBlocks<float>(s, signal, kernel); });
            benchmark::RegisterBenchmark(("processDoubleReplacing/" + suffix).c_str(),
                                         [signal = signal, kernel = kernel](benchmark::State& s)
                                         { processBlocks<double>(s, signal, kernel); });
        }
}

} // namespace

int main(int argc, char** argv)
{
    registerAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
