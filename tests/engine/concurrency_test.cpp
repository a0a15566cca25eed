// One thread processes while another changes parameters, programs and the sample rate, as hosts
// do from their automation and user-interface threads. Run under ThreadSanitizer this shows the
// sharing is free of data races.
#include "support/effect_fixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

namespace
{

TEST(Concurrency, processingWhileAnotherThreadSetsParametersAndProgramsIsRaceFree)
{
    PluginCore effect(silentHost);
    std::atomic<bool> done{false};
    std::thread audio(
        [&]
        {
            Block<float> in(kNumChannels, 256, 0.7f), out(kNumChannels, 256);
            Block<double> inD(kNumChannels, 256, -0.8), outD(kNumChannels, 256);
            for (int block = 0; block < 2000; ++block)
            {
                effect.processReplacing(in.channels(), out.channels(), 256);
                effect.processDoubleReplacing(inD.channels(), outD.channels(), 256);
                for (float x : out.data[0])
                    ASSERT_TRUE(std::isfinite(x));
            }
            done = true;
        });
    for (int n = 0; !done; ++n)
    {
        effect.setParameter(n % kNumParams, static_cast<float>(n % 100) / 100.0f);
        if (n % 97 == 0) effect.setProgram(n % kNumPrograms);
        if (n % 389 == 0) effect.setSampleRate(n % 2 ? 48000.0f : 44100.0f);
        char text[16];
        effect.getParameterDisplay(n % kNumParams, text);
    }
    audio.join();
}

} // namespace
