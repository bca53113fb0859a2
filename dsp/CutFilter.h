#pragma once

#include "dsp/SectionPair.h"

// A low or high cut band: one stereo section (12 dB per octave), or in edge mode two in
// cascade (24 dB per octave with a resonant second stage).
struct CutFilter {
    CutFilter();

    void setEnabled(int state);
    // Low-pass design (the HiCut band).
    void designHighCut(double frequency, double q);
    // High-pass design (the LowCut band).
    void designLowCut(double frequency, double q);
    void setSampleRate(int rate);
    void clearHistory();
    // Stage 1 filters a into b, stage 2 filters b back into a: the result is in aL, aR;
    // bL and bR are overwritten.
    void process(int count, float* aL, float* aR, float* bL, float* bR);

    double frequency;
    double q;
    int32_t enabled;
    SectionPair stage1;
    SectionPair stage2;
    int32_t edgeMode;

private:
    void designStages(FilterType type);
};

// A cut band's Q at or above this selects edge mode.
inline constexpr double edgeModeQ = 0.79;
