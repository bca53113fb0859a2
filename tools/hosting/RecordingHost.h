// The host's side of the plug-in interface, as every tool, test and benchmark here gives
// it: the version question answered with 2400, and what the plug-in tells the host
// (automation, edit gestures, idle and size requests) recorded for whoever asks.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <vector>

#include "effect/PluginInterface.h"

namespace hosting {

// The interface version the host says it speaks.
constexpr intptr_t kHostVersion = 2400;

// [any thread] A host that answers the version and nothing else, and records nothing: for
// benchmarks and tools, where the plug-in's calls to the host do not matter.
intptr_t quietHost(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);

struct HostCall {
    int32_t opcode;
    int32_t index;
    intptr_t value;
    float opt;
};

// While one exists, RecordingHost::callback records into it; the callback has no other way
// to find its host, since the entry point asks the version before there is a record to
// tell effects apart by. Without one, the callback is the quiet host. One at a time.
class RecordingHost {
public:
    // [any thread] The callback to give the entry point.
    static intptr_t callback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);

    // Records every call, or only those of the opcodes given: a host that records no more
    // than a test reads allocates nothing on the plug-in's other calls.
    RecordingHost();
    explicit RecordingHost(std::initializer_list<int32_t> recordedOpcodes);
    ~RecordingHost();
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    // [any thread] The calls of the given opcodes since the last clear, oldest first.
    std::vector<HostCall> callsOf(std::initializer_list<int32_t> opcodes) const;
    // [any thread] Forgets the calls so far.
    void clear();
    // [any thread] callsOf, then clear, at once.
    std::vector<HostCall> take(std::initializer_list<int32_t> opcodes);
    // [any thread] What audioMasterVersion answers from now on (0 plays a host too old).
    void answerVersion(intptr_t version);
    // [UI thread] Runs at each audioMasterIdle, the plug-in's request for idle time, after
    // the call is recorded; set it before the plug-in can ask.
    std::function<void()> onIdle;

private:
    intptr_t answer(int32_t opcode, int32_t index, intptr_t value, float opt);
    std::vector<HostCall> recorded(std::initializer_list<int32_t> opcodes) const;

    // Set by the constructor and cleared by the destructor of the host alive (an atomic
    // pointer, so a plug-in's thread sees the host whole); an effect's calls reach the host
    // only between the two, so its effects stop calling before the host goes.
    static std::atomic<RecordingHost*> current;
    // Calls come from the plug-in's audio and UI threads alike; the lock keeps the record whole.
    mutable std::mutex mutex;
    std::vector<HostCall> calls;
    // Fixed at construction, so read without the lock; empty records every opcode.
    const std::vector<int32_t> recordedOpcodes;
    intptr_t version = kHostVersion;
};

}  // namespace hosting
