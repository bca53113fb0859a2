// Bounded text copies into buffers that the host owns.
#pragma once

#include <cstddef>
#include <cstring>

// Copies text into a host buffer of size bytes, cut to fit, always terminated.
inline void copyHostText(char* destination, const char* text, std::size_t size)
{
    if (size == 0) return;
    const std::size_t length = strnlen(text, size - 1);
    std::memcpy(destination, text, length);
    destination[length] = 0;
}

// Host buffer sizes of the interface, terminator included.
constexpr std::size_t kMaxProgramNameSize = 24;
constexpr std::size_t kMaxEffectNameSize = 32;
constexpr std::size_t kMaxVendorStringSize = 64;
constexpr std::size_t kMaxProductStringSize = 64;
// Parameter names are longer than the interface's 8 characters; hosts give room for
// more, and no name of ours needs more than this.
constexpr std::size_t kMaxParameterTextSize = 64;
