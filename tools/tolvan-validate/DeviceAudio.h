// Audio on a thread of its own, paced as a sound device paces a host's audio thread: one
// block, then a wait until the device wants the next. An audio thread that runs flat out
// instead takes the processor from the threads a check is about, so on a busy machine the
// check's time would follow the load rather than its own work.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "tools/tolvan-validate/Plugin.h"

namespace validate {

class DeviceAudio {
public:
    // Processes blocks of noise at the rate the effect was started with, with one seeded
    // automated parameter change before every block when automate is set.
    DeviceAudio(HostedEffect& effect, float sampleRate, int32_t blockSize, uint32_t seed, bool automate);
    ~DeviceAudio();
    DeviceAudio(const DeviceAudio&) = delete;
    DeviceAudio& operator=(const DeviceAudio&) = delete;

    // Ends the thread; the figures below are final afterwards.
    void stop();
    // Whether every block so far was finite and bounded. [any thread]
    bool soundSoFar() const { return sound.load(std::memory_order_relaxed); }
    // Blocks processed so far. [any thread]
    int64_t blocks() const { return processed.load(std::memory_order_relaxed); }

private:
    void run(HostedEffect& effect, float sampleRate, int32_t blockSize, uint32_t seed, bool automate);

    // Each is written by one side and read by the other; none orders other memory, and
    // the final figures are read after join, which does.
    std::atomic<bool> stopping{false};  // set by the owner, read by the audio thread
    std::atomic<bool> sound{true};      // written by the audio thread
    std::atomic<int64_t> processed{0};  // written by the audio thread
    std::thread thread;
};

}  // namespace validate
