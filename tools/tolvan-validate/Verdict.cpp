// Turns the way a check's child ended, and what it printed, into the check's verdict.

#include <cstring>

#include "tools/tolvan-validate/ChildRunner.h"

namespace validate {
namespace {

std::string sanitizerIn(const std::string& output)
{
    // A leak report ends in an AddressSanitizer summary, so leaks are looked for first.
    for (const char* name : {"LeakSanitizer", "ThreadSanitizer", "AddressSanitizer", "runtime error:"}) {
        if (output.find(name) != std::string::npos) {
            return std::strcmp(name, "runtime error:") == 0 ? "UndefinedBehaviorSanitizer" : name;
        }
    }
    return {};
}

// A sanitizer's own failure, as opposed to a report about the code it watches: LeakSanitizer's
// tracer can crash while it stops the process's threads, and then prints only this.
bool sanitizerFailedItself(const std::string& output)
{
    return output.find("Sanitizer has encountered a fatal error") != std::string::npos &&
           output.find("ERROR: ") == std::string::npos && output.find("runtime error:") == std::string::npos;
}

}  // namespace

void judge(Outcome& outcome, const Ending& ending)
{
    const std::string sanitizer = sanitizerIn(outcome.output);
    outcome.passed = false;
    outcome.inconclusive = ending.hang.empty() && sanitizerFailedItself(outcome.output);
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
