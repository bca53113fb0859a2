#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace validate {

// When a child that is still running counts as hung. The timeout is a budget of work, not
// of the clock: a busy machine may give a working child a small share of a processor, and
// its check then takes many times its own CPU time. So a child is hung when it has used
// the timeout's worth of processor time, when after the timeout it has stopped using the
// processor (it waits for something that never comes), or, whatever it does, when the
// clock reaches kCeiling times the timeout.
class HangWatch {
public:
    static constexpr int32_t kCeiling = 8;

    explicit HangWatch(int32_t timeoutSeconds) : timeout(timeoutSeconds) {}

    // Given the clock since the child started and the processor time it has used so far
    // (negative when unknown, as the clock alone then judges): why the child is hung, or
    // empty while it is not. Called at least every second while the child runs.
    std::string verdict(double clockSeconds, double cpuSeconds);

private:
    struct Sample {
        double clock;
        double cpu;
    };
    // The clock over which progress is judged: long enough that the kernel's 10 ms ticks
    // of processor time add up to a figure.
    static constexpr double kStallWindow = 10;
    // Less processor time than this share of the window is no progress: a child that waits
    // for something uses none, while one that works gets more than this even at a low
    // priority on a busy machine.
    static constexpr double kStallShare = 0.005;

    double timeout;
    std::vector<Sample> recent;
};

}  // namespace validate
