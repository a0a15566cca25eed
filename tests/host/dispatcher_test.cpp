// Every request a host can send through the dispatcher of a PluginCore: its answer, and that it
// changes what it should and nothing else (parameters, programs, rates, the record, the editor,
// the caller's buffers and the sound that follows).
#include "engine/parameters.h"
#include "engine/plugin_core.h"
#include "engine/variant.h"
#include "host/aeffeditor.h"
#include "support/recording_host.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace
{

// Addresses that stand for things of the host: the parent window it opens the editor in, and
// the value a pointer slot holds until the effect writes it.
char gHostWindow;
char gUnsetSlot;
ERect gEditorRect = {0, 0, 300, 400};

constexpr char kUnwritten = '\x7f';

enum class Ptr
{
    Null,
    Text,         // a text buffer, blank or holding the row's text
    Window,       // the host's window
    RectSlot,     // ERect** whose target the editor may set
    DataSlot,     // void** whose target a chunk request may set
    SpeakerSlots, // value and ptr each point at a pointer slot
};

enum class Editor
{
    None,
    SaysYes, // answers true to every question
    SaysNo,
};

// Records every call it gets, in the order it gets them.
class RecordingEditor : public AEffEditor
{
public:
    RecordingEditor(AudioEffect* effect, bool answer, std::vector<std::string>* calls)
        : AEffEditor(effect), answer(answer), calls(calls)
    {
    }

    bool getRect(ERect** rect) override
    {
        calls->push_back("getRect");
        if (answer) *rect = &gEditorRect;
        return answer;
    }
    bool open(void* window) override
    {
        calls->push_back(window == &gHostWindow ? "open host window" : "open other window");
        return answer;
    }
    void close() override { calls->push_back("close"); }
    void idle() override { calls->push_back("idle"); }
    bool onKeyDown(VstKeyCode& key) override { return noteKey("keyDown", key); }
    bool onKeyUp(VstKeyCode& key) override { return noteKey("keyUp", key); }
    bool onWheel(float distance) override
    {
        char text[32];
        std::snprintf(text, sizeof text, "wheel %g", distance);
        calls->push_back(text);
        return answer;
    }
    bool setKnobMode(VstInt32 mode) override
    {
        calls->push_back("knobMode " + std::to_string(mode));
        return answer;
    }

private:
    bool noteKey(const char* what, const VstKeyCode& key)
    {
        calls->push_back(std::string(what) + " " + std::to_string(key.character) + "/" +
                         std::to_string(key.virt) + "/" + std::to_string(key.modifier));
        return answer;
    }

    bool answer;
    std::vector<std::string>* calls;
};

// What a request can change, as seen from outside.
struct State
{
    std::vector<float> params;
    VstInt32 program;
    std::vector<std::string> programNames;
    float sampleRate;
    VstInt32 blockSize;
    std::string record; // the bytes of the record
    std::vector<std::string> editorCalls;
    std::string text; // the caller's text buffer, read as a C string
    void* slots[2];
};

struct Row
{
    const char* request;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    Ptr ptr;
    float opt;
    VstIntPtr result;
    void (*change)(State&) = nullptr; // applied to the state before: what the request changes
    const char* textIn = nullptr;     // what the text buffer holds when the request comes
    Editor editor = Editor::SaysYes;
};

// Program 3 with values that differ from the defaults everywhere, so that a request that
// reloads, resets or moves them shows.
constexpr VstInt32 kSetupProgram = 3;
constexpr float kSetupValues[kNumParams] = {1.0f, 0.3f, 0.0f, 0.7f, 0.2f, 1.0f,
                                            0.4f, 0.6f, 0.3f, 0.8f, 0.6f};

std::vector<float> defaultValues()
{
    return std::vector<float>(std::begin(kDefaultValues), std::end(kDefaultValues));
}

template <VstInt32 P> void selectProgram(State& s)
{
    s.program = P;
    s.params = defaultValues();
}

std::string readText(const char* buffer, size_t size)
{
    const char* end = static_cast<const char*>(std::memchr(buffer, 0, size));
    if (!end)
    {
        for (size_t i = 0; i < size; ++i)
            if (buffer[i] != kUnwritten) return "(unterminated)";
        return "(unwritten)";
    }
    std::string text(buffer, end);
    for (const char* c = end + 1; c < buffer + size; ++c)
        if (*c != kUnwritten) return text + "(and more after the terminator)";
    return text;
}

// A sine on every channel, each channel a radian ahead of the one before.
std::vector<std::vector<float>> signal(int frames, double step, double amplitude, double phase)
{
    std::vector<std::vector<float>> channels(kNumChannels, std::vector<float>(frames));
    for (int c = 0; c < kNumChannels; ++c)
        for (int k = 0; k < frames; ++k)
            channels[c][k] = static_cast<float>(amplitude * std::sin(step * k + phase + c));
    return channels;
}

std::vector<std::vector<float>> process(PluginCore& core, std::vector<std::vector<float>> in)
{
    const int frames = static_cast<int>(in[0].size());
    std::vector<std::vector<float>> out(kNumChannels, std::vector<float>(frames, 0.0f));
    std::vector<float*> inputs, outputs;
    for (int c = 0; c < kNumChannels; ++c)
    {
        inputs.push_back(in[c].data());
        outputs.push_back(out[c].data());
    }
    core.processReplacing(inputs.data(), outputs.data(), frames);
    return out;
}

void prepare(PluginCore& core)
{
    core.setProgram(kSetupProgram);
    for (VstInt32 i = 0; i < kNumParams; ++i)
        core.setParameter(i, kSetupValues[i]);
    // Ends above the integrator's threshold, so the envelope holds what the signal left.
    process(core, signal(512, 0.05, 0.9, 0.0));
}

std::vector<std::vector<float>> probe(PluginCore& core)
{
    // Starts above the threshold too: below it the envelope would be forgotten at once.
    return process(core, signal(64, 0.02, 0.6, 1.5707963));
}

// A PluginCore prepared for one row, with a recording editor when the row has one, and the
// buffers the row's request points at.
struct Bench
{
    explicit Bench(const Row& row) : core(RecordingHost::callback())
    {
        prepare(core);
        // The row decides the editor: the effect's own one is set aside.
        ownEditor.reset(core.getEditor());
        core.setEditor(nullptr);
        if (row.editor != Editor::None)
            core.setEditor(new RecordingEditor(&core, row.editor == Editor::SaysYes, &editorCalls));
        std::memset(text, kUnwritten, sizeof text);
        if (row.textIn) std::memcpy(text, row.textIn, std::strlen(row.textIn) + 1);
        slots[0] = slots[1] = &gUnsetSlot;
    }

    VstIntPtr dispatch(const Row& row)
    {
        VstIntPtr value = row.value;
        void* ptr = nullptr;
        switch (row.ptr)
        {
        case Ptr::Null:
            break;
        case Ptr::Text:
            ptr = text;
            break;
        case Ptr::Window:
            ptr = &gHostWindow;
            break;
        case Ptr::RectSlot:
        case Ptr::DataSlot:
            ptr = &slots[0];
            break;
        case Ptr::SpeakerSlots:
            value = reinterpret_cast<VstIntPtr>(&slots[0]);
            ptr = &slots[1];
            break;
        }
        AEffect* record = core.getAeffect();
        return record->dispatcher(record, row.opcode, row.index, value, ptr, row.opt);
    }

    State state()
    {
        State s;
        for (VstInt32 i = 0; i < kNumParams; ++i)
            s.params.push_back(core.getParameter(i));
        s.program = core.getProgram();
        for (VstInt32 p = 0; p < kNumPrograms; ++p)
        {
            char name[kProgramNameSize + 8] = {};
            core.getProgramNameIndexed(0, p, name);
            s.programNames.push_back(name);
        }
        s.sampleRate = core.getSampleRate();
        s.blockSize = core.getBlockSize();
        s.record.assign(reinterpret_cast<const char*>(core.getAeffect()), sizeof(AEffect));
        s.editorCalls = editorCalls;
        s.text = readText(text, sizeof text);
        s.slots[0] = slots[0];
        s.slots[1] = slots[1];
        return s;
    }

    RecordingHost host;
    std::vector<std::string> editorCalls; // outlives the editor, which the core deletes
    PluginCore core;
    std::unique_ptr<AEffEditor> ownEditor; // the effect's own editor, set aside for the row
    char text[256];
    void* slots[2];
};

void expectSameState(const State& expected, const State& actual)
{
    EXPECT_EQ(expected.params, actual.params);
    EXPECT_EQ(expected.program, actual.program);
    EXPECT_EQ(expected.programNames, actual.programNames);
    EXPECT_EQ(expected.sampleRate, actual.sampleRate);
    EXPECT_EQ(expected.blockSize, actual.blockSize);
    EXPECT_TRUE(expected.record == actual.record) << "the record changed";
    EXPECT_EQ(expected.editorCalls, actual.editorCalls);
    EXPECT_EQ(expected.text, actual.text);
    EXPECT_EQ(expected.slots[0], actual.slots[0]);
    EXPECT_EQ(expected.slots[1], actual.slots[1]);
}

std::string describe(const Row& row)
{
    std::ostringstream s;
    s << row.request << " (opcode " << row.opcode << ", index " << row.index << ", value "
      << row.value << ", opt " << row.opt << ")";
    return s.str();
}

void addRequests(std::vector<Row>& rows)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const VstInt32 wheelIndex = 0x73744341;  // 'stCA'
    const VstIntPtr wheelValue = 0x57686565; // 'Whee'
    const auto none = Editor::None;
    const auto no = Editor::SaysNo;

    rows.insert(
        rows.end(),
        {
            {"open", effOpen, 0, 0, Ptr::Text, 0.0f, 0},

            {"select the first program", effSetProgram, 0, 0, Ptr::Null, 0.0f, 0, selectProgram<0>},
            {"select program 7", effSetProgram, 0, 7, Ptr::Null, 0.0f, 0, selectProgram<7>},
            {"select the last program", effSetProgram, 0, 15, Ptr::Null, 0.0f, 0,
             selectProgram<15>},
            {"select one past the last", effSetProgram, 0, 16, Ptr::Null, 0.0f, 0},
            {"select program -1", effSetProgram, 0, -1, Ptr::Null, 0.0f, 0},
            {"select a program through index", effSetProgram, 5, 0, Ptr::Null, 0.0f, 0,
             selectProgram<0>},
            {"current program", effGetProgram, 0, 0, Ptr::Null, 0.0f, kSetupProgram},

            {"rename the program", effSetProgramName, 0, 0, Ptr::Text, 0.0f, 0,
             [](State& s) { s.programNames[kSetupProgram] = "Renamed"; }, "Renamed"},
            {"rename with a name longer than the field", effSetProgramName, 0, 0, Ptr::Text, 0.0f,
             0, [](State& s) { s.programNames[kSetupProgram] = "abcdefghijklmnopqrstuvw"; },
             "abcdefghijklmnopqrstuvwxyz0123456789"},
            {"program name", effGetProgramName, 0, 0, Ptr::Text, 0.0f, 0,
             [](State& s) { s.text = "Default"; }},

            {"parameter label", effGetParamLabel, 3, 0, Ptr::Text, 0.0f, 0,
             [](State& s) { s.text = ""; }},
            {"display of the route", effGetParamDisplay, kRoute, 0, Ptr::Text, 0.0f, 0,
             [](State& s) { s.text = "Int->Sh"; }},
            {"display of a switch", effGetParamDisplay, kShEnable, 0, Ptr::Text, 0.0f, 0,
             [](State& s) { s.text = "Off"; }},
            {"display past the last parameter", effGetParamDisplay, kNumParams, 0, Ptr::Text, 0.0f,
             0, [](State& s) { s.text = ""; }},
            {"display of parameter -1", effGetParamDisplay, -1, 0, Ptr::Text, 0.0f, 0,
             [](State& s) { s.text = ""; }},
            {"parameter name", effGetParamName, kShThr, 0, Ptr::Text, 0.0f, 0,
             [](State& s) { s.text = "Sh.Thr"; }},
            {"name of the last parameter", effGetParamName, kOutGain, 0, Ptr::Text, 0.0f, 0,
             [](State& s) { s.text = "Out.Gain"; }},
            {"name past the last parameter", effGetParamName, kNumParams, 0, Ptr::Text, 0.0f, 0,
             [](State& s) { s.text = ""; }},

            {"sample rate", effSetSampleRate, 0, 0, Ptr::Null, 48000.0f, 0,
             [](State& s) { s.sampleRate = 48000.0f; }},
            {"block size", effSetBlockSize, 0, 512, Ptr::Null, 0.0f, 0,
             [](State& s) { s.blockSize = 512; }},
            {"suspend", effMainsChanged, 0, 0, Ptr::Null, 0.0f, 0},
            {"resume", effMainsChanged, 0, 1, Ptr::Null, 0.0f, 0},

            {"editor rectangle", effEditGetRect, 0, 0, Ptr::RectSlot, 0.0f, 1,
             [](State& s)
             {
                 s.editorCalls = {"getRect"};
                 s.slots[0] = &gEditorRect;
             }},
            {"editor rectangle refused", effEditGetRect, 0, 0, Ptr::RectSlot, 0.0f, 0,
             [](State& s) { s.editorCalls = {"getRect"}; }, nullptr, no},
            {"editor rectangle without editor", effEditGetRect, 0, 0, Ptr::RectSlot, 0.0f, 0,
             nullptr, nullptr, none},
            {"editor rectangle without a slot", effEditGetRect, 0, 0, Ptr::Null, 0.0f, 0},
            {"open the editor", effEditOpen, 0, 0, Ptr::Window, 0.0f, 1,
             [](State& s) { s.editorCalls = {"open host window"}; }},
            {"open the editor refused", effEditOpen, 0, 0, Ptr::Window, 0.0f, 0,
             [](State& s) { s.editorCalls = {"open host window"}; }, nullptr, no},
            {"open without editor", effEditOpen, 0, 0, Ptr::Window, 0.0f, 0, nullptr, nullptr,
             none},
            {"close the editor", effEditClose, 0, 0, Ptr::Null, 0.0f, 0,
             [](State& s) { s.editorCalls = {"close"}; }},
            {"close without editor", effEditClose, 0, 0, Ptr::Null, 0.0f, 0, nullptr, nullptr,
             none},
            {"editor idle", effEditIdle, 0, 0, Ptr::Null, 0.0f, 0,
             [](State& s) { s.editorCalls = {"idle"}; }},
            {"editor idle without editor", effEditIdle, 0, 0, Ptr::Null, 0.0f, 0, nullptr, nullptr,
             none},

            {"identify", effIdentify, 0, 0, Ptr::Null, 0.0f, 0x4E764566},
            {"bank chunk", effGetChunk, 0, 0, Ptr::DataSlot, 0.0f, 0},
            {"program chunk", effGetChunk, 1, 0, Ptr::DataSlot, 0.0f, 0},
            {"chunk without a slot", effGetChunk, 0, 0, Ptr::Null, 0.0f, 0},
            {"set a bank chunk", effSetChunk, 0, 16, Ptr::Text, 0.0f, 0, nullptr, "chunk"},
            {"set a program chunk", effSetChunk, 1, 16, Ptr::Text, 0.0f, 0, nullptr, "chunk"},

            {"first parameter automatable", effCanBeAutomated, 0, 0, Ptr::Null, 0.0f, 1},
            {"last parameter automatable", effCanBeAutomated, 10, 0, Ptr::Null, 0.0f, 1},
            {"parameter past the last automatable", effCanBeAutomated, 11, 0, Ptr::Null, 0.0f, 1},
            {"parameter -1 automatable", effCanBeAutomated, -1, 0, Ptr::Null, 0.0f, 1},

            {"program name past the last", effGetProgramNameIndexed, 16, 0, Ptr::Text, 0.0f, 0},
            {"program name of -1", effGetProgramNameIndexed, -1, 0, Ptr::Text, 0.0f, 0},

            {"category", effGetPlugCategory, 0, 0, Ptr::Null, 0.0f, 1},
            {"effect name", effGetEffectName, 0, 0, Ptr::Text, 0.0f, 1,
             [](State& s) { s.text = kEffectName; }},
            {"vendor", effGetVendorString, 0, 0, Ptr::Text, 0.0f, 1,
             [](State& s) { s.text = "Vextrum"; }},
            {"product", effGetProductString, 0, 0, Ptr::Text, 0.0f, 1,
             [](State& s) { s.text = kEffectName; }},
            {"vendor version", effGetVendorVersion, 0, 0, Ptr::Null, 0.0f, 1100},

            {"wheel", effVendorSpecific, wheelIndex, wheelValue, Ptr::Null, 1.0f, 1,
             [](State& s) { s.editorCalls = {"wheel 1"}; }},
            {"wheel backwards", effVendorSpecific, wheelIndex, wheelValue, Ptr::Null, -2.5f, 1,
             [](State& s) { s.editorCalls = {"wheel -2.5"}; }},
            {"wheel refused", effVendorSpecific, wheelIndex, wheelValue, Ptr::Null, 1.0f, 0,
             [](State& s) { s.editorCalls = {"wheel 1"}; }, nullptr, no},
            {"wheel with swapped codes", effVendorSpecific, 0x57686565, 0x73744341, Ptr::Null, 1.0f,
             0},
            {"wheel code in index only", effVendorSpecific, wheelIndex, 0, Ptr::Null, 1.0f, 0},
            {"wheel code in value only", effVendorSpecific, 0, wheelValue, Ptr::Null, 1.0f, 0},
            {"other vendor request", effVendorSpecific, 1, 2, Ptr::Text, 1.0f, 0},
            {"wheel without editor", effVendorSpecific, wheelIndex, wheelValue, Ptr::Null, 1.0f, 0,
             nullptr, nullptr, none},

            {"tail size", effGetTailSize, 0, 0, Ptr::Null, 0.0f, 0},
            {"interface version", effGetVstVersion, 0, 0, Ptr::Null, 0.0f, 2400},

            {"key down", effEditKeyDown, 65, 0, Ptr::Null, 2.7f, 1,
             [](State& s) { s.editorCalls = {"keyDown 65/0/2"}; }},
            {"key down refused", effEditKeyDown, 65, 0, Ptr::Null, 2.7f, 0,
             [](State& s) { s.editorCalls = {"keyDown 65/0/2"}; }, nullptr, no},
            {"key down with a virtual key", effEditKeyDown, 0, 11, Ptr::Null, 1.0f, 1,
             [](State& s) { s.editorCalls = {"keyDown 0/11/1"}; }},
            {"key down with a NaN modifier", effEditKeyDown, 65, 0, Ptr::Null, nan, 1,
             [](State& s) { s.editorCalls = {"keyDown 65/0/0"}; }},
            {"key down with a huge modifier", effEditKeyDown, 65, 0, Ptr::Null, 1e20f, 1,
             [](State& s) { s.editorCalls = {"keyDown 65/0/0"}; }},
            {"key down with a huge negative modifier", effEditKeyDown, 65, 0, Ptr::Null, -1e20f, 1,
             [](State& s) { s.editorCalls = {"keyDown 65/0/0"}; }},
            {"key down without editor", effEditKeyDown, 65, 0, Ptr::Null, 2.7f, 0, nullptr, nullptr,
             none},
            {"key up", effEditKeyUp, 65, 0, Ptr::Null, 2.7f, 1,
             [](State& s) { s.editorCalls = {"keyUp 65/0/2"}; }},
            {"key up refused", effEditKeyUp, 65, 0, Ptr::Null, 2.7f, 0,
             [](State& s) { s.editorCalls = {"keyUp 65/0/2"}; }, nullptr, no},
            {"key up with a NaN modifier", effEditKeyUp, 65, 0, Ptr::Null, nan, 1,
             [](State& s) { s.editorCalls = {"keyUp 65/0/0"}; }},
            {"key up with a huge modifier", effEditKeyUp, 65, 0, Ptr::Null, 1e20f, 1,
             [](State& s) { s.editorCalls = {"keyUp 65/0/0"}; }},
            {"key up without editor", effEditKeyUp, 65, 0, Ptr::Null, 2.7f, 0, nullptr, nullptr,
             none},
            {"knob mode", effSetEditKnobMode, 0, 2, Ptr::Null, 0.0f, 1,
             [](State& s) { s.editorCalls = {"knobMode 2"}; }},
            {"knob mode refused", effSetEditKnobMode, 0, 2, Ptr::Null, 0.0f, 0,
             [](State& s) { s.editorCalls = {"knobMode 2"}; }, nullptr, no},
            {"knob mode without editor", effSetEditKnobMode, 0, 2, Ptr::Null, 0.0f, 0, nullptr,
             nullptr, none},

            {"current MIDI program", effGetCurrentMidiProgram, 0, 0, Ptr::Null, 0.0f, -1},
            {"speaker arrangement", effGetSpeakerArrangement, 0, 0, Ptr::SpeakerSlots, 0.0f, 0,
             [](State& s) { s.slots[0] = s.slots[1] = nullptr; }},
            {"speaker arrangement without slots", effGetSpeakerArrangement, 0, 0, Ptr::Null, 0.0f,
             0},
            {"total samples to process", effSetTotalSampleToProcess, 0, 4096, Ptr::Null, 0.0f,
             4096},

            {"opcode -1", -1, 0, 0, Ptr::Text, 0.0f, 0},
            {"opcode 80", 80, 0, 0, Ptr::Text, 0.0f, 0},
            {"opcode 1000", 1000, 0, 0, Ptr::Text, 0.0f, 0},
        });

    for (VstInt32 p = 0; p < kNumPrograms; ++p)
        rows.push_back({"program name by index", effGetProgramNameIndexed, p, 0, Ptr::Text, 0.0f, 1,
                        [](State& s) { s.text = "Default"; }});

    for (const char* question : {"bypass", "receiveVstEvents", "receiveVstMidiEvent",
                                 "receiveVstTimeInfo", "sendVstEvents", "sendVstMidiEvent",
                                 "offline", "midiProgramNames", "plugAsChannelInsert", ""})
        rows.push_back({"can do", effCanDo, 0, 0, Ptr::Text, 0.0f, 0, nullptr, question});

    // Requests this effect has nothing to do for. The buffer shows any write; the index, value
    // and opt are ones a careless handler would act on.
    for (VstInt32 opcode :
         {9,  16, 17, 18, 20, 21, 25, 27, 28, 30, 31, 32, 33, 34, 36, 37, 38, 39, 40, 41, 42, 43,
          44, 46, 53, 54, 55, 56, 57, 62, 64, 65, 66, 67, 68, 70, 71, 72, 74, 75, 76, 77, 78, 79})
        rows.push_back({"request with no effect", opcode, 1, 1, Ptr::Text, 1.0f, 0, nullptr,
                        opcode == effString2Parameter ? "0.25" : nullptr});

    // A host that passes no buffer to a text request gets no text and no crash.
    for (VstInt32 opcode :
         {effSetProgramName, effGetProgramName, effGetParamLabel, effGetParamDisplay,
          effGetParamName, effString2Parameter, effGetProgramNameIndexed, effGetEffectName,
          effGetVendorString, effGetProductString, effCanDo, effShellGetNextPlugin})
        rows.push_back({"text request without a buffer", opcode, 0, 0, Ptr::Null, 0.0f, 0});
}

std::vector<Row> requestTable()
{
    std::vector<Row> rows;
    addRequests(rows);
    return rows;
}

TEST(Dispatcher, EveryRequestGivesItsAnswerAndChangesOnlyWhatItShould)
{
    for (const Row& row : requestTable())
    {
        SCOPED_TRACE(describe(row));
        Bench bench(row);
        PluginCore twin(nullptr);
        prepare(twin);

        const State before = bench.state();
        State expected = before;
        if (row.change) row.change(expected);

        const VstIntPtr result = bench.dispatch(row);

        EXPECT_EQ(row.result, result);
        expectSameState(expected, bench.state());
        EXPECT_TRUE(bench.host.calls().empty()) << "a request asked the host something";
        // Whatever leaves the values and the rate alone leaves the sound alone too: the state of
        // the signal path (the integrator's envelope) goes on as in an effect never asked.
        if (expected.params == before.params && expected.sampleRate == before.sampleRate)
        {
            EXPECT_EQ(probe(twin), probe(bench.core)) << "the sound after the request changed";
        }
    }
}

TEST(Dispatcher, ProbeAfterPreparationHearsTheEnvelopeState)
{
    // The sound comparison above only finds a reset of the signal path if the probe hears one:
    // the same values without the signal before give other samples.
    PluginCore prepared(nullptr), fresh(nullptr);
    prepare(prepared);
    fresh.setProgram(kSetupProgram);
    for (VstInt32 i = 0; i < kNumParams; ++i)
        fresh.setParameter(i, kSetupValues[i]);
    EXPECT_NE(probe(fresh), probe(prepared));
}

} // namespace
