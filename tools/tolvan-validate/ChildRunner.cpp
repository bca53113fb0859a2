#include "tools/tolvan-validate/ChildRunner.h"

#include <cstdio>
#include <cstring>

namespace validate {
namespace {

std::string sanitizerIn(const std::string& output) {
    // A leak report ends in an AddressSanitizer summary, so leaks are looked for first.
    for (const char* name : {"LeakSanitizer", "ThreadSanitizer", "AddressSanitizer", "runtime error:"}) {
        if (output.find(name) != std::string::npos) {
            return std::strcmp(name, "runtime error:") == 0 ? "UndefinedBehaviorSanitizer" : name;
        }
    }
    return {};
}

}  // namespace

uint32_t checkSeed(uint32_t seed, const char* name) {
    uint32_t hash = 2166136261u ^ seed;
    for (const char* c = name; *c != 0; ++c) hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
    return hash;
}

int runCheckHere(const CheckRun& run) {
    CheckContext context(run.library, checkSeed(run.seed, run.check.name), run.realWindows);
    run.check.run(context);
    if (leaksFound()) context.expect(false, "LeakSanitizer found leaks");
    std::fflush(nullptr);
    return context.failureCount() == 0 ? 0 : 1;
}

std::string HangWatch::verdict(double clockSeconds, double cpuSeconds) {
    char text[120];
    if (clockSeconds >= kCeiling * timeout) {
        std::snprintf(text, sizeof text, "still running after %.0f s, %d times the timeout", clockSeconds, kCeiling);
        return text;
    }
    if (cpuSeconds < 0) {
        if (clockSeconds < timeout) return {};
        std::snprintf(text, sizeof text, "timeout after %.0f s", timeout);
        return text;
    }
    if (cpuSeconds >= timeout) {
        std::snprintf(text, sizeof text, "used %.1f s of processor time, the timeout", cpuSeconds);
        return text;
    }
    recent.push_back({clockSeconds, cpuSeconds});
    while (recent.size() > 1 && recent[1].clock <= clockSeconds - kStallWindow) recent.erase(recent.begin());
    const Sample& first = recent.front();
    if (clockSeconds < timeout || clockSeconds - first.clock < kStallWindow) return {};
    if (cpuSeconds - first.cpu >= kStallShare * (clockSeconds - first.clock)) return {};
    std::snprintf(text, sizeof text, "no progress: %.2f s of processor time in the last %.0f s, after the %.0f s timeout",
                  cpuSeconds - first.cpu, clockSeconds - first.clock, timeout);
    return text;
}

void judge(Outcome& outcome, const Ending& ending) {
    const std::string sanitizer = sanitizerIn(outcome.output);
    outcome.passed = false;
    if (!ending.hang.empty()) {
        outcome.verdict = "hung (" + ending.hang + ")";
    } else if (!ending.crash.empty()) {
        outcome.verdict = "crashed (" + ending.crash + ")";
    } else if (!sanitizer.empty()) {
        outcome.verdict = sanitizer + " report";
    } else if (ending.exitCode != 0) {
        outcome.verdict = "failed";
    } else {
        outcome.passed = true;
        outcome.verdict = "passed";
    }
}

}  // namespace validate
