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

// One complete design of the band chain: the coefficients of its ten stereo sections
// (LowCut's two stages, LowShelf, Peak1..3, HiShelf, Balance, HiCut's two stages), which
// of them run, and the gains. The audio thread only ever runs whole designs.
struct ChainDesign {
    static constexpr int sectionCount = 10;
    // Balance's output is multiplied by its make-up gain before HiCut.
    static constexpr int balanceSection = 7;

    std::array<StereoSection, sectionCount> sections{};
    std::array<bool, sectionCount> active{};
    bool eqActive = false;
    double outputGain = 1.0;
    double balanceMakeup = 1.0;

    static ChainDesign of(const BandSet& bands, bool eqActive, double outputGain, double balanceMakeup);

    // Runs count samples through the active sections with the histories of `state`, from
    // (inL, inR) into (outL, outR), which may be the inputs or the inputs swapped;
    // Balance's make-up is applied, and gain to the result. Answers false, touching
    // nothing, when no section is active.
    bool runSections(std::array<StereoSection, sectionCount>& state, const float* inL, const float* inR, float* outL,
                     float* outR, int count, double gain, CascadePath path) const;
    // The chain's response to a unit impulse, without output gain and whatever eqActive
    // says, into left and right. [parameter thread]
    void impulseResponse(float* left, float* right, int count) const;
};

// The audio thread's band chain. The parameter side publishes complete designs through a
// triple buffer (one writer at a time: the caller serialises publish()); the audio thread
// takes the newest at the start of each block, so a new design is used from the next
// block on and never mixed with the old one. History clears on the parameter side (a
// switch, a sample-rate change, resume) reach the audio thread through the sections'
// atomic clear counters, which it compares with the counts it saw last.
class EqualiserChain {
public:
    explicit EqualiserChain(const BandSet& bands);
    EqualiserChain(const EqualiserChain&) = delete;
    EqualiserChain& operator=(const EqualiserChain&) = delete;

    // Publishes the bands' current design with these switches and gains. [parameter thread]
    void publish(bool eqActive, double outputGain, double balanceMakeup);
    // The design as the bands hold it now. [parameter thread]
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
    void takeDesign();

    BandSet bands;
    TripleBuffer<ChainDesign> designs;
    // Audio thread only.
    CascadePath path = fastestCascadePath();
    std::array<StereoSection, ChainDesign::sectionCount> live{};
    std::array<std::array<const CIIR*, 2>, ChainDesign::sectionCount> watched{};
    std::array<std::array<uint32_t, 2>, ChainDesign::sectionCount> seenClears{};
};
