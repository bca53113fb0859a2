#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <vector>

#include "tests/tools/ToolRunner.h"
#include "tools/host/OutputFile.h"

namespace {

using tooltest::TempFolder;

// Runs body in a child process and answers how it ended: the signal that ended it, or 0.
template <class Body>
int signalThatEnded(Body body)
{
    const pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

// A user pressing Ctrl-C, or a session manager ending the tool, mid-write: no half-written
// hidden file may stay beside the outputs, and a finished output stays.
TEST(OutputFile, AnInterruptRemovesUnfinishedFilesAndKeepsFinishedOnes)
{
    for (const int interrupt : {SIGINT, SIGTERM, SIGHUP}) {
        TempFolder folder;
        const int ended = signalThatEnded([&] {
            writeFileSafely(folder / "finished.fxp", {1, 2, 3});
            OutputFile first(folder / "a.wav");
            OutputFile second(folder / "b.wav");
            (void)write(second.descriptor(), "partial", 7);
            std::raise(interrupt);
        });
        EXPECT_EQ(ended, interrupt) << "the tool must still end by the signal";
        EXPECT_EQ(folder.names(), std::vector<std::string>{"finished.fxp"}) << interrupt;
    }
}

// A caller that ignores a signal keeps ignoring it.
TEST(OutputFile, AnIgnoredSignalStaysIgnored)
{
    TempFolder folder;
    const int ended = signalThatEnded([&] {
        std::signal(SIGHUP, SIG_IGN);
        OutputFile output(folder / "a.wav");
        std::raise(SIGHUP);
        output.commit();
    });
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"a.wav"});
}

}  // namespace
