// Processor time of the calling thread and of another process, for the benchmarks that
// report the editor's and the X server's share of a core.
#pragma once

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <time.h>
#include <unistd.h>

inline double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Processor time of a process, in seconds; negative when unknown. The process's CPU clock
// counts in nanoseconds; /proc's user and system times, the fallback, count in ticks of
// 10 ms, which over a run of seconds moves a share in steps of 0.2 %.
inline double processCpuSeconds(const char* pid)
{
    if (pid == nullptr) return -1.0;
    clockid_t clock{};
    timespec now{};
    if (clock_getcpuclockid(static_cast<pid_t>(std::stol(pid)), &clock) == 0 && clock_gettime(clock, &now) == 0)
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    std::ifstream stat(std::string("/proc/") + pid + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto end = text.rfind(')');
    if (end == std::string::npos) return -1.0;
    std::istringstream fields(text.substr(end + 2));
    std::string field;
    unsigned long user = 0;
    unsigned long system = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) user = std::stoul(field);
        if (i == 15) system = std::stoul(field);
    }
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}
