// The effect base as a host first meets it: the record it reads, the entry points behind the
// record, the editor flag and the end of an instance through effClose.
#include "engine/plugin_core.h"
#include "engine/variant.h"
#include "host/aeffeditor.h"
#include "host/audioeffectx.h"
#include "support/recording_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{

// The smallest complete effect: the base's own defaults, and a trace of what reaches it through
// the record's entry points.
class TinyEffect : public AudioEffectX
{
public:
    explicit TinyEffect(audioMasterCallback master, std::vector<std::string>* trace = nullptr)
        : AudioEffectX(master, 16, 11), trace(trace)
    {
    }
    ~TinyEffect() override { note("destroyed"); }

    void close() override { note("close"); }
    void processReplacing(float** inputs, float** outputs, VstInt32 frames) override
    {
        floatInputs = inputs;
        floatOutputs = outputs;
        note("processReplacing " + std::to_string(frames));
    }
    void processDoubleReplacing(double** inputs, double** outputs, VstInt32 frames) override
    {
        doubleInputs = inputs;
        doubleOutputs = outputs;
        note("processDoubleReplacing " + std::to_string(frames));
    }
    void setParameter(VstInt32 index, float value) override
    {
        note("setParameter " + std::to_string(index) + " " + std::to_string(value));
    }
    float getParameter(VstInt32 index) override { return 0.125f * static_cast<float>(index); }

    float** floatInputs = nullptr;
    float** floatOutputs = nullptr;
    double** doubleInputs = nullptr;
    double** doubleOutputs = nullptr;

private:
    void note(const std::string& event)
    {
        if (trace) trace->push_back(event);
    }
    std::vector<std::string>* trace;
};

class TracedEditor : public AEffEditor
{
public:
    TracedEditor(AudioEffect* effect, std::vector<std::string>* trace)
        : AEffEditor(effect), trace(trace)
    {
    }
    ~TracedEditor() override { trace->push_back("editor destroyed"); }

private:
    std::vector<std::string>* trace;
};

bool contains(const std::vector<std::string>& trace, const std::string& event)
{
    return std::find(trace.begin(), trace.end(), event) != trace.end();
}

TEST(EffectRecord, FreshEffectShowsTheBaseDefaults)
{
    RecordingHost host;
    TinyEffect effect(RecordingHost::callback());
    const AEffect& record = *effect.getAeffect();

    EXPECT_EQ(0x56737450, record.magic);
    EXPECT_EQ(16, record.numPrograms);
    EXPECT_EQ(11, record.numParams);
    EXPECT_EQ(1, record.numInputs);
    EXPECT_EQ(2, record.numOutputs);
    EXPECT_EQ(1.0f, record.ioRatio);
    EXPECT_EQ(1, record.version);
    EXPECT_EQ(0x4E6F4566, record.uniqueID);
    EXPECT_EQ(0x10, record.flags);
    EXPECT_EQ(static_cast<AudioEffect*>(&effect), record.object);
    EXPECT_EQ(nullptr, record.user);
    EXPECT_EQ(0, record.resvd1);
    EXPECT_EQ(0, record.resvd2);
    EXPECT_EQ(0, record.initialDelay);
    EXPECT_EQ(0, record.realQualities);
    EXPECT_EQ(0, record.offQualities);
    EXPECT_TRUE(std::all_of(std::begin(record.future), std::end(record.future),
                            [](char c) { return c == 0; }));
    EXPECT_NE(nullptr, record.dispatcher);
    EXPECT_NE(nullptr, record.process);
    EXPECT_NE(nullptr, record.processReplacing);
    EXPECT_NE(nullptr, record.processDoubleReplacing);
    EXPECT_NE(nullptr, record.setParameter);
    EXPECT_NE(nullptr, record.getParameter);

    EXPECT_EQ(44100.0f, effect.getSampleRate());
    EXPECT_EQ(1024, effect.getBlockSize());
    EXPECT_EQ(nullptr, effect.getEditor());
    EXPECT_TRUE(host.calls().empty()) << "making an instance asks the host nothing";
}

TEST(EffectRecord, PluginCoreShowsItsVariantAndBothReplacingFlags)
{
    RecordingHost host;
    PluginCore core(RecordingHost::callback());
    const AEffect& record = *core.getAeffect();

    EXPECT_EQ(0x56737450, record.magic);
    EXPECT_EQ(16, record.numPrograms);
    EXPECT_EQ(11, record.numParams);
    EXPECT_EQ(kNumChannels, record.numInputs);
    EXPECT_EQ(kNumChannels, record.numOutputs);
    EXPECT_EQ(kUniqueId, record.uniqueID);
    EXPECT_EQ(0x1011, record.flags) << "an editor, replacing in single and double precision";
    EXPECT_EQ(static_cast<AudioEffect*>(&core), record.object);
    EXPECT_EQ(0, record.initialDelay);
    EXPECT_EQ(1.0f, record.ioRatio);
    EXPECT_TRUE(host.calls().empty()) << "making an instance asks the host nothing";
}

TEST(EffectRecord, EntryPointsReachTheInstanceBehindTheRecord)
{
    std::vector<std::string> trace;
    TinyEffect effect(nullptr, &trace);
    AEffect* record = effect.getAeffect();
    float floatSample = 0.0f;
    float* floatChannels[1] = {&floatSample};
    double doubleSample = 0.0;
    double* doubleChannels[1] = {&doubleSample};

    record->processReplacing(record, floatChannels, floatChannels + 1, 7);
    record->processDoubleReplacing(record, doubleChannels, doubleChannels + 1, 9);
    record->setParameter(record, 4, 0.75f);

    EXPECT_EQ((std::vector<std::string>{"processReplacing 7", "processDoubleReplacing 9",
                                        "setParameter 4 0.750000"}),
              trace);
    EXPECT_EQ(floatChannels, effect.floatInputs);
    EXPECT_EQ(floatChannels + 1, effect.floatOutputs);
    EXPECT_EQ(doubleChannels, effect.doubleInputs);
    EXPECT_EQ(doubleChannels + 1, effect.doubleOutputs);
    EXPECT_EQ(0.5f, record->getParameter(record, 4));
}

TEST(EffectRecord, AccumulatingProcessLeavesEveryBufferAsItWas)
{
    PluginCore core(nullptr);
    AEffect* record = core.getAeffect();
    constexpr int kFrames = 32;
    std::vector<float> in[2], out[2];
    float* inputs[2];
    float* outputs[2];
    for (int c = 0; c < 2; ++c)
    {
        in[c].assign(kFrames, 0.0f);
        out[c].assign(kFrames, 0.0f);
        for (int k = 0; k < kFrames; ++k)
        {
            in[c][k] = 0.9f * static_cast<float>((k % 7) - 3) / 3.0f;
            out[c][k] = 0.25f + 0.01f * static_cast<float>(k + c);
        }
        inputs[c] = in[c].data();
        outputs[c] = out[c].data();
    }
    const std::vector<float> inBefore[2] = {in[0], in[1]};
    const std::vector<float> outBefore[2] = {out[0], out[1]};

    record->process(record, inputs, outputs, kFrames);

    for (int c = 0; c < 2; ++c)
    {
        EXPECT_EQ(outBefore[c], out[c]) << "output " << c;
        EXPECT_EQ(inBefore[c], in[c]) << "input " << c;
    }
}

TEST(EffectRecord, EditorFlagFollowsTheAttachedEditor)
{
    std::vector<std::string> trace;
    PluginCore core(nullptr);
    TracedEditor editor(&core, &trace);
    const AEffect& record = *core.getAeffect();
    AEffEditor* own = core.getEditor();
    ASSERT_NE(nullptr, own) << "the effect makes its own editor";
    EXPECT_EQ(0x1011, record.flags);

    core.setEditor(&editor);
    EXPECT_EQ(0x1011, record.flags);
    EXPECT_EQ(&editor, core.getEditor());

    core.setEditor(nullptr);
    EXPECT_EQ(0x1010, record.flags);
    EXPECT_EQ(nullptr, core.getEditor());
    EXPECT_TRUE(trace.empty()) << "taking the editor away does not destroy it";
    core.setEditor(own);
}

TEST(EffectBaseDefaults, ChunkRequestGivesNothingAndLeavesTheDataPointer)
{
    TinyEffect effect(nullptr);
    char sentinel = 0;
    for (bool isPreset : {false, true})
    {
        void* data = &sentinel;
        EXPECT_EQ(0, effect.getChunk(&data, isPreset));
        EXPECT_EQ(&sentinel, data) << "preset " << isPreset;
    }
}

TEST(EffectBaseDefaults, TextRequestsWriteOnlyATerminator)
{
    using Request = void (*)(TinyEffect&, char*);
    const struct
    {
        const char* name;
        Request request;
    } requests[] = {
        {"getProgramName", [](TinyEffect& e, char* text) { e.getProgramName(text); }},
        {"getParameterLabel", [](TinyEffect& e, char* text) { e.getParameterLabel(3, text); }},
        {"getParameterDisplay", [](TinyEffect& e, char* text) { e.getParameterDisplay(3, text); }},
        {"getParameterName", [](TinyEffect& e, char* text) { e.getParameterName(3, text); }},
    };
    TinyEffect effect(nullptr);
    for (const auto& r : requests)
    {
        char text[32];
        std::memset(text, 'x', sizeof text);
        r.request(effect, text);
        EXPECT_EQ(0, text[0]) << r.name;
        EXPECT_EQ(std::string(sizeof text - 1, 'x'), std::string(text + 1, sizeof text - 1))
            << r.name << " wrote past the terminator";
    }
}

TEST(EffectClose, CloseThroughTheRecordAnswersOneAndDestroysEffectAndEditor)
{
    std::vector<std::string> trace;
    auto* effect = new TinyEffect(nullptr, &trace);
    effect->setEditor(new TracedEditor(effect, &trace));
    AEffect* record = effect->getAeffect();

    EXPECT_EQ(1, record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f));

    ASSERT_FALSE(trace.empty());
    EXPECT_EQ("close", trace.front()) << "the instance is told before it goes";
    EXPECT_TRUE(contains(trace, "destroyed"));
    EXPECT_TRUE(contains(trace, "editor destroyed"));
}

TEST(EffectClose, PluginCoreClosedThroughTheRecordLeavesNothingBehind)
{
    // The leak checker of the sanitizer build sees whatever an instance fails to free.
    std::vector<std::string> trace;
    auto* core = new PluginCore(nullptr);
    // Set aside for one that reports its end.
    std::unique_ptr<AEffEditor> own(core->getEditor());
    core->setEditor(new TracedEditor(core, &trace));
    AEffect* record = core->getAeffect();

    EXPECT_EQ(1, record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f));
    EXPECT_EQ(std::vector<std::string>{"editor destroyed"}, trace);
}

} // namespace
