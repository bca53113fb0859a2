// Runs one check in a child process of its own and turns the way the child ended into the
// check's verdict: a crash, a hang or a sanitizer report fails that check alone. Each system
// has its own way to make the child (ChildRunnerLinux.cpp, ChildRunnerWindows.cpp); what
// they share is here and in ChildRunner.cpp.
#pragma once

#include <cstdint>
#include <string>

#include "tools/tolvan-validate/Check.h"
#include "tools/tolvan-validate/HangWatch.h"

namespace validate {

// One check to run, and everything a child needs to run it as the validator's run would.
struct CheckRun {
    const Check& check;
    const PluginLibrary& library;
    // The path as given to the validator, for a child that loads the library itself.
    const std::string& libraryPath;
    // The run's seed; the check draws from checkSeed(seed, check.name).
    uint32_t seed;
    bool realWindows;
};

struct Outcome {
    bool passed = false;
    std::string verdict;
    std::string output;
    double seconds = 0;
    // The child's own, what the check costs on an idle machine; negative when unknown.
    double cpuSeconds = 0;
    // A sanitizer failed inside itself (its tracer crashed) and gave no verdict on the
    // plug-in; such a run says nothing either way and is worth running again.
    bool inconclusive = false;
};

// Runs the check in a child process, waiting at most timeoutSeconds for it.
Outcome runIsolated(const CheckRun& run, int32_t timeoutSeconds);

// The child's side (the hidden option --run-check): prepares this process as the system's
// runner wants its children, runs the check here and answers the exit code that tells
// the parent passed (0) or failed (1).
int runCheckAsChild(const CheckRun& run);

// --- shared by the systems' runners ---

// Every check draws from its own seed, so --only NAME reproduces what the full run saw.
uint32_t checkSeed(uint32_t seed, const char* name);

// Runs the check in this process with its own seed; answers 0 when it passed, else 1.
int runCheckHere(const CheckRun& run);

// LeakSanitizer's verdict on this process so far; false in builds without it.
bool leaksFound();

// How a child ended, in the terms both systems share.
struct Ending {
    // Why the child was ended unfinished; empty when it ended by itself.
    std::string hang;
    // The signal's or exception's name when the child crashed, else empty.
    std::string crash;
    int exitCode = 0;
};

// Fills in the verdict and passed of an outcome whose output is read.
void judge(Outcome& outcome, const Ending& ending);

}  // namespace validate
