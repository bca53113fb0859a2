#include "tools/contact-sheet/GraphPreview.h"

#include "effect/ParameterValues.h"
#include "resources/artwork/generator/SkinLayout.h"

#include <cmath>
#include <cstdio>
#include <vector>

using namespace tolvan::artwork;

namespace {

constexpr Color kGridColor = rgb(104, 160, 182);
constexpr Color kSourceColor = rgb(128, 255, 128);
constexpr Color kOutputColor = rgb(255, 69, 62);
constexpr Color kResponseColor = rgb(255, 128, 128);

constexpr struct {
    int hz;
    int flags;  // 1 major line, 2 labelled
} kFrequencyLabels[] = {{20, 2},   {30, 0},   {40, 0},   {50, 3},   {60, 0},   {70, 0},    {80, 0},
                        {90, 0},   {100, 3},  {200, 0},  {300, 0},  {400, 0},  {500, 3},   {600, 0},
                        {700, 0},  {800, 0},  {900, 0},  {1000, 3}, {2000, 0}, {3000, 0},  {4000, 0},
                        {5000, 3}, {6000, 0}, {7000, 0}, {8000, 0}, {9000, 0}, {10000, 3}, {20000, 2}};

struct Axes {
    Box plot;
    double fMin = 20, fMax = 22050;
    double topDb = 0, spanDb = 1;
    double x(double f) const
    {
        return (std::log(f) - std::log(fMin)) * (plot.width() - 1) / (std::log(fMax) - std::log(fMin)) + plot.left;
    }
    double y(double dB) const { return (topDb - dB) * (plot.height() - 1) / spanDb + plot.top; }
};

double real(const std::array<double, kNumParameters>& values, int id) { return normalizedToReal(values[id], id); }

// Rough magnitude of the enabled bands in dB: the shapes, not the exact filters.
double responseDb(const std::array<double, kNumParameters>& v, double f)
{
    if (v[9] == 0) return 0;
    double dB = real(v, 10);
    const auto on = [&](int id) { return v[id] != 0; };
    if (on(11)) dB -= 10 * std::log10(1 + std::pow(real(v, 19) / f, real(v, 33) >= 0.79 ? 8 : 4));
    if (on(12)) dB += real(v, 27) / (1 + std::pow(f / real(v, 20), 2));
    for (int band = 0; band < 3; ++band) {
        if (!on(13 + band)) continue;
        const double fc = real(v, 21 + band);
        const double q = real(v, 35 + band) * 2;
        dB += real(v, 28 + band) / (1 + std::pow(q * (f / fc - fc / f), 2));
    }
    if (on(16)) dB += real(v, 31) / (1 + std::pow(real(v, 24) / f, 2));
    if (on(18)) {
        const double t = std::log2(f / real(v, 26)) * real(v, 40);
        dB += real(v, 32) * t / std::sqrt(1 + t * t);
    }
    if (on(17)) dB -= 10 * std::log10(1 + std::pow(f / real(v, 25), real(v, 39) >= 0.79 ? 8 : 4));
    return dB;
}

// A spectrum shaped like a mix: a low-end hump and a falling top, with some ripple.
double musicDb(double f)
{
    const double octave = std::log2(f / 100);
    return -34 - 3.2 * std::max(0.0, octave) - 8 * std::max(0.0, -octave - 1.5) + 2.5 * std::sin(octave * 5.3) +
           1.5 * std::sin(octave * 13.1);
}

template <class Level>
std::vector<shape::Point> trace(const Axes& axes, Level&& level)
{
    std::vector<shape::Point> points;
    for (double f = axes.fMin; f <= axes.fMax; f *= std::pow(2.0, 1.0 / 24))
        points.push_back({axes.x(f) + 0.5, axes.y(level(f)) + 0.5});
    return points;
}

void text(Canvas& sheet, const Typeface& face, const char* s, double size, Box box, Align align, Color color)
{
    const double w = face.width(s, size);
    const double x = align == Align::Right ? box.right - w : box.left;
    face.draw(sheet, s, x, static_cast<int>((box.top + box.bottom) * 0.5 + face.capHeight(size) * 0.5 + 0.5), size,
              color);
}

}  // namespace

void drawGraphPreview(Canvas& sheet, const Fonts& fonts, const Box& view,
                      const std::array<double, kNumParameters>& values, bool withSpectra)
{
    Axes axes;
    axes.plot = {view.left + 32, view.top + 16, view.right - 20, view.bottom - 20};
    const double range = real(values, 6);
    axes.topDb = -real(values, 7);
    axes.spanDb = range;
    const Box& p = axes.plot;
    const auto line = [&](double x0, double y0, double x1, double y1, Color c, double width = 1.0) {
        sheet.fill(view, shape::stroke(x0, y0, x1, y1, width), c);
    };

    constexpr double kStep = 12;
    const double bottom = axes.topDb - range;
    const double mid = (bottom + axes.topDb) * 0.5;
    const int k = static_cast<int>((mid - bottom) / kStep);
    for (int i = 0; i <= 2 * k; ++i) {
        const double y = std::floor(axes.y(mid - k * kStep + i * kStep) + 0.5) + 0.5;
        line(p.left, y, p.right, y, kGridColor);
        char label[16];
        const double v = (i - k) * kStep;
        std::snprintf(label, sizeof label, v >= 0 ? "+%.0f" : "%.0f", v);
        text(sheet, *fonts.regular, label, 11, {p.left - 28, int(y) - 5, p.left, int(y) + 5}, Align::Right, kGridColor);
    }
    bool first = true;
    for (const auto& entry : kFrequencyLabels) {
        const double x = std::floor(axes.x(entry.hz) + 0.5) + 0.5;
        const double e = entry.flags & 1 ? 2 : 0;
        line(x, p.top - e, x, p.bottom + e, kGridColor);
        if (entry.flags & 2) {
            char label[16];
            std::snprintf(label, sizeof label, entry.hz < 1000 ? "%dHz" : "%dkHz",
                          entry.hz < 1000 ? entry.hz : entry.hz / 1000);
            const int lx = static_cast<int>(x) - (first ? 0 : 12);
            text(sheet, *fonts.regular, label, 11, {lx + 1, p.bottom + 2, lx + 32, p.bottom + 12}, Align::Left,
                 kGridColor);
        }
        first = false;
    }
    text(sheet, *fonts.bold, "- source", 10, {p.left + 5, p.top + 4, p.left + 50, p.top + 16}, Align::Left,
         kSourceColor);
    text(sheet, *fonts.bold, "- output", 10, {p.left + 5, p.top + 16, p.left + 50, p.top + 28}, Align::Left,
         kOutputColor);
    sheet.fill(view,
               shape::subtract(shape::rect(p.left, p.top, p.right, p.bottom),
                               shape::rect(p.left + 1, p.top + 1, p.right - 1, p.bottom - 1)),
               kGridColor);

    const Box inside{p.left + 1, p.top + 1, p.right, p.bottom - 1};
    if (withSpectra) {
        if (values[3] != 0) sheet.fill(inside, shape::polyline(trace(axes, musicDb), 1.0), kSourceColor);
        if (values[4] != 0)
            sheet.fill(inside,
                       shape::polyline(trace(axes, [&](double f) { return musicDb(f) + responseDb(values, f); }), 1.0),
                       kOutputColor);
    }
    // The response is drawn about the middle of the plot.
    sheet.fill(inside, shape::polyline(trace(axes, [&](double f) { return mid + responseDb(values, f); }), 2.0),
               kResponseColor);
}
