// The editor's whole user-interface cost in a Linux host: the built plug-in with its editor
// open in a window of ours, effEditIdle every 25 ms (40 refreshes a second) on this
// thread, and noise flowing through processReplacing on an audio thread in real time.
// Reported, after half a second in which the window is first painted: the CPU time of the
// editor's thread, and of the X server when its process id is known (run-under-xvfb.sh
// passes it in TOLVAN_XSERVER_PID), each in percent of one core over the run. The first
// argument is the editor's scale in percent, which the host announces with the
// vendor-specific "PreS"/"AeCs" call before opening it. The second is 1 for the idle calls;
// with 0 the thread runs the same loop without them, which shows the host's own part of
// the thread's time (its waits and wake-ups) beside the editor's. Run it as
//   tests/x11/run-under-xvfb.sh build/bench/x11/x11_editor_load_bench

#include "bench/x11/CpuTime.h"
#include "tools/hosting/PluginLibrary.h"
#include "tools/hosting/RecordingHost.h"

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kBlock = 441;  // 10 ms
constexpr auto kIdleInterval = std::chrono::milliseconds(25);
constexpr auto kRunTime = std::chrono::seconds(5);
constexpr auto kSettleTime = std::chrono::milliseconds(500);

// A four-character code as hosts pass it in an integer argument.
constexpr intptr_t fourCharacters(const char (&code)[5])
{
    return (intptr_t{code[0]} << 24) | (intptr_t{code[1]} << 16) | (intptr_t{code[2]} << 8) | intptr_t{code[3]};
}

void BM_EditorAt40RefreshesWithAudio(benchmark::State& state)
{
    const hosting::PluginLibrary library(TOLVAN_PLUGIN_PATH);
    Display* host = XOpenDisplay(nullptr);
    if (!library.loaded() || host == nullptr) {
        state.SkipWithError("needs the built plug-in and an X display");
        return;
    }
    AEffect* effect = library.create(hosting::quietHost);
    const auto percent = static_cast<int>(state.range(0));
    const bool idleCalls = state.range(1) != 0;
    if (percent != 100)
        effect->dispatcher(effect, effVendorSpecific, static_cast<int32_t>(fourCharacters("PreS")),
                           fourCharacters("AeCs"), nullptr, static_cast<float>(percent) / 100.0f);
    ERect* rect = nullptr;
    effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0.0f);
    if (rect == nullptr || rect->right - rect->left != 754 * percent / 100) {
        state.SkipWithError("the plug-in does not take the host's scale");
        return;
    }
    const Window top = XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0, static_cast<unsigned>(rect->right),
                                           static_cast<unsigned>(rect->bottom), 0, 0, 0);
    XMapWindow(host, top);
    XSync(host, False);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
    effect->dispatcher(effect, effSetBlockSize, 0, kBlock, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    if (effect->dispatcher(effect, effEditOpen, 0, 0, reinterpret_cast<void*>(top), 0.0f) == 0) {
        state.SkipWithError("the editor did not open");
        return;
    }
    for (auto _ : state) {
        std::atomic<bool> running{true};
        std::thread audio([&] {
            std::mt19937 random(1);
            std::uniform_real_distribution<float> noise(-0.25f, 0.25f);
            std::vector<float> inL(kBlock), inR(kBlock), outL(kBlock), outR(kBlock);
            float* inputs[] = {inL.data(), inR.data()};
            float* outputs[] = {outL.data(), outR.data()};
            auto next = std::chrono::steady_clock::now();
            while (running.load()) {
                for (int i = 0; i < kBlock; ++i) {
                    inL[i] = noise(random);
                    inR[i] = noise(random);
                }
                effect->processReplacing(effect, inputs, outputs, kBlock);
                next += std::chrono::milliseconds(10);
                std::this_thread::sleep_until(next);
            }
        });
        // The host's idle calls at 40 a second for a while.
        const auto idleFor = [&](std::chrono::steady_clock::duration time) {
            const auto start = std::chrono::steady_clock::now();
            auto next = start;
            while (std::chrono::steady_clock::now() - start < time) {
                if (idleCalls) effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
                next += kIdleInterval;
                std::this_thread::sleep_until(next);
            }
        };
        // The window's first paint (the whole frame, its surfaces made) is the opening's
        // cost, not the refreshes': it comes before the measured run.
        idleFor(kSettleTime);
        const char* serverPid = std::getenv("TOLVAN_XSERVER_PID");
        const double serverStart = processCpuSeconds(serverPid);
        const double uiStart = threadCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        idleFor(kRunTime);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double ui = threadCpuSeconds() - uiStart;
        const double server = processCpuSeconds(serverPid) - serverStart;
        running.store(false);
        audio.join();
        state.SetIterationTime(wall);
        state.counters["editor_thread_cpu_percent"] = 100.0 * ui / wall;
        if (serverStart >= 0.0) state.counters["x_server_cpu_percent"] = 100.0 * server / wall;
    }
    effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    XDestroyWindow(host, top);
    XCloseDisplay(host);
}
BENCHMARK(BM_EditorAt40RefreshesWithAudio)
    ->Args({100, 1})
    ->Args({200, 1})
    ->Args({100, 0})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
