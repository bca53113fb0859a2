// Shared by the editor's tests: an effect created directly with a host callback that
// records what the plug-in tells the host.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "editor/SDEditor.h"
#include "effect/AKkk.h"
#include "effect/PluginInterface.h"

namespace editortest {

struct HostCall {
    int32_t opcode;
    int32_t index;
    float value;
};

// What the plug-in told the host since the last clear; the callback may come from any thread.
class HostLog {
public:
    static HostLog& instance()
    {
        static HostLog log;
        return log;
    }
    void add(const HostCall& call)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        calls.push_back(call);
    }
    std::vector<HostCall> take()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        return std::exchange(calls, {});
    }

private:
    std::mutex mutex;
    std::vector<HostCall> calls;
};

inline intptr_t recordingHost(AEffect*, int32_t opcode, int32_t index, intptr_t, void*, float value)
{
    if (opcode == audioMasterVersion)
        return 2400;
    if (opcode == audioMasterAutomate || opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit)
        HostLog::instance().add({opcode, index, value});
    return 0;
}

inline std::unique_ptr<AKkk> makeEffect() { return std::make_unique<AKkk>(recordingHost, &SDEditor::create); }

}  // namespace editortest
