// Small files read whole, such as presets: with a limit, since a user may name anything
// (a device that never ends, a huge file given by mistake).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads path whole; throws ToolError naming path and the cause, or saying that it holds
// more than limit bytes.
std::vector<uint8_t> readWholeFile(const std::string& path, std::size_t limit);
