#include "tools/tolvan-validate/CallSequence.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "tools/tolvan-validate/Check.h"

namespace validate {
namespace {

constexpr float kRates[] = {8000, 22050, 44100, 48000, 96000, 192000, 384000, 0, -1, 1e9f};
constexpr int32_t kTextOpcodes[] = {effGetProgramName,  effGetParamLabel,         effGetParamDisplay,
                                    effGetParamName,    effGetProgramNameIndexed, effGetEffectName,
                                    effGetVendorString, effGetProductString};
constexpr float kOutputBound = 2.0e6f;

}  // namespace

CallSequence::CallSequence(HostedEffect& effect) : effect(effect), large(65536, 0), parentWindow(64, 0)
{
    for (int32_t c = 0; c < 2; ++c) {
        in[c].assign(kLargestBlock, 0.0f);
        out[c].assign(kLargestBlock, 0.0f);
        kept[c].assign(kLargestBlock, 0.0f);
    }
}

uint8_t CallSequence::byte() { return position < input.size() ? input[position++] : 0; }

uint32_t CallSequence::word()
{
    uint32_t w = 0;
    for (int32_t i = 0; i < 4; ++i) w = (w << 8) | byte();
    return w;
}

// Ordinary values mostly, any bit pattern (NaN, infinities, subnormals) now and then.
float CallSequence::anyFloat()
{
    const uint8_t kind = byte();
    if (kind < 200) return static_cast<float>(kind) / 199.0f;
    const uint32_t bits = word();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string CallSequence::run(std::span<const uint8_t> bytes)
{
    input = bytes;
    position = 0;
    while (position < input.size()) {
        std::string problem = step();
        ++calls;
        if (!problem.empty()) return "call " + std::to_string(calls) + ": " + problem;
    }
    return {};
}

std::string CallSequence::step()
{
    const int32_t numParams = effect.get()->numParams;
    switch (byte() % 10) {
    case 0:
    case 1: effect.set(static_cast<int32_t>(byte()) - 4, anyFloat()); return {};
    case 2: {
        const int32_t index = static_cast<int32_t>(byte() % (numParams + 8)) - 4;
        const float value = effect.get(index);
        if (!(value >= 0.0f && value <= 1.0f))
            return "getParameter " + std::to_string(index) + " gave " + std::to_string(value);
        return {};
    }
    case 3:
    case 4: return process();
    case 5: return dispatchOpcode();
    case 6: return queryText();
    case 7: effect.dispatch(effSetProgram, 0, static_cast<intptr_t>(static_cast<int8_t>(byte()))); return {};
    case 8: {
        const uint8_t which = byte();
        const float rate = which < 250 ? kRates[which % std::size(kRates)] : anyFloat();
        effect.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        return {};
    }
    default: {
        switch (byte() % 5) {
        case 0: effect.dispatch(effEditOpen, 0, 0, parentWindow.data()); break;
        case 1: effect.dispatch(effEditClose); break;
        case 2: effect.dispatch(effMainsChanged, 0, byte() % 2); break;
        case 3: {
            ERect* rect = nullptr;
            effect.dispatch(effEditGetRect, 0, 0, &rect);
            break;
        }
        default: effect.dispatch(effEditIdle); break;
        }
        return {};
    }
    }
}

// Any opcode but effClose, with the arguments shaped as hosts shape them.
std::string CallSequence::dispatchOpcode()
{
    const auto opcode = static_cast<int32_t>(static_cast<int8_t>(byte()));
    if (opcode == effClose) return {};
    const auto index = static_cast<int32_t>(static_cast<int16_t>(word()));
    intptr_t value = static_cast<int32_t>(word());
    void* speakerSlots[2] = {nullptr, nullptr};
    if (opcode == effSetSpeakerArrangement || opcode == effGetSpeakerArrangement) {
        value = reinterpret_cast<intptr_t>(&speakerSlots[0]);
    }
    void* ptr = nullptr;
    const int32_t textSize = hostTextSize(opcode);
    CanaryBuffer text(textSize > 0 ? textSize : 16);
    switch (byte() % 3) {
    case 0: break;
    case 1: ptr = text.data(); break;
    default: ptr = opcode == effEditOpen ? parentWindow.data() : large.data(); break;
    }
    // Hosts pass terminated texts, whatever an earlier call left in the buffer.
    large.back() = 0;
    effect.dispatch(opcode, index, value, ptr, anyFloat());
    const std::string problem = text.problem();
    if (!problem.empty()) return "opcode " + std::to_string(opcode) + ": " + problem;
    return {};
}

std::string CallSequence::queryText()
{
    const int32_t opcode = kTextOpcodes[byte() % std::size(kTextOpcodes)];
    const auto index = static_cast<int32_t>(static_cast<int8_t>(byte()));
    CanaryBuffer text(hostTextSize(opcode));
    effect.dispatch(opcode, index, 0, text.data());
    const std::string problem = text.problem();
    return problem.empty()
               ? std::string()
               : "text opcode " + std::to_string(opcode) + " index " + std::to_string(index) + ": " + problem;
}

std::string CallSequence::process()
{
    const int32_t frames = static_cast<int32_t>(word() % (kLargestBlock + 1));
    const bool inPlace = (byte() & 1) != 0;
    const float amplitude = static_cast<float>(byte()) / 255.0f;
    uint32_t noise = word() | 1;
    for (int32_t c = 0; c < 2; ++c) {
        for (int32_t i = 0; i < frames; ++i) {
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            in[c][static_cast<std::size_t>(i)] =
                amplitude *
                (static_cast<float>(noise) / static_cast<float>(std::numeric_limits<uint32_t>::max()) * 2 - 1);
        }
        kept[c] = in[c];
    }
    float* inputs[2] = {in[0].data(), in[1].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};
    effect.process(inputs, inPlace ? inputs : outputs, frames);
    for (int32_t c = 0; c < 2; ++c) {
        const std::vector<float>& result = inPlace ? in[c] : out[c];
        const std::string problem =
            sampleProblem(std::span<const float>(result.data(), static_cast<std::size_t>(frames)), kOutputBound);
        if (!problem.empty()) return "process " + std::to_string(frames) + " frames: " + problem;
        if (!inPlace && in[c] != kept[c]) return "process wrote into its input buffers";
    }
    return {};
}

}  // namespace validate
