// The one way a subcommand fails: a one-line message for standard error and the exit
// status the tool ends with.
#pragma once

#include <stdexcept>
#include <string>

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct ToolError : std::runtime_error {
    ToolError(const std::string& message, int status = kExitFailure) : std::runtime_error(message), status(status) {}
    int status;
};

// Wrong use of the command line: exit status 2.
struct UsageError : ToolError {
    explicit UsageError(const std::string& message) : ToolError(message, kExitUsage) {}
};
