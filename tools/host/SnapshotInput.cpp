#include "tools/host/SnapshotInput.h"

#include <algorithm>

#include "tools/host/ToolError.h"

SnapshotInput::SnapshotInput(const std::string& path) : reader(path)
{
    const int rate = reader.sampleRate();
    if (rate < kLowestSnapshotRate || rate > kHighestSnapshotRate) {
        throw ToolError(path + ": a sample rate of " + std::to_string(rate) + " Hz; a snapshot plays from " +
                        std::to_string(kLowestSnapshotRate) + " to " + std::to_string(kHighestSnapshotRate) + " Hz");
    }
    framesLeft = static_cast<sf_count_t>(kLongestSnapshotSeconds) * rate;
    if (reader.frames() > framesLeft) skipped = reader.skip(reader.frames() - framesLeft);
}

int SnapshotInput::fill(float* left, float* right, int count)
{
    const auto channels = static_cast<std::size_t>(reader.channels());
    interleaved.resize(static_cast<std::size_t>(count) * channels);
    const auto n = static_cast<std::size_t>(reader.read(interleaved.data(), std::min<sf_count_t>(count, framesLeft)));
    framesLeft -= static_cast<sf_count_t>(n);
    for (std::size_t i = 0; i < n; ++i) {
        left[i] = interleaved[i * channels];
        right[i] = interleaved[i * channels + channels - 1];
    }
    return static_cast<int>(n);
}
