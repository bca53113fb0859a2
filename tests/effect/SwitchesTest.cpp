// A switch parameter between 0 and 1 (an automation ramp, a host's generic slider) means
// one thing: what the host reads back, the host's text and the sound agree on it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tools/hosting/HostedEffect.h"
#include "tools/hosting/RecordingHost.h"

namespace {

// The parameters hosts see as on/off switches: PRE, POST, the local bypass, the eight bands.
constexpr int kSwitches[] = {3, 4, 9, 11, 12, 13, 14, 15, 16, 17, 18};
constexpr int kBypass = 9;
constexpr int kPeak1Enabled = 13;
constexpr int kPeak1Frequency = 21;
constexpr int kPeak1Gain = 28;

// Values a ramp or a slider passes through, and values a careless host sends.
constexpr float kValues[] = {0.0f, 0.1f, 0.25f, 0.4999f, 0.5f, 0.5001f, 0.7f, 0.99f, 1.0f, 1.5f, -0.5f};

bool onByTheRule(float v) { return v >= 0.5f; }

class Switches : public ::testing::Test {
protected:
    std::string display(int index) { return effect.text(effGetParamDisplay, index); }

    // The output's peak for a 1 kHz sine of amplitude 0.1, after the filters have settled.
    float outputPeak()
    {
        constexpr int kLength = 8192;
        std::vector<float> inLeft(kLength), inRight(kLength), outLeft(kLength), outRight(kLength);
        for (int i = 0; i < kLength; ++i)
            inLeft[i] = inRight[i] = 0.1f * std::sin(2 * 3.14159265358979 * 1000 * i / 44100.0);
        float* in[2] = {inLeft.data(), inRight.data()};
        float* out[2] = {outLeft.data(), outRight.data()};
        effect->processReplacing(effect.get(), in, out, kLength);
        float peak = 0;
        for (int i = kLength / 2; i < kLength; ++i) peak = std::max(peak, std::fabs(outLeft[i]));
        return peak;
    }

    hosting::RecordingHost host;
    hosting::PluginLibrary library{TOLVAN_PLUGIN_PATH};
    hosting::HostedEffect effect{library};
};

TEST_F(Switches, ReadBackAsTheStateTheHostTextShows)
{
    for (int index : kSwitches) {
        for (float v : kValues) {
            effect.set(index, v);
            const bool on = onByTheRule(v);
            EXPECT_EQ(effect.get(index), on ? 1.0f : 0.0f) << index << " at " << v;
            EXPECT_EQ(display(index), on ? "on" : "off") << index << " at " << v;
        }
    }
}

TEST_F(Switches, TheSoundFollowsTheSameRule)
{
    // Peak1 at 1 kHz and +18 dB: about eight times the input where it is on.
    effect.set(kPeak1Frequency, static_cast<float>(std::log(50.0) / std::log(1000.0)));
    effect.set(kPeak1Gain, 1.0f);
    effect.resume();
    const auto expectBoostWhereOn = [&](int index) {
        for (float v : kValues) {
            effect.set(index, v);
            const float peak = outputPeak();
            if (onByTheRule(v)) {
                EXPECT_GT(peak, 0.7f) << "parameter " << index << " at " << v;
            } else {
                EXPECT_NEAR(peak, 0.1f, 0.001f) << "parameter " << index << " at " << v;
            }
        }
    };
    expectBoostWhereOn(kPeak1Enabled);
    // The local bypass by the same rule: below 0.5 the equaliser is out.
    effect.set(kPeak1Enabled, 1.0f);
    expectBoostWhereOn(kBypass);
}

TEST_F(Switches, AProgramKeepsTheState)
{
    effect.set(kPeak1Enabled, 0.7f);
    effect.set(kBypass, 0.3f);
    effect.dispatch(effSetProgram, 0, 1);
    effect.dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(effect.get(kPeak1Enabled), 1.0f);
    EXPECT_EQ(effect.get(kBypass), 0.0f);
}

}  // namespace
