#include "tools/tolvan-validate/ResidentMemory.h"

#include <windows.h>

#include <psapi.h>

namespace validate {

double residentBytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return static_cast<double>(counters.WorkingSetSize);
}

}  // namespace validate
