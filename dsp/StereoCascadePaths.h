#pragma once

// The implementations behind runCascade, one per instruction set, for StereoCascade.cpp
// and the tests; the rest of the program calls runCascade.

#include "dsp/StereoCascade.h"

// The AVX path needs GCC-style target attributes on x86; elsewhere only the SSE2 (or
// scalar) path exists.
#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define TOLVAN_CASCADE_AVX 1
#endif

// The AVX-512 path only in 64-bit builds, and not on Windows: its 64-byte registers spill
// to the stack, which mingw's GCC does not align for them.
#if defined(TOLVAN_CASCADE_AVX) && defined(__x86_64__) && !defined(_WIN32)
#define TOLVAN_CASCADE_AVX512 1
#endif

namespace dsp {

// The end-of-block rules of the plain path for both channels of a section: the output
// history loses values too small for a float, and a channel whose history is not finite
// is reset.
void finishBlock(StereoSection& s);

// A pipelined path's run of 2 .. longest consecutive sections (the section count is the
// second argument), ending the block with the rules of finishBlock for each of them.
using PipelinedRun = void (*)(StereoSection* const*, int, const float*, const float*, float*, float*, int,
                              CascadeGains);

// Runs the chain through run in parts of at most longest sections, each part's gains
// adjusted to its place; a part of one section, which has nothing to overlap with, takes
// the SSE2 path.
void runInParts(int longest, PipelinedRun run, StereoSection* const* sections, int sectionCount, const float* inL,
                const float* inR, float* outL, float* outR, int count, CascadeGains gains);

// Left and right in one SSE2 register (two scalars where there is none); up to four
// consecutive sections per sample loop.
void runCascadeSse2(StereoSection* const* sections, int sectionCount, const float* inL, const float* inR, float* outL,
                    float* outR, int count, CascadeGains gains);

// A vector path's registers of one lane group: the coefficients of the sections it holds
// and their histories, lane for lane as in StereoSection.
template <class V>
struct Coefficients {
    V b0, b1, b2, a1, a2;
};

template <class V>
struct History {
    V x1, x2, y1, y2;
};

#if defined(TOLVAN_CASCADE_AVX)
// Two sections in one four-double register, the second of them one sample behind, so that
// every section of the chain runs in one sample loop. Only on processors with AVX.
void runCascadeAvx(StereoSection* const* sections, int sectionCount, const float* inL, const float* inR, float* outL,
                   float* outR, int count, CascadeGains gains);
#endif

#if defined(TOLVAN_CASCADE_AVX512)
// Four sections in one eight-double register, each a few samples behind the one before.
// Only on processors with AVX-512 (the foundation set).
void runCascadeAvx512(StereoSection* const* sections, int sectionCount, const float* inL, const float* inR, float* outL,
                      float* outR, int count, CascadeGains gains);
#endif

}  // namespace dsp
