#pragma once

// Two doubles that move and compute together: one SSE2 register on x86, two scalars
// elsewhere. Every operation is one IEEE double operation per lane, so both forms give
// the same bits, and each lane gives the bits of the same scalar expression.
//
// The SSE2 form is used only where plain double arithmetic is also done in SSE2
// registers (FLT_EVAL_METHOD 0); a 32-bit x87 build keeps the scalar form, so that the
// fast paths stay bit-identical to their scalar references there too.

#include <cfloat>

#if defined(__SSE2__) && FLT_EVAL_METHOD == 0
#define TOLVAN_DOUBLE_PAIR_SSE2 1
#include <emmintrin.h>
#endif

namespace dsp {

#if defined(TOLVAN_DOUBLE_PAIR_SSE2)

struct DoublePair {
    __m128d v;

    static DoublePair load(const double* p) { return {_mm_load_pd(p)}; }
    static DoublePair set(double lo, double hi) { return {_mm_set_pd(hi, lo)}; }
    static DoublePair splat(double x) { return {_mm_set1_pd(x)}; }
    // Two adjacent floats, widened.
    // Float pairs need only float alignment, hence the 64-bit integer load and store.
    static DoublePair fromFloats(const float* p)
    {
        return {_mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))))};
    }
    // Two floats from separate places, widened.
    static DoublePair fromFloats(const float* lo, const float* hi)
    {
        return {_mm_cvtps_pd(_mm_unpacklo_ps(_mm_load_ss(lo), _mm_load_ss(hi)))};
    }
    void store(double* p) const { _mm_store_pd(p, v); }
    void toFloats(float* p) const
    {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_castps_si128(_mm_cvtpd_ps(v)));
    }
    void toFloats(float* lo, float* hi) const
    {
        const __m128 f = _mm_cvtpd_ps(v);
        _mm_store_ss(lo, f);
        _mm_store_ss(hi, _mm_shuffle_ps(f, f, 1));
    }
    // Each lane rounded to float and widened back.
    DoublePair roundedToFloat() const { return {_mm_cvtps_pd(_mm_cvtpd_ps(v))}; }
    // (hi, lo).
    DoublePair swapped() const { return {_mm_shuffle_pd(v, v, 1)}; }
    // (-lo, hi): with swapped(), multiplies a complex number (re, im) by i.
    DoublePair negatedLo() const { return {_mm_xor_pd(v, _mm_set_pd(0.0, -0.0))}; }
    DoublePair los() const { return {_mm_unpacklo_pd(v, v)}; }
    DoublePair his() const { return {_mm_unpackhi_pd(v, v)}; }
    double lo() const { return _mm_cvtsd_f64(v); }
    double hi() const { return _mm_cvtsd_f64(_mm_unpackhi_pd(v, v)); }

    friend DoublePair operator+(DoublePair a, DoublePair b) { return {_mm_add_pd(a.v, b.v)}; }
    friend DoublePair operator-(DoublePair a, DoublePair b) { return {_mm_sub_pd(a.v, b.v)}; }
    friend DoublePair operator*(DoublePair a, DoublePair b) { return {_mm_mul_pd(a.v, b.v)}; }
};

#else

struct DoublePair {
    double a, b;

    static DoublePair load(const double* p) { return {p[0], p[1]}; }
    static DoublePair set(double lo, double hi) { return {lo, hi}; }
    static DoublePair splat(double x) { return {x, x}; }
    static DoublePair fromFloats(const float* p) { return {p[0], p[1]}; }
    static DoublePair fromFloats(const float* lo, const float* hi) { return {*lo, *hi}; }
    void store(double* p) const
    {
        p[0] = a;
        p[1] = b;
    }
    void toFloats(float* p) const
    {
        p[0] = static_cast<float>(a);
        p[1] = static_cast<float>(b);
    }
    void toFloats(float* lo, float* hi) const
    {
        *lo = static_cast<float>(a);
        *hi = static_cast<float>(b);
    }
    DoublePair roundedToFloat() const { return {static_cast<float>(a), static_cast<float>(b)}; }
    DoublePair swapped() const { return {b, a}; }
    DoublePair negatedLo() const { return {-a, b}; }
    DoublePair los() const { return {a, a}; }
    DoublePair his() const { return {b, b}; }
    double lo() const { return a; }
    double hi() const { return b; }

    friend DoublePair operator+(DoublePair x, DoublePair y) { return {x.a + y.a, x.b + y.b}; }
    friend DoublePair operator-(DoublePair x, DoublePair y) { return {x.a - y.a, x.b - y.b}; }
    friend DoublePair operator*(DoublePair x, DoublePair y) { return {x.a * y.a, x.b * y.b}; }
};

#endif

}  // namespace dsp
