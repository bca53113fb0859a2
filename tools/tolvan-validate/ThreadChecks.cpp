// Levels 4, 5 and 10: the effect called from several threads at once, as hosts do. Run
// under ThreadSanitizer these checks find the unsynchronised hand-offs.

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "tools/tolvan-validate/Check.h"
#include "tools/tolvan-validate/DeviceAudio.h"

namespace validate {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kAutomationBlock = 32;

// A test tone the jumps of the output are measured on: 997 Hz at half scale.
void fillTone(StereoBuffers& buffers, int64_t& phase, float rate)
{
    constexpr double kTwoPi = 6.283185307179586;
    for (std::size_t i = 0; i < buffers.in[0].size(); ++i, ++phase) {
        const auto x = static_cast<float>(0.5 * std::sin(kTwoPi * 997.0 * static_cast<double>(phase) / rate));
        buffers.in[0][i] = x;
        buffers.in[1][i] = x;
    }
}

// The host's user-interface thread: reads what it shows and switches programs now and then.
void hostInterfaceThread(HostedEffect& effect, std::atomic<bool>& stop, uint32_t seed, bool switchPrograms)
{
    std::mt19937 rng(seed);
    const int32_t numParams = effect.get()->numParams;
    char text[kLongTextSize];
    for (int32_t round = 0; !stop.load(std::memory_order_relaxed); ++round) {
        for (int32_t index = 0; index < numParams; ++index) {
            (void)effect.get(index);
            effect.dispatch(effGetParamDisplay, index, 0, text);
            effect.dispatch(effGetParamName, index, 0, text);
        }
        effect.dispatch(effGetProgramName, 0, 0, text);
        effect.dispatch(effGetProgramNameIndexed, static_cast<int32_t>(rng() % 8), 0, text);
        if (switchPrograms && round % 16 == 15) effect.dispatch(effSetProgram, 0, static_cast<intptr_t>(rng() % 8));
        std::this_thread::yield();
    }
}

// setParameter before every 32-sample block, from the audio thread, while the host's
// interface thread reads and switches programs.
void automationFromAudioThread(CheckContext& context)
{
    HostedEffect effect(context.library);
    if (!context.expect(effect.valid(), "the entry point gave no effect")) return;
    constexpr float kRate = 48000;
    effect.start(kRate, kAutomationBlock);
    const int32_t numParams = effect.get()->numParams;
    const int32_t blocks = scaled(40000);
    std::atomic<bool> stop{false};
    std::thread interface(hostInterfaceThread, std::ref(effect), std::ref(stop), context.seed + 1, true);

    StereoBuffers buffers(kAutomationBlock);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    int64_t phase = 0;
    float previous = 0, largestJump = 0, largestInputJump = 0, previousInput = 0;
    bool finite = true;
    for (int32_t block = 0; block < blocks && finite; ++block) {
        effect.set(automatedIndex(context.rng, numParams), value(context.rng));
        fillTone(buffers, phase, kRate);
        effect.process(buffers.inputs, buffers.outputs, kAutomationBlock);
        for (int32_t i = 0; i < kAutomationBlock; ++i) {
            const float y = buffers.out[0][static_cast<std::size_t>(i)];
            const float x = buffers.in[0][static_cast<std::size_t>(i)];
            finite = finite && std::isfinite(y);
            largestJump = std::fmax(largestJump, std::fabs(y - previous));
            largestInputJump = std::fmax(largestInputJump, std::fabs(x - previousInput));
            previous = y;
            previousInput = x;
        }
    }
    stop = true;
    interface.join();
    context.expect(finite, "non-finite output under automation");
    context.note(std::to_string(blocks) + " automated blocks; largest output sample-to-sample jump " +
                 std::to_string(largestJump) + " (the input's: " + std::to_string(largestInputJump) + ")");
}

// Audio, a parameter thread and an editor thread that opens, idles and closes the editor
// and toggles processing off and on.
void threeThreads(CheckContext& context)
{
    HostedEffect effect(context.library);
    if (!context.expect(effect.valid(), "the entry point gave no effect")) return;
    effect.start(44100, 256);
    const int32_t numParams = effect.get()->numParams;
    const auto duration = std::chrono::milliseconds(builtWithSanitizer() == Sanitizer::None ? 3000 : 4000);
    std::atomic<bool> stop{false};
    DeviceAudio audio(effect, 44100, 256, context.seed + 1, false);
    std::thread parameters([&] {
        std::mt19937 rng(context.seed + 2);
        std::uniform_real_distribution<float> value(0.0f, 1.0f);
        for (int32_t n = 0; !stop.load(std::memory_order_relaxed); ++n) {
            effect.set(automatedIndex(rng, numParams), value(rng));
            if (n % 64 == 63) effect.dispatch(effSetProgram, 0, static_cast<intptr_t>(rng() % 8));
            std::this_thread::yield();
        }
    });
    int32_t cycles = 0, opened = 0;
    const EditorParent parent(context);
    const auto end = Clock::now() + duration;
    while (Clock::now() < end) {
        ERect* rect = nullptr;
        effect.dispatch(effEditGetRect, 0, 0, &rect);
        opened += effect.dispatch(effEditOpen, 0, 0, parent.handle()) != 0 ? 1 : 0;
        for (int32_t i = 0; i < 5; ++i) {
            effect.editIdle();
            parent.pumpEvents();
        }
        effect.dispatch(effEditClose);
        effect.suspend();
        effect.resume();
        ++cycles;
        // An editor thread waits for its next message; it does not spin.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    stop = true;
    audio.stop();
    parameters.join();
    context.expect(audio.soundSoFar(), "broken output while three threads ran");
    context.note(std::to_string(cycles) + " editor cycles (" + std::to_string(opened) + " opened) beside audio");
}

struct AutomatedRun {
    std::vector<float> output;
};

// One effect automated from its own audio thread by its own seed: the same seed gives
// the same output, whoever else runs at the same time.
void automatedRun(const PluginLibrary& library, uint32_t seed, int32_t blocks, AutomatedRun& run)
{
    HostedEffect effect(library);
    if (!effect.valid()) return;
    effect.start(44100, 64);
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    StereoBuffers buffers(64);
    run.output.reserve(static_cast<std::size_t>(blocks) * 64);
    for (int32_t block = 0; block < blocks; ++block) {
        effect.set(automatedIndex(rng, effect.get()->numParams), value(rng));
        fillNoise(buffers.in, rng, 0.5f);
        effect.process(buffers.inputs, buffers.outputs, 64);
        run.output.insert(run.output.end(), buffers.out[0].begin(), buffers.out[0].end());
    }
}

// Instances on audio threads of their own share no state: each gives what it gives alone.
void parallelInstances(CheckContext& context)
{
    constexpr int32_t kInstances = 4;
    const int32_t blocks = scaled(3000);
    std::vector<AutomatedRun> together(kInstances), alone(kInstances);
    std::vector<std::thread> threads;
    for (int32_t i = 0; i < kInstances; ++i) {
        threads.emplace_back(automatedRun, std::cref(context.library), context.seed + static_cast<uint32_t>(i), blocks,
                             std::ref(together[static_cast<std::size_t>(i)]));
    }
    for (std::thread& thread : threads) thread.join();
    for (int32_t i = 0; i < kInstances; ++i) {
        const auto n = static_cast<std::size_t>(i);
        automatedRun(context.library, context.seed + static_cast<uint32_t>(i), blocks, alone[n]);
        context.expect(!alone[n].output.empty() && together[n].output == alone[n].output,
                       std::string("instance ").append(std::to_string(i)) + " sounds different beside the others");
    }
}

constexpr Check checks[] = {
    {"automation-from-audio-thread", 4, automationFromAudioThread},
    {"three-threads", 5, threeThreads},
    {"parallel-instances", 10, parallelInstances},
};

}  // namespace

std::span<const Check> threadChecks() { return checks; }

}  // namespace validate
