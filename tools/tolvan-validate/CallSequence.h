// Turns a stream of bytes into a sequence of host calls on one effect: dispatcher
// opcodes, parameters, programs, rates, editor cycles and audio blocks. The fuzzer feeds
// it libFuzzer's input, the validator seeded random bytes. Every call's result is checked
// the same way in both.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tools/tolvan-validate/Plugin.h"

namespace validate {

class CallSequence {
public:
    explicit CallSequence(HostedEffect& effect);

    // Runs the calls the bytes describe; answers the first problem found, empty if none.
    std::string run(std::span<const uint8_t> bytes);
    int32_t callsMade() const { return calls; }

private:
    uint8_t byte();
    uint32_t word();
    float anyFloat();
    std::string step();
    std::string dispatchOpcode();
    std::string queryText();
    std::string process();

    static constexpr int32_t kLargestBlock = 1100;
    HostedEffect& effect;
    std::span<const uint8_t> input;
    std::size_t position = 0;
    int32_t calls = 0;
    std::vector<float> in[2], out[2], kept[2];
    std::vector<char> large;
    std::vector<char> parentWindow;
};

}  // namespace validate
