#include "dsp/StereoCascade.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "dsp/DoublePair.h"
#include "dsp/Levels.h"
#include "dsp/StereoCascadePaths.h"

using dsp::DoublePair;

void StereoSection::setCoefficients(const CIIR& left, const CIIR& right)
{
    nb0[0] = left.nb0, nb0[1] = right.nb0;
    nb1[0] = left.nb1, nb1[1] = right.nb1;
    nb2[0] = left.nb2, nb2[1] = right.nb2;
    na1[0] = left.na1, na1[1] = right.na1;
    na2[0] = left.na2, na2[1] = right.na2;
}

void StereoSection::clearHistory()
{
    clearHistory(0);
    clearHistory(1);
}

void StereoSection::clearHistory(int channel) { x1[channel] = x2[channel] = y1[channel] = y2[channel] = 0.0; }

void StereoSection::takeCoefficients(const StereoSection& other)
{
    for (int c = 0; c < 2; ++c) {
        nb0[c] = other.nb0[c];
        nb1[c] = other.nb1[c];
        nb2[c] = other.nb2[c];
        na1[c] = other.na1[c];
        na2[c] = other.na2[c];
    }
}

namespace {

// Consecutive sections run together in one sample loop. Each section's recursion is a
// long dependency chain; side by side, the chains of a group overlap in the processor.
// Four sections of coefficients and history are about as many as the registers hold.
constexpr int maxGroup = 4;

template <int N>
void runGroup(StereoSection* const* s, const float* inL, const float* inR, float* outL, float* outR, int count)
{
    DoublePair b0[N], b1[N], b2[N], a1[N], a2[N], x1[N], x2[N], y1[N], y2[N];
    for (int k = 0; k < N; ++k) {
        b0[k] = DoublePair::load(s[k]->nb0);
        b1[k] = DoublePair::load(s[k]->nb1);
        b2[k] = DoublePair::load(s[k]->nb2);
        a1[k] = DoublePair::load(s[k]->na1);
        a2[k] = DoublePair::load(s[k]->na2);
        x1[k] = DoublePair::load(s[k]->x1);
        x2[k] = DoublePair::load(s[k]->x2);
        y1[k] = DoublePair::load(s[k]->y1);
        y2[k] = DoublePair::load(s[k]->y2);
    }
    for (int n = 0; n < count; ++n) {
        DoublePair x = DoublePair::fromFloats(inL + n, inR + n);
        for (int k = 0; k < N; ++k) {
            // The section formula in the order of CIIR::process; the output is rounded
            // to float because that is what the plain path stores and reads back.
            const DoublePair sum = b0[k] * x + b1[k] * x1[k] + b2[k] * x2[k] - a1[k] * y1[k] - a2[k] * y2[k];
            const DoublePair y = sum.roundedToFloat();
            x2[k] = x1[k];
            x1[k] = x;
            y2[k] = y1[k];
            y1[k] = y;
            x = y;
        }
        x.toFloats(outL + n, outR + n);
    }
    for (int k = 0; k < N; ++k) {
        x1[k].store(s[k]->x1);
        x2[k].store(s[k]->x2);
        y1[k].store(s[k]->y1);
        y2[k].store(s[k]->y2);
        dsp::finishBlock(*s[k]);
    }
}

void runGroupOf(int size, StereoSection* const* s, const float* inL, const float* inR, float* outL, float* outR,
                int count)
{
    switch (size) {
    case 1: runGroup<1>(s, inL, inR, outL, outR, count); break;
    case 2: runGroup<2>(s, inL, inR, outL, outR, count); break;
    case 3: runGroup<3>(s, inL, inR, outL, outR, count); break;
    default: runGroup<maxGroup>(s, inL, inR, outL, outR, count); break;
    }
}

void runGroups(StereoSection* const* sections, int sectionCount, const float* inL, const float* inR, float* outL,
               float* outR, int count)
{
    // Groups as even as possible: ten sections run as 4, 3, 3.
    const int groups = (sectionCount + maxGroup - 1) / maxGroup;
    int done = 0;
    for (int g = 0; g < groups; ++g) {
        const int size = (sectionCount - done) / (groups - g);
        runGroupOf(size, sections + done, inL, inR, outL, outR, count);
        inL = outL;
        inR = outR;
        done += size;
    }
}

// Whether the processor has the instruction set; the probe also checks that the operating
// system saves the wide registers.
bool processorHas(CascadePath path)
{
#if defined(TOLVAN_CASCADE_AVX)
    __builtin_cpu_init();
    switch (path) {
    case CascadePath::Sse2: return true;
    case CascadePath::Avx: return __builtin_cpu_supports("avx") != 0;
    case CascadePath::Avx512:
#if defined(TOLVAN_CASCADE_AVX512)
        return __builtin_cpu_supports("avx512f") != 0;
#else
        return false;
#endif
    }
    return false;
#else
    return path == CascadePath::Sse2;
#endif
}

}  // namespace

void scaleStereo(const float* inL, const float* inR, float* outL, float* outR, int count, double gain)
{
    for (int i = 0; i < count; ++i) {
        const float l = inL[i], r = inR[i];
        outL[i] = static_cast<float>(l * gain);
        outR[i] = static_cast<float>(r * gain);
    }
}

void dsp::finishBlock(StereoSection& s)
{
    for (int c = 0; c < 2; ++c) {
        s.y2[c] = levels::guardDenormal(s.y2[c]);
        s.y1[c] = levels::guardDenormal(s.y1[c]);
        if (!(std::isfinite(s.x1[c]) && std::isfinite(s.x2[c]) && std::isfinite(s.y1[c]) && std::isfinite(s.y2[c])))
            s.clearHistory(c);
    }
}

void dsp::runCascadeSse2(StereoSection* const* sections, int sectionCount, const float* inL, const float* inR,
                         float* outL, float* outR, int count, CascadeGains gains)
{
    if (count <= 0 || sectionCount <= 0) return;
    const bool madeUp = gains.makeupAfter >= 0 && gains.makeupAfter < sectionCount;
    const int first = madeUp ? gains.makeupAfter + 1 : sectionCount;
    runGroups(sections, first, inL, inR, outL, outR, count);
    if (madeUp) {
        scaleStereo(outL, outR, outL, outR, count, gains.makeup);
        runGroups(sections + first, sectionCount - first, outL, outR, outL, outR, count);
    }
    // A gain of one leaves every sample as it is.
    if (gains.output != 1.0) scaleStereo(outL, outR, outL, outR, count, gains.output);
}

void dsp::runInParts(int longest, PipelinedRun run, StereoSection* const* sections, int sectionCount, const float* inL,
                     const float* inR, float* outL, float* outR, int count, CascadeGains gains)
{
    if (count <= 0) return;
    for (int done = 0; done < sectionCount;) {
        const int size = std::min(sectionCount - done, longest);
        const bool lastPart = done + size == sectionCount;
        const CascadeGains part{gains.makeupAfter - done, gains.makeup, lastPart ? gains.output : 1.0};
        if (size == 1) {
            runCascadeSse2(sections + done, 1, inL, inR, outL, outR, count, part);
        } else {
            run(sections + done, size, inL, inR, outL, outR, count, part);
        }
        inL = outL;
        inR = outR;
        done += size;
    }
}

bool cascadePathAvailable(CascadePath path)
{
    static const bool avx = processorHas(CascadePath::Avx);
    static const bool avx512 = processorHas(CascadePath::Avx512);
    switch (path) {
    case CascadePath::Sse2: return true;
    case CascadePath::Avx: return avx;
    case CascadePath::Avx512: return avx512;
    }
    return false;
}

CascadePath fastestCascadePath()
{
    for (const CascadePath path : {CascadePath::Avx512, CascadePath::Avx})
        if (cascadePathAvailable(path)) return path;
    return CascadePath::Sse2;
}

void runCascade(CascadePath path, StereoSection* const* sections, int sectionCount, const float* inL, const float* inR,
                float* outL, float* outR, int count, CascadeGains gains)
{
    switch (path) {
#if defined(TOLVAN_CASCADE_AVX512)
    case CascadePath::Avx512: dsp::runCascadeAvx512(sections, sectionCount, inL, inR, outL, outR, count, gains); return;
#endif
#if defined(TOLVAN_CASCADE_AVX)
    case CascadePath::Avx: dsp::runCascadeAvx(sections, sectionCount, inL, inR, outL, outR, count, gains); return;
#endif
    default: dsp::runCascadeSse2(sections, sectionCount, inL, inR, outL, outR, count, gains); return;
    }
}

void runCascade(StereoSection* const* sections, int sectionCount, const float* inL, const float* inR, float* outL,
                float* outR, int count, CascadeGains gains)
{
    runCascade(fastestCascadePath(), sections, sectionCount, inL, inR, outL, outR, count, gains);
}
