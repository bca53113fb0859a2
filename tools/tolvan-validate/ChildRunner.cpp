#include "tools/tolvan-validate/ChildRunner.h"

#include <cstdio>

namespace validate {

uint32_t checkSeed(uint32_t seed, const char* name)
{
    uint32_t hash = 2166136261u ^ seed;
    for (const char* c = name; *c != 0; ++c) hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
    return hash;
}

int runCheckHere(const CheckRun& run)
{
    CheckContext context(run.library, checkSeed(run.seed, run.check.name), run.realWindows);
    run.check.run(context);
    if (leaksFound()) context.expect(false, "LeakSanitizer found leaks");
    std::fflush(nullptr);
    return context.failureCount() == 0 ? 0 : 1;
}

}  // namespace validate
