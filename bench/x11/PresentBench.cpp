// Presenting the editor's window on an X server: a whole 754 x 374 frame that changed
// everywhere (each pass fills the surface with another colour, about a tenth of the cost),
// one knob-sized change, and a present with nothing changed (the comparison alone), each at
// the editor's scale in percent (the argument: the window has the device pixels). Run it
// under an X server, e.g. tests/x11/run-under-xvfb.sh build/bench/x11/x11_present_bench.

#include "framework/DisplayScale.h"
#include "framework/PixelSurface.h"
#include "framework/platform/Platform.h"

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>

#include <memory>

namespace {

using namespace VSTGUI;

constexpr int32_t kWidth = 754;
constexpr int32_t kHeight = 374;

bool ignoreEvents(platform::Window&, const platform::WindowEvent&) { return false; }

// A host's top-level window with the editor's child window in it.
class PresentFixture {
public:
    explicit PresentFixture(DisplayScale scale) : host(XOpenDisplay(nullptr))
    {
        if (!host) return;
        const int32_t width = toDevice(kWidth, scale);
        const int32_t height = toDevice(kHeight, scale);
        topLevel = XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0, static_cast<unsigned>(width),
                                       static_cast<unsigned>(height), 0, 0, 0);
        XMapWindow(host, topLevel);
        XSync(host, False);
        window = platform::services().createChildWindow(reinterpret_cast<platform::ParentWindow>(topLevel), width,
                                                        height, ignoreEvents);
    }
    ~PresentFixture()
    {
        window.reset();
        if (host) {
            XDestroyWindow(host, topLevel);
            XCloseDisplay(host);
        }
    }
    platform::Window* get() { return window.get(); }

private:
    Display* host;
    Window topLevel = 0;
    std::unique_ptr<platform::Window> window;
};

template <typename Change>
void present(benchmark::State& state, Change change)
{
    PresentFixture fixture(static_cast<DisplayScale>(state.range(0)));
    platform::Window* window = fixture.get();
    if (window == nullptr) {
        state.SkipWithError("no X display");
        return;
    }
    uint32_t pass = 0;
    for (auto _ : state) {
        PixelSurface* surface = window->acquireSurface();
        change(*surface, ++pass);
        window->releaseSurface(surface);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_PresentWholeFrame(benchmark::State& state)
{
    present(state, [](PixelSurface& surface, uint32_t pass) { surface.fill(pass * 0x010203u); });
}
BENCHMARK(BM_PresentWholeFrame)->Arg(100)->Arg(200)->Unit(benchmark::kMicrosecond);

void BM_PresentOneKnob(benchmark::State& state)
{
    present(state, [](PixelSurface& surface, uint32_t pass) {
        // A 33 x 33 knob's device pixels.
        const int32_t side = surface.width() * 33 / kWidth;
        surface.fillRect(Rect::fromSize({surface.width() * 300 / kWidth, surface.height() * 200 / kHeight}, side, side),
                         surface.bounds(), pass * 0x010203u);
    });
}
BENCHMARK(BM_PresentOneKnob)->Arg(100)->Arg(200)->Unit(benchmark::kMicrosecond);

void BM_PresentNothingChanged(benchmark::State& state)
{
    present(state, [](PixelSurface&, uint32_t) {});
}
BENCHMARK(BM_PresentNothingChanged)->Arg(100)->Arg(200)->Unit(benchmark::kMicrosecond);

}  // namespace
