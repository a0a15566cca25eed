// The built plug-in libraries as a host meets them: the entry's first words with the host, the
// record it hands out, and the audio of the stereo and the mono library, loaded side by side.
#include "engine/parameters.h"
#include "host_session.h"
#include "plugin_library.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <ostream>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

namespace
{

struct LibraryCase
{
    const char* label;
    const char* path;
    VstInt32 channels;
    uint32_t uniqueId;
};

// Cases print as their labels in gtest's messages.
void PrintTo(const LibraryCase& value, std::ostream* out)
{
    *out << value.label;
}

const LibraryCase kLibraries[] = {
    {"stereo", STEREO_PLUGIN_PATH, 2, 0xFF071102u},
    {"mono", MONO_PLUGIN_PATH, 1, 0xFF071101u},
};

struct HostCall
{
    AEffect* effect;
    VstInt32 opcode;
};

// What the recording callback answers to the version query, and every call it received.
struct RecordingHost
{
    VstIntPtr versionAnswer = 2400;
    std::vector<HostCall> calls;
};

RecordingHost* gRecordingHost = nullptr;

VstIntPtr VSTCALLBACK recordingCallback(AEffect* effect, VstInt32 opcode, VstInt32 /*index*/,
                                        VstIntPtr /*value*/, void* /*ptr*/, float /*opt*/)
{
    gRecordingHost->calls.push_back({effect, opcode});
    return opcode == audioMasterVersion ? gRecordingHost->versionAnswer : 0;
}

VstIntPtr closeEffect(AEffect* effect)
{
    return effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

// One built library, loaded by the test itself and talked to through the recording callback.
class BuiltLibrary : public ::testing::TestWithParam<LibraryCase>
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(library.open(GetParam().path, error)) << error;
        gRecordingHost = &host;
    }

    void TearDown() override
    {
        for (AEffect* effect : openEffects)
            closeEffect(effect);
        gRecordingHost = nullptr;
    }

    PluginEntryProc entry(const char* name) const
    {
        return reinterpret_cast<PluginEntryProc>(library.findSymbol(name));
    }

    // An instance made through the named entry; closed at the end of the test.
    AEffect* create(const char* entryName = "VSTPluginMain")
    {
        PluginEntryProc proc = entry(entryName);
        AEffect* effect = proc ? proc(recordingCallback) : nullptr;
        if (effect) openEffects.push_back(effect);
        return effect;
    }

    RecordingHost host;
    PluginLibrary library;
    std::vector<AEffect*> openEffects;
};

TEST_P(BuiltLibrary, ZeroVersionAnswerGivesNullAndNoFurtherCallback)
{
    host.versionAnswer = 0;
    for (const char* name : kEntryNames)
    {
        SCOPED_TRACE(name);
        host.calls.clear();
        ASSERT_NE(entry(name), nullptr);
        EXPECT_EQ(create(name), nullptr);
        ASSERT_EQ(host.calls.size(), 1u);
        EXPECT_EQ(host.calls[0].effect, nullptr);
        EXPECT_EQ(host.calls[0].opcode, audioMasterVersion);
    }
}

TEST_P(BuiltLibrary, AnyNonZeroVersionAnswerGivesARecordWithTheMagic)
{
    for (VstIntPtr version : {1, 2400, 7})
    {
        SCOPED_TRACE(version);
        host.versionAnswer = version;
        host.calls.clear();
        AEffect* effect = create();
        ASSERT_NE(effect, nullptr);
        EXPECT_EQ(effect->magic, fourCharCode("VstP"));
        ASSERT_FALSE(host.calls.empty());
        EXPECT_EQ(host.calls[0].opcode, audioMasterVersion);
    }
}

TEST_P(BuiltLibrary, VSTPluginMainAndMainAreOneExport)
{
    ASSERT_NE(library.findSymbol("VSTPluginMain"), nullptr);
    EXPECT_EQ(library.findSymbol("main"), library.findSymbol("VSTPluginMain"));
}

TEST_P(BuiltLibrary, EachCallMakesAnInstanceOfItsOwn)
{
    AEffect* first = create("VSTPluginMain");
    AEffect* second = create("VSTPluginMain");
    AEffect* third = create("main");
    ASSERT_TRUE(first && second && third);
    EXPECT_NE(first, second);
    EXPECT_NE(second, third);
    EXPECT_NE(first->object, second->object);
    EXPECT_NE(second->object, third->object);

    first->setParameter(first, kAsymm, 1.0f);
    EXPECT_EQ(second->getParameter(second, kAsymm), kDefaultValues[kAsymm]);
}

TEST_P(BuiltLibrary, RecordDescribesItsVariant)
{
    AEffect* effect = create();
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->numInputs, GetParam().channels);
    EXPECT_EQ(effect->numOutputs, GetParam().channels);
    EXPECT_EQ(static_cast<uint32_t>(effect->uniqueID), GetParam().uniqueId);
    EXPECT_EQ(effect->flags, 0x1011);
    EXPECT_EQ(effect->numPrograms, 16);
    EXPECT_EQ(effect->numParams, 11);
}

TEST_P(BuiltLibrary, CloseAnswersOne)
{
    AEffect* effect = create();
    ASSERT_NE(effect, nullptr);
    openEffects.clear();
    EXPECT_EQ(closeEffect(effect), 1);
}

INSTANTIATE_TEST_SUITE_P(Variants, BuiltLibrary, ::testing::ValuesIn(kLibraries),
                         [](const ::testing::TestParamInfo<LibraryCase>& info)
                         { return std::string(info.param.label); });

// Audio through whole sessions of vsthost_core.

template <class T> using Channels = std::vector<std::vector<T>>;

struct Setting
{
    VstInt32 index;
    float value;
};

struct SettingsCase
{
    const char* label;
    std::vector<Setting> settings;
};

const SettingsCase kSettings[] = {
    {"defaults", {}},
    {"full positive asymmetry, hot input", {{kAsymm, 1.0f}, {kInGain, 0.9f}}},
    {"integrator first, quick charge", {{kRoute, 1.0f}, {kIntCh, 0.05f}, {kIntThr, 0.2f}}},
    {"shaper off, negative asymmetry",
     {{kShEnable, 0.0f}, {kAsymm, 0.1f}, {kIntDisch, 0.9f}, {kOutGain, 0.8f}}},
    {"integrator off, hard drive", {{kIntEnable, 0.0f}, {kShDrive, 0.95f}, {kShThr, 0.1f}}},
};

constexpr size_t kFrames = 12000;
// Calls of these sizes in turn, so that the state carried from call to call is exercised.
constexpr size_t kBlockSizes[] = {1, 37, 256, 5, 128, 64};
constexpr VstInt32 kMaxBlock = 256;

template <class T> std::vector<T> randomSignal(unsigned seed)
{
    // Past full scale, so that every stage has work to do.
    std::mt19937 generator(seed);
    std::uniform_real_distribution<double> uniform(-1.6, 1.6);
    std::vector<T> signal(kFrames);
    for (T& x : signal)
        x = static_cast<T>(uniform(generator));
    return signal;
}

template <class T>
void processSpan(AEffect* effect, Channels<T>& in, Channels<T>& out, size_t start, size_t frames)
{
    T* inputs[2] = {};
    T* outputs[2] = {};
    for (size_t c = 0; c < in.size(); ++c)
    {
        inputs[c] = in[c].data() + start;
        outputs[c] = out[c].data() + start;
    }
    if constexpr (std::is_same<T, float>::value)
        effect->processReplacing(effect, inputs, outputs, static_cast<VstInt32>(frames));
    else
        effect->processDoubleReplacing(effect, inputs, outputs, static_cast<VstInt32>(frames));
}

// A session of one library with some settings, started and ready to process.
template <class T> class Instance
{
public:
    Instance(const char* path, const std::vector<Setting>& settings, Channels<T> input)
        : in(std::move(input)), out(in.size(), std::vector<T>(kFrames))
    {
        session.setBlockSize(kMaxBlock);
        std::string error;
        loaded = session.load(path, error);
        EXPECT_TRUE(loaded) << error;
        if (!loaded) return;
        AEffect* effect = session.effect();
        EXPECT_EQ(static_cast<size_t>(effect->numInputs), in.size());
        for (const Setting& setting : settings)
            effect->setParameter(effect, setting.index, setting.value);
        session.resume(std::is_same<T, double>::value);
    }

    // Processes the next call of the block-size cycle; false when all frames are done.
    bool step()
    {
        if (!loaded || position == kFrames) return false;
        const size_t frames =
            std::min(kBlockSizes[call++ % std::size(kBlockSizes)], kFrames - position);
        processSpan(session.effect(), in, out, position, frames);
        position += frames;
        return true;
    }

    const Channels<T>& run()
    {
        while (step())
        {
        }
        return out;
    }

    const Channels<T>& output() const { return out; }

private:
    HostSession session;
    bool loaded = false;
    Channels<T> in;
    Channels<T> out;
    size_t position = 0;
    size_t call = 0;
};

// The first frame at which the two signals differ in any bit; -1 when they are identical.
template <class T> long firstDifference(const std::vector<T>& a, const std::vector<T>& b)
{
    if (a.size() != b.size()) return 0;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::memcmp(&a[i], &b[i], sizeof(T)) != 0) return static_cast<long>(i);
    return -1;
}

template <class T> void expectMonoEqualsFirstStereoChannel(const SettingsCase& settings)
{
    const std::vector<T> left = randomSignal<T>(11);
    const std::vector<T> right = randomSignal<T>(12);
    Instance<T> stereo(STEREO_PLUGIN_PATH, settings.settings, {left, right});
    Instance<T> mono(MONO_PLUGIN_PATH, settings.settings, {left});
    const std::vector<T>& stereoLeft = stereo.run()[0];
    const std::vector<T>& monoOut = mono.run()[0];
    const long at = firstDifference(monoOut, stereoLeft);
    EXPECT_EQ(at, -1) << "mono " << monoOut[at < 0 ? 0 : at] << ", stereo "
                      << stereoLeft[at < 0 ? 0 : at];
}

TEST(BuiltLibraries, MonoOutputEqualsTheFirstStereoChannelBitForBit)
{
    for (const SettingsCase& settings : kSettings)
    {
        SCOPED_TRACE(settings.label);
        {
            SCOPED_TRACE("processReplacing");
            expectMonoEqualsFirstStereoChannel<float>(settings);
        }
        {
            SCOPED_TRACE("processDoubleReplacing");
            expectMonoEqualsFirstStereoChannel<double>(settings);
        }
    }
}

TEST(BuiltLibraries, SideBySideInstancesKeepTheirOwnSettingsAndState)
{
    const std::vector<double> a = randomSignal<double>(21);
    const std::vector<double> b = randomSignal<double>(22);
    const std::vector<double> c = randomSignal<double>(23);
    const std::vector<Setting>& stereoSettings = kSettings[1].settings;
    const std::vector<Setting>& monoSettings = kSettings[2].settings;
    const std::vector<Setting>& secondStereoSettings = kSettings[3].settings;

    // Each one alone first ...
    const Channels<double> stereoAlone =
        Instance<double>(STEREO_PLUGIN_PATH, stereoSettings, {a, b}).run();
    const Channels<double> monoAlone = Instance<double>(MONO_PLUGIN_PATH, monoSettings, {c}).run();
    const Channels<double> secondStereoAlone =
        Instance<double>(STEREO_PLUGIN_PATH, secondStereoSettings, {c, a}).run();

    // ... then all three loaded at once, taking turns call by call.
    Instance<double> stereo(STEREO_PLUGIN_PATH, stereoSettings, {a, b});
    Instance<double> mono(MONO_PLUGIN_PATH, monoSettings, {c});
    Instance<double> secondStereo(STEREO_PLUGIN_PATH, secondStereoSettings, {c, a});
    bool more = true;
    while (more)
    {
        more = stereo.step();
        more = mono.step() || more;
        more = secondStereo.step() || more;
    }

    EXPECT_EQ(firstDifference(stereo.output()[0], stereoAlone[0]), -1);
    EXPECT_EQ(firstDifference(stereo.output()[1], stereoAlone[1]), -1);
    EXPECT_EQ(firstDifference(mono.output()[0], monoAlone[0]), -1);
    EXPECT_EQ(firstDifference(secondStereo.output()[0], secondStereoAlone[0]), -1);
    EXPECT_EQ(firstDifference(secondStereo.output()[1], secondStereoAlone[1]), -1);
}

} // namespace
