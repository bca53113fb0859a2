#include "tools/tolvan-validate/HangWatch.h"

#include <cstdio>

namespace validate {

std::string HangWatch::verdict(double clockSeconds, double cpuSeconds)
{
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
    std::snprintf(text, sizeof text,
                  "no progress: %.2f s of processor time in the last %.0f s, after the %.0f s timeout",
                  cpuSeconds - first.cpu, clockSeconds - first.clock, timeout);
    return text;
}

}  // namespace validate
