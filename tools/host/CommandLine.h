// The command line of one subcommand: its positional arguments and its options, checked
// against what the subcommand takes.
#pragma once

#include <string>
#include <vector>

struct OptionSpec {
    const char* name;  // without the leading "--"
    bool repeatable;
};

class CommandLine {
public:
    // Throws UsageError for an unknown option, a missing value, a repeated single option
    // or a wrong number of positional arguments. "--help" anywhere sets help().
    CommandLine(const std::vector<std::string>& arguments, const std::vector<OptionSpec>& options,
                std::size_t positionalCount, const std::string& command);

    bool help() const { return helpAsked; }
    const std::string& positional(std::size_t i) const { return positionals[i]; }
    bool has(const std::string& option) const;
    // The option's value, or fallback when it is not given.
    std::string value(const std::string& option, const std::string& fallback = "") const;
    std::vector<std::string> values(const std::string& option) const;
    // A whole number option within [low, high]; throws UsageError otherwise.
    long number(const std::string& option, long fallback, long low, long high) const;

private:
    std::vector<std::string> positionals;
    std::vector<std::pair<std::string, std::string>> given;
    std::string command;
    bool helpAsked = false;
};
