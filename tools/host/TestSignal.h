// The test signal of the tool: deterministic stereo pink noise written to a file.
#pragma once

#include <string>

// seconds of noise at rate, as 24-bit samples, in the container path's extension names
// (WAV otherwise); written through a temporary name like every output of the tool.
void writePinkNoise(const std::string& path, long seconds, long rate);
