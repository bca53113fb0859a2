// An effect object created directly, for unit tests of the audio path, and the band chain
// written out plainly as the reference the fast path must reproduce.
#pragma once

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "effect/PluginInterface.h"
#include "effect/AKkk.h"
#include "tools/hosting/RecordingHost.h"

namespace audiotest {

// With its analysers made, as an editor's first opening makes them, so that the spectra and
// the response can be measured without a window.
inline std::unique_ptr<AKkk> makeEffect()
{
    auto fx = std::make_unique<AKkk>(hosting::quietHost);
    fx->makeAnalysers();
    return fx;
}

inline bool isSwitch(int index) { return index == 3 || index == 4 || index == 9 || (index >= 11 && index <= 18); }

// Random values for every parameter that shapes the sound; switches are 0 or 1, and the
// equaliser is in circuit unless bypass is asked for.
inline void randomSettings(AKkk& fx, std::mt19937& rng, bool allowBypass = false)
{
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    for (int index = 9; index < 41; ++index) {
        float v = isSwitch(index) ? static_cast<float>(rng() % 2) : value(rng);
        if (index == 9) v = allowBypass && rng() % 4 == 0 ? 0.0f : 1.0f;
        fx.setParameterValue(index, v);
    }
}

inline std::vector<float> noise(int n, std::mt19937& rng, float amplitude = 1.0f)
{
    std::uniform_real_distribution<float> v(-amplitude, amplitude);
    std::vector<float> x(static_cast<size_t>(n));
    for (float& s : x) s = v(rng);
    return x;
}

// The band chain written out plainly, on copies of the effect's bands: the enabled
// bands in signal order, ping-ponging between a copy of the input and the output, with
// the plain section formula.
class ReferenceChain {
public:
    explicit ReferenceChain(const AKkk::DesignerState& fx)
        : lowCut(fx.lowCut), lowShelf(fx.lowShelf), peak1(fx.peak1), peak2(fx.peak2), peak3(fx.peak3),
          hiShelf(fx.hiShelf), balance(fx.balance), hiCut(fx.hiCut), eqActive(fx.eqActive), outputGain(fx.outputGain),
          balanceMakeup(fx.balanceMakeup)
    {
    }

    void process(const float* inL, const float* inR, float* outL, float* outR, int count)
    {
        if (count <= 0) return;
        if (eqActive == 0) {
            std::copy(inL, inL + count, outL);
            std::copy(inR, inR + count, outR);
            return;
        }
        std::vector<float> aL(inL, inL + count), aR(inR, inR + count);
        float* cur[2] = {aL.data(), aR.data()};
        float* other[2] = {outL, outR};
        auto pass = [&](SectionPair& pair) {
            pair.left.process(other[0], cur[0], count);
            pair.right.process(other[1], cur[1], count);
            std::swap(cur[0], other[0]);
            std::swap(cur[1], other[1]);
        };
        if (lowCut.enabled != 0) lowCut.process(count, cur[0], cur[1], other[0], other[1]);
        for (SectionPair* pair : {&lowShelf, &peak1, &peak2, &peak3, &hiShelf}) {
            if (pair->left.enabled != 0) pass(*pair);
        }
        if (balance.left.enabled != 0) {
            pass(balance);
            for (int i = 0; i < count; ++i) {
                cur[0][i] = static_cast<float>(cur[0][i] * balanceMakeup);
                cur[1][i] = static_cast<float>(cur[1][i] * balanceMakeup);
            }
        }
        if (hiCut.enabled != 0) hiCut.process(count, cur[0], cur[1], other[0], other[1]);
        for (int i = 0; i < count; ++i) {
            outL[i] = static_cast<float>(cur[0][i] * outputGain);
            outR[i] = static_cast<float>(cur[1][i] * outputGain);
        }
    }

private:
    CutFilter lowCut;
    SectionPair lowShelf, peak1, peak2, peak3, hiShelf, balance;
    CutFilter hiCut;
    int32_t eqActive;
    double outputGain, balanceMakeup;
};

}  // namespace audiotest
