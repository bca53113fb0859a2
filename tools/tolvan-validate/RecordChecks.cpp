// Level 1: the record and every dispatcher opcode, with the arguments hosts pass and
// with arguments they should not.

#include <cstring>
#include <vector>

#include "tools/tolvan-validate/Check.h"

namespace validate {
namespace {

constexpr int32_t kExpectedUniqueId = fourCharacters("iq71");
// Opcodes whose value is a pointer the effect writes through.
constexpr bool valueIsPointer(int32_t opcode)
{
    return opcode == effSetSpeakerArrangement || opcode == effGetSpeakerArrangement;
}

std::string text(HostedEffect& effect, int32_t opcode, int32_t index = 0)
{
    CanaryBuffer buffer(hostTextSize(opcode));
    effect.dispatch(opcode, index, 0, buffer.data());
    return buffer.problem().empty() ? std::string(buffer.data()) : std::string("<") + buffer.problem() + ">";
}

void recordAndIdentity(CheckContext& context)
{
    HostedEffect effect(context.library);
    if (!context.expect(effect.valid(), "the entry point gave no effect")) return;
    const AEffect& record = *effect.get();
    context.expect(record.magic == kEffectMagic, "magic is not VstP");
    context.expect(record.dispatcher && record.setParameter && record.getParameter && record.processReplacing,
                   "an entry function is null");
    context.expect(record.numInputs == 2 && record.numOutputs == 2, "not two inputs and two outputs");
    context.expect(record.numParams == 41 && record.numPrograms == 8, "not 41 parameters and 8 programs");
    context.expect((record.flags & effFlagsCanReplacing) != 0, "processReplacing flag missing");
    context.expect((record.flags & effFlagsHasEditor) != 0, "editor flag missing");
    context.expect(record.uniqueID == kExpectedUniqueId, "unique id is not iq71");
    context.expect(effect.dispatch(effGetVstVersion) == 2400, "effGetVstVersion is not 2400");
    context.expect(effect.dispatch(effGetPlugCategory) == 1, "category is not effect");
    context.expect(effect.dispatch(effGetVendorVersion) == 1000, "vendor version is not 1000");
    context.expect(text(effect, effGetEffectName) == "KR [Tolvan]", "effect name: " + text(effect, effGetEffectName));
    context.expect(text(effect, effGetVendorString) == "[Kelvo] Ormund.T",
                   "vendor: " + text(effect, effGetVendorString));
    context.expect(text(effect, effGetProductString) == "Tolvan", "product: " + text(effect, effGetProductString));
    context.expect(effect.dispatch(effCanDo, 0, 0, const_cast<char*>("receiveVstMidiEvent")) == 0,
                   "effCanDo claims MIDI input");
    context.expect(effect.dispatch(effGetChunk) == 0, "effGetChunk answers a chunk");

    // A host that answers 0 to the version question gets no effect.
    const HostCallback refusingHost = [](AEffect*, int32_t, int32_t, intptr_t, void*, float) -> intptr_t { return 0; };
    context.expect(context.library.create(refusingHost) == nullptr, "an effect for a host of version 0");
    context.expect(effect.close() == 1, "effClose does not answer 1");
}

// Every opcode with random index, value and opt, and with no buffer, a small one and a
// large zeroed one: nothing may crash, hang or write past a buffer.
void everyOpcode(CheckContext& context)
{
    std::uniform_int_distribution<int32_t> anyIndex(-1000, 1000);
    std::uniform_int_distribution<intptr_t> anyValue(-100000, 100000);
    std::uniform_real_distribution<float> anyOpt(-1e6f, 1e6f);
    int32_t calls = 0;
    for (int32_t pass = 0; pass < 3; ++pass) {
        HostedEffect effect(context.library);
        if (!context.expect(effect.valid(), "the entry point gave no effect")) return;
        effect.start(44100, 512);
        for (int32_t opcode = -8; opcode < 128; ++opcode) {
            if (opcode == effClose) continue;
            const int32_t index = pass == 0 ? 0 : anyIndex(context.rng);
            const float opt = pass == 0 ? 0.0f : anyOpt(context.rng);
            const int32_t small = hostTextSize(opcode) != 0 ? hostTextSize(opcode) : 16;
            CanaryBuffer smallBuffer(small);
            std::vector<char> large(65536, 0);
            void* speakerSlots[2] = {nullptr, nullptr};
            for (void* ptr : {static_cast<void*>(nullptr), static_cast<void*>(smallBuffer.data()),
                              static_cast<void*>(large.data())}) {
                const intptr_t value = valueIsPointer(opcode) ? reinterpret_cast<intptr_t>(&speakerSlots[0])
                                       : pass == 0            ? 0
                                                              : anyValue(context.rng);
                effect.dispatch(opcode, index, value, ptr, opt);
                ++calls;
            }
            context.expect(smallBuffer.problem().empty(),
                           "opcode " + std::to_string(opcode) + ": " + smallBuffer.problem());
        }
        effect.dispatch(effEditClose);
        // Still an effect after all of that: it processes and closes.
        StereoBuffers buffers(512);
        fillNoise(buffers.in, context.rng, 0.5f);
        effect.process(buffers.inputs, buffers.outputs, 512);
        for (const std::vector<float>& channel : buffers.out) {
            const std::string problem = sampleProblem(channel, 1e4f);
            context.expect(problem.empty(), "after the opcode sweep: " + problem);
        }
        context.expect(effect.close() == 1, "effClose after the sweep does not answer 1");
    }
    context.note(std::to_string(calls) + " dispatcher calls");
}

// The text opcodes at the buffer sizes hosts really pass, for every index they may ask
// for and some they should not.
void textCanaries(CheckContext& context)
{
    HostedEffect effect(context.library);
    if (!context.expect(effect.valid(), "the entry point gave no effect")) return;
    const int32_t numParams = effect.get()->numParams;
    const int32_t numPrograms = effect.get()->numPrograms;
    std::vector<int32_t> parameterIndices = {-1, numParams, numParams + 1, 1 << 20, INT32_MIN};
    for (int32_t i = 0; i < numParams; ++i) parameterIndices.push_back(i);
    for (int32_t opcode : {effGetParamLabel, effGetParamDisplay, effGetParamName}) {
        for (int32_t index : parameterIndices) {
            CanaryBuffer buffer(hostTextSize(opcode));
            effect.dispatch(opcode, index, 0, buffer.data());
            const std::string problem = buffer.problem();
            context.expect(problem.empty(),
                           "opcode " + std::to_string(opcode) + " index " + std::to_string(index) + ": " + problem);
        }
    }
    for (int32_t program = -1; program <= numPrograms; ++program) {
        effect.dispatch(effSetProgram, 0, program);
        CanaryBuffer current(kProgramNameSize), indexed(kProgramNameSize);
        effect.dispatch(effGetProgramName, 0, 0, current.data());
        effect.dispatch(effGetProgramNameIndexed, program, 0, indexed.data());
        context.expect(current.problem().empty(), "effGetProgramName: " + current.problem());
        context.expect(indexed.problem().empty(),
                       "effGetProgramNameIndexed " + std::to_string(program) + ": " + indexed.problem());
    }
    // A name longer than the host's field comes back cut, never longer than the field.
    std::string longName(200, 'n');
    effect.dispatch(effSetProgram, 0, 3);
    effect.dispatch(effSetProgramName, 0, 0, longName.data());
    CanaryBuffer renamed(kProgramNameSize);
    effect.dispatch(effGetProgramName, 0, 0, renamed.data());
    context.expect(renamed.problem().empty(), "long program name: " + renamed.problem());
    for (int32_t opcode : {effGetEffectName, effGetVendorString, effGetProductString}) {
        CanaryBuffer buffer(hostTextSize(opcode));
        effect.dispatch(opcode, 0, 0, buffer.data());
        context.expect(buffer.problem().empty(), "opcode " + std::to_string(opcode) + ": " + buffer.problem());
    }
}

constexpr Check checks[] = {
    {"record-and-identity", 1, recordAndIdentity},
    {"every-opcode", 1, everyOpcode},
    {"text-canaries", 1, textCanaries},
};

}  // namespace

std::span<const Check> recordChecks() { return checks; }

}  // namespace validate
