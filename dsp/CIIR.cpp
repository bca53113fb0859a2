#include "dsp/CIIR.h"

#include <algorithm>
#include <cmath>

#include "dsp/Levels.h"

namespace {

constexpr double twoPi = 6.283185307179586;
// Floors that keep the designs free of divisions by zero.
constexpr double minQ = 0.00001;
constexpr double notchZeroQ = 0.0001;
constexpr double minShelfTerm = 0.00001;

struct Angle {
    double c, s;
};

Angle designAngle(double frequency, double sampleRate)
{
    const double f = std::min(frequency, sampleRate * maxDesignFrequencyRatio);
    const double w0 = twoPi * f / sampleRate;
    return {std::cos(w0), std::sin(w0)};
}

double clampQ(double q) { return q <= 0.0 ? minQ : q; }

double amplitude(double gainDb) { return std::pow(10.0, gainDb * 0.025); }

// The shelf's replacement for 2 sqrt(A) alpha, from the shelf slope S.
double shelfTerm(double a, double slope, double s)
{
    double h = (a * a + 1.0) / slope - (a - 1.0) * (a - 1.0);
    if (h <= 0.0) h = minShelfTerm;
    return std::sqrt(h) * s;
}

}  // namespace

CIIR::CIIR()
    : sampleRate(44100.0), enabled(1), type(static_cast<int32_t>(FilterType::Peak)), frequency(1000.0), gain(0.0),
      q(3.0), nb0(1.0), nb1(0.0), nb2(0.0), na1(0.0), na2(0.0), x2(0.0), x1(0.0), y2(0.0), y1(0.0)
{
    designPeak(1000.0, 0.0, 3.0);
}

void CIIR::setSampleRate(int rate)
{
    if (rate >= 1) sampleRate = static_cast<double>(rate);
    design(type, frequency, q, gain);
}

void CIIR::design(int designType, double f, double designQ, double designGain)
{
    switch (static_cast<FilterType>(designType)) {
    case FilterType::LowPass: designLowPass(f, designQ); break;
    case FilterType::HighPass: designHighPass(f, designQ); break;
    case FilterType::BandPass: designBandPass(f, designQ); break;
    case FilterType::BandPassSkirt: designBandPassSkirt(f, designQ); break;
    case FilterType::Peak: designPeak(f, designGain, designQ); break;
    case FilterType::Notch: designNotch(f, designQ); break;
    case FilterType::LowShelf: designLowShelf(f, designGain, designQ); break;
    case FilterType::HighShelf: designHighShelf(f, designGain, designQ); break;
    }
    clearHistory();
}

void CIIR::setCoefficients(double b0, double b1, double b2, double a0, double a1, double a2)
{
    // Divisions rather than products with 1 / a0: each coefficient is then correctly
    // rounded, and a flat peak (b = a) gets exactly nb0 = 1.
    nb0 = b0 / a0;
    nb1 = b1 / a0;
    nb2 = b2 / a0;
    na1 = a1 / a0;
    na2 = a2 / a0;
}

CIIR::Terms CIIR::beginDesign(FilterType designType, double f, double designQ)
{
    type = static_cast<int32_t>(designType);
    frequency = f;
    q = designQ;
    const auto [c, s] = designAngle(f, sampleRate);
    return {c, s, s / (2.0 * q)};
}

void CIIR::designLowPass(double f, double designQ)
{
    const auto [c, s, alpha] = beginDesign(FilterType::LowPass, f, clampQ(designQ));
    setCoefficients((1.0 - c) / 2.0, 1.0 - c, (1.0 - c) / 2.0, 1.0 + alpha, -2.0 * c, 1.0 - alpha);
}

void CIIR::designHighPass(double f, double designQ)
{
    const auto [c, s, alpha] = beginDesign(FilterType::HighPass, f, clampQ(designQ));
    setCoefficients((1.0 + c) / 2.0, -(1.0 + c), (1.0 + c) / 2.0, 1.0 + alpha, -2.0 * c, 1.0 - alpha);
}

void CIIR::designBandPass(double f, double designQ)
{
    const auto [c, s, alpha] = beginDesign(FilterType::BandPass, f, clampQ(designQ));
    setCoefficients(alpha, 0.0, -alpha, 1.0 + alpha, -2.0 * c, 1.0 - alpha);
}

void CIIR::designBandPassSkirt(double f, double designQ)
{
    const auto [c, s, alpha] = beginDesign(FilterType::BandPassSkirt, f, clampQ(designQ));
    setCoefficients(q * alpha, 0.0, -q * alpha, 1.0 + alpha, -2.0 * c, 1.0 - alpha);
}

void CIIR::designNotch(double f, double designQ)
{
    const auto [c, s, alpha] = beginDesign(FilterType::Notch, f, designQ == 0.0 ? notchZeroQ : designQ);
    setCoefficients(1.0, -2.0 * c, 1.0, 1.0 + alpha, -2.0 * c, 1.0 - alpha);
}

void CIIR::designPeak(double f, double gainDb, double designQ)
{
    const auto [c, s, alpha] = beginDesign(FilterType::Peak, f, clampQ(designQ));
    gain = gainDb;
    const double a = amplitude(gainDb);
    setCoefficients(1.0 + alpha * a, -2.0 * c, 1.0 - alpha * a, 1.0 + alpha / a, -2.0 * c, 1.0 - alpha / a);
}

void CIIR::designLowShelf(double f, double gainDb, double slope)
{
    designShelf(FilterType::LowShelf, f, gainDb, slope);
}

void CIIR::designHighShelf(double f, double gainDb, double slope)
{
    designShelf(FilterType::HighShelf, f, gainDb, slope);
}

// The high shelf is the low shelf with cos w0 negated and b1, a1 negated; both
// negations are exact, so each shelf keeps the bits of its own textbook formula.
void CIIR::designShelf(FilterType shelfType, double f, double gainDb, double slope)
{
    const auto [cosine, s, alpha] = beginDesign(shelfType, f, slope);
    gain = gainDb;
    const double sign = shelfType == FilterType::LowShelf ? 1.0 : -1.0;
    const double c = sign * cosine;
    const double a = amplitude(gainDb);
    const double k = shelfTerm(a, slope, s);
    setCoefficients(a * ((a + 1.0) - (a - 1.0) * c + k), sign * (2.0 * a * ((a - 1.0) - (a + 1.0) * c)),
                    a * ((a + 1.0) - (a - 1.0) * c - k), (a + 1.0) + (a - 1.0) * c + k,
                    sign * (-2.0 * ((a - 1.0) + (a + 1.0) * c)), (a + 1.0) + (a - 1.0) * c - k);
}

void CIIR::process(float* out, const float* in, int count)
{
    if (count <= 0) return;
    if (enabled == 0) {
        std::copy(in, in + count, out);
        return;
    }
    // Direct form I; past inputs are read back from in and past outputs from out, as
    // stored floats, once the block has two of its own.
    for (int n = 0; n < count; ++n) {
        const double xm1 = n >= 1 ? static_cast<double>(in[n - 1]) : x1;
        const double xm2 = n >= 2 ? static_cast<double>(in[n - 2]) : (n == 1 ? x1 : x2);
        const double ym1 = n >= 1 ? static_cast<double>(out[n - 1]) : y1;
        const double ym2 = n >= 2 ? static_cast<double>(out[n - 2]) : (n == 1 ? y1 : y2);
        const double y = nb0 * static_cast<double>(in[n]) + nb1 * xm1 + nb2 * xm2 - na1 * ym1 - na2 * ym2;
        out[n] = static_cast<float>(y);
    }
    if (count == 1) {
        x2 = x1;
        y2 = y1;
    } else {
        x2 = in[count - 2];
        y2 = out[count - 2];
    }
    x1 = in[count - 1];
    y1 = out[count - 1];
    y2 = levels::guardDenormal(y2);
    y1 = levels::guardDenormal(y1);
    if (!historyIsFinite()) clearHistory();
}

void CIIR::clearHistory() { x2 = x1 = y2 = y1 = 0.0; }

bool CIIR::historyIsFinite() const
{
    return std::isfinite(x2) && std::isfinite(x1) && std::isfinite(y2) && std::isfinite(y1);
}
