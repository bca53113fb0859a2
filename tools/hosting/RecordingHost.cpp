#include "tools/hosting/RecordingHost.h"

#include <algorithm>
#include <iterator>

namespace hosting {

intptr_t quietHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    return opcode == audioMasterVersion ? kHostVersion : 0;
}

std::atomic<RecordingHost*> RecordingHost::current{nullptr};

RecordingHost::RecordingHost() { current.store(this); }

RecordingHost::RecordingHost(std::initializer_list<int32_t> opcodes) : recordedOpcodes(opcodes) { current.store(this); }

RecordingHost::~RecordingHost()
{
    // Only this host's own turn ends here.
    RecordingHost* self = this;
    current.compare_exchange_strong(self, nullptr);
}

intptr_t RecordingHost::callback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt)
{
    RecordingHost* host = current.load();
    return host != nullptr ? host->answer(opcode, index, value, opt)
                           : quietHost(effect, opcode, index, value, ptr, opt);
}

intptr_t RecordingHost::answer(int32_t opcode, int32_t index, intptr_t value, float opt)
{
    intptr_t versionAnswer = 0;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (recordedOpcodes.empty() ||
            std::find(recordedOpcodes.begin(), recordedOpcodes.end(), opcode) != recordedOpcodes.end()) {
            calls.push_back({opcode, index, value, opt});
        }
        versionAnswer = version;
    }
    // Outside the lock: an idle step may make the plug-in call the host again.
    if (opcode == audioMasterIdle && onIdle) onIdle();
    return opcode == audioMasterVersion ? versionAnswer : 0;
}

std::vector<HostCall> RecordingHost::recorded(std::initializer_list<int32_t> opcodes) const
{
    std::vector<HostCall> found;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(found), [opcodes](const HostCall& call) {
        return std::find(opcodes.begin(), opcodes.end(), call.opcode) != opcodes.end();
    });
    return found;
}

std::vector<HostCall> RecordingHost::callsOf(std::initializer_list<int32_t> opcodes) const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return recorded(opcodes);
}

void RecordingHost::clear()
{
    const std::lock_guard<std::mutex> lock(mutex);
    calls.clear();
}

std::vector<HostCall> RecordingHost::take(std::initializer_list<int32_t> opcodes)
{
    const std::lock_guard<std::mutex> lock(mutex);
    std::vector<HostCall> found = recorded(opcodes);
    calls.clear();
    return found;
}

void RecordingHost::answerVersion(intptr_t answer)
{
    const std::lock_guard<std::mutex> lock(mutex);
    version = answer;
}

}  // namespace hosting
