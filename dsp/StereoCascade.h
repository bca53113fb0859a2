#pragma once

#include "dsp/CIIR.h"

// The fast path of the band chain: a left and a right section side by side (one SSE2
// register per quantity on x86), and consecutive sections run in one loop so that their
// recursions overlap. The arithmetic is the section formula of CIIR::process, operation
// for operation, so results are bit for bit those of the plain path.
struct StereoSection {
    // [0] left, [1] right.
    alignas(16) double nb0[2], nb1[2], nb2[2], na1[2], na2[2];
    alignas(16) double x1[2], x2[2], y1[2], y2[2];

    // Takes the coefficients of two sections; the history is left as it is.
    void setCoefficients(const CIIR& left, const CIIR& right);
    void clearHistory();
    // Clears one channel's history: 0 left, 1 right.
    void clearHistory(int channel);
    // Takes the coefficients of another stereo section; the history is left as it is.
    void takeCoefficients(const StereoSection& other);
};

// The gains inside and after a cascade, each applied as a buffer between two stages would
// hold it: multiplied, then rounded to float.
struct CascadeGains {
    // On the output of one section, before the next takes it: the section's index in the
    // list passed, or -1 for none.
    int makeupAfter = -1;
    double makeup = 1.0;
    // On the cascade's output.
    double output = 1.0;
};

// out = float(in * gain) on both channels; each sample is read before its place is
// written, as for runCascade. [audio thread]
void scaleStereo(const float* inL, const float* inR, float* outL, float* outR, int count, double gain);

// The instruction sets the cascade has a path for. Every path gives the same bits.
enum class CascadePath { Sse2, Avx, Avx512 };

// Whether this processor can run the path. [any thread]
bool cascadePathAvailable(CascadePath path);
// The path that runCascade takes: the widest this processor has. [any thread]
CascadePath fastestCascadePath();

// Runs count stereo samples through *sections[0 .. sectionCount - 1] in order, from
// (inL, inR) into (outL, outR), with the gains applied where they say. Each sample
// is read before its place is written, so the inputs may be the outputs (in place) or the
// outputs swapped; otherwise they must not overlap. At the end of the block each section
// gets the history guard of the plain path, and a section whose history is not finite is
// reset. [audio thread]
void runCascade(StereoSection* const* sections, int sectionCount, const float* inL, const float* inR, float* outL,
                float* outR, int count, CascadeGains gains = {});
// The same on a chosen path, which must be available. [audio thread]
void runCascade(CascadePath path, StereoSection* const* sections, int sectionCount, const float* inL, const float* inR,
                float* outL, float* outR, int count, CascadeGains gains = {});
