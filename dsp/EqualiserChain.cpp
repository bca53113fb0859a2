#include "dsp/EqualiserChain.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int sectionCount = ChainDesign::sectionCount;

// The stereo sections of the chain in signal order.
std::array<const SectionPair*, sectionCount> pairsOf(const BandSet& b)
{
    return {&b.lowCut.stage1, &b.lowCut.stage2, &b.lowShelf, &b.peak1,        &b.peak2,
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

// Starts a section that was not running as if it had passed `signal` (per channel, one
// sample back and two back) through unchanged: it then joins the signal without the
// transient of an empty history.
void seedPassingThrough(StereoSection& s, const std::array<std::array<double, 2>, 2>& signal)
{
    for (int c = 0; c < 2; ++c) {
        s.x1[c] = s.y1[c] = signal[c][0];
        s.x2[c] = s.y2[c] = signal[c][1];
    }
}

void copyHistory(StereoSection& to, const StereoSection& from)
{
    for (int c = 0; c < 2; ++c) {
        to.x1[c] = from.x1[c];
        to.x2[c] = from.x2[c];
        to.y1[c] = from.y1[c];
        to.y2[c] = from.y2[c];
    }
}

}  // namespace

double chainFadeWeight(int position, int warm, int length)
{
    const double t = std::clamp(static_cast<double>(position + 1 - warm) / (length - warm), 0.0, 1.0);
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

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
    const double rate = bands.lowShelf.left.sampleRate;
    d.warmSamples = static_cast<int>(std::lround(chainWarmSeconds * rate));
    d.fadeSamples = d.warmSamples + std::max(1, static_cast<int>(std::lround(chainFadeSeconds * rate)));
    return d;
}

bool ChainDesign::runSections(const float* inL, const float* inR, float* outL, float* outR, int count, double gain,
                              CascadePath path)
{
    StereoSection* running[sectionCount];
    int n = 0;
    CascadeGains gains{-1, 1.0, gain};
    for (int k = 0; k < sectionCount; ++k) {
        if (!active[k]) continue;
        // Balance's output is multiplied by its make-up before HiCut takes it.
        if (k == balanceSection) gains.makeupAfter = n, gains.makeup = balanceMakeup;
        running[n++] = &sections[k];
    }
    if (n == 0) return false;
    runCascade(path, running, n, inL, inR, outL, outR, count, gains);
    return true;
}

void ChainDesign::run(const float* inL, const float* inR, float* outL, float* outR, int count, CascadePath path)
{
    // The sections write the outputs directly, the output gain included.
    if (!eqActive)
        copy(inL, inR, outL, outR, count);
    else if (!runSections(inL, inR, outL, outR, count, outputGain, path))
        scaleStereo(inL, inR, outL, outR, count, outputGain);
}

EqualiserChain::EqualiserChain(const BandSet& b) : bands(b)
{
    publish(false, 1.0, 1.0);
    takeDesign();
}

ChainDesign EqualiserChain::currentDesign(bool eqActive, double outputGain, double balanceMakeup) const
{
    ChainDesign d = ChainDesign::of(bands, eqActive, outputGain, balanceMakeup);
    d.freshStarts = freshStarts;
    return d;
}

void EqualiserChain::publish(bool eqActive, double outputGain, double balanceMakeup)
{
    designs.writeSlot() = currentDesign(eqActive, outputGain, balanceMakeup);
    designs.publish();
}

void EqualiserChain::takeDesign()
{
    if (designs.take()) {
        waiting = true;
        if (designs.readSlot().freshStarts != current.freshStarts) {
            flowing = false;
            lastInput = {};
        }
    }
    // Nothing has been heard since the fresh start, so there is nothing to fade from; the
    // histories are those of silence, as the design's own are.
    if (waiting && !flowing) {
        current = designs.readSlot();
        waiting = fading = false;
    }
}

void EqualiserChain::startFade()
{
    incoming = designs.readSlot();
    waiting = false;
    fading = true;
    fadePosition = 0;
    // A section that ran before goes on from its own history. One that did not starts from
    // the signal that reaches it, which the sections before it carry, as if it had let
    // that through unchanged; what little it rings from there fades during the warm-up.
    InputTail signal = lastInput;
    for (int k = 0; k < sectionCount; ++k) {
        StereoSection& s = incoming.sections[k];
        const StereoSection& before = current.sections[k];
        if (current.eqActive && current.active[k])
            copyHistory(s, before);
        else if (incoming.active[k])
            seedPassingThrough(s, signal);
        if (incoming.active[k]) {
            for (int c = 0; c < 2; ++c) signal[c] = {s.y1[c], s.y2[c]};
        }
        if (k == ChainDesign::balanceSection && incoming.active[k]) {
            for (auto& channel : signal)
                for (double& x : channel) x = static_cast<float>(x * incoming.balanceMakeup);
        }
    }
}

EqualiserChain::InputTail EqualiserChain::tailAfter(const float* const* in, int offset, int count) const
{
    InputTail tail;
    for (int c = 0; c < 2; ++c) {
        const float* x = in[c] + offset;
        tail[c] = count >= 2 ? std::array<double, 2>{x[count - 1], x[count - 2]}
                             : std::array<double, 2>{x[0], lastInput[c][0]};
    }
    return tail;
}

void EqualiserChain::fadeSegment(const float* const* in, float* const* out, int offset, int count)
{
    float* oldL = work[0].data();
    float* oldR = work[1].data();
    float* newL = work[2].data();
    float* newR = work[3].data();
    current.run(in[0] + offset, in[1] + offset, oldL, oldR, count, path);
    incoming.run(in[0] + offset, in[1] + offset, newL, newR, count, path);
    float* outL = out[0] + offset;
    float* outR = out[1] + offset;
    for (int i = 0; i < count; ++i) {
        const double w = chainFadeWeight(fadePosition + i, incoming.warmSamples, incoming.fadeSamples);
        outL[i] = static_cast<float>(oldL[i] + w * (static_cast<double>(newL[i]) - oldL[i]));
        outR[i] = static_cast<float>(oldR[i] + w * (static_cast<double>(newR[i]) - oldR[i]));
    }
}

void EqualiserChain::process(const float* const* in, float* const* out, int count)
{
    takeDesign();
    if (count <= 0) return;
    flowing = true;
    for (int done = 0; done < count;) {
        if (!fading && waiting) startFade();
        if (!fading) {
            const InputTail tail = tailAfter(in, done, count - done);
            current.run(in[0] + done, in[1] + done, out[0] + done, out[1] + done, count - done, path);
            lastInput = tail;
            return;
        }
        const int n = std::min({count - done, incoming.fadeSamples - fadePosition, fadeChunk});
        const InputTail tail = tailAfter(in, done, n);
        fadeSegment(in, out, done, n);
        lastInput = tail;
        done += n;
        fadePosition += n;
        if (fadePosition >= incoming.fadeSamples) {
            current = incoming;
            fading = false;
        }
    }
}
