// libFuzzer target: each input is a sequence of host calls on one fresh effect of the
// built plug-in, loaded through its entry point as a host loads it.

#include <cstdio>
#include <cstdlib>

#include "tools/tolvan-validate/CallSequence.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const validate::PluginLibrary library(TOLVAN_PLUGIN_PATH);
    validate::HostedEffect effect(library);
    if (!effect.valid()) {
        std::fprintf(stderr, "cannot create an effect: %s\n", library.error().c_str());
        std::abort();
    }
    validate::CallSequence sequence(effect);
    const std::string problem = sequence.run({data, size});
    if (!problem.empty()) {
        std::fprintf(stderr, "tolvan-fuzz: %s\n", problem.c_str());
        std::abort();
    }
    if (effect.close() != 1) {
        std::fprintf(stderr, "tolvan-fuzz: effClose does not answer 1\n");
        std::abort();
    }
    return 0;
}
