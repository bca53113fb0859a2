// When the validator calls a running check hung: by the work it does, not by the clock.

#include <gtest/gtest.h>

#include "tools/tolvan-validate/HangWatch.h"

namespace validate {
namespace {

// Feeds the watch a child that gets share of a processor, sampled every quarter second,
// until it is called hung or the clock reaches until; answers the verdict and when it came.
struct Watched {
    std::string verdict;
    double at = 0;
};

Watched watch(int32_t timeout, double share, double until, double cpuFrom = 0)
{
    HangWatch hangWatch(timeout);
    for (double clock = 0; clock <= until; clock += 0.25) {
        const std::string verdict = hangWatch.verdict(clock, cpuFrom + share * clock);
        if (!verdict.empty()) return {verdict, clock};
    }
    return {};
}

TEST(HangWatch, AWorkingChildOnABusyMachineIsNotHungLongAfterTheTimeout)
{
    // A twentieth of a processor: five times the timeout on the clock, a quarter of it in work.
    EXPECT_EQ(watch(120, 0.05, 600).verdict, "");
    // Two percent, the least a working child gets here, short of the ceiling.
    EXPECT_EQ(watch(10, 0.02, 79).verdict, "");
}

TEST(HangWatch, AChildThatWaitsIsHungOnceTheTimeoutAndTheWindowHavePassed)
{
    const Watched waiting = watch(5, 0, 100, 0.3);
    EXPECT_NE(waiting.verdict.find("no progress"), std::string::npos) << waiting.verdict;
    EXPECT_GE(waiting.at, 10);
    EXPECT_LE(waiting.at, 10.5);
    // One that worked first and then waits: judged on the last ten seconds only.
    HangWatch stops(20);
    std::string verdict;
    double at = 0;
    for (double clock = 0; clock <= 100 && verdict.empty(); clock += 0.25) {
        verdict = stops.verdict(clock, clock < 30 ? 0.5 * clock : 15);
        at = clock;
    }
    EXPECT_NE(verdict.find("no progress"), std::string::npos) << verdict;
    EXPECT_GE(at, 40);
    EXPECT_LE(at, 40.5);
}

TEST(HangWatch, AChildThatSpinsIsHungWhenItHasUsedTheTimeoutInProcessorTime)
{
    const Watched spinning = watch(10, 1.0, 100);
    EXPECT_NE(spinning.verdict.find("processor time"), std::string::npos) << spinning.verdict;
    EXPECT_DOUBLE_EQ(spinning.at, 10);
}

TEST(HangWatch, EveryChildIsEndedAtTheCeiling)
{
    // A trickle of work that never ends.
    const Watched trickling = watch(10, 0.02, 1000);
    EXPECT_NE(trickling.verdict.find("still running"), std::string::npos) << trickling.verdict;
    EXPECT_DOUBLE_EQ(trickling.at, 10.0 * HangWatch::kCeiling);
}

TEST(HangWatch, WithoutTheChildsProcessorTimeTheClockJudges)
{
    const Watched unknown = watch(7, 0, 100, -1);
    EXPECT_NE(unknown.verdict.find("timeout after 7 s"), std::string::npos) << unknown.verdict;
    EXPECT_DOUBLE_EQ(unknown.at, 7);
}

}  // namespace
}  // namespace validate
