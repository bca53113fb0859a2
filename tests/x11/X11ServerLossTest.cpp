// The X server goes away while the editor is open (a remote session drops, the display
// server crashes): a host that arranged to survive the loss of its own connection must not
// be ended by the plug-in. The test is such a host, with an Xvfb of its own that it kills.

#include "effect/PluginInterface.h"
#include "tools/hosting/HostedEffect.h"
#include "tools/hosting/RecordingHost.h"

#include <gtest/gtest.h>

// Xlib's macros would rewrite names above: it comes last.
#include "tests/x11/X11TestHost.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace tolvan::test {
namespace {

constexpr int32_t kBlockSize = 128;
constexpr int32_t kBypass = 9;

// An Xvfb on a display number it picks itself, for this process alone.
class OwnServer {
public:
    OwnServer()
    {
        int numberPipe[2];
        if (pipe(numberPipe) != 0) return;
        server = fork();
        if (server == 0) {
            close(numberPipe[0]);
            const std::string fd = std::to_string(numberPipe[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-noreset", "-screen", "0",
                   "1024x768x24", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(numberPipe[1]);
        char digit = 0;
        while (read(numberPipe[0], &digit, 1) == 1 && digit != '\n') number += digit;
        close(numberPipe[0]);
    }
    ~OwnServer() { kill(); }
    OwnServer(const OwnServer&) = delete;
    OwnServer& operator=(const OwnServer&) = delete;

    bool running() const { return server > 0 && !number.empty(); }
    std::string display() const { return ":" + number; }
    void kill()
    {
        if (server <= 0) return;
        ::kill(server, SIGKILL);
        waitpid(server, nullptr, 0);
        server = -1;
    }

private:
    pid_t server = -1;
    std::string number;
};

// The host arranges to survive the server: Xlib's default reaction to a lost connection,
// in the process-wide handler and in each display's exit handler, ends the process.
int reportLostServer(Display*) { return 0; }
void keepHostAlive(Display*, void*) {}

// Sets the process-wide handler for the test's length; it outlives the host's connection.
struct LostServerHandler {
    XIOErrorHandler before = XSetIOErrorHandler(reportLostServer);
    ~LostServerHandler() { XSetIOErrorHandler(before); }
};

TEST(ServerLoss, TheEditorOutlivesItsXServerAndTheHostIdlesClosesAndEndsNormally)
{
    OwnServer server;
    if (!server.running()) GTEST_SKIP() << "Xvfb could not be started";
    setenv("DISPLAY", server.display().c_str(), 1);
    LostServerHandler survival;
    X11TestHost host;
    XSetIOErrorExitHandler(host.display(), keepHostAlive, nullptr);

    hosting::RecordingHost callbacks;
    hosting::PluginLibrary library{TOLVAN_PLUGIN_PATH};
    ASSERT_TRUE(library.loaded());
    hosting::HostedEffect effect(library);
    ASSERT_NE(effect.get(), nullptr);
    effect.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    effect.dispatch(effSetBlockSize, 0, kBlockSize);
    effect.dispatch(effMainsChanged, 0, 1);

    const Window top = host.createTopLevel(0, 0, 754, 374);
    ASSERT_EQ(effect.editOpen(reinterpret_cast<void*>(static_cast<uintptr_t>(top))), 1);
    pumpFor(200, [&] { effect.editIdle(); });
    ASSERT_EQ(host.childCount(top), 1);

    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0};
    std::thread audio([&] {
        std::vector<float> inLeft(kBlockSize, 0.25f), inRight(kBlockSize, 0.25f), outLeft(kBlockSize),
            outRight(kBlockSize);
        float* inputs[] = {inLeft.data(), inRight.data()};
        float* outputs[] = {outLeft.data(), outRight.data()};
        while (!stop.load()) {
            effect->processReplacing(effect.get(), inputs, outputs, kBlockSize);
            blocks.fetch_add(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });

    server.kill();
    const int blocksAtLoss = blocks.load();
    // The host goes on as before: idle calls, parameter changes that the editor shows,
    // the editor's rectangle, keys.
    pumpFor(300, [&] {
        effect.editIdle();
        effect.set(kBypass, effect.get(kBypass) == 0.0f ? 1.0f : 0.0f);
    });
    ERect* rect = nullptr;
    EXPECT_NE(effect.dispatch(effEditGetRect, 0, 0, &rect), 0);
    effect.dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f);
    effect.editClose();
    // With no server there is no window to open the editor in.
    EXPECT_EQ(effect.editOpen(reinterpret_cast<void*>(static_cast<uintptr_t>(top))), 0);
    effect.editIdle();
    effect.editClose();

    while (blocks.load() < blocksAtLoss + 20) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    stop.store(true);
    audio.join();
    effect.close();
}

}  // namespace
}  // namespace tolvan::test
