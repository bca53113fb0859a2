// The verdict a check gets from the way its child ended and what it printed.

#include <gtest/gtest.h>

#include "tools/tolvan-validate/ChildRunner.h"

namespace validate {
namespace {

Outcome judged(const std::string& output, const Ending& ending = {})
{
    Outcome outcome;
    outcome.output = output;
    judge(outcome, ending);
    return outcome;
}

TEST(Verdict, EachWayOfEndingHasItsOwnVerdict)
{
    EXPECT_TRUE(judged("note: fine\n").passed);
    EXPECT_EQ(judged("", {"no progress", "", 0}).verdict, "hung (no progress)");
    EXPECT_EQ(judged("", {"", "Segmentation fault", 0}).verdict, "crashed (Segmentation fault)");
    EXPECT_EQ(judged("", {"", "", 1}).verdict, "failed");
    const Outcome leak =
        judged("==1==ERROR: LeakSanitizer: detected memory leaks\nSUMMARY: AddressSanitizer: 8 byte(s)\n");
    EXPECT_FALSE(leak.passed);
    EXPECT_EQ(leak.verdict, "LeakSanitizer report");
    EXPECT_EQ(judged("a.cpp:3:5: runtime error: signed integer overflow\n").verdict,
              "UndefinedBehaviorSanitizer report");
}

TEST(Verdict, ASanitizerThatFailsInsideItselfIsInconclusiveNotAReport)
{
    const std::string tracerCrash =
        "Tracer caught signal 11: addr=0xe8 pc=0x7f752d0e80f0 sp=0x7f7527cdbd10\n"
        "==17978==LeakSanitizer has encountered a fatal error.\n"
        "==17978==HINT: For debugging, try setting environment variable LSAN_OPTIONS=verbosity=1:log_threads=1\n";
    const Outcome outcome = judged(tracerCrash, {"", "", 1});
    EXPECT_FALSE(outcome.passed);
    EXPECT_TRUE(outcome.inconclusive);

    // A real report beside it, or a hang, is a verdict all the same.
    EXPECT_FALSE(judged(tracerCrash + "==1==ERROR: LeakSanitizer: detected memory leaks\n", {"", "", 1}).inconclusive);
    EXPECT_FALSE(judged(tracerCrash, {"no progress", "", 0}).inconclusive);
    EXPECT_FALSE(judged("==1==ERROR: LeakSanitizer: detected memory leaks\n", {"", "", 1}).inconclusive);
}

}  // namespace
}  // namespace validate
