#include "dsp/CutFilter.h"

#include <algorithm>
#include <cmath>

namespace {

// Edge mode: stage 1 runs at Q 0.7 around the band frequency, stage 2 at it with Q 2.4.
constexpr double edgeStage1Q = 0.7;
constexpr double edgeStage2Q = 2.4;
// The edge-mode shift is only defined while fs/2 - f exceeds 10^1.2; below that (low
// sample rates only) this floor keeps the shifted frequency positive and finite.
constexpr double minEdgeShift = 0.1;

void designSection(CIIR& section, FilterType type, double frequency, double q)
{
    if (type == FilterType::LowPass)
        section.designLowPass(frequency, q);
    else
        section.designHighPass(frequency, q);
}

void designPair(SectionPair& pair, FilterType type, double frequency, double q)
{
    designSection(pair.left, type, frequency, q);
    designSection(pair.right, type, frequency, q);
}

}  // namespace

CutFilter::CutFilter() : frequency(0.0), q(0.0), enabled(0), edgeMode(0)
{
    stage1.setSampleRate(44100);
    stage2.setSampleRate(44100);
    designHighCut(1000.0, 0.7);
    stage1.clearHistory();
    stage2.clearHistory();
}

void CutFilter::setEnabled(int state)
{
    enabled = state;
    stage1.setEnabled(state);
    stage2.setEnabled(state != 0 && edgeMode != 0 ? 1 : 0);
}

void CutFilter::designHighCut(double f, double designQ)
{
    frequency = f;
    q = designQ;
    designStages(FilterType::LowPass);
}

void CutFilter::designLowCut(double f, double designQ)
{
    frequency = f;
    q = designQ;
    designStages(FilterType::HighPass);
}

void CutFilter::designStages(FilterType type)
{
    edgeMode = q >= edgeModeQ ? 1 : 0;
    stage2.setEnabled(enabled != 0 && edgeMode != 0 ? 1 : 0);
    if (edgeMode == 0) {
        designPair(stage1, type, frequency, q);
        return;
    }
    const double fs = stage1.left.sampleRate;
    const double f = std::min(frequency, fs * maxDesignFrequencyRatio);
    double shift = 0.5 * std::log10(fs / 2.0 - f) - 0.6;
    if (!(shift >= minEdgeShift)) shift = minEdgeShift;
    const double f1 = type == FilterType::LowPass ? f / shift : f * shift;
    designPair(stage1, type, f1, edgeStage1Q);
    designPair(stage2, type, frequency, edgeStage2Q);
}

void CutFilter::setSampleRate(int rate)
{
    stage1.setSampleRate(rate);
    stage2.setSampleRate(rate);
    // In edge mode the first stage sits at a shift that depends on the rate, so redesigning
    // it at its old frequency would keep the old rate's shift.
    if (edgeMode != 0) designStages(static_cast<FilterType>(stage2.left.type));
}

void CutFilter::clearHistory()
{
    stage1.clearHistory();
    stage2.clearHistory();
}

void CutFilter::process(int count, float* aL, float* aR, float* bL, float* bR)
{
    stage1.left.process(bL, aL, count);
    stage1.right.process(bR, aR, count);
    stage2.left.process(aL, bL, count);
    stage2.right.process(aR, bR, count);
}
