// The AVX path of the band chain. Each section's recursion waits about twenty cycles for
// its own previous output; run one section after another and the chain is bound by that
// wait. Here a four-double register holds the left and right channels of two sections,
// section j in the low half and section j + H in the high half, and the high half runs a
// few samples behind the low one: in the step for sample t, sections 0 .. H-1 filter
// sample t while sections H .. 2H-1 filter sample t - lag, whose output of section H-1 an
// earlier step left behind. All sections of the chain then share one sample loop, their
// recursions overlap, and the loop is bound by arithmetic throughput instead.
//
// Every lane computes exactly the operations of the section formula in CIIR::process, in
// its order, without contraction, so the results are the plain path's to the bit.
#include "dsp/StereoCascadePaths.h"

#if defined(TOLVAN_CASCADE_AVX)

#include <immintrin.h>

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

using dsp::Coefficients;
using dsp::History;

// Four and two doubles as plain vector types (the intrinsics' own types carry attributes
// that templates drop).
using Wide = double __attribute__((vector_size(32)));
using Narrow = double __attribute__((vector_size(16)));

// Two stages of five: ten sections, every band with both cut filters in edge mode.
constexpr int maxStages = 5;

// How many samples the high halves run behind the low ones. A step's low and high halves
// are computed together, so the high halves' input (section H-1's output) closes a loop
// through all H stages; lagging by several samples lets that many passes of the loop
// overlap. A power of two, so that the ring index n % lag is a mask.
constexpr int lag = 4;

// Blend masks of _mm256_blend_pd: which lanes come from the second operand.
constexpr int lowLanes = 0x3;
constexpr int highLanes = 0xC;

[[gnu::target("avx")]] inline Wide pairOf(const double* low, const double* high)
{
    return _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_load_pd(low)), _mm_load_pd(high), 1);
}

[[gnu::target("avx")]] inline void storePair(Wide v, double* low, double* high)
{
    _mm_store_pd(low, _mm256_castpd256_pd128(v));
    _mm_store_pd(high, _mm256_extractf128_pd(v, 1));
}

[[gnu::target("avx")]] inline Wide roundedToFloat(Wide v) { return _mm256_cvtps_pd(_mm256_cvtpd_ps(v)); }
[[gnu::target("avx")]] inline Narrow roundedToFloat(Narrow v) { return _mm_cvtps_pd(_mm_cvtpd_ps(v)); }

// Where a sample falls. The sample loop takes samples in pairs, and for the second of a
// pair the two history places swap roles: each value is then written once, where it
// stays, instead of moving on every sample. After a pair, and after a single sample, x1
// and y1 hold the newest values.
enum class Sample { Single, FirstOfPair, SecondOfPair };

// One sample through one section (per lane), as CIIR::process computes it.
template <Sample kind, class V>
[[gnu::target("avx")]] inline V sectionStep(const Coefficients<V>& c, History<V>& h, V x)
{
    constexpr bool swapped = kind == Sample::SecondOfPair;
    V& newerX = swapped ? h.x2 : h.x1;
    V& olderX = swapped ? h.x1 : h.x2;
    V& newerY = swapped ? h.y2 : h.y1;
    V& olderY = swapped ? h.y1 : h.y2;
    const V y = roundedToFloat(c.b0 * x + c.b1 * newerX + c.b2 * olderX - c.a1 * newerY - c.a2 * olderY);
    olderX = x;
    olderY = y;
    if constexpr (kind == Sample::Single) {
        std::swap(h.x1, h.x2);
        std::swap(h.y1, h.y2);
    }
    return y;
}

[[gnu::target("avx")]] inline Narrow loadStereo(const float* left, const float* right, int n)
{
    return _mm_cvtps_pd(_mm_unpacklo_ps(_mm_load_ss(left + n), _mm_load_ss(right + n)));
}

[[gnu::target("avx")]] inline void storeStereo(Narrow v, float* left, float* right, int n)
{
    const __m128 f = _mm_cvtpd_ps(v);
    _mm_store_ss(left + n, f);
    _mm_store_ss(right + n, _mm_shuffle_ps(f, f, 1));
}

// Sections 0 .. H-1 in the low halves of the stages, H .. 2H-1 in the high halves, and
// with Extra an odd last section 2H in a two-double register after them.
template <int H, bool Extra>
class Pipeline {
public:
    [[gnu::target("avx")]] Pipeline(StereoSection* const* s, CascadeGains gains) : sections(s), after(gains.makeupAfter)
    {
        for (int j = 0; j < H; ++j) {
            const StereoSection& lo = *s[j];
            const StereoSection& hi = *s[H + j];
            c[j] = {pairOf(lo.nb0, hi.nb0), pairOf(lo.nb1, hi.nb1), pairOf(lo.nb2, hi.nb2), pairOf(lo.na1, hi.na1),
                    pairOf(lo.na2, hi.na2)};
            h[j] = {pairOf(lo.x1, hi.x1), pairOf(lo.x2, hi.x2), pairOf(lo.y1, hi.y1), pairOf(lo.y2, hi.y2)};
        }
        if constexpr (Extra) {
            const StereoSection& e = *s[2 * H];
            ce = {_mm_load_pd(e.nb0), _mm_load_pd(e.nb1), _mm_load_pd(e.nb2), _mm_load_pd(e.na1), _mm_load_pd(e.na2)};
            he = {_mm_load_pd(e.x1), _mm_load_pd(e.x2), _mm_load_pd(e.y1), _mm_load_pd(e.y2)};
        }
        const double g = gains.makeup;
        gainLow = _mm256_set_pd(1.0, 1.0, g, g);
        gainHigh = _mm256_set_pd(g, g, 1.0, 1.0);
        gainBoth = _mm_set1_pd(g);
        gainOut = _mm_set1_pd(gains.output);
    }

    [[gnu::target("avx")]] void run(const float* inL, const float* inR, float* outL, float* outR, int count)
    {
        // Section H-1's outputs wait here until the high halves take them, lag steps later.
        Narrow carried[lag];
        // The first samples enter the low halves while the high halves have nothing to
        // filter yet; these keep their history.
        History<Wide> saved[H];
        copyHistory(saved);
        for (int n = 0; n < std::min(count, lag); ++n)
            carried[n] = step<Sample::Single>(loadStereo(inL, inR, n), _mm_setzero_pd()).low;
        restoreHistory<highLanes>(saved);
        // Sample n is read before sample n - lag is written, which keeps in-place and
        // swapped buffers right.
        int n = lag;
        for (; n + 1 < count; n += 2) {
            fullStep<Sample::FirstOfPair>(inL, inR, outL, outR, n, carried[n % lag]);
            fullStep<Sample::SecondOfPair>(inL, inR, outL, outR, n + 1, carried[(n + 1) % lag]);
        }
        if (n < count) fullStep<Sample::Single>(inL, inR, outL, outR, n, carried[n % lag]);
        // The last samples leave through the high halves; the low halves keep their history.
        copyHistory(saved);
        for (int m = std::max(count, lag); m < count + lag; ++m) {
            const Narrow y = last<Sample::Single>(step<Sample::Single>(_mm_setzero_pd(), carried[m % lag]).high);
            storeStereo(y * gainOut, outL, outR, m - lag);
        }
        restoreHistory<lowLanes>(saved);
        store();
    }

private:
    struct Halves {
        Narrow low, high;
    };

    // Sample n in, sample n - lag out, with both halves of every stage at work; the
    // carried slot gives section H-1's output of sample n - lag to the high halves and
    // takes that of sample n.
    template <Sample kind>
    [[gnu::target("avx")]] void fullStep(const float* inL, const float* inR, float* outL, float* outR, int n,
                                         Narrow& slot)
    {
        const Halves out = step<kind>(loadStereo(inL, inR, n), slot);
        slot = out.low;
        storeStereo(last<kind>(out.high) * gainOut, outL, outR, n - lag);
    }

    // Input enters section 0 at sample t, carried (section H-1's output of sample t - lag)
    // enters section H. Answers section H-1's output of sample t and section 2H-1's output
    // of sample t - lag, each with the make-up applied if it falls right after them.
    template <Sample kind>
    [[gnu::target("avx")]] Halves step(Narrow input, Narrow carried)
    {
        Wide x = _mm256_insertf128_pd(_mm256_castpd128_pd256(input), carried, 1);
        for (int j = 0; j < H; ++j) {
            x = sectionStep<kind>(c[j], h[j], x);
            if (j + 1 < H) {
                if (after == j)
                    x = roundedToFloat(x * gainLow);
                else if (after == H + j)
                    x = roundedToFloat(x * gainHigh);
            }
        }
        return {scaledAfter(H - 1, _mm256_castpd256_pd128(x)), scaledAfter(2 * H - 1, _mm256_extractf128_pd(x, 1))};
    }

    // The odd last section, if there is one, on the output of section 2H-1.
    template <Sample kind>
    [[gnu::target("avx")]] Narrow last(Narrow x)
    {
        if constexpr (Extra) return scaledAfter(2 * H, sectionStep<kind>(ce, he, x));
        return x;
    }

    [[gnu::target("avx")]] Narrow scaledAfter(int section, Narrow x) const
    {
        return after == section ? roundedToFloat(x * gainBoth) : x;
    }

    [[gnu::target("avx")]] void copyHistory(History<Wide>* to) const
    {
        for (int j = 0; j < H; ++j) to[j] = h[j];
    }

    template <int lanes>
    [[gnu::target("avx")]] void restoreHistory(const History<Wide>* from)
    {
        for (int j = 0; j < H; ++j) {
            h[j].x1 = _mm256_blend_pd(h[j].x1, from[j].x1, lanes);
            h[j].x2 = _mm256_blend_pd(h[j].x2, from[j].x2, lanes);
            h[j].y1 = _mm256_blend_pd(h[j].y1, from[j].y1, lanes);
            h[j].y2 = _mm256_blend_pd(h[j].y2, from[j].y2, lanes);
        }
    }

    [[gnu::target("avx")]] void store()
    {
        for (int j = 0; j < H; ++j) {
            StereoSection& lo = *sections[j];
            StereoSection& hi = *sections[H + j];
            storePair(h[j].x1, lo.x1, hi.x1);
            storePair(h[j].x2, lo.x2, hi.x2);
            storePair(h[j].y1, lo.y1, hi.y1);
            storePair(h[j].y2, lo.y2, hi.y2);
        }
        if constexpr (Extra) {
            StereoSection& e = *sections[2 * H];
            _mm_store_pd(e.x1, he.x1);
            _mm_store_pd(e.x2, he.x2);
            _mm_store_pd(e.y1, he.y1);
            _mm_store_pd(e.y2, he.y2);
        }
    }

    StereoSection* const* sections;
    int after;
    Coefficients<Wide> c[H];
    History<Wide> h[H];
    Coefficients<Narrow> ce{};
    History<Narrow> he{};
    Wide gainLow, gainHigh;
    Narrow gainBoth, gainOut;
};

template <int H, bool Extra>
[[gnu::target("avx")]] void runPipeline(StereoSection* const* s, const float* inL, const float* inR, float* outL,
                                        float* outR, int count, CascadeGains gains)
{
    Pipeline<H, Extra>(s, gains).run(inL, inR, outL, outR, count);
}

using PipelineRun = void (*)(StereoSection* const*, const float*, const float*, float*, float*, int, CascadeGains);

// By section count, 2 .. 10.
constexpr PipelineRun pipelines[] = {
    runPipeline<1, false>, runPipeline<1, true>,  runPipeline<2, false>, runPipeline<2, true>,  runPipeline<3, false>,
    runPipeline<3, true>,  runPipeline<4, false>, runPipeline<4, true>,  runPipeline<5, false>,
};
static_assert(std::size(pipelines) == 2 * maxStages - 1);

void runPart(StereoSection* const* s, int sectionCount, const float* inL, const float* inR, float* outL, float* outR,
             int count, CascadeGains gains)
{
    pipelines[sectionCount - 2](s, inL, inR, outL, outR, count, gains);
    for (int k = 0; k < sectionCount; ++k) dsp::finishBlock(*s[k]);
}

}  // namespace

void dsp::runCascadeAvx(StereoSection* const* sections, int sectionCount, const float* inL, const float* inR,
                        float* outL, float* outR, int count, CascadeGains gains)
{
    runInParts(2 * maxStages, runPart, sections, sectionCount, inL, inR, outL, outR, count, gains);
}

#endif
