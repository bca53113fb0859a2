// Level 7: a seeded random sequence of host calls, the validator's own counterpart of
// the fuzzer.

#include "tools/tolvan-validate/CallSequence.h"
#include "tools/tolvan-validate/Check.h"

namespace validate {
namespace {

constexpr int32_t kCalls = 100000;
// Bytes per call are a few on average; a new effect every so often also tries creation
// and closing in between.
constexpr int32_t kBytesPerRun = 4096;

void randomCallSequence(CheckContext& context)
{
    const int32_t calls = scaled(kCalls);
    int32_t made = 0, effects = 0;
    std::vector<uint8_t> bytes(kBytesPerRun);
    while (made < calls) {
        HostedEffect effect(context.library);
        if (!context.expect(effect.valid(), "the entry point gave no effect")) return;
        ++effects;
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(context.rng());
        CallSequence sequence(effect);
        const std::string problem = sequence.run(bytes);
        made += sequence.callsMade();
        if (!context.expect(problem.empty(), "effect " + std::to_string(effects) + ", " + problem)) return;
        context.expect(effect.close() == 1, "effClose after a random sequence does not answer 1");
    }
    context.note(std::to_string(made) + " random calls on " + std::to_string(effects) + " effects");
}

constexpr Check checks[] = {
    {"random-call-sequence", 7, randomCallSequence},
};

}  // namespace

std::span<const Check> callSequenceChecks() { return checks; }

}  // namespace validate
