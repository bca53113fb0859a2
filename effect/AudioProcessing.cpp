#include <cmath>
#include <utility>
#include <vector>

#include "editor/SDEditor.h"
#include "effect/AKkk.h"

namespace {

constexpr double kDecibelBase = 1.1220184543019636;

int32_t truncated(double x) { return static_cast<int32_t>(std::trunc(x)); }

// The buffers of one stereo signal; the band chain ping-pongs between two of them.
struct StereoBuffers {
    float* left;
    float* right;
};

void runSection(SectionPair& pair, StereoBuffers& cur, StereoBuffers& other, int32_t count) {
    pair.left.process(other.left, cur.left, count);
    pair.right.process(other.right, cur.right, count);
    std::swap(cur, other);
}

// Runs the enabled bands in signal order; the result ends in cur.
struct BandChain {
    CutFilter& lowCut;
    SectionPair* shelvesAndPeaks[5];
    SectionPair& balance;
    CutFilter& hiCut;
    double balanceMakeup;

    void run(StereoBuffers& cur, StereoBuffers& other, int32_t count) {
        if (lowCut.enabled != 0) lowCut.process(count, cur.left, cur.right, other.left, other.right);
        for (SectionPair* pair : shelvesAndPeaks) {
            if (pair->left.enabled != 0) runSection(*pair, cur, other, count);
        }
        if (balance.left.enabled != 0) {
            runSection(balance, cur, other, count);
            for (int32_t i = 0; i < count; ++i) {
                cur.left[i] = static_cast<float>(cur.left[i] * balanceMakeup);
                cur.right[i] = static_cast<float>(cur.right[i] * balanceMakeup);
            }
        }
        if (hiCut.enabled != 0) hiCut.process(count, cur.left, cur.right, other.left, other.right);
    }
};

}  // namespace

void AKkk::processBlock(float** inputs, float** outputs, int32_t count) {
    SDEditor* sd = sdEditor();
    const bool graphReady = sd != nullptr && sd->isGraphReady() == 1;
    if (editorOpen == 1 && preAnalyserOn != 0 && graphReady && preAnalyser != nullptr) {
        preAnalyser->feed(count, inputs[0], inputs[1]);
    }
    if (eqActive != 0) {
        StereoBuffers cur{inputs[0], inputs[1]};
        StereoBuffers other{outputs[0], outputs[1]};
        BandChain{lowCut, {&lowShelf, &peak1, &peak2, &peak3, &hiShelf}, balance, hiCut, balanceMakeup}.run(cur, other,
                                                                                                          count);
        for (int32_t i = 0; i < count; ++i) {
            outputs[0][i] = static_cast<float>(cur.left[i] * outputGain);
            outputs[1][i] = static_cast<float>(cur.right[i] * outputGain);
        }
    } else {
        for (int32_t i = 0; i < count; ++i) {
            outputs[0][i] = inputs[0][i];
            outputs[1][i] = inputs[1][i];
        }
    }
    if (editorOpen == 1) {
        for (int32_t i = 0; i < count; ++i) {
            const double m = std::fmax(std::fabs(outputs[0][i]), std::fabs(outputs[1][i]));
            if (m > peakLevel) peakLevel = m;
        }
        if (postAnalyserOn != 0 && graphReady && postAnalyser != nullptr) {
            postAnalyser->feed(count, outputs[0], outputs[1]);
        }
    }
}

void AKkk::applyParameter(int32_t index, double x) {
    if (editor == nullptr) return;
    SectionPair* const shelvesAndPeaks[] = {&lowShelf, &peak1, &peak2, &peak3, &hiShelf};
    switch (index) {
    case 3:
        preAnalyserOn = truncated(currentValues[3]);
        if (preAnalyserOn != 0 && preAnalyser != nullptr) preAnalyser->reset();
        if (postAnalyserOn != 0 && postAnalyser != nullptr) postAnalyser->reset();
        break;
    case 4:
        postAnalyserOn = truncated(currentValues[4]);
        if (postAnalyserOn != 0 && postAnalyser != nullptr) postAnalyser->reset();
        if (preAnalyserOn != 0 && preAnalyser != nullptr) preAnalyser->reset();
        break;
    case 9: eqActive = truncated(x); break;
    case 10: outputGain = std::pow(kDecibelBase, x); break;
    case 11: lowCut.setEnabled(truncated(x)); break;
    case 12:
    case 13:
    case 14:
    case 15:
    case 16: shelvesAndPeaks[index - 12]->setEnabled(truncated(x)); break;
    case 17: hiCut.setEnabled(truncated(x)); break;
    case 18: balance.setEnabled(truncated(x)); break;
    case 19: lowCut.designLowCut(x, lowCut.q); break;
    case 20: lowShelf.designLowShelf(x, lowShelf.left.gain, lowShelf.left.q); break;
    case 21:
    case 22:
    case 23: {
        SectionPair& peak = *shelvesAndPeaks[index - 20];
        peak.designPeak(x, peak.left.gain, peak.left.q);
        break;
    }
    case 24: hiShelf.designHighShelf(x, hiShelf.left.gain, hiShelf.left.q); break;
    case 25: hiCut.designHighCut(x, hiCut.q); break;
    case 26: balance.designHighShelf(x, balance.left.gain, balance.left.q); break;
    case 27: lowShelf.designLowShelf(lowShelf.left.frequency, x, lowShelf.left.q); break;
    case 28:
    case 29:
    case 30: {
        SectionPair& peak = *shelvesAndPeaks[index - 27];
        peak.designPeak(peak.left.frequency, x, peak.left.q);
        break;
    }
    case 31: hiShelf.designHighShelf(hiShelf.left.frequency, x, hiShelf.left.q); break;
    case 32:
        balance.designHighShelf(balance.left.frequency, x, balance.left.q);
        balanceMakeup = std::pow(kDecibelBase, -0.5 * x);
        break;
    case 33: lowCut.designLowCut(lowCut.frequency, x); break;
    case 34: lowShelf.designLowShelf(lowShelf.left.frequency, lowShelf.left.gain, x); break;
    case 35:
    case 36:
    case 37: {
        SectionPair& peak = *shelvesAndPeaks[index - 34];
        peak.designPeak(peak.left.frequency, peak.left.gain, x);
        break;
    }
    case 38: hiShelf.designHighShelf(hiShelf.left.frequency, hiShelf.left.gain, x); break;
    case 39: hiCut.designHighCut(hiCut.frequency, x); break;
    case 40: balance.designHighShelf(balance.left.frequency, balance.left.gain, x); break;
    default: break;
    }
}

void AKkk::updateResponseGraph() {
    SDEditor* sd = sdEditor();
    if (sd == nullptr || sd->getGraphView() == nullptr || responseAnalyser == nullptr) return;
    const int32_t n = responseAnalyser->size;
    std::vector<float> aL(n), bL(n), aR(n), bR(n);
    CutFilter lowCutCopy = lowCut;
    SectionPair lowShelfCopy = lowShelf, peak1Copy = peak1, peak2Copy = peak2, peak3Copy = peak3,
                hiShelfCopy = hiShelf, balanceCopy = balance;
    CutFilter hiCutCopy = hiCut;
    lowCutCopy.clearHistory();
    hiCutCopy.clearHistory();
    for (SectionPair* pair : {&lowShelfCopy, &peak1Copy, &peak2Copy, &peak3Copy, &hiShelfCopy, &balanceCopy}) {
        pair->clearHistory();
    }
    aL[0] = 1;
    aR[0] = 1;
    StereoBuffers cur{aL.data(), aR.data()};
    StereoBuffers other{bL.data(), bR.data()};
    BandChain{lowCutCopy,
              {&lowShelfCopy, &peak1Copy, &peak2Copy, &peak3Copy, &hiShelfCopy},
              balanceCopy,
              hiCutCopy,
              balanceMakeup}
        .run(cur, other, n);
    float* frame = responseAnalyser->responseFrame();
    for (int32_t i = 0; i < n; ++i) {
        frame[2 * i] = (cur.left[i] + cur.right[i]) * 0.5f;
        frame[2 * i + 1] = 0;
    }
    responseAnalyser->measureResponse();
}
