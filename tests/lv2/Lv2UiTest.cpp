// The LV2 user interface as an LV2 host embeds it: the audio side instantiated through
// lilv, the interface found through lilv and loaded from the bundle, opened in an X11
// window of ours with the host's instance access, driven by the idle interface every
// 10 ms, with the mouse moved through XTest. What the window shows is compared with the
// headless rendering of the VST 2.x editor in the same state.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <condition_variable>
#include <mutex>
#include <random>
#include <stop_token>
#include <thread>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "effect/ControlTable.h"
#include "effect/ParameterValues.h"
#include "tests/lv2/Lv2TestHost.h"
#include "tools/editor-snapshot/EditorSnapshot.h"

// Xlib's macros would rewrite names above: it comes last.
#include "tests/x11/ServerResources.h"
#include "tests/x11/X11TestHost.h"

#include <X11/extensions/XTest.h>

namespace tolvan::test {
namespace {

using lv2test::Lv2Instance;
using lv2test::Lv2World;

constexpr int kHostX = 40;
constexpr int kHostY = 40;
constexpr int kEditorWidth = 754;
constexpr int kEditorHeight = 374;
constexpr double kRate = 44100;

// What the interface told the host, in order: a port written (format 0) or touched.
struct HostEvent {
    enum Kind { write, grab, release } kind;
    uint32_t port;
    float value;
};

// The interface's binary, found through the plug-in's description as a host finds it.
std::string uiBinaryPath()
{
    Lv2World& world = Lv2World::shared();
    if (world.plugin == nullptr) return {};
    LilvUIs* uis = lilv_plugin_get_uis(world.plugin);
    std::string path;
    LilvNode* x11 = world.uri(LV2_UI__X11UI);
    LILV_FOREACH(uis, i, uis)
    {
        const LilvUI* ui = lilv_uis_get(uis, i);
        if (!lilv_ui_is_a(ui, x11)) continue;
        char* file = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
        path = file;
        lilv_free(file);
    }
    lilv_node_free(x11);
    lilv_uis_free(uis);
    return path;
}

// How many control inputs the plug-in has: each is a setting that Reset restores.
std::size_t controlInputCount()
{
    Lv2World& world = Lv2World::shared();
    LilvNode* control = world.uri(LV2_CORE__ControlPort);
    LilvNode* input = world.uri(LV2_CORE__InputPort);
    std::size_t count = 0;
    for (uint32_t i = 0; i < lilv_plugin_get_num_ports(world.plugin); ++i) {
        const LilvPort* port = lilv_plugin_get_port_by_index(world.plugin, i);
        count += lilv_port_is_a(world.plugin, port, control) && lilv_port_is_a(world.plugin, port, input);
    }
    lilv_node_free(control);
    lilv_node_free(input);
    return count;
}

// Lets go of the mouse button from a connection of its own after timeoutMs, should a
// control's mouse loop never reach the step that lets go: the test then fails, not hangs.
class ReleaseLater {
public:
    explicit ReleaseLater(uint32_t timeoutMs)
        : thread([timeoutMs](std::stop_token stop) {
              std::mutex mutex;
              std::condition_variable_any wake;
              std::unique_lock lock(mutex);
              if (wake.wait_for(lock, stop, std::chrono::milliseconds(timeoutMs), [] { return false; })) return;
              if (stop.stop_requested()) return;
              Display* display = XOpenDisplay(nullptr);
              if (display == nullptr) return;
              XTestFakeButtonEvent(display, Button1, False, 0);
              XSync(display, False);
              XCloseDisplay(display);
          })
    {
    }

private:
    std::jthread thread;
};

class Lv2UiInHostWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dsp.valid());
        const std::string binary = uiBinaryPath();
        ASSERT_FALSE(binary.empty()) << "the plug-in names no X11 user interface";
        library = dlopen(binary.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        using Entry = const LV2UI_Descriptor* (*)(uint32_t);
        const auto entry = reinterpret_cast<Entry>(dlsym(library, "lv2ui_descriptor"));
        ASSERT_NE(entry, nullptr);
        descriptor = entry(0);
        ASSERT_NE(descriptor, nullptr);
        EXPECT_EQ(entry(1), nullptr);
        idleInterface = static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
        ASSERT_NE(idleInterface, nullptr);

        dsp.connectControls();
        dsp.activate();
        runBlock();
        top = host.createTopLevel(kHostX, kHostY, kEditorWidth, kEditorHeight);
    }
    void TearDown() override
    {
        if (ui != nullptr) descriptor->cleanup(ui);
        // The library stays loaded, as it asks to.
        if (library != nullptr) dlclose(library);
    }

    // The host's features, those left out omitted.
    std::vector<LV2_Feature> features(bool withInstance = true, bool withParent = true)
    {
        std::vector<LV2_Feature> list = {
            {LV2_UI__resize, &resize}, {LV2_UI__touch, &touch}, {LV2_UI__idleInterface, nullptr}};
        if (withInstance) list.push_back({LV2_INSTANCE_ACCESS_URI, dsp.handle()});
        if (withParent) list.push_back({LV2_UI__parent, reinterpret_cast<void*>(static_cast<uintptr_t>(top))});
        return list;
    }
    LV2UI_Handle instantiate(std::vector<LV2_Feature> list, LV2UI_Widget* widget)
    {
        std::vector<const LV2_Feature*> pointers;
        for (const LV2_Feature& feature : list) pointers.push_back(&feature);
        pointers.push_back(nullptr);
        return descriptor->instantiate(descriptor, lv2test::kPluginUri, TOLVAN_LV2_BUNDLE "/", &writePort, this, widget,
                                       pointers.data());
    }
    void open()
    {
        ui = instantiate(features(), &widget);
        ASSERT_NE(ui, nullptr);
        ASSERT_TRUE(pumpUntil([&] { return host.childCount(top) == 1; }, 3000, idleCall()));
    }
    void close()
    {
        descriptor->cleanup(ui);
        ui = nullptr;
    }
    IdleCall idleCall()
    {
        return [this] { idleInterface->idle(ui); };
    }
    void runBlock()
    {
        std::fill(silence.begin(), silence.end(), 0.0f);
        dsp.run(silence.data(), silence.data(), outLeft.data(), outRight.data(), static_cast<uint32_t>(silence.size()));
    }
    // A host's own change of a port: the audio side takes it, the interface is told.
    void setPort(const std::string& symbol, float real)
    {
        dsp.control(symbol) = real;
        runBlock();
        descriptor->port_event(ui, dsp.index(symbol), sizeof real, 0, &dsp.control(symbol));
    }
    // With noise flowing, the window (which shows silence at first) soon shows something else.
    void expectNoiseToMoveTheWindow()
    {
        std::mt19937 random(7);
        std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
        std::vector<float> left(512), right(512), outL(512), outR(512);
        const auto playAndIdle = [&] {
            for (std::size_t i = 0; i < left.size(); ++i) left[i] = right[i] = noise(random);
            dsp.run(left.data(), right.data(), outL.data(), outR.data(), static_cast<uint32_t>(left.size()));
            idleInterface->idle(ui);
        };
        expectShows(editorsnapshot::defaultScene());
        const VSTGUI::PixelSurface silent = editorsnapshot::renderEditor(editorsnapshot::defaultScene());
        const Window child = host.childOf(top);
        EXPECT_TRUE(pumpUntil([&] { return differingPixels(host.readBack(child), silent) > 1000; }, 3000, playAndIdle))
            << "the window still shows silence";
    }
    // Waits until the window shows the headless rendering of scene; reports the difference.
    void expectShows(const editorsnapshot::Scene& scene)
    {
        const VSTGUI::PixelSurface expected = editorsnapshot::renderEditor(scene);
        const Window child = host.childOf(top);
        int differing = 0;
        pumpUntil([&] { return (differing = differingPixels(host.readBack(child), expected)) == 0; }, 2000, idleCall());
        EXPECT_EQ(differing, 0) << "pixels differ from the headless rendering of the VST 2.x editor";
    }
    static int differingPixels(const VSTGUI::PixelSurface& a, const VSTGUI::PixelSurface& b)
    {
        if (a.width() != b.width() || a.height() != b.height()) return a.width() * a.height() + 1;
        int differing = 0;
        for (int32_t y = 0; y < a.height(); ++y)
            for (int32_t x = 0; x < a.width(); ++x) differing += a.pixelAt(x, y) != b.pixelAt(x, y);
        return differing;
    }
    // The centre of a knob's 33 x 33 image.
    static std::pair<int, int> knobCentre(ParamId row)
    {
        return {kHostX + controlTable[row].x + 16, kHostY + controlTable[row].y + 16};
    }

    static void writePort(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format,
                          const void* buffer)
    {
        auto& test = *static_cast<Lv2UiInHostWindow*>(controller);
        ASSERT_EQ(format, 0u);
        ASSERT_EQ(size, sizeof(float));
        test.events.push_back({HostEvent::write, port, *static_cast<const float*>(buffer)});
        test.step();
    }
    static void touchPort(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed)
    {
        auto& test = *static_cast<Lv2UiInHostWindow*>(handle);
        test.events.push_back({grabbed ? HostEvent::grab : HostEvent::release, port, 0});
        test.step();
    }
    static int resizeTo(LV2UI_Feature_Handle handle, int width, int height)
    {
        static_cast<Lv2UiInHostWindow*>(handle)->size = {width, height};
        return 0;
    }
    // The next step of the user's hand, played from inside the control's mouse loop.
    void step()
    {
        if (steps.empty()) return;
        auto next = std::move(steps.front());
        steps.erase(steps.begin());
        next();
    }

    X11TestHost host;
    Lv2Instance dsp{kRate};
    std::vector<float> silence = std::vector<float>(64), outLeft = silence, outRight = silence;
    void* library = nullptr;
    const LV2UI_Descriptor* descriptor = nullptr;
    const LV2UI_Idle_Interface* idleInterface = nullptr;
    LV2UI_Resize resize{this, &resizeTo};
    LV2UI_Touch touch{this, &touchPort};
    Window top = 0;
    LV2UI_Handle ui = nullptr;
    LV2UI_Widget widget = nullptr;
    std::pair<int, int> size{0, 0};
    std::vector<HostEvent> events;
    std::vector<std::function<void()>> steps;
};

TEST_F(Lv2UiInHostWindow, OpensInTheHostWindowTellsItsSizeAndShowsWhatTheVst2EditorShows)
{
    open();
    EXPECT_EQ(size, std::make_pair(kEditorWidth, kEditorHeight));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(widget), static_cast<uintptr_t>(host.childOf(top)))
        << "the widget is not the editor's window";
    expectShows(editorsnapshot::defaultScene());

    // The host changes ports: the audio side takes the values, the controls follow the
    // port events, and the picture is the VST 2.x editor's with the same settings.
    setPort("peak1_on", 1);
    setPort("peak1_freq", 1000);
    setPort("peak1_gain", 12);
    setPort("analyser_pre", 0);
    // Out of range, a host's value reads as the end of the range, as the audio side reads it.
    setPort("peak1_q", 1.0e9f);
    setPort("level", -6);  // the meter reads the effect itself
    editorsnapshot::Scene changed;
    changed.parameters = {{kPeak1Enabled, 1.0f},
                          {kPeak1Frequency, static_cast<float>(realToNormalized(1000, kPeak1Frequency))},
                          {kPeak1Gain, static_cast<float>(realToNormalized(12, kPeak1Gain))},
                          {kPreAnalyserParameter, 0.0f},
                          {kPeak1Q, 1.0f}};
    expectShows(changed);
    EXPECT_TRUE(events.empty()) << "a host's change came back as an edit";
}

// The analysers and the meter are fed while the interface is open, as they are while the
// VST 2.x editor is: with noise flowing the window no longer shows the silent editor.
TEST_F(Lv2UiInHostWindow, WithAudioFlowingTheSpectraAndTheMeterMove)
{
    open();
    expectNoiseToMoveTheWindow();
}

// A host may show two interfaces of one instance; closing one leaves the other fed.
TEST_F(Lv2UiInHostWindow, ClosingASecondInterfaceLeavesTheFirstOneFed)
{
    open();
    // Below the first, so that neither covers the other's pixels.
    const Window otherTop = host.createTopLevel(kHostX, kHostY + kEditorHeight + 10, kEditorWidth, kEditorHeight);
    std::vector<LV2_Feature> list = features();
    for (LV2_Feature& feature : list)
        if (std::strcmp(feature.URI, LV2_UI__parent) == 0)
            feature.data = reinterpret_cast<void*>(static_cast<uintptr_t>(otherTop));
    LV2UI_Widget otherWidget = nullptr;
    LV2UI_Handle other = instantiate(list, &otherWidget);
    ASSERT_NE(other, nullptr);
    idleInterface->idle(other);
    descriptor->cleanup(other);

    expectNoiseToMoveTheWindow();
}

TEST_F(Lv2UiInHostWindow, ADraggedKnobWritesItsPortsRealValueInsideTouchBrackets)
{
    open();
    pumpFor(50, idleCall());
    const uint32_t port = dsp.index("peak1_freq");
    const auto [x, y] = knobCentre(kPeak1Frequency);
    // Pressed at three o'clock, dragged to twelve, let go: the knob follows the angle.
    steps = {[] {}, [&, x = x, y = y] { host.moveCursor(x, y - 12); }, [&] { host.releaseButton(Button1); }};
    host.moveCursor(x + 12, y);
    const ReleaseLater guard(3000);
    host.pressButton(Button1);
    ASSERT_TRUE(
        pumpUntil([&] { return !events.empty() && events.back().kind == HostEvent::release; }, 3000, idleCall()));

    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(events.front().kind, HostEvent::grab);
    EXPECT_EQ(events.back().kind, HostEvent::release);
    const ControlDescriptor& row = controlTable[kPeak1Frequency];
    std::vector<float> written;
    for (const HostEvent& event : events) {
        EXPECT_EQ(event.port, port);
        if (event.kind != HostEvent::write) continue;
        EXPECT_GE(event.value, row.minValue);
        EXPECT_LE(event.value, row.maxValue);
        written.push_back(event.value);
    }
    ASSERT_EQ(written.size(), 2u);
    EXPECT_GT(written.front(), written.back()) << "three o'clock reads above twelve";
    // A real frequency, which the audio side maps with the table's own curve.
    EXPECT_GT(written.back(), 100.0f);
    EXPECT_EQ(dsp.control("peak1_freq"), static_cast<float>(row.defaultValue)) << "the interface set the port itself";

    // Reset writes every port's default, each bracketed.
    events.clear();
    const int resetX = kHostX + controlTable[kResetParameter].x + 5;
    const int resetY = kHostY + controlTable[kResetParameter].y + 5;
    host.moveCursor(resetX, resetY);
    host.pressButton(Button1);
    host.releaseButton(Button1);
    ASSERT_TRUE(pumpUntil([&] { return events.size() >= 3 * controlInputCount(); }, 3000, idleCall()));
    pumpFor(30, idleCall());
    ASSERT_EQ(events.size(), 3 * controlInputCount());
    for (std::size_t i = 0; i < events.size(); i += 3) {
        EXPECT_EQ(events[i].kind, HostEvent::grab);
        EXPECT_EQ(events[i + 1].kind, HostEvent::write);
        EXPECT_EQ(events[i + 2].kind, HostEvent::release);
        EXPECT_EQ(events[i + 1].value, dsp.values[events[i + 1].port]) << "port " << events[i + 1].port;
    }
}

TEST_F(Lv2UiInHostWindow, WithoutInstanceAccessOrAParentThereIsNoInterface)
{
    LV2UI_Widget none = nullptr;
    EXPECT_EQ(instantiate(features(false, true), &none), nullptr);
    EXPECT_EQ(instantiate(features(true, false), &none), nullptr);
    host.sync();
    EXPECT_EQ(host.childCount(top), 0);
}

TEST_F(Lv2UiInHostWindow, TwoHundredOpensAndClosesLeaveNothingBehind)
{
    std::map<std::string, int> first;
    for (int cycle = 0; cycle < 200; ++cycle) {
        open();
        idleInterface->idle(ui);
        if (cycle == 0) {
            first = clientResources(host.display(), reinterpret_cast<uintptr_t>(widget));
            ASSERT_FALSE(first.empty()) << "the X server does not count resources (X-Resource)";
        }
        if (cycle == 199) {
            EXPECT_EQ(clientResources(host.display(), reinterpret_cast<uintptr_t>(widget)), first);
        }
        close();
        host.sync();
        ASSERT_EQ(host.childCount(top), 0) << "cycle " << cycle;
    }
}

TEST_F(Lv2UiInHostWindow, ClosingAfterTheHostDestroyedItsWindowIsSafe)
{
    open();
    pumpFor(50, idleCall());
    XDestroyWindow(host.display(), top);
    host.sync();
    pumpFor(50, idleCall());
    close();
    // The audio side runs on, and the next interface opens in a new window.
    runBlock();
    top = host.createTopLevel(kHostX, kHostY, kEditorWidth, kEditorHeight);
    open();
    close();
}

// A host's map of names to ids, as the interface needs it for the scale option.
struct UridMap {
    LV2_URID id(const char* uri)
    {
        const auto [found, added] = ids.try_emplace(uri, static_cast<LV2_URID>(ids.size() + 1));
        return found->second;
    }
    static LV2_URID map(LV2_URID_Map_Handle handle, const char* uri) { return static_cast<UridMap*>(handle)->id(uri); }

    std::map<std::string, LV2_URID> ids;
    LV2_URID_Map feature{this, &map};
};

TEST_F(Lv2UiInHostWindow, TakesTheHostsScaleFactorAndFollowsTheHostsChangesOfIt)
{
    UridMap urids;
    float factor = 2.0f;
    const LV2_Options_Option options[] = {
        {LV2_OPTIONS_INSTANCE, 0, urids.id(LV2_UI__scaleFactor), sizeof factor, urids.id(LV2_ATOM__Float), &factor},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    std::vector<LV2_Feature> list = features();
    list.push_back({LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)});
    list.push_back({LV2_URID__map, &urids.feature});
    ui = instantiate(list, &widget);
    ASSERT_NE(ui, nullptr);
    EXPECT_EQ(size, std::make_pair(1508, 748)) << "the host was not asked for the room of twice the skin";
    ASSERT_TRUE(pumpUntil([&] { return host.childCount(top) == 1; }, 3000, idleCall()));
    int width = 0;
    int height = 0;
    host.windowSize(host.childOf(top), width, height);
    EXPECT_EQ(std::make_pair(width, height), std::make_pair(1508, 748)) << "the window is not twice the skin";

    const auto* optionsInterface =
        static_cast<const LV2_Options_Interface*>(descriptor->extension_data(LV2_OPTIONS__interface));
    ASSERT_NE(optionsInterface, nullptr);
    factor = 1.5f;
    EXPECT_EQ(optionsInterface->set(ui, options), uint32_t{LV2_OPTIONS_SUCCESS});
    EXPECT_EQ(size, std::make_pair(1131, 561));
    // A factor that means nothing changes nothing.
    factor = std::numeric_limits<float>::quiet_NaN();
    EXPECT_NE(optionsInterface->set(ui, options), uint32_t{LV2_OPTIONS_SUCCESS});
    EXPECT_EQ(size, std::make_pair(1131, 561));
    close();

    // Without the host's map the option cannot be read: the screen's scale applies.
    ui = instantiate(features(), &widget);
    ASSERT_NE(ui, nullptr);
    EXPECT_EQ(size, std::make_pair(kEditorWidth, kEditorHeight));
}

}  // namespace
}  // namespace tolvan::test
