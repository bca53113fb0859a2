// The AVX-512 path of the band chain. As in the AVX path, sections that follow each other
// share a register and run a few samples apart, so that their recursions overlap; here an
// eight-double register holds the left and right channels of four sections, one from each
// quarter of the chain. Quarter q (lanes 2q and 2q + 1) holds sections qH .. qH + H-1 and
// runs q * lag samples behind quarter 0: in the step for sample t, quarter q filters sample
// t - q * lag, whose output of the quarter before it an earlier step left behind. Ten
// sections then take three stages of nine operations each instead of five.
//
// Every lane computes exactly the operations of the section formula in CIIR::process, in
// its order, without contraction (the build passes -ffp-contract=off), so the results are
// the plain path's to the bit.
#include "dsp/StereoCascadePaths.h"

#include "dsp/Levels.h"

#if defined(TOLVAN_CASCADE_AVX512)

#include <immintrin.h>

#include <algorithm>
#include <iterator>
#include <cstddef>
#include <utility>

namespace {

using dsp::Coefficients;
using dsp::History;

// Eight and two doubles as plain vector types (the intrinsics' own types carry attributes
// that templates drop).
using Wide = double __attribute__((vector_size(64)));
using Narrow = double __attribute__((vector_size(16)));
using WideFloats = float __attribute__((vector_size(32)));

constexpr int quarters = 4;
// Three stages of four: twelve sections, more than the bands make.
constexpr int maxStages = 3;

// How many samples each quarter runs behind the one before it. A step computes all
// quarters together, so a quarter's input (the last stage's output of the quarter before)
// closes a loop through all stages; lagging by several samples lets that many passes of
// the loop overlap. The main loop takes lag samples at a time, so that the values in
// flight between the quarters stay in registers.
constexpr int lag = 4;
// How many samples the last quarter runs behind the first.
constexpr int delay = (quarters - 1) * lag;

constexpr __mmask8 allLanes = 0xff;

// The lanes of quarter q.
constexpr __mmask8 lanesOf(int q) { return static_cast<__mmask8>(0x3 << (2 * q)); }

// The conversions as GNU vector operations: GCC 12's intrinsics for them start from an
// undefined value that its own warnings take for an uninitialised one.
[[gnu::target("avx512f")]] inline WideFloats toFloats(Wide v) { return __builtin_convertvector(v, WideFloats); }

// Two doubles of each of the four sections, lanes 2q and 2q + 1 from *s[q]; absent
// sections (null) give zero.
template <class Field>
[[gnu::target("avx512f")]] Wide gather(StereoSection* const (&s)[quarters], Field field)
{
    Narrow pairs[quarters];
    for (int q = 0; q < quarters; ++q) pairs[q] = s[q] != nullptr ? _mm_load_pd(s[q]->*field) : _mm_setzero_pd();
    using Half = double __attribute__((vector_size(32)));
    const Half low = __builtin_shufflevector(pairs[0], pairs[1], 0, 1, 2, 3);
    const Half high = __builtin_shufflevector(pairs[2], pairs[3], 0, 1, 2, 3);
    return __builtin_shufflevector(low, high, 0, 1, 2, 3, 4, 5, 6, 7);
}

template <class Field>
[[gnu::target("avx512f")]] void scatter(Wide v, StereoSection* const (&s)[quarters], Field field)
{
    const Narrow pairs[quarters] = {__builtin_shufflevector(v, v, 0, 1), __builtin_shufflevector(v, v, 2, 3),
                                    __builtin_shufflevector(v, v, 4, 5), __builtin_shufflevector(v, v, 6, 7)};
    for (int q = 0; q < quarters; ++q)
        if (s[q] != nullptr) _mm_store_pd(s[q]->*field, pairs[q]);
}

// Where a step falls. Steps go in pairs, and for the second of a pair the two history
// places swap roles: each value is then written once, where it stays, instead of moving on
// every step. After a pair x1 and y1 hold the newest values.
enum class Sample { FirstOfPair, SecondOfPair };

// The chain's input: a stereo sample, widened, in lanes 0 and 1.
[[gnu::target("avx512f")]] inline Wide loadStereo(const float* left, const float* right, int n)
{
    return _mm512_castpd128_pd512(_mm_cvtps_pd(_mm_unpacklo_ps(_mm_load_ss(left + n), _mm_load_ss(right + n))));
}

// The last quarter's output, lanes 6 and 7.
[[gnu::target("avx512f")]] inline void storeStereo(Wide v, float* left, float* right, int n)
{
    const __m128 f = _mm_cvtpd_ps(__builtin_shufflevector(v, v, 6, 7));
    _mm_store_ss(left + n, f);
    _mm_store_ss(right + n, _mm_shuffle_ps(f, f, 1));
}

// H stages; the make-up multiplies the output of stage makeupStage in one quarter's lanes,
// or nowhere for -1. A template argument, so that the sample loop tests nothing for it.
template <int H, int makeupStage>
class Pipeline {
public:
    [[gnu::target("avx512f")]] Pipeline(StereoSection* const* s, int sectionCount, CascadeGains gains)
    {
        for (int j = 0; j < H; ++j) {
            for (int q = 0; q < quarters; ++q) {
                const int k = q * H + j;
                sections[j][q] = k < sectionCount ? s[k] : nullptr;
            }
            // An absent section passes its input on unchanged.
            present[j] = 0;
            for (int q = 0; q < quarters; ++q) present[j] |= sections[j][q] != nullptr ? lanesOf(q) : 0;
            c[j] = {gather(sections[j], &StereoSection::nb0), gather(sections[j], &StereoSection::nb1),
                    gather(sections[j], &StereoSection::nb2), gather(sections[j], &StereoSection::na1),
                    gather(sections[j], &StereoSection::na2)};
            history[j] = {gather(sections[j], &StereoSection::x1), gather(sections[j], &StereoSection::x2),
                          gather(sections[j], &StereoSection::y1), gather(sections[j], &StereoSection::y2)};
        }
        if constexpr (makeupStage >= 0) {
            makeupLanes = lanesOf(gains.makeupAfter / H);
            makeup = _mm512_set1_pd(gains.makeup);
        }
    }

    [[gnu::target("avx512f")]] void run(const float* inL, const float* inR, float* outL, float* outR, int count)
    {
        // The histories as locals of the sample loop, so that they live in registers.
        History<Wide> h[H];
        std::copy(std::begin(history), std::end(history), h);
        // The last stage's output of the last lag steps, by step % lag: the next quarters'
        // inputs. The steps go in groups of lag, so that these stay in registers.
        Wide r[lag] = {};
        static_assert(lag % 2 == 0 && delay % lag == 0);
        for (int m = 0; m < count + delay; m += lag) {
            // Until every quarter has a sample to filter, and again while the last samples
            // leave through the later quarters, only some quarters run.
            if (m >= delay && m + lag <= count)
                fullSteps(inL, inR, outL, outR, m, r, h, std::make_index_sequence<lag>{});
            else
                partialSteps(inL, inR, outL, outR, count, m, r, h, std::make_index_sequence<lag / 2>{});
        }
        std::copy(std::begin(h), std::end(h), history);
        store();
    }

private:
    // lag full steps, from step m on, in pairs; the carried values stay in registers.
    template <std::size_t... k>
    [[gnu::target("avx512f")]] inline void fullSteps(const float* inL, const float* inR, float* outL, float* outR,
                                                     int m, Wide (&r)[lag], History<Wide> (&h)[H],
                                                     std::index_sequence<k...>)
    {
        (fullStep < k % 2 == 0 ? Sample::FirstOfPair : Sample::SecondOfPair > (inL, inR, outL, outR, m + k, r[k], h),
         ...);
    }

    // Sample m in, sample m - delay out, with every quarter at work; the carried slot gives
    // the last stage's output of step m - lag to the next quarters and takes that of step m.
    template <Sample kind>
    [[gnu::target("avx512f")]] inline void fullStep(const float* inL, const float* inR, float* outL, float* outR, int m,
                                                    Wide& slot, History<Wide> (&h)[H])
    {
        slot = step<kind, false>(enter(loadStereo(inL, inR, m), slot), allLanes, h);
        storeStereo(slot, outL, outR, m - delay);
    }

    // lag steps from step m on, in pairs, each with only the quarters that have a sample
    // of the block to filter.
    template <std::size_t... p>
    [[gnu::target("avx512f")]] inline void partialSteps(const float* inL, const float* inR, float* outL, float* outR,
                                                        int count, int m, Wide (&r)[lag], History<Wide> (&h)[H],
                                                        std::index_sequence<p...>)
    {
        (partialPair(inL, inR, outL, outR, count, m + 2 * p, r[2 * p], r[2 * p + 1], h), ...);
    }

    // Steps m and m + 1 (m even). In step m quarter q filters sample m - q * lag if that
    // lies in 0 .. count - 1; the others keep their history. A quarter starts at step
    // q * lag, the first of a pair, but stops after step count - 1 + q * lag, which may be
    // the first of a pair: its newest values then wait in the places the second step would
    // have filled, and move back to x1 and y1. Steps past the last output change nothing.
    [[gnu::target("avx512f")]] void partialPair(const float* inL, const float* inR, float* outL, float* outR, int count,
                                                int m, Wide& first, Wide& second, History<Wide> (&h)[H])
    {
        const __mmask8 activeFirst = activeIn(m, count), activeSecond = activeIn(m + 1, count);
        first = step<Sample::FirstOfPair, true>(enter(inputAt(inL, inR, m, count), first), activeFirst, h);
        if (m >= delay && m - delay < count) storeStereo(first, outL, outR, m - delay);
        second = step<Sample::SecondOfPair, true>(enter(inputAt(inL, inR, m + 1, count), second), activeSecond, h);
        if (m + 1 >= delay && m + 1 - delay < count) storeStereo(second, outL, outR, m + 1 - delay);
        const __mmask8 stopped = activeFirst & ~activeSecond;
        if (stopped != 0) {
            for (History<Wide>& hj : h) {
                const Wide x1 = hj.x1, y1 = hj.y1;
                hj.x1 = _mm512_mask_mov_pd(hj.x1, stopped, hj.x2);
                hj.x2 = _mm512_mask_mov_pd(hj.x2, stopped, x1);
                hj.y1 = _mm512_mask_mov_pd(hj.y1, stopped, hj.y2);
                hj.y2 = _mm512_mask_mov_pd(hj.y2, stopped, y1);
            }
        }
    }

    // The quarters that have a sample of the block to filter in step m.
    static __mmask8 activeIn(int m, int count)
    {
        __mmask8 active = 0;
        for (int q = 0; q < quarters; ++q) {
            const int t = m - q * lag;
            active |= t >= 0 && t < count ? lanesOf(q) : 0;
        }
        return active;
    }

    [[gnu::target("avx512f")]] static Wide inputAt(const float* inL, const float* inR, int m, int count)
    {
        return m < count ? loadStereo(inL, inR, m) : _mm512_setzero_pd();
    }

    // The input of the first stage: the new sample in quarter 0, and in every later quarter
    // the output of the quarter before it, lag steps old.
    [[gnu::target("avx512f")]] static Wide enter(Wide sample, Wide carried)
    {
        const __m512i moved = _mm512_set_epi64(5, 4, 3, 2, 1, 0, 9, 8);
        return _mm512_permutex2var_pd(carried, moved, sample);
    }

    // One sample through every stage, as CIIR::process computes it in each lane. Masked,
    // only the active lanes take the sample into their history.
    template <Sample kind, bool masked>
    [[gnu::target("avx512f")]] inline Wide step(Wide x, __mmask8 active, History<Wide> (&h)[H]) const
    {
        // The coefficients are read from memory at every step, as operands of the
        // multiplications: held in registers they would crowd out the histories, which
        // then wait on the stack in the middle of the recursions. The empty asm hides where
        // the pointer points, so that the compiler does not hoist the loads out of the loop.
        const Coefficients<Wide>* coefficients = c;
        asm("" : "+r"(coefficients));
        for (int j = 0; j < H; ++j) {
            const Coefficients<Wide>& cj = coefficients[j];
            History<Wide>& hj = h[j];
            constexpr bool swapped = kind == Sample::SecondOfPair;
            Wide& newerX = swapped ? hj.x2 : hj.x1;
            Wide& olderX = swapped ? hj.x1 : hj.x2;
            Wide& newerY = swapped ? hj.y2 : hj.y1;
            Wide& olderY = swapped ? hj.y1 : hj.y2;
            const Wide sum = cj.b0 * x + cj.b1 * newerX + cj.b2 * olderX - cj.a1 * newerY - cj.a2 * olderY;
            // Rounded to float because that is what the plain path stores and reads back.
            const Wide y = _mm512_mask_cvtps_pd(x, present[j], toFloats(sum));
            if constexpr (masked) {
                olderX = _mm512_mask_mov_pd(olderX, active, x);
                olderY = _mm512_mask_mov_pd(olderY, active, y);
            } else {
                olderX = x;
                olderY = y;
            }
            // Only the make-up's quarter takes the product; the others pass y on.
            x = j == makeupStage ? _mm512_mask_cvtps_pd(y, makeupLanes, toFloats(y * makeup)) : y;
        }
        return x;
    }

    // The end-of-block rules of the plain path in every lane at once: the output history
    // loses values too small for a float, and a channel whose history is not finite is
    // reset.
    [[gnu::target("avx512f")]] static void finish(History<Wide>& h)
    {
        h.y2 = flushedIfTiny(h.y2);
        h.y1 = flushedIfTiny(h.y1);
        const __mmask8 kept = finiteLanes(h.x1) & finiteLanes(h.x2) & finiteLanes(h.y1) & finiteLanes(h.y2);
        h.x1 = _mm512_maskz_mov_pd(kept, h.x1);
        h.x2 = _mm512_maskz_mov_pd(kept, h.x2);
        h.y1 = _mm512_maskz_mov_pd(kept, h.y1);
        h.y2 = _mm512_maskz_mov_pd(kept, h.y2);
    }

    [[gnu::target("avx512f")]] static Wide flushedIfTiny(Wide v)
    {
        const __mmask8 tiny =
            _mm512_cmp_pd_mask(_mm512_abs_pd(v), _mm512_set1_pd(levels::kSmallestNormalFloat), _CMP_LE_OQ);
        return _mm512_mask_mov_pd(v, tiny, _mm512_setzero_pd());
    }

    // v * 0 is zero exactly when v is finite.
    [[gnu::target("avx512f")]] static __mmask8 finiteLanes(Wide v)
    {
        const Wide zero = _mm512_setzero_pd();
        return _mm512_cmp_pd_mask(v * zero, zero, _CMP_EQ_OQ);
    }

    [[gnu::target("avx512f")]] void store()
    {
        for (int j = 0; j < H; ++j) {
            finish(history[j]);
            scatter(history[j].x1, sections[j], &StereoSection::x1);
            scatter(history[j].x2, sections[j], &StereoSection::x2);
            scatter(history[j].y1, sections[j], &StereoSection::y1);
            scatter(history[j].y2, sections[j], &StereoSection::y2);
        }
    }

    // By stage and quarter; null where the chain is shorter than the stages hold.
    StereoSection* sections[H][quarters];
    __mmask8 present[H];
    Coefficients<Wide> c[H];
    History<Wide> history[H];
    __mmask8 makeupLanes = 0;
    Wide makeup{};
};

// out = float(out * gain) over a block: the output gain as a pass of its own after the
// sample loop, where it takes neither a register nor a multiplication there. The loop's
// outputs are floats, so the products are those the loop would have rounded.
[[gnu::target("avx512f")]] void applyGain(float* out, int count, double gain)
{
    const Wide g = _mm512_set1_pd(gain);
    int i = 0;
    for (; i + 8 <= count; i += 8)
        _mm256_storeu_ps(out + i, toFloats(__builtin_convertvector(_mm256_loadu_ps(out + i), Wide) * g));
    for (; i < count; ++i) out[i] = static_cast<float>(out[i] * gain);
}

template <int H, int makeupStage>
[[gnu::target("avx512f")]] void runWith(StereoSection* const* s, int sectionCount, const float* inL, const float* inR,
                                        float* outL, float* outR, int count, CascadeGains gains)
{
    Pipeline<H, makeupStage>(s, sectionCount, gains).run(inL, inR, outL, outR, count);
}

template <int H>
void runPipeline(StereoSection* const* s, int sectionCount, const float* inL, const float* inR, float* outL,
                 float* outR, int count, CascadeGains gains)
{
    const bool madeUp = gains.makeupAfter >= 0 && gains.makeupAfter < sectionCount;
    const int makeupStage = madeUp ? gains.makeupAfter % H : -1;
    // The pipeline made for that stage, one of -1 .. H - 1.
    [&]<int... stage>(std::integer_sequence<int, stage...>)
    {
        ((makeupStage == stage - 1 ? runWith<H, stage - 1>(s, sectionCount, inL, inR, outL, outR, count, gains)
                                   : void()),
         ...);
    }
    (std::make_integer_sequence<int, H + 1>{});
    // A gain of one leaves every sample as it is.
    if (gains.output != 1.0) {
        applyGain(outL, count, gains.output);
        applyGain(outR, count, gains.output);
    }
}

// By stage count, 1 .. 3.
constexpr dsp::PipelinedRun pipelines[] = {runPipeline<1>, runPipeline<2>, runPipeline<3>};
static_assert(std::size(pipelines) == maxStages);

void runPart(StereoSection* const* s, int sectionCount, const float* inL, const float* inR, float* outL, float* outR,
             int count, CascadeGains gains)
{
    pipelines[(sectionCount + quarters - 1) / quarters - 1](s, sectionCount, inL, inR, outL, outR, count, gains);
}

}  // namespace

void dsp::runCascadeAvx512(StereoSection* const* sections, int sectionCount, const float* inL, const float* inR,
                           float* outL, float* outR, int count, CascadeGains gains)
{
    runInParts(quarters * maxStages, runPart, sections, sectionCount, inL, inR, outL, outR, count, gains);
}

#endif
