// Every band parameter reaches its own band and no other, checked through the host
// interface against a reference written here: the cookbook biquads of the published
// formulas and the parameter table's numbers typed out, not the project's band list or
// design code.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "tests/dsp/BiquadReference.h"
#include "tools/hosting/HostedEffect.h"
#include "tools/hosting/RecordingHost.h"

namespace {

using reference::Real;

constexpr Real kRate = 44100;
constexpr int kImpulseLength = 8192;
constexpr int kNone = -1;

// One band as the host sees it: its parameter indices and ranges, and the two settings
// the test moves it between (normalised values).
struct BandUnderTest {
    const char* name;
    int enabled, frequency, gain, q;
    Real frequencyLow, frequencyHigh, qLow, qHigh;
    float frequencyA, gainA, qA;  // the setting every scenario starts from
    float frequencyB, gainB, qB;  // the value each scenario moves one parameter to
};

// The gains move between multiples of 1/8, which fall on whole half decibels; the cut
// bands' second Q is 1, which is edge mode.
const BandUnderTest kBands[] = {
    {"LowCut", 11, 19, kNone, 33, 20, 20000, 0.1f, 0.8f, 0.15f, 0, 0.5f, 0.25f, 0, 1.0f},
    {"LowShelf", 12, 20, 27, 34, 20, 1000, 0.1f, 1.0f, 0.6f, 0.75f, 0.7f, 0.8f, 0.25f, 0.4f},
    {"Peak1", 13, 21, 28, 35, 20, 20000, 0.1f, 4.0f, 0.4f, 0.75f, 0.6f, 0.45f, 0.125f, 0.8f},
    {"Peak2", 14, 22, 29, 36, 20, 20000, 0.1f, 4.0f, 0.55f, 0.25f, 0.5f, 0.6f, 0.875f, 0.3f},
    {"Peak3", 15, 23, 30, 37, 20, 20000, 0.1f, 4.0f, 0.7f, 0.625f, 0.7f, 0.75f, 0.375f, 0.55f},
    {"HiShelf", 16, 24, 31, 38, 500, 20000, 0.1f, 1.0f, 0.5f, 0.375f, 0.8f, 0.65f, 0.75f, 0.5f},
    {"Balance", 18, 26, 32, 40, 100, 10000, 0.2f, 1.0f, 0.5f, 0.625f, 0.6f, 0.3f, 0.25f, 0.9f},
    {"HiCut", 17, 25, kNone, 39, 20, 20000, 0.1f, 0.8f, 0.9f, 0, 0.5f, 0.85f, 0, 1.0f},
};

Real logarithmic(float v, Real low, Real high) { return low * std::pow(high / low, static_cast<Real>(v)); }
Real decibels(float v) { return -18 + 36 * static_cast<Real>(v); }

using Response = std::complex<Real>;

Response biquad(const reference::Biquad& h, Real f)
{
    const Response z1 = std::polar(Real{1}, -2 * reference::pi * f / kRate);
    return (h.b0 + h.b1 * z1 + h.b2 * z1 * z1) / (h.a0 + h.a1 * z1 + h.a2 * z1 * z1);
}

// A cut band: one section, or in edge mode (Q 0.79 and up) a section at the shifted
// frequency with Q 0.7 followed by one at the band frequency with Q 2.4.
Response cut(FilterType type, Real f0, Real q, Real f)
{
    if (q < 0.79L) return biquad(reference::design(type, f0, kRate, 0, q), f);
    const Real shift = 0.5L * std::log10(kRate / 2 - f0) - 0.6L;
    const Real f1 = type == FilterType::LowPass ? f0 / shift : f0 * shift;
    return biquad(reference::design(type, f1, kRate, 0, 0.7L), f) *
           biquad(reference::design(type, f0, kRate, 0, 2.4L), f);
}

// The response of one enabled band with the host's values of its parameters at f.
Response bandResponse(const BandUnderTest& band, hosting::HostedEffect& effect, Real f)
{
    const Real f0 = logarithmic(effect.get(band.frequency), band.frequencyLow, band.frequencyHigh);
    const Real q = logarithmic(effect.get(band.q), band.qLow, band.qHigh);
    const Real gain = band.gain == kNone ? 0 : decibels(effect.get(band.gain));
    switch (band.enabled) {
    case 11: return cut(FilterType::HighPass, f0, q, f);
    case 17: return cut(FilterType::LowPass, f0, q, f);
    case 12: return biquad(reference::design(FilterType::LowShelf, f0, kRate, gain, q), f);
    case 16: return biquad(reference::design(FilterType::HighShelf, f0, kRate, gain, q), f);
    // Balance: a high shelf whose output comes down by half its gain, a tilt.
    case 18:
        return biquad(reference::design(FilterType::HighShelf, f0, kRate, gain, q), f) * std::pow(Real{10}, -gain / 40);
    default: return biquad(reference::design(FilterType::Peak, f0, kRate, gain, q), f);
    }
}

// What the effect does to an impulse, at f.
Response measured(const std::vector<float>& impulseResponse, Real f)
{
    const Response step = std::polar(Real{1}, -2 * reference::pi * f / kRate);
    Response sum = 0, phasor = 1;
    for (float sample : impulseResponse) {
        sum += static_cast<Real>(sample) * phasor;
        phasor *= step;
    }
    return sum;
}

class BandWiring : public ::testing::Test {
protected:
    void SetUp() override
    {
        effect.setSampleRate(static_cast<float>(kRate));
        effect.set(9, 1.0f);   // equaliser in
        effect.set(10, 0.5f);  // output gain 0 dB
        for (const BandUnderTest& band : kBands) {
            effect.set(band.enabled, 1.0f);
            effect.set(band.frequency, band.frequencyA);
            if (band.gain != kNone) effect.set(band.gain, band.gainA);
            effect.set(band.q, band.qA);
        }
    }

    // The whole chain's response, measured and expected, at frequencies across the range.
    void expectChainResponse(const std::string& scenario)
    {
        effect.suspend();
        effect.resume();
        std::vector<float> impulse(kImpulseLength, 0.0f), left(kImpulseLength), right(kImpulseLength);
        impulse[0] = 1.0f;
        std::vector<float> impulseRight = impulse;
        float* in[2] = {impulse.data(), impulseRight.data()};
        float* out[2] = {left.data(), right.data()};
        effect->processReplacing(effect.get(), in, out, kImpulseLength);
        for (Real f : {60.0L, 150.0L, 420.0L, 1000.0L, 2600.0L, 6100.0L, 11000.0L}) {
            Response expected = 1;
            for (const BandUnderTest& band : kBands) {
                if (effect.get(band.enabled) != 0) expected *= bandResponse(band, effect, f);
            }
            const Real expectedDb = reference::decibels(std::abs(expected));
            EXPECT_NEAR(reference::decibels(std::abs(measured(left, f))), expectedDb, 0.01)
                << scenario << " at " << f << " Hz";
        }
    }

    hosting::RecordingHost host;
    hosting::PluginLibrary library{TOLVAN_PLUGIN_PATH};
    hosting::HostedEffect effect{library};
};

TEST_F(BandWiring, EachBandParameterMovesItsOwnBandOnly)
{
    expectChainResponse("all bands at their first setting");
    for (const BandUnderTest& band : kBands) {
        const std::string name = band.name;
        effect.set(band.enabled, 0.0f);
        expectChainResponse(name + " off");
        effect.set(band.enabled, 1.0f);
        effect.set(band.frequency, band.frequencyB);
        expectChainResponse(name + " frequency");
        effect.set(band.frequency, band.frequencyA);
        if (band.gain != kNone) {
            effect.set(band.gain, band.gainB);
            expectChainResponse(name + " gain");
            effect.set(band.gain, band.gainA);
        }
        effect.set(band.q, band.qB);
        expectChainResponse(name + " Q");
        effect.set(band.q, band.qA);
    }
}

}  // namespace
