// The playing loop of the offline host: blocks read from a file, fed through the effect's
// processing call, written out, with the levels of both sides measured on the way.
#pragma once

#include <cmath>
#include <cstddef>
#include <functional>
#include <vector>

#include "tools/host/AudioFile.h"
#include "tools/host/LoadedPlugin.h"

// The effect is stereo; a mono file feeds both inputs and keeps the left output, which is
// the same as the right when both inputs are.
constexpr int kRenderChannels = 2;

struct ChannelLevel {
    double peak = 0;
    double sumSquares = 0;
    long long count = 0;

    // One block of the channel's samples.
    void add(const float* x, std::size_t n)
    {
        float blockPeak = 0;
        double blockSum = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const float a = std::fabs(x[i]);
            blockPeak = a > blockPeak ? a : blockPeak;
            blockSum += static_cast<double>(x[i]) * x[i];
        }
        peak = blockPeak > peak ? blockPeak : peak;
        sumSquares += blockSum;
        count += static_cast<long long>(n);
    }
    double rms() const { return count > 0 ? std::sqrt(sumSquares / static_cast<double>(count)) : 0; }
};

struct RenderResult {
    long long frames = 0;
    std::vector<ChannelLevel> input = std::vector<ChannelLevel>(kRenderChannels);
    std::vector<ChannelLevel> output = std::vector<ChannelLevel>(kRenderChannels);
    long long clippedSamples = 0;  // output samples beyond full scale
};

// Plays the whole of in through the effect, already prepared for in's rate and this
// block size, into out. progress hears the frames done after every block.
RenderResult renderFile(const LoadedPlugin& plugin, AudioReader& in, AudioWriter& out, int32_t block,
                        const std::function<void(long long)>& progress);
