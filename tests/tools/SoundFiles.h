// Sound files for the tool's tests, written and read back through libsndfile.
#pragma once

#include <gtest/gtest.h>
#include <sndfile.h>

#include <random>
#include <string>
#include <vector>

namespace tooltest {

struct Sound {
    int channels = 0;
    int rate = 0;
    int format = 0;
    std::vector<float> samples;  // interleaved
};

inline void writeSound(const std::string& path, const Sound& sound)
{
    SF_INFO info{};
    info.channels = sound.channels;
    info.samplerate = sound.rate;
    info.format = sound.format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    sf_writef_float(file, sound.samples.data(), static_cast<sf_count_t>(sound.samples.size()) / sound.channels);
    sf_close(file);
}

inline Sound readSound(const std::string& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    Sound sound;
    if (file == nullptr) return sound;
    sound.channels = info.channels;
    sound.rate = info.samplerate;
    sound.format = info.format;
    sound.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(file, sound.samples.data(), info.frames);
    sf_close(file);
    return sound;
}

inline Sound noise(int channels, int rate, int frames, float amplitude, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> v(-amplitude, amplitude);
    Sound sound{channels, rate, SF_FORMAT_WAV | SF_FORMAT_FLOAT, {}};
    for (int i = 0; i < frames * channels; ++i) sound.samples.push_back(v(rng));
    return sound;
}

}  // namespace tooltest
