// A host callback that records every call an effect makes and answers as a test programs it.
// The callback is a plain function pointer, so it reaches the recorder through a per-thread
// "current recorder": the most recently constructed RecordingHost of the thread that calls.
#pragma once

#include "host/aeffect.h"

#include <functional>
#include <map>
#include <vector>

struct HostCall
{
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
};

class RecordingHost
{
public:
    using Reply = std::function<VstIntPtr(const HostCall&)>;

    RecordingHost() : previous(current) { current = this; }
    ~RecordingHost() { current = previous; }
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    // The function to hand to an effect as its host callback.
    static audioMasterCallback callback() { return &hostCallback; }

    // Every later call with this opcode gets this answer; unprogrammed opcodes get 0.
    void answer(VstInt32 opcode, VstIntPtr result)
    {
        replies[opcode] = [result](const HostCall&) { return result; };
    }
    // Every later call with this opcode runs the reply, which may look at the effect's state
    // while the call is in progress, and gets its result.
    void answerWith(VstInt32 opcode, Reply reply) { replies[opcode] = std::move(reply); }

    const std::vector<HostCall>& calls() const { return recorded; }
    void forgetCalls() { recorded.clear(); }

private:
    static VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                              VstIntPtr value, void* ptr, float opt)
    {
        RecordingHost* host = current;
        if (!host) return 0;
        const HostCall call{effect, opcode, index, value, ptr, opt};
        host->recorded.push_back(call);
        auto reply = host->replies.find(opcode);
        return reply == host->replies.end() ? 0 : reply->second(call);
    }

    inline static thread_local RecordingHost* current = nullptr;

    RecordingHost* previous;
    std::vector<HostCall> recorded;
    std::map<VstInt32, Reply> replies;
};
