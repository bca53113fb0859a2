// The editor at rest on a real X server: with silence flowing through the effect, every
// analysis taken and the host's idle calls and the editor's timer running, the editor's
// connection sends the server nothing; once sound comes in, the new spectra go across.

#include "editor/GraphView.h"
#include "editor/SDEditor.h"
#include "editor/VUMETER.h"
#include "effect/AKkk.h"
#include "effect/PluginInterface.h"
#include "framework/CFrame.h"
#include "tools/hosting/RecordingHost.h"

#include <gtest/gtest.h>

// Xlib's macros would rewrite names above: it comes last.
#include "framework/platform/x11/X11Connection.h"
#include "tests/x11/X11TestHost.h"

#include <memory>
#include <random>
#include <vector>

namespace tolvan::test {
namespace {

constexpr int32_t kPostSwitch = 4;
constexpr int32_t kBlock = 512;
// A new analysis every 2048 samples.
constexpr int32_t kBlocksPerAnalysis = 4;

class X11EditorAtRest : public ::testing::Test {
protected:
    void SetUp() override
    {
        record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, 44100.0f);
        record->dispatcher(record, effMainsChanged, 0, 1, nullptr, 0.0f);
        record->setParameter(record, kPostSwitch, 1.0f);
        const Window parent = host.createTopLevel(40, 40, 754, 374);
        ASSERT_EQ(record->dispatcher(record, effEditOpen, 0, 0, reinterpret_cast<void*>(parent), 0.0f), 1);
        connection = VSTGUI::x11::Connection::current();
        ASSERT_NE(connection, nullptr);
    }
    void TearDown() override
    {
        record->dispatcher(record, effEditClose, 0, 0, nullptr, 0.0f);
        effect.reset();
    }

    // The host's idle call every 10 ms, with an analysis' worth of audio before each.
    void run(uint32_t milliseconds, float amplitude)
    {
        pumpFor(milliseconds, [&] {
            processNoise(kBlocksPerAnalysis, amplitude);
            record->dispatcher(record, effEditIdle, 0, 0, nullptr, 0.0f);
        });
    }
    void processNoise(int32_t blocks, float amplitude)
    {
        std::uniform_real_distribution<float> sample(-amplitude, amplitude);
        float* inputs[] = {left.data(), right.data()};
        float* outputs[] = {outLeft.data(), outRight.data()};
        for (int32_t b = 0; b < blocks; ++b) {
            for (int32_t i = 0; i < kBlock; ++i) {
                left[static_cast<size_t>(i)] = sample(random);
                right[static_cast<size_t>(i)] = sample(random);
            }
            record->processReplacing(record, inputs, outputs, kBlock);
        }
    }
    // The sequence number of the editor connection's next request: it grows with every
    // request made, sent yet or not.
    unsigned long nextRequest() const { return XNextRequest(connection->display()); }

    X11TestHost host;
    std::unique_ptr<AKkk> effect = std::make_unique<AKkk>(hosting::quietHost, &SDEditor::create);
    AEffect* record = effect->getAeffect();
    VSTGUI::x11::Connection* connection = nullptr;
    std::mt19937 random{24};
    std::vector<float> left = std::vector<float>(kBlock), right = left, outLeft = left, outRight = left;
};

TEST_F(X11EditorAtRest, SilenceFlowingSendsTheServerNothingAndSoundIsSent)
{
    // The first paint, then silence until the meter and the spectra have sunk for good.
    run(600, 0.0f);
    const SpectrumAnalyser& pre = *effect->inspectAnalyser(Spectrum::pre);
    const unsigned long before = nextRequest();
    run(500, 0.0f);
    EXPECT_FALSE(pre.isReady()) << "the editor took every analysis";
    EXPECT_EQ(nextRequest(), before) << "requests sent at rest";

    // Quiet noise: the meter stays at its floor, the spectra rise and are sent.
    run(100, 0.02f);
    EXPECT_GT(nextRequest(), before) << "the new spectra never reached the server";
}

// Drawing asks the server nothing: a view drawn again exactly as it stands (as a host's
// idle call or the timer do when a spectrum moves below the plot) costs no request.
TEST_F(X11EditorAtRest, AViewRedrawnUnchangedCostsNoRequest)
{
    run(200, 0.0f);
    SDEditor& editor = *static_cast<SDEditor*>(effect->getEditor());
    const unsigned long before = nextRequest();
    editor.getFrame()->redrawView(editor.getGraphView());
    editor.getFrame()->redrawView(editor.getMeterView());
    EXPECT_EQ(nextRequest(), before);
}

}  // namespace
}  // namespace tolvan::test
