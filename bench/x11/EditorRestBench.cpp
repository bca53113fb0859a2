// The editor at rest on an X server: silence flows through the effect, so every analysis
// brings a new spectrum that lies where the last one lay, and the meter stays at its
// floor. Measured: the host's idle call and the editor's timer tick, each with a new
// analysis waiting, and the share of a core of the editor's thread and of the X server at
// 40 refreshes a second. Each also reports the requests the editor's connection made.
// Run it as
//   tests/x11/run-under-xvfb.sh build/bench/x11/x11_editor_rest_bench

#include "bench/x11/CpuTime.h"
#include "editor/SDEditor.h"
#include "effect/AKkk.h"
#include "effect/PluginInterface.h"
#include "tools/hosting/RecordingHost.h"

#include <benchmark/benchmark.h>

// Xlib's macros would rewrite names above: it comes last.
#include "framework/platform/x11/X11Connection.h"

#include <X11/Xlib.h>

#include <array>
#include <chrono>
#include <random>
#include <cstdlib>
#include <memory>
#include <thread>

namespace {

constexpr int32_t kBlock = 512;
// A new analysis every 2048 samples.
constexpr int32_t kBlocksPerAnalysis = 4;
constexpr int32_t kPostSwitch = 4;
constexpr auto kIdleInterval = std::chrono::milliseconds(25);

// The host's announcement of the editor's scale: the vendor-specific call "PreS" with
// "AeCs" and the factor.
constexpr int32_t kPreS = ('P' << 24) | ('r' << 16) | ('e' << 8) | 'S';
constexpr intptr_t kAeCs = ('A' << 24) | ('e' << 16) | ('C' << 8) | 's';

// The editor open in a host's top-level window at the scale in percent, both spectra
// shown, at rest.
class EditorAtRest {
public:
    explicit EditorAtRest(int percent = 100) : host(XOpenDisplay(nullptr))
    {
        if (host == nullptr) return;
        topLevel = XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0, static_cast<unsigned>(754 * percent / 100),
                                       static_cast<unsigned>(374 * percent / 100), 0, 0, 0);
        XMapWindow(host, topLevel);
        XSync(host, False);
        if (percent != 100)
            record->dispatcher(record, effVendorSpecific, kPreS, kAeCs, nullptr, static_cast<float>(percent) / 100.0f);
        record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, 44100.0f);
        record->dispatcher(record, effMainsChanged, 0, 1, nullptr, 0.0f);
        record->setParameter(record, kPostSwitch, 1.0f);
        if (record->dispatcher(record, effEditOpen, 0, 0, reinterpret_cast<void*>(topLevel), 0.0f) == 0) return;
        connection = VSTGUI::x11::Connection::current();
        // The first paint, then the spectra sink below the plot for good.
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
        while (std::chrono::steady_clock::now() < until) {
            processSilence();
            idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~EditorAtRest()
    {
        record->dispatcher(record, effEditClose, 0, 0, nullptr, 0.0f);
        effect.reset();
        if (host != nullptr) {
            XDestroyWindow(host, topLevel);
            XCloseDisplay(host);
        }
    }
    bool ready() const { return connection != nullptr; }
    // An analysis' worth of silence: the editor finds a new spectrum at its next refresh.
    void processSilence()
    {
        float* inputs[] = {silence.data(), silence.data()};
        float* outputs[] = {outLeft.data(), outRight.data()};
        for (int32_t b = 0; b < kBlocksPerAnalysis; ++b) record->processReplacing(record, inputs, outputs, kBlock);
    }
    // A refresh period's worth (25 ms) of white noise at -12 dB.
    void processNoise()
    {
        std::uniform_real_distribution<float> sample(-0.25f, 0.25f);
        for (float& s : noise) s = sample(random);
        float* inputs[] = {noise.data(), noise.data() + kNoiseBlock};
        float* outputs[] = {outLeft.data(), outRight.data()};
        for (int32_t b = 0; b < 2; ++b) record->processReplacing(record, inputs, outputs, kNoiseBlock);
    }
    void idle() { record->dispatcher(record, effEditIdle, 0, 0, nullptr, 0.0f); }
    SDEditor& editor() const { return *static_cast<SDEditor*>(effect->getEditor()); }
    unsigned long nextRequest() const { return XNextRequest(connection->display()); }

private:
    Display* host;
    Window topLevel = 0;
    std::unique_ptr<AKkk> effect = std::make_unique<AKkk>(hosting::quietHost, &SDEditor::create);
    AEffect* record = effect->getAeffect();
    VSTGUI::x11::Connection* connection = nullptr;
    static constexpr int32_t kNoiseBlock = 551;
    std::array<float, kBlock> silence{}, outLeft{}, outRight{};
    std::array<float, 2 * kNoiseBlock> noise{};
    std::mt19937 random{1};
};

// Each iteration times one refresh with a new silent analysis waiting, made untimed: the
// reported time is the refresh's alone, read from the steady clock around it.
template <class Refresh>
void refreshAtRest(benchmark::State& state, Refresh refresh)
{
    EditorAtRest editor;
    if (!editor.ready()) {
        state.SkipWithError("needs an X display");
        return;
    }
    const unsigned long before = editor.nextRequest();
    for (auto _ : state) {
        editor.processSilence();
        const auto start = std::chrono::steady_clock::now();
        refresh(editor);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["x_requests"] = static_cast<double>(editor.nextRequest() - before);
}

void BM_HostIdleAtRest(benchmark::State& state)
{
    refreshAtRest(state, [](EditorAtRest& editor) { editor.idle(); });
}
BENCHMARK(BM_HostIdleAtRest)->UseManualTime();

void BM_TimerTickAtRest(benchmark::State& state)
{
    refreshAtRest(state, [](EditorAtRest& editor) { editor.editor().refreshViews(); });
}
BENCHMARK(BM_TimerTickAtRest)->UseManualTime();

// The host's idle call with no new analysis: what remains is the look at the window
// system for events and the frame's walk for dirty views.
void BM_HostIdleNothingNew(benchmark::State& state)
{
    EditorAtRest editor;
    if (!editor.ready()) {
        state.SkipWithError("needs an X display");
        return;
    }
    for (auto _ : state) editor.idle();
}
BENCHMARK(BM_HostIdleNothingNew);

// A host's idle call every 25 ms for 5 s, an analysis' worth of silence (first argument
// 0) or 25 ms of noise (1) before each, at the scale in percent (second argument); the
// audio is outside the editor's time.
void BM_EditorAt40Refreshes(benchmark::State& state)
{
    const bool noise = state.range(0) != 0;
    EditorAtRest editor(static_cast<int>(state.range(1)));
    if (!editor.ready()) {
        state.SkipWithError("needs an X display");
        return;
    }
    const char* serverPid = std::getenv("TOLVAN_XSERVER_PID");
    for (auto _ : state) {
        const unsigned long before = editor.nextRequest();
        const double serverStart = processCpuSeconds(serverPid);
        double editorSeconds = 0;
        const auto start = std::chrono::steady_clock::now();
        auto next = start;
        while (std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
            if (noise)
                editor.processNoise();
            else
                editor.processSilence();
            const double idleStart = threadCpuSeconds();
            editor.idle();
            editorSeconds += threadCpuSeconds() - idleStart;
            next += kIdleInterval;
            std::this_thread::sleep_until(next);
        }
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(wall);
        state.counters["editor_thread_cpu_percent"] = 100.0 * editorSeconds / wall;
        if (serverPid != nullptr)
            state.counters["x_server_cpu_percent"] = 100.0 * (processCpuSeconds(serverPid) - serverStart) / wall;
        state.counters["x_requests"] = static_cast<double>(editor.nextRequest() - before);
    }
}
BENCHMARK(BM_EditorAt40Refreshes)
    ->Args({0, 100})
    ->Args({1, 100})
    ->Args({1, 200})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
