// The services through which the effect asks its host: each one is a single call of the host
// callback with the effect's record and the service's arguments, and each maps the host's answer
// to its own result; without a callback each gives its fallback.
#include "engine/plugin_core.h"
#include "engine/variant.h"
#include "support/recording_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace
{

// Things of the host that the services pass along by address only.
char gFiles;
char gTask;
char gEvents;
char gTimeInfo;
char gDirectory;
char gSelector;
char gVendorData;
char gText[64];
char gQuestion[] = "sizeWindow";

VstIntPtr addressOf(void* p)
{
    return reinterpret_cast<VstIntPtr>(p);
}

// The effect's own rate and block size before any service runs: not the base's defaults, so
// that a fallback to a constant shows.
constexpr float kOwnRate = 96000.0f;
constexpr VstInt32 kOwnBlockSize = 256;

struct Service
{
    const char* name;
    VstIntPtr (*call)(PluginCore&); // the service's result as an integer (bool as 0/1)
    // The call it sends.
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
    VstIntPtr fallback; // its result without a host callback
};

// clang-format off
const Service kSetParameterAutomated{"setParameterAutomated",
    [](PluginCore& e) -> VstIntPtr { e.setParameterAutomated(3, 0.25f); return 0; },
    audioMasterAutomate, 3, 0, nullptr, 0.25f, 0};
const Service kGetMasterVersion{"getMasterVersion",
    [](PluginCore& e) -> VstIntPtr { return e.getMasterVersion(); },
    audioMasterVersion, 0, 0, nullptr, 0.0f, 1};
const Service kGetCurrentUniqueId{"getCurrentUniqueId",
    [](PluginCore& e) -> VstIntPtr { return e.getCurrentUniqueId(); },
    audioMasterCurrentId, 0, 0, nullptr, 0.0f, 0};
const Service kMasterIdle{"masterIdle",
    [](PluginCore& e) -> VstIntPtr { e.masterIdle(); return 0; },
    audioMasterIdle, 0, 0, nullptr, 0.0f, 0};
const Service kGetTimeInfo{"getTimeInfo",
    [](PluginCore& e) -> VstIntPtr { return addressOf(e.getTimeInfo(0x2F03)); },
    audioMasterGetTime, 0, 0x2F03, nullptr, 0.0f, 0};
const Service kSendVstEventsToHost{"sendVstEventsToHost",
    [](PluginCore& e) -> VstIntPtr {
        return e.sendVstEventsToHost(reinterpret_cast<VstEvents*>(&gEvents));
    },
    audioMasterProcessEvents, 0, 0, &gEvents, 0.0f, 0};
const Service kIoChanged{"ioChanged",
    [](PluginCore& e) -> VstIntPtr { return e.ioChanged(); },
    audioMasterIOChanged, 0, 0, nullptr, 0.0f, 0};
const Service kSizeWindow{"sizeWindow",
    [](PluginCore& e) -> VstIntPtr { return e.sizeWindow(640, 480); },
    audioMasterSizeWindow, 640, 480, nullptr, 0.0f, 0};
const Service kUpdateSampleRate{"updateSampleRate",
    [](PluginCore& e) -> VstIntPtr { return static_cast<VstIntPtr>(e.updateSampleRate()); },
    audioMasterGetSampleRate, 0, 0, nullptr, 0.0f, static_cast<VstIntPtr>(kOwnRate)};
const Service kUpdateBlockSize{"updateBlockSize",
    [](PluginCore& e) -> VstIntPtr { return e.updateBlockSize(); },
    audioMasterGetBlockSize, 0, 0, nullptr, 0.0f, kOwnBlockSize};
const Service kGetInputLatency{"getInputLatency",
    [](PluginCore& e) -> VstIntPtr { return e.getInputLatency(); },
    audioMasterGetInputLatency, 0, 0, nullptr, 0.0f, 0};
const Service kGetOutputLatency{"getOutputLatency",
    [](PluginCore& e) -> VstIntPtr { return e.getOutputLatency(); },
    audioMasterGetOutputLatency, 0, 0, nullptr, 0.0f, 0};
const Service kGetCurrentProcessLevel{"getCurrentProcessLevel",
    [](PluginCore& e) -> VstIntPtr { return e.getCurrentProcessLevel(); },
    audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0.0f, 0};
const Service kGetAutomationState{"getAutomationState",
    [](PluginCore& e) -> VstIntPtr { return e.getAutomationState(); },
    audioMasterGetAutomationState, 0, 0, nullptr, 0.0f, 0};
const Service kOfflineStart{"offlineStart",
    [](PluginCore& e) -> VstIntPtr {
        return e.offlineStart(reinterpret_cast<VstAudioFile*>(&gFiles), 3, 2);
    },
    audioMasterOfflineStart, 2, 3, &gFiles, 0.0f, 0};
const Service kOfflineReadSource{"offlineRead of the source",
    [](PluginCore& e) -> VstIntPtr {
        return e.offlineRead(reinterpret_cast<VstOfflineTask*>(&gTask), 5, true);
    },
    audioMasterOfflineRead, 1, 5, &gTask, 0.0f, 0};
const Service kOfflineReadResult{"offlineRead of the result",
    [](PluginCore& e) -> VstIntPtr {
        return e.offlineRead(reinterpret_cast<VstOfflineTask*>(&gTask), 5, false);
    },
    audioMasterOfflineRead, 0, 5, &gTask, 0.0f, 0};
const Service kOfflineWrite{"offlineWrite",
    [](PluginCore& e) -> VstIntPtr {
        return e.offlineWrite(reinterpret_cast<VstOfflineTask*>(&gTask), 6);
    },
    audioMasterOfflineWrite, 0, 6, &gTask, 0.0f, 0};
const Service kOfflineGetCurrentPass{"offlineGetCurrentPass",
    [](PluginCore& e) -> VstIntPtr { return e.offlineGetCurrentPass(); },
    audioMasterOfflineGetCurrentPass, 0, 0, nullptr, 0.0f, 0};
const Service kOfflineGetCurrentMetaPass{"offlineGetCurrentMetaPass",
    [](PluginCore& e) -> VstIntPtr { return e.offlineGetCurrentMetaPass(); },
    audioMasterOfflineGetCurrentMetaPass, 0, 0, nullptr, 0.0f, 0};
const Service kGetHostVendorString{"getHostVendorString",
    [](PluginCore& e) -> VstIntPtr { return e.getHostVendorString(gText); },
    audioMasterGetVendorString, 0, 0, gText, 0.0f, 0};
const Service kGetHostProductString{"getHostProductString",
    [](PluginCore& e) -> VstIntPtr { return e.getHostProductString(gText); },
    audioMasterGetProductString, 0, 0, gText, 0.0f, 0};
const Service kGetHostVendorVersion{"getHostVendorVersion",
    [](PluginCore& e) -> VstIntPtr { return e.getHostVendorVersion(); },
    audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f, 0};
const Service kHostVendorSpecific{"hostVendorSpecific",
    [](PluginCore& e) -> VstIntPtr { return e.hostVendorSpecific(7, 8, &gVendorData, 0.5f); },
    audioMasterVendorSpecific, 7, 8, &gVendorData, 0.5f, 0};
const Service kCanHostDo{"canHostDo",
    [](PluginCore& e) -> VstIntPtr { return e.canHostDo(gQuestion); },
    audioMasterCanDo, 0, 0, gQuestion, 0.0f, 0};
const Service kGetHostLanguage{"getHostLanguage",
    [](PluginCore& e) -> VstIntPtr { return e.getHostLanguage(); },
    audioMasterGetLanguage, 0, 0, nullptr, 0.0f, 0};
const Service kGetDirectory{"getDirectory",
    [](PluginCore& e) -> VstIntPtr { return addressOf(e.getDirectory()); },
    audioMasterGetDirectory, 0, 0, nullptr, 0.0f, 0};
const Service kUpdateDisplay{"updateDisplay",
    [](PluginCore& e) -> VstIntPtr { return e.updateDisplay(); },
    audioMasterUpdateDisplay, 0, 0, nullptr, 0.0f, 0};
const Service kBeginEdit{"beginEdit",
    [](PluginCore& e) -> VstIntPtr { return e.beginEdit(4); },
    audioMasterBeginEdit, 4, 0, nullptr, 0.0f, 0};
const Service kEndEdit{"endEdit",
    [](PluginCore& e) -> VstIntPtr { return e.endEdit(4); },
    audioMasterEndEdit, 4, 0, nullptr, 0.0f, 0};
const Service kOpenFileSelector{"openFileSelector",
    [](PluginCore& e) -> VstIntPtr {
        return e.openFileSelector(reinterpret_cast<VstFileSelect*>(&gSelector));
    },
    audioMasterOpenFileSelector, 0, 0, &gSelector, 0.0f, 0};
const Service kCloseFileSelector{"closeFileSelector",
    [](PluginCore& e) -> VstIntPtr {
        return e.closeFileSelector(reinterpret_cast<VstFileSelect*>(&gSelector));
    },
    audioMasterCloseFileSelector, 0, 0, &gSelector, 0.0f, 0};
// clang-format on

struct Answer
{
    const Service& service;
    VstIntPtr answer; // what the host replies
    VstIntPtr result; // what the service then gives
};

const Answer kAnswers[] = {
    {kSetParameterAutomated, 0, 0},
    {kGetMasterVersion, 2400, 2400},
    {kGetMasterVersion, 0, 1},
    {kGetCurrentUniqueId, 0x4E6F4566, 0x4E6F4566},
    {kGetCurrentUniqueId, 0, 0},
    {kMasterIdle, 1, 0},
    {kGetTimeInfo, addressOf(&gTimeInfo), addressOf(&gTimeInfo)},
    {kGetTimeInfo, 0, 0},
    {kSendVstEventsToHost, 1, 1},
    {kSendVstEventsToHost, 2, 0},
    {kSendVstEventsToHost, -1, 0},
    {kSendVstEventsToHost, 0, 0},
    {kIoChanged, 1, 1},
    {kIoChanged, 0, 0},
    {kSizeWindow, 1, 1},
    {kSizeWindow, 7, 1},
    {kSizeWindow, 0, 0},
    {kUpdateSampleRate, 48000, 48000},
    {kUpdateSampleRate, 0, static_cast<VstIntPtr>(kOwnRate)},
    {kUpdateSampleRate, -1, static_cast<VstIntPtr>(kOwnRate)},
    {kUpdateBlockSize, 512, 512},
    {kUpdateBlockSize, 0, kOwnBlockSize},
    {kUpdateBlockSize, -1, kOwnBlockSize},
    {kGetInputLatency, 64, 64},
    {kGetOutputLatency, 128, 128},
    {kGetCurrentProcessLevel, 2, 2},
    {kGetAutomationState, 3, 3},
    {kOfflineStart, 1, 1},
    {kOfflineStart, 0, 0},
    {kOfflineReadSource, 1, 1},
    {kOfflineReadSource, 0, 0},
    {kOfflineReadResult, 1, 1},
    {kOfflineWrite, 1, 1},
    {kOfflineWrite, 0, 0},
    {kOfflineGetCurrentPass, 5, 1},
    {kOfflineGetCurrentPass, 0, 0},
    {kOfflineGetCurrentMetaPass, 5, 1},
    {kOfflineGetCurrentMetaPass, 0, 0},
    {kGetHostVendorString, 1, 1},
    {kGetHostVendorString, 0, 0},
    {kGetHostProductString, 1, 1},
    {kGetHostProductString, 0, 0},
    {kGetHostVendorVersion, 3000, 3000},
    {kHostVendorSpecific, 42, 42},
    {kHostVendorSpecific, -5, -5},
    {kCanHostDo, 1, 1},
    {kCanHostDo, -1, 1},
    {kCanHostDo, 0, 0},
    {kGetHostLanguage, 1, 1},
    {kGetDirectory, addressOf(&gDirectory), addressOf(&gDirectory)},
    {kGetDirectory, 0, 0},
    {kUpdateDisplay, 1, 1},
    {kUpdateDisplay, 0, 0},
    {kBeginEdit, 1, 1},
    {kBeginEdit, 0, 0},
    {kEndEdit, 1, 1},
    {kEndEdit, 0, 0},
    {kOpenFileSelector, 1, 1},
    {kOpenFileSelector, 0, 0},
    {kCloseFileSelector, 1, 1},
    {kCloseFileSelector, 0, 0},
};

void prepareOwnRates(PluginCore& core)
{
    core.setSampleRate(kOwnRate);
    core.setBlockSize(kOwnBlockSize);
}

TEST(HostServices, EachServiceSendsOneCallWithItsArgumentsAndMapsTheAnswer)
{
    for (const Answer& a : kAnswers)
    {
        const Service& s = a.service;
        SCOPED_TRACE(std::string(s.name) + " answered " + std::to_string(a.answer));
        RecordingHost host;
        PluginCore core(RecordingHost::callback());
        prepareOwnRates(core);
        host.answer(s.opcode, a.answer);

        EXPECT_EQ(a.result, s.call(core));

        ASSERT_EQ(1u, host.calls().size());
        const HostCall& call = host.calls()[0];
        EXPECT_EQ(core.getAeffect(), call.effect);
        EXPECT_EQ(s.opcode, call.opcode);
        EXPECT_EQ(s.index, call.index);
        EXPECT_EQ(s.value, call.value);
        EXPECT_EQ(s.ptr, call.ptr);
        EXPECT_EQ(s.opt, call.opt);
    }
}

TEST(HostServices, WithoutCallbackEveryServiceGivesItsFallback)
{
    PluginCore core(nullptr);
    prepareOwnRates(core);
    // Every service that the answer table names, each once.
    std::vector<const Service*> services;
    for (const Answer& a : kAnswers)
        if (std::find(services.begin(), services.end(), &a.service) == services.end())
            services.push_back(&a.service);
    for (const Service* s : services)
        EXPECT_EQ(s->fallback, s->call(core)) << s->name;
    EXPECT_EQ(kOwnRate, core.getSampleRate());
    EXPECT_EQ(kOwnBlockSize, core.getBlockSize());
}

TEST(HostServices, FileSelectorsWithoutASelectorAskNothing)
{
    RecordingHost host;
    host.answer(audioMasterOpenFileSelector, 1);
    host.answer(audioMasterCloseFileSelector, 1);
    PluginCore core(RecordingHost::callback());

    EXPECT_FALSE(core.openFileSelector(nullptr));
    EXPECT_FALSE(core.closeFileSelector(nullptr));
    EXPECT_TRUE(host.calls().empty());
}

TEST(HostServices, AutomatedParameterIsStoredBeforeTheHostHearsOfIt)
{
    RecordingHost host;
    PluginCore core(RecordingHost::callback());
    float valueDuringCall = -1.0f;
    host.answerWith(audioMasterAutomate,
                    [&](const HostCall&) -> VstIntPtr
                    {
                        valueDuringCall = core.getParameter(3);
                        return 0;
                    });

    core.setParameterAutomated(3, 0.25f);

    EXPECT_EQ(0.25f, valueDuringCall);
    EXPECT_EQ(0.25f, core.getParameter(3));
}

TEST(HostServices, HostSampleRateAndBlockSizeBecomeTheEffectsOwn)
{
    RecordingHost host;
    host.answer(audioMasterGetSampleRate, 48000);
    host.answer(audioMasterGetBlockSize, 512);
    PluginCore core(RecordingHost::callback());

    EXPECT_EQ(48000.0, core.updateSampleRate());
    EXPECT_EQ(48000.0f, core.getSampleRate());
    EXPECT_EQ(512, core.updateBlockSize());
    EXPECT_EQ(512, core.getBlockSize());
}

TEST(HostServices, SampleRateFromTheHostReachesTheSignalPath)
{
    // The rate the effect reports is the rate it processes at, however it learnt it.
    RecordingHost host;
    host.answer(audioMasterGetSampleRate, 22050);
    PluginCore asked(RecordingHost::callback());
    PluginCore told(nullptr);
    asked.updateSampleRate();
    told.setSampleRate(22050.0f);

    // A loud burst charges the integrator at a speed that depends on the rate.
    constexpr int kFrames = 256;
    std::vector<std::vector<float>> in(kNumChannels, std::vector<float>(kFrames));
    for (auto& channel : in)
        for (int k = 0; k < kFrames; ++k)
            channel[k] = static_cast<float>(0.9 * std::sin(0.07 * k));
    auto run = [&](PluginCore& core)
    {
        std::vector<std::vector<float>> source = in;
        std::vector<std::vector<float>> out(kNumChannels, std::vector<float>(kFrames));
        std::vector<float*> inputs, outputs;
        for (int c = 0; c < kNumChannels; ++c)
        {
            inputs.push_back(source[c].data());
            outputs.push_back(out[c].data());
        }
        core.processReplacing(inputs.data(), outputs.data(), kFrames);
        return out;
    };
    PluginCore atDefaultRate(nullptr);
    ASSERT_NE(run(atDefaultRate), run(told)) << "the burst does not hear the rate";
    EXPECT_EQ(run(told), run(asked));
}

} // namespace
