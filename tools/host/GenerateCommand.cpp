// tolvan-host generate: a deterministic test signal to process.
#include <cstdio>

#include "tools/host/CommandLine.h"
#include "tools/host/OutputFile.h"
#include "tools/host/Commands.h"
#include "tools/host/TestSignal.h"

namespace {

constexpr const char* kUsage = "Usage: tolvan-host generate OUT [--seconds N] [--rate HZ]\n"
                               "Writes N seconds (default 5) of deterministic stereo pink noise at HZ (default 48000)\n"
                               "as 24-bit samples, in the container OUT's extension names (WAV otherwise).\n";

}  // namespace

int runGenerate(const Arguments& arguments)
{
    const CommandLine line(arguments, {{"seconds", false}, {"rate", false}}, 1, "generate");
    if (line.help()) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const long seconds = line.number("seconds", 5, 1, 3600);
    const long rate = line.number("rate", 48000, 8000, 384000);
    writePinkNoise(line.positional(0), seconds, rate);
    std::fprintf(reportStream(line.positional(0)), "Wrote %s: %ld s of stereo pink noise at %ld Hz\n",
                 line.positional(0).c_str(), seconds, rate);
    return 0;
}
