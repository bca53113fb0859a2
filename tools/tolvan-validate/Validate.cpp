// tolvan-validate: a host-level validation suite. Loads a plug-in library through its
// entry point only and runs named, seeded checks, each in a child process of its own so
// that a crash, a hang or a sanitizer report fails that check alone.
//
//   tolvan-validate [--level N] [--seed N] [--only NAME[,NAME...]] [--timeout SECONDS]
//                   [--window | --no-window] [library]
//
// Editors are opened in real top-level windows when the window system can be reached
// (--window insists on it), else handed a stand-in parent (--no-window asks for that).

#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tools/tolvan-validate/Check.h"

// LeakSanitizer's check on demand, present only in builds that carry it.
extern "C" int __lsan_do_recoverable_leak_check() __attribute__((weak));

namespace validate {
namespace {

constexpr int32_t kHighestLevel = 10;

enum class WindowChoice { WhereAvailable, Required, StandIn };

struct Options {
    int32_t level = kHighestLevel;
    uint32_t seed = 1;
    std::vector<std::string> only;
    WindowChoice windows = WindowChoice::WhereAvailable;
    // Sanitizer builds run several times slower.
    int32_t timeoutSeconds = builtWithSanitizer() == Sanitizer::None ? 120 : 600;
    std::string library;
};

bool parseOptions(int argc, char** argv, Options& options) {
#ifdef TOLVAN_PLUGIN_PATH
    options.library = TOLVAN_PLUGIN_PATH;
#endif
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--level" && hasValue) {
            options.level = std::atoi(argv[++i]);
        } else if (arg == "--seed" && hasValue) {
            options.seed = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (arg == "--only" && hasValue) {
            const std::string names = argv[++i];
            for (std::size_t begin = 0; begin <= names.size();) {
                std::size_t end = names.find(',', begin);
                if (end == std::string::npos) end = names.size();
                if (end > begin) options.only.push_back(names.substr(begin, end - begin));
                begin = end + 1;
            }
        } else if (arg == "--window") {
            options.windows = WindowChoice::Required;
        } else if (arg == "--no-window") {
            options.windows = WindowChoice::StandIn;
        } else if (arg == "--timeout" && hasValue) {
            options.timeoutSeconds = std::atoi(argv[++i]);
        } else if (!arg.starts_with("--")) {
            options.library = arg;
        } else {
            return false;
        }
    }
    return options.level >= 1 && options.level <= kHighestLevel && options.timeoutSeconds > 0 &&
           !options.library.empty();
}

std::vector<Check> allChecks() {
    std::vector<Check> checks;
    for (auto list : {recordChecks, parameterChecks, audioChecks, threadChecks, lifecycleChecks, editorChecks, callSequenceChecks,
                      hostQuirkChecks}) {
        const std::span<const Check> some = list();
        checks.insert(checks.end(), some.begin(), some.end());
    }
    std::stable_sort(checks.begin(), checks.end(), [](const Check& a, const Check& b) { return a.level < b.level; });
    return checks;
}

// Every check draws from its own seed, so --only NAME reproduces what the full run saw.
uint32_t checkSeed(uint32_t seed, const char* name) {
    uint32_t hash = 2166136261u ^ seed;
    for (const char* c = name; *c != 0; ++c) hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
    return hash;
}

struct Outcome {
    bool passed = false;
    std::string verdict;
    std::string output;
    double seconds = 0;
    double cpuSeconds = 0;  // the child's own, what the check costs on an idle machine
};

std::string readAll(int fd) {
    std::string text;
    lseek(fd, 0, SEEK_SET);
    std::array<char, 4096> chunk;
    ssize_t n;
    while ((n = read(fd, chunk.data(), chunk.size())) > 0) text.append(chunk.data(), static_cast<std::size_t>(n));
    return text;
}

[[noreturn]] void runChild(const Check& check, const PluginLibrary& library, uint32_t seed, bool realWindows,
                          int outputFd) {
    dup2(outputFd, STDOUT_FILENO);
    dup2(outputFd, STDERR_FILENO);
    CheckContext context(library, seed, realWindows);
    check.run(context);
    if (__lsan_do_recoverable_leak_check != nullptr && __lsan_do_recoverable_leak_check() != 0) {
        context.expect(false, "LeakSanitizer found leaks");
    }
    std::fflush(nullptr);
    // exit, not _exit: the sanitizers give their verdict in their exit handlers.
    std::exit(context.failureCount() == 0 ? 0 : 1);
}

std::string sanitizerIn(const std::string& output) {
    // A leak report ends in an AddressSanitizer summary, so leaks are looked for first.
    for (const char* name : {"LeakSanitizer", "ThreadSanitizer", "AddressSanitizer", "runtime error:"}) {
        if (output.find(name) != std::string::npos) {
            return std::strcmp(name, "runtime error:") == 0 ? "UndefinedBehaviorSanitizer" : name;
        }
    }
    return {};
}

Outcome runIsolated(const Check& check, const PluginLibrary& library, uint32_t seed, bool realWindows,
                    int32_t timeoutSeconds) {
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
    if (child == 0) runChild(check, library, seed, realWindows, outputFd);

    const auto deadline = start + std::chrono::seconds(timeoutSeconds);
    int status = 0;
    bool timedOut = false;
    rusage usage{};
    while (wait4(child, &status, WNOHANG, &usage) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            wait4(child, &status, 0, &usage);
            timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    outcome.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    outcome.output = readAll(outputFd);
    close(outputFd);

    const std::string sanitizer = sanitizerIn(outcome.output);
    if (timedOut) {
        outcome.verdict = "hung (timeout after " + std::to_string(timeoutSeconds) + " s)";
    } else if (WIFSIGNALED(status)) {
        outcome.verdict = std::string("crashed (") + strsignal(WTERMSIG(status)) + ")";
    } else if (!sanitizer.empty()) {
        outcome.verdict = sanitizer + " report";
    } else if (WEXITSTATUS(status) != 0) {
        outcome.verdict = "failed";
    } else {
        outcome.passed = true;
        outcome.verdict = "passed";
    }
    return outcome;
}

// A passing check shows only its notes; a failing one everything it printed.
void printOutput(const Outcome& outcome) {
    std::size_t begin = 0;
    while (begin < outcome.output.size()) {
        std::size_t end = outcome.output.find('\n', begin);
        if (end == std::string::npos) end = outcome.output.size();
        const std::string line = outcome.output.substr(begin, end - begin);
        if (!outcome.passed || line.find("note:") != std::string::npos) std::printf("%s\n", line.c_str());
        begin = end + 1;
    }
}

const char* sanitizerName() {
    switch (builtWithSanitizer()) {
    case Sanitizer::Address: return "AddressSanitizer + UndefinedBehaviorSanitizer";
    case Sanitizer::Thread: return "ThreadSanitizer";
    case Sanitizer::None: break;
    }
    return "no sanitizer";
}

int run(const Options& options) {
    const PluginLibrary library(options.library);
    if (!library.loaded()) {
        std::printf("cannot load %s: %s\n", options.library.c_str(), library.error().c_str());
        return 2;
    }
    // Whether this run has real windows is settled once, here; each check makes its own.
    bool realWindows = false;
    std::string editorParent = "a stand-in parent";
    if (options.windows != WindowChoice::StandIn) {
        std::string reason;
        const auto window = VSTGUI::platform::HostWindow::create(754, 374, reason);
        if (window != nullptr) {
            realWindows = true;
            editorParent = "real windows (" + window->describe() + ")";
        } else if (options.windows == WindowChoice::Required) {
            std::printf("--window: no host window can be made: %s\n", reason.c_str());
            return 2;
        } else {
            editorParent += " (" + reason + ")";
        }
    }
    std::printf("tolvan-validate: %s, level %d, seed %u, %s; editors get %s\n", options.library.c_str(),
                options.level, options.seed, sanitizerName(), editorParent.c_str());

    std::array<int32_t, kHighestLevel + 1> run{}, passed{};
    std::vector<std::string> failed;
    for (const Check& check : allChecks()) {
        const bool chosen = options.only.empty() ||
                            std::find(options.only.begin(), options.only.end(), check.name) != options.only.end();
        if (check.level > options.level || !chosen) continue;
        const Outcome outcome =
            runIsolated(check, library, checkSeed(options.seed, check.name), realWindows, options.timeoutSeconds);
        std::printf("%-4s L%-2d %-30s %7.2f s (cpu %6.2f s)  %s\n", outcome.passed ? "ok" : "FAIL", check.level,
                    check.name, outcome.seconds, outcome.cpuSeconds, outcome.verdict.c_str());
        printOutput(outcome);
        std::fflush(stdout);
        ++run[static_cast<std::size_t>(check.level)];
        if (outcome.passed) {
            ++passed[static_cast<std::size_t>(check.level)];
        } else {
            failed.push_back(check.name);
        }
    }

    int32_t total = 0, totalPassed = 0;
    std::printf("summary:");
    for (int32_t level = 1; level <= kHighestLevel; ++level) {
        const auto l = static_cast<std::size_t>(level);
        if (run[l] == 0) continue;
        std::printf(" L%d %d/%d", level, passed[l], run[l]);
        total += run[l];
        totalPassed += passed[l];
    }
    std::printf("; %d of %d checks passed\n", totalPassed, total);
    if (total == 0) {
        std::printf("no check matched\n");
        return 2;
    }
    for (const std::string& name : failed) std::printf("failed: %s\n", name.c_str());
    return failed.empty() ? 0 : 1;
}

}  // namespace
}  // namespace validate

int main(int argc, char** argv) {
    validate::Options options;
    if (!validate::parseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s [--level 1..10] [--seed N] [--only NAME[,NAME...]] [--timeout SECONDS]\n"
                     "       [--window | --no-window] [plug-in library]\n",
                     argv[0]);
        return 2;
    }
    return validate::run(options);
}
