// A busy session: 64 editors of 64 effects open at once on the plug-in's one X connection,
// with an audio thread processing every effect and an automation thread moving their
// parameters, while the host's user-interface thread calls effEditIdle on each editor. The
// editors' 25 ms ticks must not run inside one another: the user-interface thread's stack
// stays shallow and no idle call takes long, however many editors there are.

#include "effect/PluginInterface.h"
#include "tools/hosting/HostedEffect.h"
#include "tools/hosting/RecordingHost.h"

#include <gtest/gtest.h>

// Xlib's macros would rewrite names above: it comes last.
#include "tests/x11/X11TestHost.h"

#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <thread>
#include <vector>

namespace tolvan::test {
namespace {

constexpr auto kSessionLength = std::chrono::milliseconds(3000);
constexpr auto kHostIdlePeriod = std::chrono::milliseconds(10);
constexpr int32_t kBlockSize = 256;
constexpr int32_t kParameterCount = 41;
constexpr int32_t kResetParameter = 8;
constexpr int32_t kDocumentationParameter = 2;

// One editor's idle call reaches a dozen frames of the plug-in and the software renderer
// (12 KiB measured, sanitizers included); a tick running inside another's adds more each
// time. This bound leaves room for larger frames, and nesting over 64 editors passes it.
constexpr std::size_t kStackBound = 256 * 1024;
// One idle call serves one editor: its input, its paints and its own tick (at most 110 ms
// measured in Release with 64 editors on a loaded machine). Ticks inside ticks took
// seconds. A ThreadSanitizer build sets a larger bound and fewer editors, see below.
constexpr int32_t kDefaultLongestIdleMs = 1000;
constexpr int kDefaultEditors = 64;

// The build's CTest entry may change the numbers: a ThreadSanitizer build opens and paints
// an editor some twenty times slower, and the run must stay short.
int fromEnvironment(const char* name, int fallback)
{
    const char* text = std::getenv(name);
    return text != nullptr && std::atoi(text) > 0 ? std::atoi(text) : fallback;
}

constexpr std::size_t kStackSize = 8 * 1024 * 1024;
constexpr unsigned char kStackPaint = 0xA5;

// A thread that runs on a stack of our own, painted before it starts, so that how deep the
// thread went can be read afterwards; a guard page below it turns an overflow into a fault.
class PaintedStackThread {
public:
    explicit PaintedStackThread(std::function<void()> body) : work(std::move(body))
    {
        const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        mapping = static_cast<unsigned char*>(
            mmap(nullptr, kStackSize + page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        if (mapping == MAP_FAILED) throw std::bad_alloc();
        mprotect(mapping, page, PROT_NONE);
        stack = mapping + page;
        std::memset(stack, kStackPaint, kStackSize);
        pthread_attr_t attributes;
        pthread_attr_init(&attributes);
        pthread_attr_setstack(&attributes, stack, kStackSize);
        pthread_create(&thread, &attributes, &PaintedStackThread::run, this);
        pthread_attr_destroy(&attributes);
    }
    ~PaintedStackThread() { munmap(mapping, kStackSize + static_cast<std::size_t>(sysconf(_SC_PAGESIZE))); }
    PaintedStackThread(const PaintedStackThread&) = delete;
    PaintedStackThread& operator=(const PaintedStackThread&) = delete;

    void join() { pthread_join(thread, nullptr); }

    // The stack grows down: the lowest byte that lost its paint marks the deepest point of
    // the body.
    // The stack's frames were the sanitizers' business while the thread ran; reading them
    // back afterwards is ours.
    __attribute__((no_sanitize("address", "thread"))) std::size_t deepestUse() const
    {
        std::size_t untouched = 0;
        while (stack + untouched < bodyTop && stack[untouched] == kStackPaint) ++untouched;
        return static_cast<std::size_t>(bodyTop - (stack + untouched));
    }

private:
    static void* run(void* self)
    {
        static_cast<PaintedStackThread*>(self)->repaintBelow(__builtin_frame_address(0));
        static_cast<PaintedStackThread*>(self)->work();
        return nullptr;
    }

    // The thread library keeps the thread's own data and its thread-local storage at the top
    // of a stack it is given (a sanitizer's is large), and the thread's start may have run
    // below that: the body's stack begins at this frame, and what lies below is painted again.
    __attribute__((no_sanitize("address", "thread"), noinline)) void repaintBelow(void* frame)
    {
        constexpr std::size_t kMargin = 1024;  // this function's own frame
        bodyTop = static_cast<unsigned char*>(frame);
        const auto end = static_cast<std::size_t>(bodyTop - stack) - kMargin;
        volatile unsigned char* paint = stack;
        for (std::size_t i = 0; i < end; ++i) paint[i] = kStackPaint;
    }

    std::function<void()> work;
    unsigned char* mapping = nullptr;
    unsigned char* stack = nullptr;
    unsigned char* bodyTop = nullptr;
    pthread_t thread{};
};

struct SessionResult {
    // The first call of each editor paints all of it once: that is the opening's cost.
    std::chrono::steady_clock::duration longestIdle{};
    int idleCalls = 0;
    int editorsOpened = 0;
};

// The host's user-interface thread: opens every editor, idles them all every 10 ms for the
// session's length, then closes them.
void runSession(const std::vector<AEffect*>& effects, SessionResult& result)
{
    X11TestHost host;
    std::vector<Window> windows;
    for (std::size_t i = 0; i < effects.size(); ++i) {
        windows.push_back(host.createTopLevel((i % 8) * 60, (i / 8) * 50, 754, 374));
        void* parent = reinterpret_cast<void*>(static_cast<uintptr_t>(windows.back()));
        result.editorsOpened += effects[i]->dispatcher(effects[i], effEditOpen, 0, 0, parent, 0.0f) == 1;
    }
    for (AEffect* effect : effects) effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
    const auto end = std::chrono::steady_clock::now() + kSessionLength;
    while (std::chrono::steady_clock::now() < end) {
        for (AEffect* effect : effects) {
            const auto before = std::chrono::steady_clock::now();
            effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
            result.longestIdle = std::max(result.longestIdle, std::chrono::steady_clock::now() - before);
            ++result.idleCalls;
        }
        std::this_thread::sleep_for(kHostIdlePeriod);
    }
    for (AEffect* effect : effects) effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
    for (const Window window : windows) XDestroyWindow(host.display(), window);
    host.sync();
}

TEST(ManyEditors, SixtyFourEditorsWithAudioAndAutomationKeepTheStackShallowAndIdleCallsShort)
{
    const int editors = fromEnvironment("TOLVAN_EDITOR_COUNT", kDefaultEditors);
    const auto longestIdleBound =
        std::chrono::milliseconds(fromEnvironment("TOLVAN_LONGEST_IDLE_MS", kDefaultLongestIdleMs));
    hosting::RecordingHost callbacks;
    hosting::PluginLibrary library{TOLVAN_PLUGIN_PATH};
    ASSERT_TRUE(library.loaded());
    std::vector<AEffect*> effects;
    for (int i = 0; i < editors; ++i) {
        AEffect* effect = library.entry()(&hosting::RecordingHost::callback);
        ASSERT_NE(effect, nullptr);
        effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
        effect->dispatcher(effect, effSetBlockSize, 0, kBlockSize, nullptr, 0.0f);
        effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
        effects.push_back(effect);
    }

    std::atomic<bool> stop{false};
    std::thread audio([&] {
        std::vector<float> inLeft(kBlockSize), inRight(kBlockSize), outLeft(kBlockSize), outRight(kBlockSize);
        std::mt19937 noise(7);
        std::uniform_real_distribution<float> sample(-0.5f, 0.5f);
        for (std::size_t i = 0; i < inLeft.size(); ++i) inLeft[i] = inRight[i] = sample(noise);
        float* inputs[] = {inLeft.data(), inRight.data()};
        float* outputs[] = {outLeft.data(), outRight.data()};
        while (!stop.load()) {
            for (AEffect* effect : effects) effect->processReplacing(effect, inputs, outputs, kBlockSize);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    std::thread automation([&] {
        std::mt19937 random(18);
        std::uniform_int_distribution<std::size_t> pickEffect(0, effects.size() - 1);
        std::uniform_int_distribution<int32_t> pickParameter(3, kParameterCount - 1);
        std::uniform_real_distribution<float> pickValue(0.0f, 1.0f);
        while (!stop.load()) {
            AEffect* effect = effects[pickEffect(random)];
            const int32_t index = pickParameter(random);
            // A host's automation never presses the Reset or information buttons.
            if (index != kResetParameter && index != kDocumentationParameter)
                effect->setParameter(effect, index, pickValue(random));
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });

    SessionResult result;
    PaintedStackThread ui([&] { runSession(effects, result); });
    ui.join();
    stop.store(true);
    audio.join();
    automation.join();
    for (AEffect* effect : effects) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);

    ASSERT_EQ(result.editorsOpened, editors);
    EXPECT_GE(result.idleCalls, editors);
    const std::size_t deepest = ui.deepestUse();
    EXPECT_LE(deepest, kStackBound) << "the user-interface thread's stack reached " << deepest / 1024 << " KiB";
    const auto longest = std::chrono::duration_cast<std::chrono::milliseconds>(result.longestIdle);
    EXPECT_LE(longest, longestIdleBound) << "one effEditIdle took " << longest.count() << " ms";
    RecordProperty("deepest_stack_kib", static_cast<int>(deepest / 1024));
    RecordProperty("longest_idle_ms", static_cast<int>(longest.count()));
    std::printf("%d editors: deepest user-interface stack %zu KiB, longest idle call %lld ms, %d idle calls\n", editors,
                deepest / 1024, static_cast<long long>(longest.count()), result.idleCalls);
}

}  // namespace
}  // namespace tolvan::test
