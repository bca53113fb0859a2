// tolvan-host: a small offline host of the plug-in. It loads the library as any host
// does (dlopen and the exported entry point) and drives the effect through its record.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/host/Commands.h"
#include "tools/host/ToolError.h"

namespace {

constexpr const char* kUsage = "Usage: tolvan-host COMMAND [ARGUMENTS]   (COMMAND --help tells more)\n"
                               "  info [--plugin PATH]                  identity, parameters, programs, manual\n"
                               "  process IN OUT [--set NAME=VALUE]...  an audio file through the equaliser\n"
                               "  preset save FILE.fxp|FILE.fxb         a program or bank file of the settings given\n"
                               "  preset show FILE                      what a program or bank file holds\n"
                               "  snapshot OUT.png [--input IN]         a picture of the editor after IN has played\n"
                               "  generate OUT [--seconds N]            a deterministic pink-noise test signal\n"
                               "  --version                             the tool's version\n"
                               "The plug-in is the one built with this tool unless --plugin names another; snapshot\n"
                               "always draws the editor built into this tool.\n";

}  // namespace

int main(int argc, char** argv)
{
    const Arguments all(argv + 1, argv + argc);
    const std::string command = all.empty() ? "" : all.front();
    const Arguments rest(all.empty() ? all.end() : all.begin() + 1, all.end());
    try {
        if (command == "info") return runInfo(rest);
        if (command == "process") return runProcess(rest);
        if (command == "preset") return runPreset(rest);
        if (command == "generate") return runGenerate(rest);
        if (command == "snapshot") return runSnapshot(rest);
        if (command == "--version" || command == "version") {
            std::printf("tolvan-host %s\n", TOLVAN_VERSION);
            return 0;
        }
        if (command == "--help" || command == "-h" || command == "help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (command.empty()) {
            std::fputs(kUsage, stderr);
            return kExitUsage;
        }
        throw UsageError("unknown command \"" + command +
                         "\"; the commands are info, process, preset, snapshot and generate");
    } catch (const ToolError& error) {
        std::fprintf(stderr, "tolvan-host: %s\n", error.what());
        return error.status;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "tolvan-host: out of memory\n");
        return kExitFailure;
    }
}
