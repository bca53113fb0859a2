#pragma once

// Closed-form biquad responses in long double, written from the textbook formulas
// independently of the code under test.

#include <cmath>
#include <complex>

#include "dsp/CIIR.h"

namespace reference {

using Real = long double;

struct Biquad {
    Real b0, b1, b2, a0, a1, a2;
};

inline constexpr Real pi = 3.141592653589793238462643383279502884L;

inline Biquad design(FilterType type, Real f, Real fs, Real gainDb, Real q)
{
    const Real w = 2 * pi * f / fs, c = std::cos(w), s = std::sin(w);
    const Real alpha = s / (2 * q);
    const Real a = std::pow(10.0L, gainDb / 40);
    switch (type) {
    case FilterType::LowPass: return {(1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha};
    case FilterType::HighPass: return {(1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha};
    case FilterType::BandPass: return {alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha};
    case FilterType::BandPassSkirt: return {q * alpha, 0, -q * alpha, 1 + alpha, -2 * c, 1 - alpha};
    case FilterType::Notch: return {1, -2 * c, 1, 1 + alpha, -2 * c, 1 - alpha};
    case FilterType::Peak: return {1 + alpha * a, -2 * c, 1 - alpha * a, 1 + alpha / a, -2 * c, 1 - alpha / a};
    case FilterType::LowShelf:
    case FilterType::HighShelf: {
        // Shelf-slope form: 2 sqrt(A) alpha with alpha = sin w / 2 * sqrt((A + 1/A)(1/S - 1) + 2).
        const Real k = 2 * std::sqrt(a) * s / 2 * std::sqrt((a + 1 / a) * (1 / q - 1) + 2);
        if (type == FilterType::LowShelf)
            return {a * ((a + 1) - (a - 1) * c + k), 2 * a * ((a - 1) - (a + 1) * c), a * ((a + 1) - (a - 1) * c - k),
                    (a + 1) + (a - 1) * c + k,       -2 * ((a - 1) + (a + 1) * c),    (a + 1) + (a - 1) * c - k};
        return {a * ((a + 1) + (a - 1) * c + k), -2 * a * ((a - 1) + (a + 1) * c), a * ((a + 1) + (a - 1) * c - k),
                (a + 1) - (a - 1) * c + k,       2 * ((a - 1) - (a + 1) * c),      (a + 1) - (a - 1) * c - k};
    }
    }
    return {1, 0, 0, 1, 0, 0};
}

inline Real magnitude(const Biquad& h, Real f, Real fs)
{
    const std::complex<Real> z1 = std::polar(1.0L, -2 * pi * f / fs);
    const std::complex<Real> z2 = z1 * z1;
    return std::abs((h.b0 + h.b1 * z1 + h.b2 * z2) / (h.a0 + h.a1 * z1 + h.a2 * z2));
}

// The magnitude of a designed section, from its normalised coefficients.
inline Real magnitude(const CIIR& s, Real f)
{
    return magnitude(Biquad{s.nb0, s.nb1, s.nb2, 1, s.na1, s.na2}, f, s.sampleRate);
}

inline Real decibels(Real m) { return 20 * std::log10(m); }

}  // namespace reference
