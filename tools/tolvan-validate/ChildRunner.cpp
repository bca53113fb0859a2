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
