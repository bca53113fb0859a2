#include "tools/host/AudioRender.h"

RenderResult renderFile(const LoadedPlugin& plugin, AudioReader& in, AudioWriter& out, int32_t block,
                        const std::function<void(long long)>& progress)
{
    const auto frames = static_cast<std::size_t>(block);
    const auto inChannels = static_cast<std::size_t>(in.channels());
    std::vector<float> interleavedIn(frames * inChannels);
    const auto outChannels = static_cast<std::size_t>(out.channels());
    std::vector<float> interleavedOut(frames * outChannels);
    std::vector<std::vector<float>> inputs(kRenderChannels, std::vector<float>(frames));
    std::vector<std::vector<float>> outputs(kRenderChannels, std::vector<float>(frames));
    float* inputPointers[kRenderChannels] = {inputs[0].data(), inputs[1].data()};
    float* outputPointers[kRenderChannels] = {outputs[0].data(), outputs[1].data()};

    RenderResult result;
    for (;;) {
        const auto n = static_cast<std::size_t>(in.read(interleavedIn.data(), block));
        if (n == 0) break;
        for (std::size_t c = 0; c < kRenderChannels; ++c) {
            // A mono file feeds both inputs.
            const float* from = interleavedIn.data() + (inChannels == 1 ? 0 : c);
            float* to = inputs[c].data();
            for (std::size_t i = 0; i < n; ++i) to[i] = from[i * inChannels];
            result.input[c].add(to, n);
        }
        plugin.process(inputPointers, outputPointers, static_cast<int32_t>(n));
        for (std::size_t c = 0; c < kRenderChannels; ++c) {
            const float* from = outputs[c].data();
            result.output[c].add(from, n);
            if (c >= outChannels) continue;
            for (std::size_t i = 0; i < n; ++i) {
                interleavedOut[i * outChannels + c] = from[i];
                result.clippedSamples += std::fabs(from[i]) > 1.0f ? 1 : 0;
            }
        }
        out.write(interleavedOut.data(), static_cast<sf_count_t>(n));
        result.frames += static_cast<long long>(n);
        progress(result.frames);
    }
    return result;
}
