// The LV2 plug-in's audio side: the descriptor that hosts find through lv2_descriptor,
// mapping the ports' real values onto the effect's normalised parameters and the audio
// ports onto its processing call. It has no editor and links no window system.
#include <lv2/core/lv2.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <new>

#include "effect/ParameterValues.h"
#include "plugin/lv2/Lv2Effect.h"
#include "plugin/lv2/PortTable.h"

namespace {

using namespace lv2ports;

// The rates the effect's filters and analysers are designed for.
bool usableRate(double rate) { return std::isfinite(rate) && rate >= 1.0 && rate <= 4.0e6; }

// The processing call counts samples in a signed 32-bit number.
constexpr uint32_t kLongestCall = uint32_t{1} << 30;

// The magnitude of a sample as the bits of its absolute value, which order as the values
// do and fit a signed integer; NaN gives 0, so it never counts.
int32_t magnitudeBits(float sample)
{
    constexpr int32_t kInfinity = 0x7F800000;
    const int32_t bits = std::bit_cast<int32_t>(sample) & 0x7FFFFFFF;
    return bits > kInfinity ? 0 : bits;
}

// The peak of a block of two channels in dBFS; NaN never counts. The largest magnitude is
// found in integers, which the compiler compares many samples a step: a chain of fmax
// calls waits for each sample in turn.
float peakDecibels(const float* left, const float* right, uint32_t count)
{
    int32_t largest = 0;
    for (uint32_t i = 0; i < count; ++i)
        largest = std::max(largest, std::max(magnitudeBits(left[i]), magnitudeBits(right[i])));
    const auto peak = std::bit_cast<float>(largest);
    if (!(peak > 0)) return kSilenceLevelDb;
    return std::max(kSilenceLevelDb, 20.0f * std::log10(peak));
}

}  // namespace

Lv2Effect::Lv2Effect(double rate)
{
    effect.changeSampleRate(static_cast<float>(rate));
    for (uint32_t i = 0; i < kNumControlPorts; ++i) {
        applied[i] = static_cast<float>(controlTable[controlPorts[i].row].defaultValue);
    }
}

void Lv2Effect::connect(uint32_t port, void* data)
{
    if (port < kFirstControlPort) {
        audio[port] = static_cast<float*>(data);
    } else if (port < kLevelPort) {
        controls[port - kFirstControlPort] = static_cast<const float*>(data);
    } else if (port == kLevelPort) {
        level = static_cast<float*>(data);
    }
}

void Lv2Effect::activate() { effect.resumeProcessing(); }

void Lv2Effect::run(uint32_t count)
{
    applyChangedPorts();
    float* left = audio[kOutputLeft];
    float* right = audio[kOutputRight];
    if (left == nullptr || right == nullptr || audio[kInputLeft] == nullptr || audio[kInputRight] == nullptr) {
        // Without a whole pair of each there is nothing to filter: what is connected is silent.
        for (float* out : {left, right}) {
            if (out != nullptr) std::fill_n(out, count, 0.0f);
        }
        if (level != nullptr) *level = kSilenceLevelDb;
        return;
    }
    if (count == 0) return;
    // The host's inputs are read, never written, although the processing call's type
    // does not say so.
    float* inputs[2] = {audio[kInputLeft], audio[kInputRight]};
    float* outputs[2] = {left, right};
    for (uint32_t done = 0; done < count;) {
        const uint32_t part = std::min<uint32_t>(count - done, kLongestCall);
        float* in[2] = {inputs[0] + done, inputs[1] + done};
        float* out[2] = {outputs[0] + done, outputs[1] + done};
        effect.processBlock(in, out, static_cast<int32_t>(part));
        done += part;
    }
    if (level != nullptr) *level = peakDecibels(left, right, count);
}

// A port's value reaches the effect only when it differs from the one applied last,
// brought into the row's range first; NaN leaves the setting as it was.
void Lv2Effect::applyChangedPorts()
{
    for (uint32_t i = 0; i < kNumControlPorts; ++i) {
        if (controls[i] == nullptr) continue;
        const float value = *controls[i];
        if (std::isnan(value)) continue;
        const ControlDescriptor& row = controlTable[controlPorts[i].row];
        const float real = std::clamp(value, static_cast<float>(row.minValue), static_cast<float>(row.maxValue));
        if (real == applied[i]) continue;
        applied[i] = real;
        effect.setParameterValue(controlPorts[i].row, static_cast<float>(realToNormalized(real, controlPorts[i].row)));
    }
}

namespace {

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const*)
{
    if (!usableRate(rate)) return nullptr;
    // Nothing may unwind into the host: a failed construction is no instance.
    try {
        return new (std::nothrow) Lv2Effect(rate);
    } catch (...) {
        return nullptr;
    }
}

Lv2Effect& instance(LV2_Handle handle) { return *static_cast<Lv2Effect*>(handle); }

constexpr LV2_Descriptor kDescriptor = {
    kPluginUri,
    instantiate,
    [](LV2_Handle handle, uint32_t port, void* data) { instance(handle).connect(port, data); },
    [](LV2_Handle handle) { instance(handle).activate(); },
    [](LV2_Handle handle, uint32_t count) { instance(handle).run(count); },
    [](LV2_Handle) {},
    [](LV2_Handle handle) { delete &instance(handle); },
    [](const char*) -> const void* { return nullptr; },
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
    return index == 0 ? &kDescriptor : nullptr;
}
