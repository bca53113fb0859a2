// tolvan-validate: a host-level validation suite. Loads a plug-in library through its
// entry point only and runs named, seeded checks, each in a child process of its own so
// that a crash, a hang or a sanitizer report fails that check alone.
//
//   tolvan-validate [--level N] [--seed N] [--only NAME[,NAME...]] [--timeout SECONDS]
//                   [--window | --no-window] [library]
//
// Editors are opened in real top-level windows when the window system can be reached
// (--window insists on it), else handed a stand-in parent (--no-window asks for that).

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/tolvan-validate/Check.h"
#include "tools/tolvan-validate/ChildRunner.h"

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
    // The hidden --run-check NAME: that one check, in this process, as the child runner's child.
    std::string runCheck;
};

bool parseOptions(int argc, char** argv, Options& options)
{
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
        } else if (arg == "--run-check" && hasValue) {
            options.runCheck = argv[++i];
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

std::vector<Check> allChecks()
{
    std::vector<Check> checks;
    for (auto list : {recordChecks, parameterChecks, audioChecks, threadChecks, lifecycleChecks, editorChecks,
                      callSequenceChecks, hostQuirkChecks}) {
        const std::span<const Check> some = list();
        checks.insert(checks.end(), some.begin(), some.end());
    }
    std::stable_sort(checks.begin(), checks.end(), [](const Check& a, const Check& b) { return a.level < b.level; });
    return checks;
}

// A passing check shows only its notes; a failing one everything it printed.
void printOutput(const Outcome& outcome)
{
    std::size_t begin = 0;
    while (begin < outcome.output.size()) {
        std::size_t end = outcome.output.find('\n', begin);
        if (end == std::string::npos) end = outcome.output.size();
        const std::string line = outcome.output.substr(begin, end - begin);
        if (!outcome.passed || line.find("note:") != std::string::npos) std::printf("%s\n", line.c_str());
        begin = end + 1;
    }
}

const char* sanitizerName()
{
    switch (builtWithSanitizer()) {
    case Sanitizer::Address: return "AddressSanitizer + UndefinedBehaviorSanitizer";
    case Sanitizer::Thread: return "ThreadSanitizer";
    case Sanitizer::None: break;
    }
    return "no sanitizer";
}

// A child's CPU time, or that it is unknown: a hung child's figure under wine is.
std::string cpuText(double seconds)
{
    if (seconds < 0) return "unknown";
    char text[32];
    std::snprintf(text, sizeof text, "%6.2f s", seconds);
    return text;
}

// The child's side of the runner: the window choice was settled by the parent, which
// passes --window or --no-window.
int runAsChild(const Options& options, const PluginLibrary& library)
{
    for (const Check& check : allChecks()) {
        if (options.runCheck == check.name) {
            return runCheckAsChild(
                {check, library, options.library, options.seed, options.windows != WindowChoice::StandIn});
        }
    }
    std::printf("no check is named %s\n", options.runCheck.c_str());
    return 2;
}

int run(const Options& options)
{
    const PluginLibrary library(options.library);
    const std::string cannotLoad = !library.loaded()            ? library.error()
                                   : library.entry() == nullptr ? "no VSTPluginMain in " + options.library
                                                                : std::string();
    if (!cannotLoad.empty()) {
        std::printf("cannot load %s: %s\n", options.library.c_str(), cannotLoad.c_str());
        return 2;
    }
    if (!options.runCheck.empty()) return runAsChild(options, library);
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
    std::printf("tolvan-validate: %s, level %d, seed %u, %s; editors get %s\n", options.library.c_str(), options.level,
                options.seed, sanitizerName(), editorParent.c_str());

    std::array<int32_t, kHighestLevel + 1> run{}, passed{};
    std::vector<std::string> failed;
    for (const Check& check : allChecks()) {
        const bool chosen = options.only.empty() ||
                            std::find(options.only.begin(), options.only.end(), check.name) != options.only.end();
        if (check.level > options.level || !chosen) continue;
        const CheckRun checkRun{check, library, options.library, options.seed, realWindows};
        Outcome outcome = runIsolated(checkRun, options.timeoutSeconds);
        if (outcome.inconclusive) {
            // Once only: a sanitizer that fails inside itself twice in a row is a finding too.
            std::printf("note: %s: the sanitizer failed inside itself and gave no verdict; running it again\n",
                        check.name);
            outcome = runIsolated(checkRun, options.timeoutSeconds);
        }
        std::printf("%-4s L%-2d %-30s %7.2f s (cpu %s)  %s\n", outcome.passed ? "ok" : "FAIL", check.level, check.name,
                    outcome.seconds, cpuText(outcome.cpuSeconds).c_str(), outcome.verdict.c_str());
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

int main(int argc, char** argv)
{
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
