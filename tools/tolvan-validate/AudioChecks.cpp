// Level 3: audio at every rate and block size hosts use, with random settings.

#include <algorithm>
#include <cstring>
#include <vector>

#include "tools/tolvan-validate/Check.h"

namespace validate {
namespace {

constexpr float kRates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000, 384000};
constexpr int32_t kBlockSizes[] = {1, 2, 3, 17, 64, 512, 1024, 4096, 8192};
constexpr int32_t kFrames = 16384;
// The most six bands of +18 dB and the output gain's +18 dB can add to full scale
// (126 dB); an unstable filter goes far beyond it.
constexpr float kOutputBound = 2.0e6f;

// Random settings, the same on every effect that gets them; bypass stays in circuit.
std::vector<float> randomSettings(std::mt19937& rng)
{
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    std::vector<float> settings(41);
    for (int32_t index = 0; index < 41; ++index) {
        settings[static_cast<std::size_t>(index)] = isSwitch(index) ? static_cast<float>(rng() % 2) : value(rng);
    }
    settings[9] = 1.0f;
    return settings;
}

void applySettings(HostedEffect& effect, const std::vector<float>& settings)
{
    for (int32_t index = 9; index < static_cast<int32_t>(settings.size()); ++index) {
        effect.set(index, settings[static_cast<std::size_t>(index)]);
    }
}

struct Rendered {
    std::vector<float> channel[2];
};

// The whole signal through a fresh effect in blocks of blockSize, in place or not;
// checks every block as it comes.
Rendered render(CheckContext& context, const std::vector<float> (&signal)[2], float rate,
                const std::vector<float>& settings, int32_t blockSize, bool inPlace)
{
    Rendered result;
    HostedEffect effect(context.library);
    if (!context.expect(effect.valid(), "the entry point gave no effect")) return result;
    effect.start(rate, blockSize);
    applySettings(effect, settings);
    StereoBuffers buffers(blockSize);
    const std::string where = std::to_string(static_cast<int32_t>(rate)) + " Hz, blocks of " +
                              std::to_string(blockSize) + (inPlace ? " in place" : "");
    for (int32_t c = 0; c < 2; ++c) result.channel[c].reserve(signal[c].size());
    bool inputsKept = true;
    for (int32_t start = 0; start < kFrames; start += blockSize) {
        // The last block takes what is left of the signal.
        const int32_t count = std::min(blockSize, kFrames - start);
        const std::size_t bytes = sizeof(float) * static_cast<std::size_t>(count);
        for (int32_t c = 0; c < 2; ++c) std::memcpy(buffers.in[c].data(), signal[c].data() + start, bytes);
        effect.process(buffers.inputs, inPlace ? buffers.inputs : buffers.outputs, count);
        for (int32_t c = 0; c < 2; ++c) {
            const std::vector<float>& out = inPlace ? buffers.in[c] : buffers.out[c];
            result.channel[c].insert(result.channel[c].end(), out.begin(), out.begin() + count);
            if (!inPlace && inputsKept)
                inputsKept = std::memcmp(buffers.in[c].data(), signal[c].data() + start, bytes) == 0;
        }
    }
    context.expect(inputsKept, where + ": the effect wrote into its input buffers");
    for (int32_t c = 0; c < 2; ++c) {
        const std::string problem = sampleProblem(result.channel[c], kOutputBound);
        context.expect(problem.empty(), where + ", channel " + std::to_string(c) + ": " + problem);
    }
    return result;
}

// The first sample where two renderings differ, -1 when they agree.
int32_t firstDifference(const Rendered& a, const Rendered& b)
{
    for (int32_t c = 0; c < 2; ++c) {
        if (a.channel[c].size() != b.channel[c].size()) return 0;
        for (std::size_t i = 0; i < a.channel[c].size(); ++i) {
            if (a.channel[c][i] != b.channel[c][i]) return static_cast<int32_t>(i);
        }
    }
    return -1;
}

std::string difference(const Rendered& a, const Rendered& b, int32_t at)
{
    if (at < 0) return {};
    for (int32_t c = 0; c < 2; ++c) {
        const auto i = static_cast<std::size_t>(at);
        if (i < a.channel[c].size() && i < b.channel[c].size() && a.channel[c][i] != b.channel[c][i]) {
            return std::to_string(a.channel[c][i]) + " against " + std::to_string(b.channel[c][i]) + ", channel " +
                   std::to_string(c);
        }
    }
    return "lengths differ";
}

// Per rate: a reference rendering, then every block size out of place and in place,
// each from a fresh effect with the same settings; all of them must agree exactly.
void ratesAndBlockSizes(CheckContext& context)
{
    int32_t renderings = 0;
    for (float rate : kRates) {
        const std::vector<float> settings = randomSettings(context.rng);
        std::vector<float> signal[2] = {std::vector<float>(kFrames), std::vector<float>(kFrames)};
        fillNoise(signal, context.rng);
        const Rendered reference = render(context, signal, rate, settings, 64, false);
        const Rendered again = render(context, signal, rate, settings, 64, false);
        context.expect(firstDifference(reference, again) < 0,
                       std::to_string(static_cast<int32_t>(rate)) + " Hz: two fresh effects differ");
        renderings += 2;
        for (int32_t blockSize : kBlockSizes) {
            for (bool inPlace : {false, true}) {
                const Rendered rendered = render(context, signal, rate, settings, blockSize, inPlace);
                const int32_t at = firstDifference(reference, rendered);
                context.expect(at < 0, std::to_string(static_cast<int32_t>(rate)) + " Hz, blocks of " +
                                           std::to_string(blockSize) + (inPlace ? " in place" : "") +
                                           ": differs from blocks of 64 at sample " + std::to_string(at) + " (" +
                                           difference(reference, rendered, at) + ")");
                ++renderings;
            }
        }
    }
    context.note(std::to_string(renderings) + " renderings of " + std::to_string(kFrames) + " frames");
}

// Silence in, silence out, and no subnormals on the way down from a loud burst.
void silenceAfterBurst(CheckContext& context)
{
    for (float rate : {44100.0f, 192000.0f}) {
        HostedEffect effect(context.library);
        if (!context.expect(effect.valid(), "the entry point gave no effect")) return;
        effect.start(rate, 1024);
        applySettings(effect, randomSettings(context.rng));
        StereoBuffers buffers(1024);
        fillNoise(buffers.in, context.rng);
        effect.process(buffers.inputs, buffers.outputs, 1024);
        for (std::vector<float>& channel : buffers.in) channel.assign(channel.size(), 0.0f);
        // Long enough for every section's tail to decay far below the subnormal range.
        for (int32_t block = 0; block < 2000; ++block) {
            effect.process(buffers.inputs, buffers.outputs, 1024);
            for (const std::vector<float>& channel : buffers.out) {
                const std::string problem = sampleProblem(channel, kOutputBound);
                if (!context.expect(problem.empty(), "decay at " + std::to_string(static_cast<int32_t>(rate)) +
                                                         " Hz, block " + std::to_string(block) + ": " + problem)) {
                    return;
                }
            }
        }
    }
}

constexpr Check checks[] = {
    {"rates-and-block-sizes", 3, ratesAndBlockSizes},
    {"silence-after-burst", 3, silenceAfterBurst},
};

}  // namespace

std::span<const Check> audioChecks() { return checks; }

}  // namespace validate
