// The child runner on Linux: the child is a fork of the validator, with the library already
// loaded; its output goes to a memory file that the parent reads once it has ended.

#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "tools/tolvan-validate/ChildRunner.h"

// LeakSanitizer's check on demand, present only in builds that carry it.
extern "C" int __lsan_do_recoverable_leak_check() __attribute__((weak));

namespace validate {
namespace {

std::string readAll(int fd)
{
    std::string text;
    lseek(fd, 0, SEEK_SET);
    std::array<char, 4096> chunk;
    ssize_t n;
    while ((n = read(fd, chunk.data(), chunk.size())) > 0) text.append(chunk.data(), static_cast<std::size_t>(n));
    return text;
}

// The processor time a running child has used so far, from the kernel's account of it;
// negative when that cannot be read.
double processorSeconds(pid_t child)
{
    std::FILE* file = std::fopen(("/proc/" + std::to_string(child) + "/stat").c_str(), "r");
    if (file == nullptr) return -1;
    std::array<char, 1024> line{};
    const bool read = std::fgets(line.data(), static_cast<int>(line.size()), file) != nullptr;
    std::fclose(file);
    // The fields after the command's name, which may hold blanks and parentheses itself:
    // state is the third field, user and system time the 14th and 15th, in clock ticks.
    const char* after = read ? std::strrchr(line.data(), ')') : nullptr;
    unsigned long user = 0, system = 0;
    if (after == nullptr ||
        std::sscanf(after + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user, &system) != 2) {
        return -1;
    }
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

[[noreturn]] void runChild(const CheckRun& run, int outputFd)
{
    dup2(outputFd, STDOUT_FILENO);
    dup2(outputFd, STDERR_FILENO);
    // exit, not _exit: the sanitizers give their verdict in their exit handlers.
    std::exit(runCheckHere(run));
}

}  // namespace

bool leaksFound() { return __lsan_do_recoverable_leak_check != nullptr && __lsan_do_recoverable_leak_check() != 0; }

// A fork needs no preparing; here the check simply runs in the validator's own process,
// where a debugger can follow it.
int runCheckAsChild(const CheckRun& run) { return runCheckHere(run); }

Outcome runIsolated(const CheckRun& run, int32_t timeoutSeconds)
{
    Outcome outcome;
    const int outputFd = memfd_create("tolvan-validate-check", 0);
    if (outputFd < 0) {
        outcome.verdict = "could not capture the check's output";
        return outcome;
    }
    std::fflush(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) {
        close(outputFd);
        outcome.verdict = "could not fork";
        return outcome;
    }
    if (child == 0) runChild(run, outputFd);

    HangWatch watch(timeoutSeconds);
    int status = 0;
    Ending ending;
    rusage usage{};
    for (int32_t round = 0; wait4(child, &status, WNOHANG, &usage) == 0; ++round) {
        // A look at the child's processor time every quarter of a second; the 5 ms naps
        // keep short checks short.
        if (round % 50 == 0) {
            const double clock = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            ending.hang = watch.verdict(clock, processorSeconds(child));
            if (!ending.hang.empty()) {
                kill(child, SIGKILL);
                wait4(child, &status, 0, &usage);
                break;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    outcome.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    outcome.output = readAll(outputFd);
    close(outputFd);

    if (WIFSIGNALED(status)) ending.crash = strsignal(WTERMSIG(status));
    if (WIFEXITED(status)) ending.exitCode = WEXITSTATUS(status);
    judge(outcome, ending);
    return outcome;
}

}  // namespace validate
