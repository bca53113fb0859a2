// Where the plug-in library itself lies: the user documentation is beside it.
#pragma once

#include <cstddef>

// Room for a library path, terminator included, as the system's own path buffers have.
constexpr std::size_t kModulePathSize = 260;

// Writes the full path of the library this code is linked into (not the host program) to
// buffer, always terminated, cut to size - 1 characters. Answers the length written, 0
// when the path is unknown or size is 0. [any thread]
std::size_t getModulePath(char* buffer, std::size_t size);
