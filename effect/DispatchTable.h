// Opcode tables: each opcode a class handles is one row of a constant table, and the
// dispatcher looks the row up by number.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "effect/EffectBase.h"

template <typename Effect>
using OpcodeHandler = intptr_t (*)(Effect& effect, const DispatchArgs& args);

template <typename Effect>
struct DispatchEntry {
    int32_t opcode;
    OpcodeHandler<Effect> handle;
};

// The handlers of the opcodes First..Last by number; unlisted opcodes have none.
template <typename Effect, int32_t First, int32_t Last, std::size_t N>
constexpr std::array<OpcodeHandler<Effect>, Last - First + 1> indexOpcodes(const DispatchEntry<Effect> (&entries)[N])
{
    std::array<OpcodeHandler<Effect>, Last - First + 1> table{};
    for (const DispatchEntry<Effect>& entry : entries) table[entry.opcode - First] = entry.handle;
    return table;
}

// The text buffer a host passes in ptr, null when it passed none.
inline char* hostText(const DispatchArgs& args) { return static_cast<char*>(args.ptr); }

// Runs the handler of opcode, or answers 0 when the table has none.
template <typename Effect, int32_t First, std::size_t Size>
intptr_t dispatchOpcode(const std::array<OpcodeHandler<Effect>, Size>& table, Effect& effect, int32_t opcode,
                        const DispatchArgs& args)
{
    if (opcode < First || opcode >= First + static_cast<int32_t>(Size)) return 0;
    const OpcodeHandler<Effect> handler = table[static_cast<std::size_t>(opcode - First)];
    return handler != nullptr ? handler(effect, args) : 0;
}
