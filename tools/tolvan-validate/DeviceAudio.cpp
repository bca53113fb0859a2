#include "tools/tolvan-validate/DeviceAudio.h"

#include <algorithm>
#include <chrono>
#include <random>

#include "tools/tolvan-validate/Check.h"

namespace validate {

DeviceAudio::DeviceAudio(HostedEffect& effect, float sampleRate, int32_t blockSize, uint32_t seed, bool automate)
    : thread([=, this, &effect] { run(effect, sampleRate, blockSize, seed, automate); })
{
}

DeviceAudio::~DeviceAudio() { stop(); }

void DeviceAudio::stop()
{
    stopping = true;
    if (thread.joinable()) thread.join();
}

void DeviceAudio::run(HostedEffect& effect, float sampleRate, int32_t blockSize, uint32_t seed, bool automate)
{
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(blockSize) / sampleRate));
    StereoBuffers buffers(blockSize);
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    const int32_t numParams = effect.get()->numParams;
    auto due = Clock::now();
    while (!stopping.load(std::memory_order_relaxed)) {
        if (automate) effect.set(automatedIndex(rng, numParams), value(rng));
        fillNoise(buffers.in, rng, 0.5f);
        effect.process(buffers.inputs, buffers.outputs, blockSize);
        if (!sampleProblem(buffers.out[0], 2.0e6f).empty()) sound = false;
        processed.fetch_add(1, std::memory_order_relaxed);
        // A device that was kept waiting asks for the next block at once, but does not
        // ask for the ones it missed in a burst.
        due = std::max(due + period, Clock::now());
        std::this_thread::sleep_until(due);
    }
}

}  // namespace validate
