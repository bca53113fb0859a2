#pragma once

#include <array>
#include <cstdint>

#include "dsp/CutFilter.h"
#include "dsp/SectionPair.h"
#include "dsp/StereoCascade.h"
#include "dsp/TripleBuffer.h"

// The eight bands in signal order as the parameter side holds them: the objects that the
// parameters design, whose stored settings the designs read back.
struct BandSet {
    const CutFilter& lowCut;
    const SectionPair& lowShelf;
    const SectionPair& peak1;
    const SectionPair& peak2;
    const SectionPair& peak3;
    const SectionPair& hiShelf;
    const SectionPair& balance;
    const CutFilter& hiCut;
};

// How a change of design reaches the sound: the new chain runs beside the old one, first
// unheard for chainWarmSeconds, so that the ringing its new coefficients start with has
// died away and a band that switches in enters warm; then the output fades from the old
// chain to the new over chainFadeSeconds, long enough that even a jump from one end of a
// range to the other makes no click, short enough to follow a hand on a knob.
inline constexpr double chainWarmSeconds = 0.005;
inline constexpr double chainFadeSeconds = 0.015;

// The share of the new chain in the output at `position` samples into a change that warms
// up for `warm` samples and is complete after `length`: 0 while warming, then a smooth
// rise that reaches 1 at the last sample, with slope and curvature zero at both ends so
// that the fade adds no kink of its own.
double chainFadeWeight(int position, int warm, int length);

// One complete design of the band chain: the coefficients of its ten stereo sections
// (LowCut's two stages, LowShelf, Peak1..3, HiShelf, Balance, HiCut's two stages), which
// of them run, and the gains. The audio thread only ever runs whole designs; its own
// copies carry the sections' histories too.
struct ChainDesign {
    static constexpr int sectionCount = 10;
    // Balance's output is multiplied by its make-up gain before HiCut.
    static constexpr int balanceSection = 7;

    std::array<StereoSection, sectionCount> sections{};
    std::array<bool, sectionCount> active{};
    bool eqActive = false;
    double outputGain = 1.0;
    double balanceMakeup = 1.0;
    // chainWarmSeconds and chainWarmSeconds + chainFadeSeconds at the design's sample rate.
    int warmSamples = 0;
    int fadeSamples = 1;
    // Counts the parameter side's fresh starts (a resume, a new sample rate); a design with
    // a new count replaces the running one at once, with cleared histories.
    uint32_t freshStarts = 0;

    static ChainDesign of(const BandSet& bands, bool eqActive, double outputGain, double balanceMakeup);

    // Runs count samples through the active sections, with their histories, from
    // (inL, inR) into (outL, outR), which may be the inputs or the inputs swapped;
    // Balance's make-up is applied, and gain to the result. Answers false, touching
    // nothing, when no section is active.
    bool runSections(const float* inL, const float* inR, float* outL, float* outR, int count, double gain,
                     CascadePath path);
    // The whole path: the sections and the output gain, or with the equaliser out a copy.
    // The outputs may be the inputs or the inputs swapped. [audio thread]
    void run(const float* inL, const float* inR, float* outL, float* outR, int count, CascadePath path);
    // Points of powerResponse: the frequencies k / (2 responsePoints) of the sample rate
    // for k in 0 .. responsePoints - 1, the bins of a 4096-point transform.
    static constexpr int responsePoints = 2048;
    // The chain's power gain |H|^2 at those frequencies, from the active sections'
    // coefficients and Balance's make-up, without output gain and whatever eqActive says.
    // Both channels carry the same design, so the left one's is the chain's. [UI thread]
    void powerResponse(float* power) const;
};

// The audio thread's band chain. The parameter side publishes complete designs through a
// triple buffer (one writer at a time: the caller serialises publish()); the audio thread
// takes the newest at the start of each block. While audio flows, a new design warms up
// and fades in beside the old one (see chainFadeSeconds), timed in samples from the start
// of the block that took it, so the output does not depend on how the host cuts its
// blocks; a design that arrives during a fade waits for its end, and only the newest
// waits. Before any audio has flowed since a fresh start, a design applies at once.
class EqualiserChain {
public:
    explicit EqualiserChain(const BandSet& bands);
    EqualiserChain(const EqualiserChain&) = delete;
    EqualiserChain& operator=(const EqualiserChain&) = delete;

    // Publishes the bands' current design with these switches and gains. [parameter side]
    void publish(bool eqActive, double outputGain, double balanceMakeup);
    // Makes the next published design a fresh start: the audio thread clears every history
    // and applies it at once, as after a resume or a change of sample rate. [parameter side]
    void startAfresh() { ++freshStarts; }
    // The design as the bands hold it now. [parameter side]
    ChainDesign currentDesign(bool eqActive, double outputGain, double balanceMakeup) const;

    // Filters count samples from in into out (two channels each). The outputs may be the
    // inputs, or the inputs swapped; the inputs are never written otherwise. With the
    // equaliser out, the input is copied and the histories stay as they were.
    // [audio thread]
    void process(const float* const* in, float* const* out, int count);
    // Runs the sections on this path from the next block on; it must be available. Tests
    // force each path the processor has with it. [audio thread]
    void setCascadePath(CascadePath newPath) { path = newPath; }

private:
    // The last two input samples of each channel, newest first.
    using InputTail = std::array<std::array<double, 2>, 2>;
    // Samples of a fade run at a time through the work buffers.
    static constexpr int fadeChunk = 256;

    void takeDesign();
    void startFade();
    // Runs count samples of the fade in flight from in + offset into out + offset.
    void fadeSegment(const float* const* in, float* const* out, int offset, int count);
    // The input tail once count samples from offset have been taken in; read before the
    // outputs, which may be the inputs, are written.
    InputTail tailAfter(const float* const* in, int offset, int count) const;

    BandSet bands;
    TripleBuffer<ChainDesign> designs;
    // Parameter thread only: fresh starts asked for, copied into every published design.
    uint32_t freshStarts = 0;
    // The audio thread's alone.
    CascadePath path = fastestCascadePath();
    ChainDesign current;
    ChainDesign incoming;
    bool waiting = false;  // the newest design taken has not started to fade in yet
    bool fading = false;   // `incoming` is fading in over `current`
    int fadePosition = 0;
    bool flowing = false;  // audio has been processed since the last fresh start
    InputTail lastInput{};
    alignas(16) std::array<std::array<float, fadeChunk>, 4> work{};
};
