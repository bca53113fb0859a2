// The subcommands of tolvan-host. Each takes the arguments after its name, answers the
// exit status, and throws ToolError (or UsageError) with a one-line message on failure.
#pragma once

#include <string>
#include <vector>

using Arguments = std::vector<std::string>;

int runInfo(const Arguments& arguments);
int runProcess(const Arguments& arguments);
int runPreset(const Arguments& arguments);
int runGenerate(const Arguments& arguments);
int runSnapshot(const Arguments& arguments);
