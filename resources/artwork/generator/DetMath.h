// Trigonometry built from additions and multiplications only. The artwork must come out
// byte-identical on every machine, and the C library's sin, cos and atan2 may differ in the
// last bit between implementations; IEEE arithmetic without fused multiply-adds does not,
// and sqrt is correctly rounded everywhere, so it may be used freely.
#pragma once

#include <cmath>

namespace tolvan::artwork {

inline constexpr double kPi = 3.14159265358979323846;

inline constexpr double degrees(double d) { return d * (kPi / 180.0); }

namespace detail {

// Taylor series on [-pi/4, pi/4], accurate far beyond what a pixel can show.
inline double sinSeries(double x)
{
    const double x2 = x * x;
    double term = x;
    double sum = x;
    for (int n = 1; n < 12; ++n) {
        term = -term * x2 / ((2.0 * n) * (2.0 * n + 1.0));
        sum += term;
    }
    return sum;
}

inline double cosSeries(double x)
{
    const double x2 = x * x;
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n < 12; ++n) {
        term = -term * x2 / ((2.0 * n - 1.0) * (2.0 * n));
        sum += term;
    }
    return sum;
}

// atan on [0, 1] by halving the argument twice and a series on the small remainder.
inline double atanUnit(double x)
{
    double scale = 1.0;
    for (int i = 0; i < 2; ++i) {
        x = x / (1.0 + std::sqrt(1.0 + x * x));
        scale *= 2.0;
    }
    const double x2 = x * x;
    double power = x;
    double sum = x;
    for (int n = 1; n < 20; ++n) {
        power = -power * x2;
        sum += power / (2.0 * n + 1.0);
    }
    return sum * scale;
}

}  // namespace detail

inline double sine(double x)
{
    const double quarter = kPi * 0.5;
    // Reduce to the nearest multiple of pi/2; the artwork only uses small angles, so a
    // plain subtraction loses nothing that matters.
    double k = static_cast<double>(static_cast<long long>(x / quarter + (x >= 0 ? 0.5 : -0.5)));
    const double r = x - k * quarter;
    long long q = static_cast<long long>(k) % 4;
    if (q < 0) q += 4;
    switch (q) {
    case 0: return detail::sinSeries(r);
    case 1: return detail::cosSeries(r);
    case 2: return -detail::sinSeries(r);
    default: return -detail::cosSeries(r);
    }
}

inline double cosine(double x) { return sine(x + kPi * 0.5); }

// Angle of (x, y) in (-pi, pi], counter-clockwise from the positive x axis.
inline double arcTangent2(double y, double x)
{
    if (x == 0.0 && y == 0.0) return 0.0;
    const double ax = x < 0 ? -x : x;
    const double ay = y < 0 ? -y : y;
    double a = ay <= ax ? detail::atanUnit(ay / ax) : kPi * 0.5 - detail::atanUnit(ax / ay);
    if (x < 0) a = kPi - a;
    return y < 0 ? -a : a;
}

}  // namespace tolvan::artwork
