// Level 6: effects created and closed many times, many alive at once, and the editor
// opened and closed many times while audio runs.

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "tools/tolvan-validate/Check.h"
#include "tools/tolvan-validate/DeviceAudio.h"
#include "tools/tolvan-validate/ResidentMemory.h"

namespace validate {
namespace {

// Growth of the resident set per cycle beyond which a plain build calls it a leak; a
// sanitizer build's allocator keeps freed memory in quarantine, so there it is reported
// only and LeakSanitizer judges.
constexpr double kLeakPerCycleLimit = 2048;
constexpr int32_t kWarmUpCycles = 100;

// Resident growth per cycle over cycles runs of cycle, in bytes. A leak grows the resident
// set in every quarter of the run, while the allocator taking one more block from the
// system grows it in one; so the quarter that grew least is what counts.
double growthPerCycle(int32_t cycles, const std::function<void()>& cycle)
{
    constexpr int32_t kQuarters = 4;
    double least = std::numeric_limits<double>::max();
    int32_t done = 0;
    for (int32_t quarter = 1; quarter <= kQuarters; ++quarter) {
        // Every cycle is run: the last quarter takes what does not divide evenly.
        const int32_t count = std::max(1, cycles * quarter / kQuarters - done);
        const double before = residentBytes();
        for (int32_t i = 0; i < count; ++i) cycle();
        done += count;
        least = std::min(least, (residentBytes() - before) / count);
    }
    return least;
}

void oneCycle(CheckContext& context, StereoBuffers& buffers)
{
    HostedEffect effect(context.library);
    if (!effect.valid()) return;
    effect.start(48000, 512);
    effect.set(13, 1.0f);
    effect.process(buffers.inputs, buffers.outputs, 512);
    effect.suspend();
}

void createProcessClose(CheckContext& context)
{
    const int32_t cycles = scaled(1000);
    StereoBuffers buffers(512);
    fillNoise(buffers.in, context.rng, 0.5f);
    // The first cycles fill the allocator's caches; growth after them is what leaks.
    for (int32_t i = 0; i < kWarmUpCycles; ++i) oneCycle(context, buffers);
    const double perCycle = growthPerCycle(cycles, [&] { oneCycle(context, buffers); });
    char figure[160];
    std::snprintf(figure, sizeof figure,
                  "%d create/open/process/close cycles; resident set grew %.0f bytes per cycle after the first %d "
                  "(the least of four quarters)",
                  kWarmUpCycles + cycles, perCycle, kWarmUpCycles);
    context.note(figure);
    if (builtWithSanitizer() == Sanitizer::None) {
        context.expect(perCycle < kLeakPerCycleLimit, "memory grows with every effect created and closed");
    }
}

// 200 effects at once, each with settings of its own: each reads back its own values, and
// each sounds as an effect with those settings sounds alone.
void manyInstances(CheckContext& context)
{
    constexpr int32_t kInstances = 200;
    constexpr int32_t kFrames = 256;
    std::vector<std::unique_ptr<HostedEffect>> effects;
    std::vector<float> gains;
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    const double before = residentBytes();
    for (int32_t i = 0; i < kInstances; ++i) {
        effects.push_back(std::make_unique<HostedEffect>(context.library));
        if (!context.expect(effects.back()->valid(), "no effect number " + std::to_string(i))) return;
        effects.back()->start(44100, kFrames);
        gains.push_back(value(context.rng));
        effects.back()->set(13, 1.0f);
        effects.back()->set(28, gains.back());
        effects.back()->set(10, 1.0f - gains.back());
    }
    char figure[96];
    std::snprintf(figure, sizeof figure, "%d effects alive at once, %.0f kB resident each", kInstances,
                  (residentBytes() - before) / kInstances / 1024);
    context.note(figure);
    StereoBuffers signal(kFrames);
    fillNoise(signal.in, context.rng, 0.5f);
    std::vector<std::vector<float>> outputs;
    for (int32_t i = 0; i < kInstances; ++i) {
        StereoBuffers buffers(kFrames);
        buffers.in[0] = signal.in[0];
        buffers.in[1] = signal.in[1];
        effects[static_cast<std::size_t>(i)]->process(buffers.inputs, buffers.outputs, kFrames);
        outputs.push_back(buffers.out[0]);
    }
    for (int32_t i = 0; i < kInstances; ++i) {
        const auto n = static_cast<std::size_t>(i);
        context.expect(effects[n]->get(28) == gains[n] && effects[n]->get(10) == 1.0f - gains[n],
                       "effect " + std::to_string(i) + " reads another's values");
    }
    effects.clear();
    // Some of them again, alone.
    for (int32_t i = 0; i < kInstances; i += 37) {
        HostedEffect alone(context.library);
        alone.start(44100, kFrames);
        alone.set(13, 1.0f);
        alone.set(28, gains[static_cast<std::size_t>(i)]);
        alone.set(10, 1.0f - gains[static_cast<std::size_t>(i)]);
        StereoBuffers buffers(kFrames);
        buffers.in[0] = signal.in[0];
        buffers.in[1] = signal.in[1];
        alone.process(buffers.inputs, buffers.outputs, kFrames);
        context.expect(buffers.out[0] == outputs[static_cast<std::size_t>(i)],
                       "effect " + std::to_string(i) + " sounded different among 200");
    }
}

void editorCyclesWithAudio(CheckContext& context)
{
    HostedEffect effect(context.library);
    if (!context.expect(effect.valid(), "the entry point gave no effect")) return;
    effect.start(44100, 128);
    DeviceAudio audio(effect, 44100, 128, context.seed + 1, false);
    const int32_t cycles = scaled(1000);
    const EditorParent parent(context);
    int32_t opened = 0;
    const auto cycle = [&] {
        opened += effect.dispatch(effEditOpen, 0, 0, parent.handle()) != 0 ? 1 : 0;
        effect.editIdle();
        parent.pumpEvents();
        effect.dispatch(effEditClose);
    };
    // As with effects, the first openings fill the allocator's caches.
    for (int32_t i = 0; i < kWarmUpCycles; ++i) cycle();
    const double perCycle = growthPerCycle(cycles, cycle);
    audio.stop();
    context.expect(audio.soundSoFar(), "broken output while the editor opened and closed");
    char figure[200];
    std::snprintf(figure, sizeof figure,
                  "%d editor cycles beside %lld audio blocks (%d of them opened the editor); resident set grew %.0f "
                  "bytes per cycle (the least of four quarters)",
                  kWarmUpCycles + cycles, static_cast<long long>(audio.blocks()), opened, perCycle);
    context.note(figure);
    if (builtWithSanitizer() == Sanitizer::None) {
        context.expect(perCycle < kLeakPerCycleLimit, "memory grows with every editor opened and closed");
    }
}

constexpr Check checks[] = {
    {"create-process-close-cycles", 6, createProcessClose},
    {"many-instances", 6, manyInstances},
    {"editor-cycles-with-audio", 6, editorCyclesWithAudio},
};

}  // namespace

std::span<const Check> lifecycleChecks() { return checks; }

}  // namespace validate
