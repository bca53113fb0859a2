// The plug-in run by Debian's lv2apply on a sound file, with port values given by symbol,
// as a user at a shell would run it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <string>

#include "tests/tools/SoundFiles.h"

namespace {

constexpr int kRate = 48000;

// The RMS level in dB of one channel of an interleaved stereo sound from sample `from` on.
double levelDb(const tooltest::Sound& sound, int channel, std::size_t from)
{
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t i = from * 2 + static_cast<std::size_t>(channel); i < sound.samples.size(); i += 2, ++n) {
        sum += static_cast<double>(sound.samples[i]) * sound.samples[i];
    }
    return 10 * std::log10(sum / static_cast<double>(n));
}

TEST(Lv2Apply, APeakOf12DecibelsAt1kHzLiftsA1kHzSineBy12Decibels)
{
    const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / "tolvan-lv2apply";
    std::filesystem::create_directories(folder);
    const std::string in = (folder / "sine.wav").string(), out = (folder / "lifted.wav").string();

    // Two seconds of a 1 kHz sine at a quarter of full scale on both channels.
    tooltest::Sound sine{2, kRate, SF_FORMAT_WAV | SF_FORMAT_FLOAT, {}};
    for (int i = 0; i < 2 * kRate; ++i) {
        const auto s = static_cast<float>(0.25 * std::sin(2 * std::numbers::pi * 1000.0 * i / kRate));
        sine.samples.push_back(s);
        sine.samples.push_back(s);
    }
    tooltest::writeSound(in, sine);

    const std::string command = "LV2_PATH='" TOLVAN_LV2_PATH "' lv2apply -i '" + in + "' -o '" + out +
                                "' -c peak1_on 1 -c peak1_freq 1000 -c peak1_gain 12 urn:tolvan:kr-tolvan";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const tooltest::Sound lifted = tooltest::readSound(out);
    ASSERT_EQ(lifted.channels, 2);
    ASSERT_EQ(lifted.samples.size(), sine.samples.size());

    // Measured over the second second, when the filter has long settled.
    for (int channel = 0; channel < 2; ++channel) {
        EXPECT_NEAR(levelDb(lifted, channel, kRate) - levelDb(sine, channel, kRate), 12.0, 0.005) << channel;
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
