// Level 2: parameters as a host sets and reads them, sane values and hostile ones.

#include <cmath>

#include "tools/tolvan-validate/Check.h"

namespace validate {
namespace {

// Parameters that are actions rather than stored values: the spare row, the manual and
// Reset read back as they please, but still inside 0..1.
constexpr bool storesItsValue(int32_t index) { return index != 1 && index != 2 && index != 8; }

bool inUnitRange(float value) { return std::isfinite(value) && value >= 0.0f && value <= 1.0f; }

// What a stored parameter reads back after being set to value.
float readBack(int32_t index, float value) { return isSwitch(index) ? (value >= 0.5f ? 1.0f : 0.0f) : value; }

void roundTrips(CheckContext& context)
{
    HostedEffect effect(context.library);
    if (!context.expect(effect.valid(), "the entry point gave no effect")) return;
    const int32_t numParams = effect.get()->numParams;
    std::uniform_real_distribution<float> anyValue(0.0f, 1.0f);
    for (int32_t index = 0; index < numParams; ++index) {
        for (float value : {0.0f, 1.0f, 0.5f, 0.25f, anyValue(context.rng), anyValue(context.rng)}) {
            effect.set(index, value);
            const float back = effect.get(index);
            context.expect(inUnitRange(back), "parameter " + std::to_string(index) + " reads " + std::to_string(back));
            if (storesItsValue(index)) {
                context.expect(back == readBack(index, value), "parameter " + std::to_string(index) + " set to " +
                                                                   std::to_string(value) + " reads " +
                                                                   std::to_string(back));
            }
        }
    }
    // Indices a host should not use read as something sane and change nothing.
    for (int32_t index : {-1, numParams, numParams + 100, INT32_MIN, INT32_MAX}) {
        effect.set(index, 0.5f);
        context.expect(inUnitRange(effect.get(index)), "parameter " + std::to_string(index) + " out of 0..1");
    }
}

// Every hostile value into every parameter, audio processed after each: the values read
// back stay in 0..1 and the audio stays finite.
void hostileValuesKeepAudioFinite(CheckContext& context)
{
    HostedEffect effect(context.library);
    if (!context.expect(effect.valid(), "the entry point gave no effect")) return;
    effect.start(48000, 256);
    const int32_t numParams = effect.get()->numParams;
    StereoBuffers buffers(256);
    // Every band on first, so that hostile frequencies, gains and Qs reach a live filter.
    for (int32_t index = 11; index <= 18 && index < numParams; ++index) effect.set(index, 1.0f);
    for (int32_t index = -1; index <= numParams; ++index) {
        for (float value : hostileValues()) {
            effect.set(index, value);
            fillNoise(buffers.in, context.rng);
            effect.process(buffers.inputs, buffers.outputs, 256);
            for (const std::vector<float>& channel : buffers.out) {
                const std::string problem = sampleProblem(channel, 1e6f);
                context.expect(problem.empty(), "parameter " + std::to_string(index) + " set to " +
                                                    std::to_string(value) + ": " + problem);
            }
            const float back = effect.get(index);
            context.expect(inUnitRange(back), "parameter " + std::to_string(index) + " set to " +
                                                  std::to_string(value) + " reads " + std::to_string(back));
            CanaryBuffer display(kParameterTextSize);
            effect.dispatch(effGetParamDisplay, index, 0, display.data());
            context.expect(display.problem().empty(), "display of " + std::to_string(index) + ": " + display.problem());
        }
        // Back to a sane value before the next parameter, so each is judged on its own.
        if (index >= 0 && index < numParams && storesItsValue(index)) effect.set(index, 0.5f);
    }
}

constexpr Check checks[] = {
    {"parameter-round-trips", 2, roundTrips},
    {"hostile-parameter-values", 2, hostileValuesKeepAudioFinite},
};

}  // namespace

std::span<const Check> parameterChecks() { return checks; }

}  // namespace validate
