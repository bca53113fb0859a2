#include <gtest/gtest.h>

#include <cmath>

#include "effect/ParameterValues.h"
#include "tools/host/ParameterSetting.h"
#include "tools/host/ToolError.h"

namespace {

// The names as the host reports them: empty for the first nine parameters.
std::vector<std::string> hostNames()
{
    std::vector<std::string> names(9);
    for (int i = 9; i < kNumParameters; ++i) names.emplace_back(controlTable[i].name);
    return settableNames(names);
}

ParameterSetting set(const std::string& text) { return parseSetting(text, hostNames()); }

std::string refusal(const std::string& text)
{
    try {
        set(text);
    } catch (const UsageError& e) {
        EXPECT_EQ(e.status, 2);
        return e.what();
    }
    return "accepted";
}

TEST(ParameterSetting, NamesAreCaseInsensitiveAndIndicesWork)
{
    EXPECT_EQ(set("Gain Peak1=+6").index, 28);
    EXPECT_EQ(set("gain peak1=6").index, 28);
    EXPECT_EQ(set("GAIN_PEAK1=6").index, 28);
    EXPECT_EQ(set("28=6").index, 28);
    EXPECT_EQ(set("SLOPE=2").index, 5);  // the skin's name where the host shows none
    EXPECT_EQ(set("pre=off").index, 3);
    EXPECT_EQ(refusal("8=1"), "parameter 8 holds no setting");
    EXPECT_EQ(refusal("41=1"), "no parameter 41: the indices run from 0 to 40");
    EXPECT_EQ(refusal("Gain Peak1"), "--set takes NAME=VALUE, not \"Gain Peak1\"");
}

TEST(ParameterSetting, UnknownNamesListTheCloseOnes)
{
    EXPECT_EQ(refusal("Gain Peek1=3"), "no parameter named \"Gain Peek1\"; close: Gain Peak1, Gain Peak2, Gain Peak3");
    const std::string frequency = refusal("Frequency=1k");
    EXPECT_NE(frequency.find("Frequency LowCut"), std::string::npos);
    EXPECT_EQ(refusal("Wobble=1"), "no parameter named \"Wobble\" (tolvan-host info lists them)");
}

TEST(ParameterSetting, ValuesInRealUnitsMapToTheNormalisedValueTheEffectReadsBack)
{
    // Closed forms: gains are linear over -18..18 dB, frequencies logarithmic.
    EXPECT_FLOAT_EQ(set("Gain Peak1=+6").normalized, 24.0f / 36.0f);
    EXPECT_EQ(set("Gain Peak1=+6dB").real, 6.0);
    EXPECT_EQ(set("Output Gain=-2 dB").real, -2.0);
    EXPECT_EQ(set("Gain Peak1=18").normalized, 1.0f);
    EXPECT_EQ(set("Gain Peak1=-18").normalized, 0.0f);
    EXPECT_FLOAT_EQ(set("Frequency HiCut=12k").normalized, static_cast<float>(std::log(600.0) / std::log(1000.0)));
    EXPECT_NEAR(set("Frequency HiCut=12kHz").real, 12000, 0.01);
    EXPECT_NEAR(set("Frequency Peak1=3.2kHz").real, 3200, 0.001);
    EXPECT_NEAR(set("Frequency LowCut=120Hz").real, 120, 0.0001);
    EXPECT_EQ(set("Q LowCut=Edge").normalized, 1.0f);
    EXPECT_NEAR(set("Q Peak1=0.1").real, 0.1, 1e-6);
    EXPECT_EQ(set("Enabled Peak1=on").normalized, 1.0f);
    EXPECT_EQ(set("Enabled Peak1=OFF").normalized, 0.0f);
    EXPECT_EQ(set("Bypass (local)=1").normalized, 1.0f);
}

TEST(ParameterSetting, EveryHalfStepGainSurvivesTheEffectsOwnMapping)
{
    for (int halfSteps = -36; halfSteps <= 36; ++halfSteps) {
        const double gain = 0.5 * halfSteps;
        const ParameterSetting s = set("Gain Peak2=" + std::to_string(gain));
        EXPECT_EQ(normalizedToReal(s.normalized, 29), gain);
    }
    EXPECT_EQ(set("Gain Peak2=6.3").real, 6.5);  // to the nearest step the knob can show
}

TEST(ParameterSetting, RefusesValuesOutOfRangeOrInOtherUnits)
{
    EXPECT_EQ(refusal("Gain Peak1=30"), "Gain Peak1 takes -18 to 18 dB; 30 is out of range");
    EXPECT_EQ(refusal("Frequency HiShelf=100Hz"), "Frequency HiShelf takes 500 to 20000 Hz; 100Hz is out of range");
    EXPECT_EQ(refusal("Q Peak1=5"), "Q Peak1 takes 0.1 to 4; 5 is out of range");
    EXPECT_EQ(refusal("Gain Peak1=6Hz"), "Gain Peak1 takes -18 to 18 dB, not \"6Hz\"");
    EXPECT_EQ(refusal("Q Peak1=Edge"), "Q Peak1 takes 0.1 to 4, not \"Edge\"");
    EXPECT_EQ(refusal("Q HiCut=1"), "Q HiCut takes 0.1 to 0.8 (Edge from 0.79); 1 is out of range");
    EXPECT_EQ(refusal("Enabled Peak1=maybe"), "Enabled Peak1 is a switch: give on or off, not \"maybe\"");
    EXPECT_EQ(refusal("Gain Peak1="), "Gain Peak1 needs a value after =");
    EXPECT_EQ(refusal("Gain Peak1=nan"), "Gain Peak1 takes -18 to 18 dB, not \"nan\"");
}

TEST(ParameterSetting, DisplayTextsAreTheEditors)
{
    EXPECT_EQ(displayText(28, 6.0), "6.0dB");
    EXPECT_EQ(displayText(25, 12000), "12.0kHz");
    EXPECT_EQ(displayText(33, 0.8), "Edge");
    EXPECT_EQ(displayText(13, 1), "on");
}

}  // namespace

namespace {

// The band spelling reaches the rows the hosts' names do; the peaking bands' frequency
// rows are the ones hosts number from 0.
TEST(ParameterSetting, BandSpellingNamesTheSameRowsAsTheHostNames)
{
    const std::vector<std::pair<std::string, std::string>> same = {
        {"peak1.frequency=3k", "Frequency Peak0=3k"}, {"peak3.freq=3k", "Frequency Peak2=3k"},
        {"Peak1.Gain=+6dB", "Gain Peak1=+6dB"},       {"peak2.q=2", "Q Peak2=2"},
        {"lowcut.q=edge", "Q LowCut=Edge"},           {"hishelf.enabled=on", "Enabled HiShelf=on"},
        {"balance.gain=-3", "Gain Balance=-3"},       {"low_shelf.on=on", "Enabled LowShelf=on"},
    };
    for (const auto& [band, host] : same) {
        EXPECT_EQ(set(band).index, set(host).index) << band;
        EXPECT_EQ(set(band).normalized, set(host).normalized) << band;
    }
    EXPECT_NE(refusal("hicut.gain=3").find("hicut has enabled, frequency and q (no gain)"), std::string::npos);
    EXPECT_NE(refusal("peak4.q=1").find("no band \"peak4\"; the bands are lowcut, lowshelf, peak1"), std::string::npos);
    EXPECT_NE(refusal("peak1.width=1").find("peak1 has enabled, frequency, gain and q"), std::string::npos);
}

}  // namespace
