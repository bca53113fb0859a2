#include "dsp/EqualiserChain.h"

#include <algorithm>

namespace {

constexpr int sectionCount = ChainDesign::sectionCount;

// The stereo sections of the chain in signal order.
std::array<const SectionPair*, sectionCount> pairsOf(const BandSet& b)
{
    return {&b.lowCut.stage1, &b.lowCut.stage2, &b.lowShelf, &b.peak1,       &b.peak2,
            &b.peak3,         &b.hiShelf,       &b.balance,  &b.hiCut.stage1, &b.hiCut.stage2};
}

// Whether section k runs: a cut filter's stages only while the band is on; a disabled
// stage (stage 2 outside edge mode) would only copy.
bool runs(const BandSet& b, const std::array<const SectionPair*, sectionCount>& pairs, int k)
{
    const bool bandOn = k < 2 ? b.lowCut.enabled != 0 : k >= 8 ? b.hiCut.enabled != 0 : true;
    return bandOn && pairs[k]->left.enabled != 0;
}

void copy(const float* inL, const float* inR, float* outL, float* outR, int count)
{
    for (int i = 0; i < count; ++i) {
        const float l = inL[i], r = inR[i];
        outL[i] = l;
        outR[i] = r;
    }
}

} // namespace

ChainDesign ChainDesign::of(const BandSet& bands, bool eqActive, double outputGain, double balanceMakeup)
{
    ChainDesign d;
    const auto pairs = pairsOf(bands);
    for (int k = 0; k < sectionCount; ++k) {
        d.sections[k].setCoefficients(pairs[k]->left, pairs[k]->right);
        d.active[k] = runs(bands, pairs, k);
    }
    d.eqActive = eqActive;
    d.outputGain = outputGain;
    d.balanceMakeup = balanceMakeup;
    return d;
}

bool ChainDesign::runSections(std::array<StereoSection, sectionCount>& state, const float* inL, const float* inR,
                              float* outL, float* outR, int count, double gain, CascadePath path) const
{
    StereoSection* running[sectionCount];
    int n = 0;
    CascadeGains gains{-1, 1.0, gain};
    for (int k = 0; k < sectionCount; ++k) {
        if (!active[k])
            continue;
        // Balance's output is multiplied by its make-up before HiCut takes it.
        if (k == balanceSection)
            gains.makeupAfter = n, gains.makeup = balanceMakeup;
        running[n++] = &state[k];
    }
    if (n == 0)
        return false;
    runCascade(path, running, n, inL, inR, outL, outR, count, gains);
    return true;
}

void ChainDesign::impulseResponse(float* left, float* right, int count) const
{
    if (count <= 0)
        return;
    std::array<StereoSection, sectionCount> state = sections;
    for (StereoSection& s : state)
        s.clearHistory();
    std::fill(left, left + count, 0.0f);
    std::fill(right, right + count, 0.0f);
    left[0] = right[0] = 1.0f;
    // In place: with no section on, the impulse itself is the response.
    runSections(state, left, right, left, right, count, 1.0, fastestCascadePath());
}

EqualiserChain::EqualiserChain(const BandSet& b) : bands(b)
{
    const auto pairs = pairsOf(bands);
    for (int k = 0; k < sectionCount; ++k) {
        watched[k] = {&pairs[k]->left, &pairs[k]->right};
        for (int c = 0; c < 2; ++c)
            seenClears[k][c] = watched[k][c]->historyClears.value();
    }
    publish(false, 1.0, 1.0);
    takeDesign();
}

ChainDesign EqualiserChain::currentDesign(bool eqActive, double outputGain, double balanceMakeup) const
{
    return ChainDesign::of(bands, eqActive, outputGain, balanceMakeup);
}

void EqualiserChain::publish(bool eqActive, double outputGain, double balanceMakeup)
{
    designs.writeSlot() = currentDesign(eqActive, outputGain, balanceMakeup);
    designs.publish();
}

void EqualiserChain::takeDesign()
{
    if (designs.take()) {
        const ChainDesign& d = designs.readSlot();
        for (int k = 0; k < sectionCount; ++k)
            live[k].takeCoefficients(d.sections[k]);
    }
    for (int k = 0; k < sectionCount; ++k) {
        for (int c = 0; c < 2; ++c) {
            const uint32_t clears = watched[k][c]->historyClears.value();
            if (clears != seenClears[k][c]) {
                seenClears[k][c] = clears;
                live[k].clearHistory(c);
            }
        }
    }
}

void EqualiserChain::process(const float* const* in, float* const* out, int count)
{
    takeDesign();
    const ChainDesign& d = designs.readSlot();
    if (count <= 0)
        return;
    // The sections write the host's outputs directly, the output gain included.
    if (!d.eqActive)
        copy(in[0], in[1], out[0], out[1], count);
    else if (!d.runSections(live, in[0], in[1], out[0], out[1], count, d.outputGain, path))
        scaleStereo(in[0], in[1], out[0], out[1], count, d.outputGain);
}
